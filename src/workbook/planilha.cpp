#include "workbook/planilha.h"

namespace nq {

QString ValorCelula::comoTexto() const {
    switch (tipo) {
    case Tipo::Numero:
        return QString::number(numero, 'g', 15);
    case Tipo::Texto:
        return texto;
    case Tipo::Vazio:
        break;
    }
    return {};
}

} // namespace nq
