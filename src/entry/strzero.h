#pragma once

#include <QString>

namespace nq {

// The integer written in `texto` (blanks around it and a sign allowed); throws
// nq::Erro "'AB' não é um valor inteiro válido." otherwise.
int inteiroDeTexto(const QString& texto);

// The integer of `texto` in decimal digits, prefixed with zeros up to `largura`
// characters; a longer result is kept whole. A text that is not an integer
// throws as inteiroDeTexto does.
QString StrZero(const QString& texto, int largura);
QString StrZero(int valor, int largura);

} // namespace nq
