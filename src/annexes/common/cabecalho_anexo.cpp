#include "annexes/common/cabecalho_anexo.h"

#include "annexes/common/estrada_anexo.h"
#include "annexes/common/lancador.h"
#include "report/modelo.h"

namespace nq {

void poeCabecalho(TppReport& relatorio, const QString& cliente, const QString& municipio,
                  const QString& periodo, const CadastroDoCliente& c) {
    relatorio.exige<TppLabel>(cliente).Caption = c.nome;
    relatorio.exige<TppLabel>(municipio).Caption = QStringLiteral("MUNICIPIO: ") + c.cidade;
    relatorio.exige<TppLabel>(periodo).Caption =
        lancador().digitoBimestre() + QStringLiteral("º BIMESTRE DE ") + c.exercicio;
}

} // namespace nq
