#include "annexes/anexo3/planilha_anexo3.h"

#include "annexes/anexo3/anexo3.h"
#include "annexes/common/estrada_anexo.h"
#include "tables/clientdataset.h"
#include "workbook/planilha.h"

#include <map>

namespace nq {

namespace {

// Sheet rows of the lines by ID.
const std::map<QString, int> LinhasDaFolha = {
    {"00010", 12}, {"00030", 14}, {"00040", 15}, {"00050", 16}, {"00080", 19},
    {"00090", 20}, {"00100", 21}, {"00110", 22}, {"00120", 23}, {"00130", 24}};

Moeda slot(ClientDataSet& t, int k) {
    return t.fieldByName(QStringLiteral("MES") + sufixoDoSlot(k)).asCurrency();
}

} // namespace

void exportaAnexo3(Planilha& planilha, const QString& caminho, ClientDataSet& cdsImp, int bimestre,
                   const QString& exercicio) {
    abrePlanilhaNaFolhaCom(planilha, caminho, exercicio, bimestre);
    planilha.selecionaFolha(QStringLiteral("mod 3"));
    for (cdsImp.first(); !cdsImp.eof(); cdsImp.next()) {
        const auto l = LinhasDaFolha.find(cdsImp.fieldByName(QStringLiteral("ID")).asString());
        if (l == LinhasDaFolha.end())
            continue;
        const QString linha = QString::number(l->second);
        // Columns C to N: slots 11 down to 0, the oldest month first.
        for (int k = 11; k >= 0; --k)
            planilha.escreveMoeda(QChar('C' + 11 - k) + linha, slot(cdsImp, k));
        Moeda anterior;
        for (int k = 2; k <= 13; ++k)
            anterior += slot(cdsImp, k);
        planilha.escreveMoeda(QStringLiteral("P") + linha, anterior);
    }
    planilha.mostra();
}

} // namespace nq
