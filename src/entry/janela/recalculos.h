#pragma once

#include "core/moeda.h"

#include <QString>

namespace nq {

class ClientDataSet;

// The lines that saving in the data-entry window recalculates in the typed
// files themselves. Each routine reads and writes the file whose full path it
// is given; a file that cannot be read or written raises nq::Erro and is left
// as it was.

// Adds the fourteen money columns of the current row of `origem` into the
// current row of `destino` (null counts as 0) and posts it.
void SOMA_VALOR(ClientDataSet& destino, ClientDataSet& origem);

// The annex 1 receipt file: every title line gets the sum of the value lines
// its filter selects; a title line without a filter of its own holds 0.
void SOMA_ANEXO_1(const QString& arquivo);

// The annex 3 file: each line with a formula in FILTRO (IDs of other lines,
// each followed by its operator) gets, month by month, the formula evaluated
// on the typed lines and on the other formula lines as this evaluation
// computes them, so that one save leaves every total consistent. Lines whose
// formulas read one another in a circle read each other's stored values.
// Nothing happens when the file does not exist.
void CAMPOS_CALCULADOS(const QString& arquivo);

// The four operations of the formulas, exact to four places (rounded half away
// from zero); a division by zero gives 0.
Moeda aplicaOperador(QChar operador, Moeda acumulado, Moeda valor);

} // namespace nq
