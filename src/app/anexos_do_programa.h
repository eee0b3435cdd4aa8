#pragma once

#include "imprime.h"

namespace nq {

// The annex windows of this build, by the launcher's window names; the
// launcher and the run without windows both start annexes from this table.
AnexosDisponiveis anexosDoPrograma();

} // namespace nq
