#pragma once

#include <QString>

namespace nq {

class ClientDataSet;
class Planilha;

// Writes annex 2's figures into the Court of Accounts workbook `caminho`: the
// year digit and bimester on sheet "Com", then on sheet "mod2 6b" each
// sub-function line of the functions 01 to 28 into the block of its function,
// on the row that already holds its function and sub-function codes or else on
// the block's first row with an empty column "B". A sub-function that finds
// neither is not written. A row of the block whose codes are not whole numbers
// stops the export with nq::Erro and the workbook is closed unsaved.
// `exercicio`: MEXER of the municipality record.
void exportaAnexo2(Planilha& planilha, const QString& caminho, ClientDataSet& cdsImp, int bimestre,
                   const QString& exercicio);

} // namespace nq
