#pragma once

#include "report/pagina.h"

#include <QString>

namespace nq {

// A stable, readable text form of generated pages: one line per drawing command (a text's
// placed runs on indented lines below it), coordinates in thousandths of a millimetre,
// texts quoted. Two runs that draw the same pages give the same text, so committed dumps
// show a change in layout or pagination as a diff.
QString despejo(const Pagina& pagina);
QString despejo(const Documento& documento);

} // namespace nq
