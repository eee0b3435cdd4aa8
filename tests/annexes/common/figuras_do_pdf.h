#pragma once

#include "report/pagina.h"

#include <QString>
#include <QStringList>

namespace nq::teste {

// Writes the pages of `documento` to a PDF.
void gravaPdf(const Documento& documento, const QString& pdf);
// Every money figure of a PDF's text, in reading order, in plain form.
QStringList figurasDoPdf(const QString& pdf);

} // namespace nq::teste
