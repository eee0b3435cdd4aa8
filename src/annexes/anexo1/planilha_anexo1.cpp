#include "annexes/anexo1/planilha_anexo1.h"

#include "annexes/common/estrada_anexo.h"
#include "core/mensagens.h"
#include "tables/clientdataset.h"
#include "workbook/planilha.h"

#include <map>

namespace nq {

namespace {

// Sheet rows of the lines by ID.
const std::map<QString, int> LinhasDaReceita = {
    {"00040", 14}, {"00050", 15}, {"00060", 16}, {"00065", 17}, {"00070", 18},
    {"00080", 19}, {"00090", 20}, {"00100", 21}, {"00110", 22}, {"00120", 23},
    {"00130", 24}, {"00140", 25}, {"00145", 26}, {"00150", 27}, {"00180", 30},
    {"00190", 31}, {"00200", 32}, {"00210", 33}, {"00220", 34}, {"00230", 35}};
const std::map<QString, int> LinhasDaDespesa = {
    {"00260", 40}, {"00270", 41}, {"00280", 42}, {"00290", 43}, {"00310", 45},
    {"00320", 46}, {"00340", 48}, {"00350", 49}, {"00360", 50}, {"00370", 51}};
// The deductions line: the sheet takes it with the opposite sign.
constexpr int LinhaRedutora = 26;
// The contingency reserve: appropriations only.
constexpr int LinhaReserva = 51;

struct Colunas {
    QString inicial, atualizada, primeiroDoBimestre, segundoDoBimestre;
};

// Writes every mapped line of `t`: the two yearly columns and the bimester's pair.
void escreveLinhas(Planilha& p, ClientDataSet& t, const std::map<QString, int>& linhas,
                   const Colunas& campos, int bimestre) {
    const QChar primeira = QChar('D' + 2 * (bimestre - 1));
    const QChar segunda = QChar(primeira.unicode() + 1);
    for (t.first(); !t.eof(); t.next()) {
        const auto l = linhas.find(t.fieldByName(QStringLiteral("ID")).asString());
        if (l == linhas.end())
            continue;
        const int linha = l->second;
        const double sinal = linha == LinhaRedutora ? -1.0 : 1.0;
        auto escreve = [&](QChar coluna, const QString& campo) {
            p.escreveNumero(coluna + QString::number(linha),
                            sinal * t.fieldByName(campo).asCurrency().paraDouble());
        };
        escreve(QLatin1Char('B'), campos.inicial);
        escreve(QLatin1Char('C'), campos.atualizada);
        if (linha == LinhaReserva)
            continue;
        escreve(primeira, campos.primeiroDoBimestre);
        escreve(segunda, campos.segundoDoBimestre);
    }
}

} // namespace

bool exportaAnexo1(Planilha& planilha, const QString& caminho, ClientDataSet& cdsRec,
                   ClientDataSet& cdsDes, int bimestre, const QString& exercicio) {
    abrePlanilhaNaFolhaCom(planilha, caminho, exercicio, bimestre);
    planilha.selecionaFolha(QStringLiteral("mod1 6b"));
    if (planilha.leTexto(QStringLiteral("A26")).left(3) != QStringLiteral("(-)")) {
        mensagens().mostra(QStringLiteral("A Planilha selecionada não está na versão Correnta !"),
                           QStringLiteral("Operação Cancelada."), Icone::Erro);
        planilha.fecha();
        return false;
    }
    escreveLinhas(planilha, cdsRec, LinhasDaReceita,
                  {QStringLiteral("PREVISAO_ANUAL"), QStringLiteral("PREVISAO_ATUALIZADA"),
                   campoDoBimestre(QStringLiteral("PREVISTO_BIM"), bimestre),
                   campoDoBimestre(QStringLiteral("REALIZADO_BIM"), bimestre)},
                  bimestre);
    escreveLinhas(planilha, cdsDes, LinhasDaDespesa,
                  {QStringLiteral("DOTACAO_ANUAL"), QStringLiteral("DOTACAO_ATUALIZADA"),
                   campoDoBimestre(QStringLiteral("EMPENHADO_BIM"), bimestre),
                   campoDoBimestre(QStringLiteral("LIQUIDADO_BIM"), bimestre)},
                  bimestre);
    planilha.mostra();
    return true;
}

} // namespace nq
