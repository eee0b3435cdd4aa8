#pragma once

#include "tables/dados.h"

#include <QString>

namespace nq {

enum class FormatoPacote { Xml, Binario };

// Reads a data packet in either form, recognised from its first bytes. Missing,
// empty, truncated or foreign files, unknown field types and values that do not
// fit their field throw nq::Erro naming the file. Calculated fields are never
// in a packet.
Dados lePacote(const QString& arquivo);

// Writes the persistent fields and every row in storage order, atomically: a
// failure leaves any previous file as it was.
void gravaPacote(const Dados& dados, const QString& arquivo, FormatoPacote formato);

} // namespace nq
