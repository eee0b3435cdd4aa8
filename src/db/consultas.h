#pragma once

#include "core/moeda.h"

#include <QDate>
#include <QString>

namespace nq {

class TCRSQLConnection;

// The value of an assembled aggregate statement: the first column of its
// first row, exact, a null (a SUM over no rows) or no row at all giving 0.
Moeda ConsultaValor(TCRSQLConnection& conexao, const QString& sql);
// The same, reading the column named `campo`.
Moeda ConsultaValor(TCRSQLConnection& conexao, const QString& sql, const QString& campo);

// The condition that leaves out reserve commitments and the commitments that
// refer to them, followed by " AND ", for a statement where DESPES has the
// alias `tabela` ("D", or "DESPES" where it has none).
QString FiltroReservaEmpenho(const QString& tabela = QStringLiteral("D"));
// The keys of the reserve commitments, as that condition selects them.
QString SubconsultaReservaEmpenho();
// Whether reports show reserve commitments: PARAMEDU.RD holds "T".
bool MostraEmpenhosReserva(TCRSQLConnection& conexao);

// Date literals without quotes: "31.12.2008" and "12/31/2008".
QString dataSql(const QDate& data);
QString dataSqlMDA(const QDate& data);
// "31.12." followed by the year: the last day of an exercise.
QString ultimoDiaDoAnoSql(int ano);
// A text between single quotes, its own quotes doubled.
QString textoSql(const QString& texto);

} // namespace nq
