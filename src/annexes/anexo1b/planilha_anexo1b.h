#pragma once

#include <QString>

namespace nq {

class ClientDataSet;
class Planilha;

// Writes annex 1B's figures into the Court of Accounts workbook `caminho`: the
// year digit and bimester on sheet "Com", then on sheet "mod1 anexo" one row
// per value line of `cdsRec` (in its order) with the expenditure row of the
// same key from `cdsDes`: the table's first row on row 13, the others from
// row 15 on with their names. `exercicio`: MEXER of the municipality record.
void exportaAnexo1B(Planilha& planilha, const QString& caminho, ClientDataSet& cdsRec,
                    ClientDataSet& cdsDes, int bimestre, const QString& exercicio);

} // namespace nq
