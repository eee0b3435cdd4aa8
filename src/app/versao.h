#pragma once

#include <QString>

namespace nq {

// The program's file version, four numbers joined by "." ("1.0.0.1"), as the
// build compiled it in.
QString VersaoArquivo();

} // namespace nq
