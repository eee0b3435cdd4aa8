#pragma once

#include <QString>

namespace nq {

class Tdm;

// What start-up leaves for the main window to show.
struct ResultadoInicio {
    bool encerrar = false; // the application must end (old year, no database)
    QString ano;           // the exercise year, once its database has opened
    QString municipio;     // the municipality's name (CADCLI.clnt1)
    QString arquivoAjuda;  // the instructions file to open, empty when missing
};

// The start-up steps that the main window's creation runs, without any window:
// data directory, instructions file, exercise year, database test, connection,
// municipality. Every message goes through nq::mensagens(); an error stops the
// remaining steps and is shown as the general error display shows it.
class InicioNQ404 {
public:
    explicit InicioNQ404(Tdm& dm) : dm_(dm) {}
    ResultadoInicio executa();

private:
    void passos(ResultadoInicio& r);

    Tdm& dm_;
};

} // namespace nq
