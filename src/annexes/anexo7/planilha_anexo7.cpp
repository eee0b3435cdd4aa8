#include "annexes/anexo7/planilha_anexo7.h"

#include "annexes/common/estrada_anexo.h"
#include "tables/clientdataset.h"
#include "workbook/planilha.h"

namespace nq {

namespace {

// The prefecture's row; the sheet holds its caption.
constexpr int LinhaDaPrefeitura = 15;

} // namespace

void exportaAnexo7(Planilha& planilha, const QString& caminho, ClientDataSet& cdsPrint,
                   int bimestre, const QString& exercicio) {
    abrePlanilhaNaFolhaComEmTexto(planilha, caminho, exercicio, bimestre);
    planilha.selecionaFolha(QStringLiteral("mod 7"));
    for (const char* celula : {"A16", "A17", "A18"})
        planilha.escreveTexto(QString::fromLatin1(celula), {});
    int linha = LinhaDaPrefeitura - 1;
    for (cdsPrint.first(); !cdsPrint.eof(); cdsPrint.next()) {
        if (cdsPrint.fieldByName(QStringLiteral("ID")).asString() == QLatin1String("00900"))
            continue;
        ++linha;
        const QString n = QString::number(linha);
        if (linha != LinhaDaPrefeitura)
            planilha.escreveTexto(QStringLiteral("A") + n,
                                  cdsPrint.fieldByName(QStringLiteral("NOME")).asString());
        // Column G, the net capital expenditure, is the sheet's own.
        const std::pair<char, const char*> colunas[] = {
            {'B', "PREV_INICIAL"}, {'C', "PREV_ATUAL"},  {'D', "DC_LIQUIDADA"},
            {'E', "DEDU_INC_I"},   {'F', "DEDU_INC_II"}, {'H', "OPE_CRE_EXR"}};
        for (const auto& [coluna, campo] : colunas)
            planilha.escreveMoeda(QLatin1Char(coluna) + n,
                                  cdsPrint.fieldByName(QString::fromLatin1(campo)).asCurrency());
    }
    planilha.mostra();
}

} // namespace nq
