#pragma once

#include <QString>

namespace nq {

class TppReport;
struct CadastroDoCliente;

// Sets the three heading labels every bimester annex has: `cliente` := the
// entity name, `municipio` := "MUNICIPIO: " + the city, `periodo` := the
// launcher's bimester digit + "º BIMESTRE DE " + the exercise.
void poeCabecalho(TppReport& relatorio, const QString& cliente, const QString& municipio,
                  const QString& periodo, const CadastroDoCliente& c);

} // namespace nq
