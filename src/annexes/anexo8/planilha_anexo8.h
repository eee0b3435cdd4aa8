#pragma once

#include <QString>

namespace nq {

class ClientDataSet;
class Planilha;

// Writes annex 8's projection into the Court of Accounts workbook `caminho`:
// the period on sheet "Com" (without a bimester, the year only), then on sheet
// "mod 8", for each of rows 16 to 50 whose column A holds a year of
// `cdsProjecao`, that year's revenue in B and expenditure in C; other rows are
// left as they are. `exercicio`: MEXER of the municipality record.
void exportaAnexo8(Planilha& planilha, const QString& caminho, ClientDataSet& cdsProjecao,
                   int bimestre, const QString& exercicio);

} // namespace nq
