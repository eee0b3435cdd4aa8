#pragma once

#include "core/moeda.h"
#include "demo/exercicio.h"

#include <QString>
#include <map>
#include <utility>

// Annex 10's database figures computed straight from the generated rows,
// without SQL: each value line's commitments (or, for the contributions,
// revenue) of each month, and the PASEP payments on line 00090. An executive
// leaves out the items of the entities of kind 2.
class Esperado10 {
public:
    Esperado10(const nq::demo::Exercicio& e, bool executivo);

    // The line's figure in month `mes` (1 to 12) of that exercise.
    nq::Moeda doMes(const QString& id, int mes) const;

private:
    std::map<std::pair<QString, int>, nq::Moeda> figuras_;
};
