#pragma once

#include "imprime.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace nq {

// A run without windows: one annex computed through the launcher and the
// annex's own code, its questions answered from the command line, its report
// written to a PDF and its figures to a CSV, for the users who publish the
// reports at every bimester's close and for the tests.
struct OpcoesDoLote {
    QString anexo;    // "1", "1b", "2" ... "10", "rgf"
    int bimestre = 0; // 1 to 6; 0 when not given
    QString pdf;
    QString csv;
    bool responde = false; // the answer to every question but the workbook one
    QString ini;
    QString planilha; // the Court of Accounts workbook to fill (read only)
    QString
        planilhaSaida; // where the filled copy goes; given: the workbook question is answered yes
    // Typed into every justification dialog and confirmed; none: each closes unsaved.
    std::optional<QString> justificativa;
    bool ajuda = false;
    bool listaAnexos = false; // --lista-anexos: the annexes of this build, one a line
};

// Whether the arguments ask for a run without windows: any option but --ini
// (which the program with windows takes too).
bool pedeLote(int argc, char** argv);

// Reads the options (argumentos[0] is the program). Throws nq::Erro with a
// Portuguese text for an unknown option, a missing value or a bad one.
OpcoesDoLote leOpcoesDoLote(const QStringList& argumentos);

// Every option, in Portuguese, for --help.
QString ajudaDoLote();

// The --anexo values of the annexes this build has, in the launcher's order.
QStringList listaDeAnexos(const AnexosDisponiveis& anexos);

// Checks what can be checked before anything runs, so that bad input leaves
// no file behind: the annex exists in this build, the bimester, the
// configuration and workbook files exist, each output can be written and
// names none of the run's inputs nor another output (verificaSaidas).
// Throws nq::Erro.
void verificaLote(const OpcoesDoLote& opcoes, const AnexosDisponiveis& anexos);

// Runs the annex; messages go to standard error as they come. The outputs are
// put in place only when the whole run succeeded. Returns the exit status:
// 0 done, 1 the run failed (its message already on standard error, no output
// written), 2 bad input. Ctrl-C and SIGTERM end the process (InterrupcaoDoLote).
// Needs the application object; the data module is made here.
int executaLote(const OpcoesDoLote& opcoes, const AnexosDisponiveis& anexos);

// The whole program in that mode: application object without windows, options,
// run. For main() when pedeLote says so.
int principalDoLote(int argc, char** argv, const AnexosDisponiveis& anexos);

} // namespace nq
