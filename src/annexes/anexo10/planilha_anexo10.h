#pragma once

#include <QString>

namespace nq {

class ClientDataSet;
class Planilha;

// Writes annex 10 into the Court of Accounts workbook `caminho`: the year and
// the period of reference month `mes` (an even month) on sheet "Com", then on
// sheet "Anexo1mod10" the twelve months of each value line of page 1
// (`cdsDP1`, at the executive's or the chamber's rows) and, for the executive,
// the retirees' lines and the contributions of page 2 (`cdsDP2`). The oldest
// month goes to column B. The workbook is left open, unsaved.
void exportaAnexo10(Planilha& planilha, const QString& caminho, ClientDataSet& cdsDP1,
                    ClientDataSet& cdsDP2, int mes, const QString& exercicio, bool executivo);

} // namespace nq
