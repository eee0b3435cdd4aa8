#pragma once

#include "report/pagina.h"

#include <QByteArray>

namespace nq {

// A page as a placeable Windows metafile: vector lines and shapes, texts as text in their
// fonts (the fixed-pitch printer fonts as a monospace font at the printer's character
// width), images as bitmaps. Coordinates are in twips, so paper up to 57 cm fits.
QByteArray metarquivoDaPagina(const Pagina& pagina);

} // namespace nq
