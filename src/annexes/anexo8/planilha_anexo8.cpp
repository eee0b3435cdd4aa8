#include "annexes/anexo8/planilha_anexo8.h"

#include "annexes/common/estrada_anexo.h"
#include "tables/clientdataset.h"
#include "workbook/planilha.h"

namespace nq {

void exportaAnexo8(Planilha& planilha, const QString& caminho, ClientDataSet& cdsProjecao,
                   int bimestre, const QString& exercicio) {
    abrePlanilhaNaFolhaComEmTexto(planilha, caminho, exercicio, bimestre);
    planilha.selecionaFolha(QStringLiteral("mod 8"));
    for (int linha = 16; linha <= 50; ++linha) {
        const QString n = QString::number(linha);
        bool ehAno = false;
        const int ano = planilha.leTexto(QStringLiteral("A") + n).trimmed().toInt(&ehAno);
        // A row without a year is not a projection line: it is left as it is.
        if (!ehAno || !cdsProjecao.locate(QStringLiteral("ANO"), Value(ano)))
            continue;
        planilha.escreveMoeda(QStringLiteral("B") + n,
                              cdsProjecao.fieldByName(QStringLiteral("RECEITA")).asCurrency());
        planilha.escreveMoeda(QStringLiteral("C") + n,
                              cdsProjecao.fieldByName(QStringLiteral("DESPESA")).asCurrency());
    }
    planilha.mostra();
}

} // namespace nq
