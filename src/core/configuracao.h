#pragma once

#include <QString>

namespace nq {

// The product family's Vexo.ini: section VEXO, names matched in any letter
// case, values kept as raw text. The file is read afresh on every call and
// never written.

// Vexo.ini beside the executable (found under any letter case) unless redirected.
QString caminhoVexoIni();
// Redirects the configuration file (batch --ini, tests); an empty path restores the default.
void defineCaminhoVexoIni(const QString& caminho);
// The value of `chave` in section VEXO, or `padrao` when the key is absent (a key
// present with an empty value gives ""). Throws nq::Erro when the file is missing
// or unreadable.
QString leVexoIni(const QString& chave, const QString& padrao = {});
// `Ano` as an integer; throws nq::Erro when it is empty or not a number.
int anoVexoIni();

// Resolves a directory code ("D", "DA", "DA2", "B", "BA", "TD", "BKAD" ...) to a
// path. Creates the directories its code calls for and throws nq::Erro
// "Não é possível criar o diretório: <caminho>" when it cannot.
QString CaminhoDiretorio(const QString& codigo);

// The prefix of `caminho` up to and including its first "VEXO_8" (any case,
// written in capitals), or the whole path when it has none.
QString raizVexo(const QString& caminho);

// The directory of the running program, ending with "/".
QString diretorioDoExecutavel();

// The existing file `nome` in `dir` under any letter case (an exact match
// first), or `dir` joined with `nome` as written when there is none.
QString arquivoNoDiretorio(const QString& dir, const QString& nome);

} // namespace nq
