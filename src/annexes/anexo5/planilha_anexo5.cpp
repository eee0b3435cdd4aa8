#include "annexes/anexo5/planilha_anexo5.h"

#include "annexes/common/estrada_anexo.h"
#include "tables/clientdataset.h"
#include "workbook/planilha.h"

#include <functional>
#include <map>
#include <vector>

namespace nq {

namespace {

using Valor = std::function<Moeda(ClientDataSet&)>;

// What one sheet row of a table receives: column letter and value.
using Celulas = std::vector<std::pair<QChar, Valor>>;

// Walks `t` (in its current order) and writes each line that `linhas` maps to
// a sheet row with the cells `celulas` gives for that row.
void escreve(Planilha& p, ClientDataSet& t, const std::map<QString, int>& linhas,
             const std::function<Celulas(int linha)>& celulas) {
    for (t.first(); !t.eof(); t.next()) {
        const auto l = linhas.find(t.fieldByName(QStringLiteral("ID")).asString());
        if (l == linhas.end())
            continue;
        for (const auto& [coluna, valor] : celulas(l->second))
            p.escreveMoeda(coluna + QString::number(l->second), valor(t));
    }
}

Valor campo(const QString& nome) {
    return [nome](ClientDataSet& t) { return t.fieldByName(nome).asCurrency(); };
}

Valor seisBimestres(const QString& prefixo) {
    return [prefixo](ClientDataSet& t) { return somaDosBimestres(t, prefixo, 6); };
}

} // namespace

void exportaAnexo5(Planilha& planilha, const QString& caminho, const TabelasDoAnexo5& tabelas,
                   int bimestre, const QString& exercicio) {
    const bool leiaute2006 = exercicio.toInt() > 2005;
    abrePlanilhaNaFolhaCom(planilha, caminho, exercicio, bimestre);
    planilha.selecionaFolha(QStringLiteral("mod 5"));
    const auto doBimestre = [bimestre](const char* prefixo) {
        return campo(campoDoBimestre(QString::fromLatin1(prefixo), bimestre));
    };
    const QChar C('C'), D('D'), E('E'), F('F'), G('G'), H('H');

    // Revenues: always the previous exercise; the full row only on some lines.
    const Celulas receitaCompleta = {{C, campo(QStringLiteral("PREVISAO_ATUALIZADA"))},
                                     {D, campo(QStringLiteral("PRE_DO_BIM"))},
                                     {E, campo(QStringLiteral("PRE_ATE_BIM"))},
                                     {F, doBimestre("REALIZADO_BIM")},
                                     {G, seisBimestres(QStringLiteral("REALIZADO_BIM"))}};
    const Celulas anterior = {{H, campo(QStringLiteral("EXERCICIO_ANTERIOR"))}};
    escreve(
        planilha, tabelas.receitas,
        {{"00010", 12}, {"00020", 13}, {"00050", 16}, {"00060", 19}, {"00070", 20}, {"00075", 21}},
        [&](int linha) {
            const bool completa = linha == 19 || (leiaute2006 && linha == 21);
            Celulas c = completa ? receitaCompleta : Celulas{};
            c.insert(c.end(), anterior.begin(), anterior.end());
            return c;
        });

    // Expenditures: the spread appropriation, or the forecast typed per bimester.
    const Celulas dotacaoRepartida = {{D, campo(QStringLiteral("DOT_DO_BIM"))},
                                      {E, campo(QStringLiteral("DOT_ATE_BIM"))},
                                      {H, campo(QStringLiteral("EXERCICIO_ANTERIOR"))}};
    const Celulas previsto = {{D, doBimestre("PREVISTO_BIM")},
                              {E, seisBimestres(QStringLiteral("PREVISTO_BIM"))}};
    const Celulas executado = {{C, campo(QStringLiteral("DOTACAO_ATUALIZADA"))},
                               {F, doBimestre("EMPENHADO_BIM")},
                               {G, seisBimestres(QStringLiteral("EMPENHADO_BIM"))}};
    const int d = leiaute2006 ? 1 : 0; // the rows after 2005 move one down
    escreve(planilha, tabelas.despesas,
            {{"00010", 27 + d},
             {"00020", 28 + d},
             {"00040", 30 + d},
             {"00060", 32 + d},
             {"00070", 33 + d},
             {"00080", 34 + d}},
            [&](int linha) {
                if (!leiaute2006 || linha == 28 || linha == 29 || linha == 31)
                    return dotacaoRepartida;
                Celulas c = previsto;
                if (linha != 33)
                    c.insert(c.end(), executado.begin(), executado.end());
                c.insert(c.end(), anterior.begin(), anterior.end());
                return c;
            });

    // The debt: the previous exercise, the previous bimester and this one.
    const QString bimAnterior = bimestre == 1
                                    ? QStringLiteral("EXERCICIO_ANTERIOR")
                                    : campoDoBimestre(QStringLiteral("BIM"), bimestre - 1);
    const int e = leiaute2006 ? 2 : 0;
    escreve(planilha, tabelas.divida,
            {{"00010", 44 + e},
             {"00030", 46 + e},
             {"00040", 47 + e},
             {"00050", 48 + e},
             {"00070", 50 + e},
             {"00080", 51 + e}},
            [&](int) {
                return Celulas{{QLatin1Char('B'), campo(QStringLiteral("EXERCICIO_ANTERIOR"))},
                               {C, campo(bimAnterior)},
                               {D, campo(campoDoBimestre(QStringLiteral("BIM"), bimestre))}};
            });
    planilha.mostra();
}

} // namespace nq
