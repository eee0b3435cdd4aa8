#pragma once

#include <QString>

namespace nq::teste {

// Prints the layout `arquivo` (a resource such as ":/anexo1/relatorio1.json") with the
// widest figure money can hold in every money column and variable, and a long text in
// every other data field, then checks on the laid-out pages that each figure is drawn
// whole inside its box and apart from the texts beside it on its line. The layout's own
// handlers are not attached: only its geometry is under test. Reports failures through
// GoogleTest.
void verificaFigurasCabem(const QString& arquivo);

} // namespace nq::teste
