#pragma once

#include "report/devices/grade.h"

#include <QByteArray>

namespace nq {

// The two worksheet families written from the same records: Lotus 1-2-3 release 2 (.WK1)
// and Quattro (.WQ1). They differ in the version their first record announces and in the
// labels, which Quattro stores with their length ahead of the text.
enum class PlanilhaLotus { Lotus123, Quattro };

// A single worksheet of at most 8192 rows and 256 columns: texts as labels (aligned as
// printed, at most 240 characters, in code page 850 - a spreadsheet program asks for the
// DOS character set when it opens them), numbers as numbers in comma format with their
// decimal places. Throws Erro when the report does not fit.
QByteArray planilhaLotus(const std::vector<Celula>& celulas, PlanilhaLotus tipo);

} // namespace nq
