#pragma once

#include <QString>

namespace nq {

class ClientDataSet;
class Planilha;

// Writes annex 6's lines into sheet "mod 6" of the Court of Accounts workbook
// `caminho`: the legislative power (ADM "D01") on row 14, the executive ("D02")
// on row 16, each indirect entity ("I") from row 19 on with its name; the
// direct administration's total ("D") lends the executive its earlier years'
// commitments and, from 2006, its cash when the executive's own are 0.
// `exercicio`: MEXER of the municipality record.
void exportaAnexo6(Planilha& planilha, const QString& caminho, ClientDataSet& cdsRestos,
                   int exercicio);

} // namespace nq
