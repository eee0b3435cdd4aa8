#pragma once

#include <QString>

namespace nq {

// Program-wide values set while the main window starts up and read by the
// data-entry window, the typed-data files and the annexes.

// The year's data directory (code "D"), ending with its separator; empty until start-up sets it.
QString diretorioDados();
void defineDiretorioDados(const QString& dir);

// The exercise year as text ("2008"); set only once the current year's database
// has opened, so it stays empty after a failed start-up.
QString anoExercicio();
void defineAnoExercicio(const QString& ano);

} // namespace nq
