#pragma once

#include <QString>

namespace nq {

class ClientDataSet;
class Planilha;

// Writes annex 1's figures into the Court of Accounts workbook `caminho`: the
// year digit and bimester on sheet "Com", then the lines on sheet "mod1 6b".
// A workbook of another version (cell "A26" of "mod1 6b" not starting with
// "(-)") gets its message and is closed unsaved: false, nothing written to
// the file. `exercicio`: MEXER of the municipality record.
bool exportaAnexo1(Planilha& planilha, const QString& caminho, ClientDataSet& cdsRec,
                   ClientDataSet& cdsDes, int bimestre, const QString& exercicio);

} // namespace nq
