#pragma once

#include "conferencias_do_fechamento.h"
#include "execucao_do_lote.h"
#include "imprime.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace nq {

class Tdm;

// One report of a bimester's close: which annex, for which period, and the
// reports whose files it reads, which must have been written before it runs.
struct RelatorioDoFechamento {
    QString chave;    // names its files in the output folder: "anexo1" -> anexo1.pdf, anexo1.csv
    QString titulo;   // "Anexo 1"
    QString anexo;    // the annex as the batch options name it
    int bimestre = 0; // the launcher's bimester; 0: the annex asks for none
    bool daCamara = false;       // a chamber runs it too (the others print the chamber notice)
    QStringList antes;           // the chaves it needs before it
    PeriodoDaJanela janela = {}; // annex 10's month, the fiscal-management report's period
};

// The reports that apply to `bimestre` for the entity (a chamber or not), in
// the order their inputs require.
std::vector<RelatorioDoFechamento> relatoriosDoFechamento(int bimestre, bool camara);

// `relatorios` ordered so that each comes after those it needs (stable
// otherwise). Throws nq::Erro for a need that is not in the list or a cycle.
std::vector<RelatorioDoFechamento>
emOrdemDeDependencia(std::vector<RelatorioDoFechamento> relatorios);

enum class SituacaoDoRelatorio {
    Gravado,  // its PDF and CSV are in the output folder
    Falhou,   // the annex reported an error or wrote nothing
    NaoRodou, // a report it needs failed, or the close was cancelled before it
};

struct ResultadoDoRelatorio {
    RelatorioDoFechamento relatorio;
    SituacaoDoRelatorio situacao = SituacaoDoRelatorio::NaoRodou;
    double segundos = 0;
    QString motivo; // why it failed or did not run
};

struct ResumoDoFechamento {
    QString entidade; // CLNT1
    QString exercicio;
    int bimestre = 0;
    QString saida; // the output folder
    std::vector<ResultadoDoRelatorio> relatorios;
    std::vector<ResultadoDaConferencia> conferencias;
    std::vector<ValorChave> valoresChave;
    bool cancelado = false;
    QString planilha;          // the workbook copy, when one was asked for
    QString falhaDoFechamento; // an error of the close itself (index, workbook copy)
};

// 0 every report written and every check holds; 1 a report failed or did not
// run (or the close itself failed); 3 every report written but a check failed.
int statusDoFechamento(const ResumoDoFechamento& resumo);

struct OpcoesDoFechamento {
    int bimestre = 0;
    QString saida;
    QString planilha;      // read only: a copy receives every annex's sheet
    QString planilhaSaida; // where that copy goes
    bool responde = false; // the answer to the annexes' questions but the workbook one
};

// The whole close on the database the data module has open: every report in
// one process, through the launcher, each one's PDF and CSV put in place as it
// succeeds, then the checks, the workbook copy and DIR/indice.html. Typed
// files are only read (annexes work on copies). Needs the application object,
// the data module started and the answers installed by the caller.
class Fechamento {
public:
    Fechamento(OpcoesDoFechamento opcoes, AnexosDisponiveis anexos);

    // Before each report. Returns false to cancel the close there (the reports
    // already written stay; the rest are marked as not run).
    std::function<bool(const RelatorioDoFechamento& relatorio, int indice, int total)> aoComecar;
    // After each report.
    std::function<void(const ResultadoDoRelatorio& resultado)> aoTerminar;

    // Before anything runs, with the data module started: creates the output
    // folder and refuses (nq::Erro) outputs that would overwrite an input of
    // the program or one another (verificaSaidas).
    void verificaSaidas(const Tdm& dados) const;

    ResumoDoFechamento executa();

private:
    ResultadoDoRelatorio executaRelatorio(TFrmImprime& lancador,
                                          const RelatorioDoFechamento& relatorio,
                                          const QString& planilhaProvisoria);

    OpcoesDoFechamento opcoes_;
    AnexosDisponiveis anexos_;
};

struct OpcoesDoLote;

// The close as `--fechamento` runs it: the options checked, one line per
// report and per failed check on standard output, messages on standard error.
// Returns statusDoFechamento's status, or 2 for bad options.
int executaFechamentoNoLote(const OpcoesDoLote& opcoes, const AnexosDisponiveis& anexos);

} // namespace nq
