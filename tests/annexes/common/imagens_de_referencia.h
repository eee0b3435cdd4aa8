#pragma once

#include "report/pagina.h"

#include <QString>

namespace nq::teste {

// Writes `documento` to a PDF and compares it with the references in `pasta`: each page as
// pdftoppm draws it (150 dpi, grey, kept as its dark pixels) with `<nome>-<n>.png`, and its
// text as pdftotext lays it out with `<nome>.txt`, exactly. Pages match within
// anti-aliasing: every dark pixel of one image has a dark pixel at most one pixel away in
// the other. With
// NQ404_ATUALIZA_GOLDEN=1 the references are written instead (review them before
// committing); on a mismatch the current files go to golden-atual/ beside the binaries.
// Reports through GoogleTest.
void comparaComImagensDeReferencia(const Documento& documento, const QString& pasta,
                                   const QString& nome);

} // namespace nq::teste
