#include "annexes/anexo4/planilha_anexo4.h"

#include "annexes/common/estrada_anexo.h"
#include "tables/clientdataset.h"
#include "workbook/planilha.h"

#include <functional>
#include <map>
#include <vector>

namespace nq {

namespace {

// One column of the sheet and what a line puts in it.
struct Coluna {
    QChar letra;
    std::function<Moeda(ClientDataSet&)> valor;
};

void escreve(Planilha& p, ClientDataSet& t, const std::map<QString, int>& linhas,
             const std::vector<Coluna>& colunas) {
    for (t.first(); !t.eof(); t.next()) {
        const auto l = linhas.find(t.fieldByName(QStringLiteral("ID")).asString());
        if (l == linhas.end())
            continue;
        for (const Coluna& c : colunas)
            p.escreveMoeda(c.letra + QString::number(l->second), c.valor(t));
    }
}

Coluna campo(char letra, const QString& nome) {
    return {QLatin1Char(letra),
            [nome](ClientDataSet& t) { return t.fieldByName(nome).asCurrency(); }};
}

Coluna seisBimestres(char letra, const QString& prefixo) {
    return {QLatin1Char(letra),
            [prefixo](ClientDataSet& t) { return somaDosBimestres(t, prefixo, 6); }};
}

} // namespace

void exportaAnexo4(Planilha& planilha, const QString& caminho, const TabelasDoAnexo4& tabelas,
                   int bimestre, const QString& exercicio) {
    abrePlanilhaNaFolhaCom(planilha, caminho, exercicio, bimestre);
    planilha.selecionaFolha(QStringLiteral("mod 4"));
    const auto b = [bimestre](const char* prefixo) {
        return campoDoBimestre(QString::fromLatin1(prefixo), bimestre);
    };
    escreve(planilha, tabelas.receitas,
            {{"00010", 12},
             {"00020", 13},
             {"00030", 14},
             {"00040", 15},
             {"00050", 16},
             {"00060", 17},
             {"00070", 18},
             {"00080", 19}},
            {campo('C', QStringLiteral("PREVISAO_ANUAL")),
             campo('D', QStringLiteral("PREVISAO_ATUALIZADA")), campo('E', b("REALIZADO_BIM")),
             seisBimestres('F', QStringLiteral("REALIZADO_BIM"))});
    escreve(planilha, tabelas.despesas,
            {{"00010", 24}, {"00020", 25}, {"00030", 26}, {"00040", 27}},
            {campo('B', QStringLiteral("DOTACAO_ANUAL")),
             campo('C', QStringLiteral("DOTACAO_ATUALIZADA")), campo('D', b("EMPENHADO_BIM")),
             seisBimestres('E', QStringLiteral("EMPENHADO_BIM")), campo('F', b("LIQUIDADO_BIM")),
             seisBimestres('G', QStringLiteral("LIQUIDADO_BIM"))});
    escreve(planilha, tabelas.recebimentos,
            {{"00010", 35}, {"00020", 36}, {"00040", 40}, {"00050", 41}, {"00060", 42}},
            {campo('C', b("REALIZADO_BIM"))});
    escreve(planilha, tabelas.pagamentos,
            {{"00010", 35}, {"00020", 36}, {"00050", 40}, {"00060", 41}, {"00070", 42}},
            {campo('G', b("REALIZADA_BIM"))});
    planilha.mostra();
}

} // namespace nq
