#include "annexes/common/folha_com.h"

#include "workbook/planilha.h"

namespace nq {

void escrevePeriodoNaFolhaCom(Planilha& planilha, const QString& exercicio, int bimestre) {
    planilha.selecionaFolha(QStringLiteral("Com"));
    planilha.escreveTexto(QStringLiteral("AR6"), exercicio.left(4));
    if (bimestre < 1)
        return;
    planilha.escreveTexto(QStringLiteral("AH6"), QString::number(bimestre));
    planilha.escreveTexto(QStringLiteral("AJ6"), QString::number(2 * bimestre));
}

} // namespace nq
