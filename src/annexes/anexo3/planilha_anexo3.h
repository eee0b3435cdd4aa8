#pragma once

#include <QString>

namespace nq {

class ClientDataSet;
class Planilha;

// Writes annex 3's typed and computed lines into the Court of Accounts
// workbook `caminho`: the year digit and bimester on sheet "Com", then on
// sheet "mod 3" the twelve months ending with the bimester (oldest in column
// C) and, in column P, the twelve months ending with the previous bimester.
// Total lines are left to the workbook. `exercicio`: MEXER of the
// municipality record.
void exportaAnexo3(Planilha& planilha, const QString& caminho, ClientDataSet& cdsImp, int bimestre,
                   const QString& exercicio);

} // namespace nq
