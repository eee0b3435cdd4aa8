#pragma once

#include "report/pagina.h"

#include <vector>

namespace nq {

// One printed run of text with the measures the text-based devices lay out by.
struct TextoNaPagina {
    int x = 0; // left end of the run
    int linhaDeBase = 0;
    int largura = 0; // measured width of the run
    int altura = 0;  // line height of its font
    QString texto;
    Fonte fonte;
    Alinhamento alinhamento = Alinhamento::Esquerda;

    int topo() const;
    // The point that stays put when the text changes: the right end of a right-aligned
    // text, the middle of a centred one, the left end of the others.
    int ancora() const;
};

// The non-blank runs of text of a page, top to bottom and left to right.
std::vector<TextoNaPagina> textosDaPagina(const Pagina& pagina);

// A component's text with its lines joined by blanks.
QString textoCompleto(const ComandoTexto& texto);

// Advance of one character ("0") of a font, in thousandths of a millimetre.
int larguraDoCaractere(const Fonte& fonte);

// Text in code page 850 (the DOS Latin-1 of printers and old worksheets); a character
// that it lacks becomes "?".
QByteArray codificaCp850(const QString& texto);

// Rows of runs whose baselines lie closer than half the smaller line height.
std::vector<std::vector<TextoNaPagina>> linhasDeTexto(const std::vector<TextoNaPagina>& textos);

} // namespace nq
