#pragma once

#include <QString>

namespace nq {

class TppReport;

// The municipality record (CADCLI) as the annex headings print it.
struct Municipio {
    QString nome;      // CLNT1
    QString cidade;    // CID
    QString exercicio; // MEXER, without surrounding blanks
};

// Reads the municipality record through the data module's qrCliente, opening
// it when closed; an empty CADCLI throws nq::Erro.
Municipio leMunicipio();

// Sets the three heading labels every bimester annex has: `cliente` := the
// entity name, `municipio` := "MUNICIPIO: " + the city, `periodo` := the
// launcher's bimester digit + "º BIMESTRE DE " + the exercise.
void poeCabecalho(TppReport& relatorio, const QString& cliente, const QString& municipio,
                  const QString& periodo, const Municipio& m);

} // namespace nq
