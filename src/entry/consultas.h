#pragma once

#include <QString>
#include <functional>
#include <vector>

namespace nq {

class ClientDataSet;

// Runs `sql` on `cds` and calls `porLinha` on each result row, in the order the
// database returns them, with the row's 1-based number. `cds` is left closed,
// also when something fails.
void percorreConsulta(ClientDataSet& cds, const QString& sql,
                      const std::function<void(ClientDataSet&, int)>& porLinha);

// A row of TABEMPRESA.
struct Entidade {
    int empresa = 0;
    QString nome;
};

// The entities that `sql` ("SELECT EMPRESA, NOME FROM TABEMPRESA ...") returns,
// in its order. An EMPRESA that is not an integer raises nq::Erro.
std::vector<Entidade> leEntidades(ClientDataSet& cdsAux2, const QString& sql);

// The exercise year, MEXER of CADCLI, read through `qrCliente` (opened and
// closed again). No row, or a MEXER that is not a year, raises nq::Erro.
int leExercicio(ClientDataSet& qrCliente);

} // namespace nq
