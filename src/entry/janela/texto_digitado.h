#pragma once

#include "tables/valor.h"

#include <QString>
#include <optional>

namespace nq {

// Amounts as the user types them: Brazilian separators, "," for decimals and
// "." for thousands ("1.234,56", "-0,5", "12").

// The amount written in `texto`, exact; nullopt when it is not a number, has
// misplaced thousands separators or more than four decimal places.
std::optional<Moeda> moedaDigitada(const QString& texto);

// The value typed into a cell of kind `tipo`: an empty text clears the cell.
// A text that is not a value of that kind, or an amount with more than two
// decimal places, raises nq::Erro naming it.
Value valorDigitado(const QString& texto, FieldKind tipo);

// A cell as the grid shows it ("1.234,56", "-5,00"; null: empty).
QString textoExibido(const Value& valor, FieldKind tipo);
// A cell as the editor opens it: no grouping, "," for decimals, at least two
// places ("1234,5678", "-5,00").
QString textoParaEditar(const Value& valor, FieldKind tipo);

} // namespace nq
