#pragma once

#include <QString>

namespace nq {

class ClientDataSet;
class Planilha;

// Writes annex 7's lines into the Court of Accounts workbook `caminho`: the
// period on sheet "Com", then on sheet "mod 7" every line of `cdsPrint` but
// the TOTAL, in ID order from row 15 (the prefecture, whose name the sheet
// holds) on, with their names from row 16. `exercicio`: MEXER of the
// municipality record.
void exportaAnexo7(Planilha& planilha, const QString& caminho, ClientDataSet& cdsPrint,
                   int bimestre, const QString& exercicio);

} // namespace nq
