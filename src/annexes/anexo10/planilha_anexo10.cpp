#include "annexes/anexo10/planilha_anexo10.h"

#include "annexes/common/estrada_anexo.h"
#include "tables/clientdataset.h"
#include "workbook/planilha.h"

#include <map>
#include <utility>

namespace nq {

namespace {

// Sheet rows of page 1's value lines: the executive's, the chamber's.
const std::map<QString, std::pair<int, int>> LinhasDaPagina1 = {
    {"00020", {10, 11}}, {"00030", {11, 12}}, {"00040", {12, 13}}, {"00050", {13, 14}},
    {"00060", {14, 15}}, {"00070", {15, 16}}, {"00080", {16, 17}}, {"00090", {17, 18}},
    {"00120", {20, 21}}, {"00130", {21, 22}}, {"00140", {22, 23}}, {"00150", {23, 24}}};
// Page 2's lines, written for the executive only.
const std::map<QString, int> LinhasDaPagina2 = {
    {"00190", 29}, {"00200", 30}, {"00210", 31}, {"00240", 34}};

// Columns B to M of the sheet row: the months mes + 1 to mes + 12 (VALOR fields).
void escreveMeses(Planilha& planilha, ClientDataSet& t, int mes, int linha) {
    for (int k = 0; k < 12; ++k)
        planilha.escreveMoeda(
            QChar('B' + k) + QString::number(linha),
            t.fieldByName(QStringLiteral("VALOR%1").arg(mes + 1 + k)).asCurrency());
}

} // namespace

void exportaAnexo10(Planilha& planilha, const QString& caminho, ClientDataSet& cdsDP1,
                    ClientDataSet& cdsDP2, int mes, const QString& exercicio, bool executivo) {
    // Exported for even months only: the month is its bimester's last.
    abrePlanilhaNaFolhaComEmTexto(planilha, caminho, exercicio, mes / 2);
    planilha.selecionaFolha(QStringLiteral("Anexo1mod10"));
    for (cdsDP1.first(); !cdsDP1.eof(); cdsDP1.next()) {
        const auto l = LinhasDaPagina1.find(cdsDP1.fieldByName(QStringLiteral("ID")).asString());
        if (l != LinhasDaPagina1.end())
            escreveMeses(planilha, cdsDP1, mes, executivo ? l->second.first : l->second.second);
    }
    if (executivo)
        for (cdsDP2.first(); !cdsDP2.eof(); cdsDP2.next()) {
            const auto l =
                LinhasDaPagina2.find(cdsDP2.fieldByName(QStringLiteral("ID")).asString());
            if (l != LinhasDaPagina2.end())
                escreveMeses(planilha, cdsDP2, mes, l->second);
        }
    planilha.mostra();
}

} // namespace nq
