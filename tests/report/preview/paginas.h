#pragma once

#include "report/pagina.h"

namespace nq::teste {

// `quantas` letter pages, each with a title and its number in large type.
Documento documento(int quantas, const QString& nome = QStringLiteral("Teste"));

} // namespace nq::teste
