#pragma once

#include "demo/exercicio.h"

#include <QString>

namespace nq::demo {

// Creates the database file `caminho` (which must not exist) with the
// accounting schema and fills it with the exercise. The rows go in before
// the keys and indexes are built, which is much faster for a large exercise.
void gravaExercicio(const Exercicio& exercicio, const QString& caminho);

} // namespace nq::demo
