#include "versao.h"

namespace nq {

QString VersaoArquivo() {
    return QStringLiteral("%1.%2.%3.%4")
        .arg(NQ404_VERSAO_MAIOR)
        .arg(NQ404_VERSAO_MENOR)
        .arg(NQ404_VERSAO_REVISAO)
        .arg(NQ404_VERSAO_COMPILACAO);
}

} // namespace nq
