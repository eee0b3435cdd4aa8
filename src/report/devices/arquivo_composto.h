#pragma once

#include <QByteArray>
#include <QString>

namespace nq {

// A compound document (the container of .xls workbooks) holding one stream. Streams
// shorter than 4096 bytes are padded with zeros to that size, which keeps them out of the
// mini stream; spreadsheet programs stop reading at the workbook's end record.
QByteArray arquivoComposto(const QString& nomeDoFluxo, QByteArray fluxo);

} // namespace nq
