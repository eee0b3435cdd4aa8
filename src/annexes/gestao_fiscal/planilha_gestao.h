#pragma once

#include <QString>

namespace nq {

class ClientDataSet;
class Planilha;

// Writes the fiscal-management figures of quadrimester `quadrimestre` into the
// Court of Accounts workbook `caminho`: the RCL from `cdsGe3`, then each
// printed row of `cdsGestao` (its filter in force) that has a row on the
// sheet ("mod10 3q", or "mod 10 3q" for a chamber, which has fewer rows). The
// workbook is handed to the user unsaved.
void exportaGestaoFiscal(Planilha& planilha, const QString& caminho, ClientDataSet& cdsGe3,
                         ClientDataSet& cdsGestao, int quadrimestre, bool camara);

} // namespace nq
