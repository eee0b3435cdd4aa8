#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace nq {

// What a statement builder may safely assume of a condition text (a line's
// stored FILTRO, or a fixed part of a statement), read token by token without
// a parser. Anything the reader is unsure of makes the condition unsafe, and an
// unsafe condition is only ever run as the literal text it came in.
struct AnaliseDeCondicao {
    // Balanced parentheses and quotes, no comments, no ';', no parameters, no
    // clause keywords outside a subquery, no function with side effects, and
    // neither ending nor starting with an operator.
    bool segura = false;
    // An OR outside every parenthesis: "P and W and S" then reads differently
    // from "P and (W) and S".
    bool ouNoTopo = false;
    // The names that look like columns (outside subqueries, function names,
    // keywords, types), as written ("recdis.codre", "tipo"), each once. A wrong
    // guess only makes a statement built from them fail.
    QStringList colunas;
};
AnaliseDeCondicao analisaCondicao(const QString& condicao);

// One term of a select list made of sums: "-sum(debit)" is {-1, "debit"}.
struct TermoDaSoma {
    int sinal = 1;
    QString expressao;
};
// The terms of "sum(a)", "sum(a)-sum(b)" or "(sum(a) - sum(b))"; nullopt for any
// other form (sum(distinct ...), a constant, a product ...).
std::optional<std::vector<TermoDaSoma>> termosDaSoma(const QString& soma);

} // namespace nq
