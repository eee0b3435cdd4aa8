#pragma once

#include "report/modelo.h"

namespace nq {

// Refuses, before any page is made, a layout that asks for what the band engine does not
// lay out (two passes, several columns, master/detail links, page counts, starting on an
// odd page, restarting page numbers by group, kept-together stretchables, variables
// calculated or reset outside the record walk). Printing such a layout as if the property
// were not there would give pages that look right and are not: the error names the object
// and the property. Throws nq::Erro.
void verificaRecursos(const TppReport& relatorio);

} // namespace nq
