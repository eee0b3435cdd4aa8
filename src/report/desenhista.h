#pragma once

#include "report/modelo.h"
#include "report/pagina.h"

#include <QStringList>
#include <vector>

namespace nq {

// Turns components into drawing commands: measures, wraps and places text; resolves line
// positions and pens. Boxes are absolute (page x, strip y).
namespace desenhista {

// A text component in its box. AutoSize makes the box as wide as the text (keeping the
// edge its alignment holds); WordWrap breaks the text at the box width.
ComandoTexto texto(const TppCustomText& c, const QString& texto, Retangulo caixa);

// Lines of a memo from `caixa.topo` down, one command per line (so that a
// page may end between two of them), each `entrelinha` apart beyond the font's own line.
std::vector<ComandoTexto> linhas(const TppAparenciaDeTexto& aparencia, const QString& texto,
                                 Retangulo caixa, int entrelinha, bool quebraPalavras);

// A line follows one edge (or a diagonal) of its box; a double line draws two.
std::vector<ComandoLinha> linha(const TppLine& l, Retangulo caixa);

ComandoForma forma(const TppShape& s, Retangulo caixa);

// Breaks a paragraph at spaces into lines no wider than `largura`; a word wider than that
// is split between characters when `quebraPalavras`, else left whole.
QStringList quebra(const Fonte& fonte, const QString& paragrafo, int largura, bool quebraPalavras);

} // namespace desenhista
} // namespace nq
