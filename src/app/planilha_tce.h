#pragma once

#include "annexes/common/lancador.h"

#include <QString>
#include <functional>
#include <optional>

namespace nq {

// corfoco.ini beside the program (found under any letter case) unless redirected:
// section "TCE", key "PLANILHA", the Court of Accounts workbook's path.
QString caminhoCorfocoIni();
// Redirects the file (tests); an empty path restores the default.
void defineCaminhoCorfocoIni(const QString& caminho);
// The stored path; empty when the file or the key is missing. Section and key
// are matched in any letter case; an unreadable file throws nq::Erro.
QString lePlanilhaCorfoco();
// Key "LIBREOFFICE" of the same section: the LibreOffice to use (its soffice, its
// program directory or its installation directory); empty: found where installed.
QString leLibreOfficeCorfoco();
// Stores the path, keeping every other line of the file; creates the file when
// missing. The file is replaced whole or not at all; a failure throws nq::Erro.
void gravaPlanilhaCorfoco(const QString& caminho);

// The Court of Accounts' site, as the workbook messages name it.
inline const QString SiteTribunal = QStringLiteral("www.tce.sp.gov.br");

// Whether the check leaves a municipality alone as a chamber: the first three
// characters of its name, with only the letters a to z raised, read "CAM" or "CÂM".
bool camaraNaVerificacao(const QString& nome);
// The cell of sheet "mod 5" that holds the workbook's version for an exercise.
QString celulaDaVersao(int exercicio);

enum class ResultadoVerificacao {
    NaoVerificada, // empty path, a chamber or no such file: nothing shown
    Compativel,
    Incompativel,
    Falhou, // the workbook could not be opened or read
};

// Runs the part of the check that opens and reads the workbook, and returns
// when it has ended, raising its error; the launcher runs it on a thread of
// its own so that its windows keep repainting.
using ExecutorDaVerificacao = std::function<void(const std::function<void()>& leitura)>;

// Opens the workbook through `fabrica` and tells the user whether its version
// can be filled; every outcome but NaoVerificada shows its message. The
// workbook is closed without saving whatever happens. The session, from
// `fabrica` to the workbook's close, runs through `executa` (none: right here).
ResultadoVerificacao verificaPlanilha(const QString& caminho, int exercicio,
                                      const QString& nomeMunicipio,
                                      const FabricaDePlanilha& fabrica,
                                      const ExecutorDaVerificacao& executa = {});
// The message of a workbook of the wrong version.
void avisaVersaoIncorreta();

// The outcome of the last check of the workbook at `caminho` in `celula`, as
// corfoco.ini keeps it, while the file keeps the size and modification time
// it had then; nothing when it was not checked so, or has changed since.
std::optional<ResultadoVerificacao> verificacaoGuardada(const QString& caminho,
                                                        const QString& celula);
// Keeps a Compativel or Incompativel outcome in corfoco.ini beside the stored
// path; a check that failed is not kept, so that it is tried again. A file
// that cannot be written throws nq::Erro.
void guardaVerificacao(const QString& caminho, const QString& celula, ResultadoVerificacao r);

// A workbook session on a hidden office of its own, started here and ended with
// the session: usable on any one thread, unlike the program's shared office.
std::unique_ptr<Planilha> planilhaNumOfficeProprio();

} // namespace nq
