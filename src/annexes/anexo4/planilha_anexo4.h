#pragma once

#include <QString>

namespace nq {

class ClientDataSet;
class Planilha;

// The four tables of annex 4, as the workbook export reads them.
struct TabelasDoAnexo4 {
    ClientDataSet& receitas;
    ClientDataSet& despesas;
    ClientDataSet& recebimentos;
    ClientDataSet& pagamentos;
};

// Writes annex 4's value lines into the Court of Accounts workbook `caminho`:
// the year digit and bimester on sheet "Com", then on sheet "mod 4" the
// revenues, expenditures and financial receipts and payments by line ID.
// Totals, the result and the balances subtotals are left to the workbook.
// `exercicio`: MEXER of the municipality record.
void exportaAnexo4(Planilha& planilha, const QString& caminho, const TabelasDoAnexo4& tabelas,
                   int bimestre, const QString& exercicio);

} // namespace nq
