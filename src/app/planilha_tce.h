#pragma once

#include "annexes/common/lancador.h"

#include <QString>

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

// Opens the workbook through `fabrica` and tells the user whether its version
// can be filled; every outcome but NaoVerificada shows its message. The
// workbook is closed without saving whatever happens.
ResultadoVerificacao verificaPlanilha(const QString& caminho, int exercicio,
                                      const QString& nomeMunicipio,
                                      const FabricaDePlanilha& fabrica);

} // namespace nq
