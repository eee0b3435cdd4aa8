#pragma once

#include <QString>
#include <QStringList>

namespace nq::demo {

// Splits an SQL script into its statements. The terminator is ";" until a
// "SET TERM <novo> <atual>" line changes it (procedure bodies contain ";").
// Comments ("--" to the end of the line and "/* */") and quoted texts are
// kept inside their statement; SET TERM lines themselves are not returned.
QStringList divideRoteiro(const QString& roteiro);

} // namespace nq::demo
