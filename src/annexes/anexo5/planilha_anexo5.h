#pragma once

#include <QString>

namespace nq {

class ClientDataSet;
class Planilha;

// The three tables of annex 5, as the workbook export reads them.
struct TabelasDoAnexo5 {
    ClientDataSet& receitas;
    ClientDataSet& despesas;
    ClientDataSet& divida;
};

// Writes annex 5's figures into the Court of Accounts workbook `caminho`: the
// year digit and bimester on sheet "Com", then on sheet "mod 5" the lines by
// ID, in the rows and columns of the workbook of the exercise's layout (up to
// 2005 or after). `exercicio`: MEXER of the municipality record.
void exportaAnexo5(Planilha& planilha, const QString& caminho, const TabelasDoAnexo5& tabelas,
                   int bimestre, const QString& exercicio);

} // namespace nq
