#pragma once

#include "apoio/golden.h"

// Compares `atual` with tests/annexes/<anexo>/golden/<nome>.txt (see apoio/golden.h).
inline void comparaComGoldenDoAnexo(const QString& anexo, const QString& nome,
                                    const QString& atual) {
    nq::teste::comparaComGolden(QStringLiteral(NQ404_FONTE "/tests/annexes/%1/golden").arg(anexo),
                                nome, atual);
}
