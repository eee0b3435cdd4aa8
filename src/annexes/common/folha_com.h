#pragma once

#include <QString>

namespace nq {

class Planilha;

// The period on sheet "Com" of the Court of Accounts workbook (open in
// `planilha`), as texts: "AR6" the year's first four characters, "AH6" the
// bimester and "AJ6" its last month. Without a bimester (0) those two cells
// keep what they hold. Leaves "Com" selected.
void escrevePeriodoNaFolhaCom(Planilha& planilha, const QString& exercicio, int bimestre);

} // namespace nq
