#pragma once

#include <QString>

namespace nq {

// The instructions file in the shared-tables directory (code "TD"), found under
// any letter case: "MTCE.html" (or ".htm"), "MTCE.pdf" or the Windows help file
// "MTCE.HLP", in that order; empty when none is there.
QString arquivoAjuda();

// Opens the instructions file with the desktop's viewer for it; false when the
// desktop has no program that opens it.
bool abreAjuda(const QString& arquivo);

// The instructions file at the user's request: opened, or the box that says where
// to get it, or the box that says it could not be opened.
void mostraAjuda();

// What start-up says when the instructions file is missing.
QString textoAjudaAusenteNoInicio();

} // namespace nq
