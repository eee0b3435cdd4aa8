#pragma once

#include "report/modelo.h"
#include "report/pagina.h"

#include <optional>
#include <vector>

namespace nq {

// A formatted text (a formatted memo field: RTF as the legacy files hold it, HTML, or plain
// text) as the report prints it: paragraphs of runs that keep bold, italic and underline,
// each paragraph with its alignment. Fonts, sizes and colours of the source are not kept:
// the component's font is the printer's.
struct TrechoRico {
    QString texto;
    bool negrito = false;
    bool italico = false;
    bool sublinhado = false;

    bool operator==(const TrechoRico&) const = default;
};

struct ParagrafoRico {
    std::optional<Alinhamento> alinhamento; // none: the component's
    std::vector<TrechoRico> trechos;

    bool operator==(const ParagrafoRico&) const = default;
};

// Reads RTF (from "{\rtf"), HTML (what Qt takes for rich text) or plain text, where each
// line is a paragraph. The styles of plain text are those of `base`.
std::vector<ParagrafoRico> leTextoRico(const QString& formatado, const Fonte& base = {});

// The text without its formatting, one line per paragraph.
QString textoSemFormato(const std::vector<ParagrafoRico>& paragrafos);

// Lays the paragraphs out in `caixa` from its top down, wrapping words (and breaking a word
// wider than the box). Each line gives one command per run of one style, all with the
// line's vertical extent, so a page may end between two lines but never inside one.
std::vector<ComandoTexto> linhasRicas(const TppAparenciaDeTexto& aparencia,
                                      const std::vector<ParagrafoRico>& paragrafos,
                                      Retangulo caixa);

} // namespace nq
