#pragma once

#include "report/devices/grade.h"

#include <QByteArray>

namespace nq {

// An Excel 97-2003 workbook (BIFF8 inside a compound document) with the cells on
// worksheets "Plan1", "Plan2"...: a sheet holds 65536 rows, further rows go to the next.
// Texts go to the shared string table; numbers are numbers, shown with grouping and
// their decimal places.
QByteArray pastaDeTrabalhoXls(const std::vector<Celula>& celulas);

} // namespace nq
