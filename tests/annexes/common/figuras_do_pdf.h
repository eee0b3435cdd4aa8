#pragma once

#include "annexes/common/figuras_csv.h"
#include "report/pagina.h"

#include <QString>
#include <QStringList>

namespace nq::teste {

// Writes the pages of `documento` to a PDF.
void gravaPdf(const Documento& documento, const QString& pdf);
// Every money figure of a PDF's text, in reading order, in plain form.
QStringList figurasDoPdf(const QString& pdf);
// The figures' values as the CSV holds them, in order.
QStringList valoresDoCsv(const std::vector<Figura>& figuras);
// The money figures of `documento` once written to the PDF `pdf`.
QStringList figurasImpressas(const Documento& documento, const QString& pdf);

} // namespace nq::teste
