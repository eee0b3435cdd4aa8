#include "entry/consultas.h"

#include "core/erro.h"
#include "entry/strzero.h"
#include "tables/clientdataset.h"

namespace nq {

namespace {

// Closes the dataset when the scope ends, however it ends.
class FechaAoSair {
public:
    explicit FechaAoSair(ClientDataSet& cds) : cds_(cds) {}
    ~FechaAoSair() { cds_.close(); }
    FechaAoSair(const FechaAoSair&) = delete;
    FechaAoSair& operator=(const FechaAoSair&) = delete;

private:
    ClientDataSet& cds_;
};

} // namespace

void percorreConsulta(ClientDataSet& cds, const QString& sql,
                      const std::function<void(ClientDataSet&, int)>& porLinha) {
    cds.close();
    cds.setCommandText(sql);
    const FechaAoSair fecha(cds);
    cds.open();
    int numero = 0;
    for (cds.first(); !cds.eof(); cds.next())
        porLinha(cds, ++numero);
}

std::vector<Entidade> leEntidades(ClientDataSet& cdsAux2, const QString& sql) {
    std::vector<Entidade> r;
    percorreConsulta(cdsAux2, sql, [&r](ClientDataSet& cds, int) {
        const QString codigo = cds.fieldByName(QStringLiteral("EMPRESA")).asString();
        Entidade e;
        try {
            e.empresa = inteiroDeTexto(codigo);
        } catch (const Erro& erro) {
            throw Erro(QStringLiteral("Código de empresa inválido na tabela TABEMPRESA "
                                      "(EMPRESA): %1")
                           .arg(erro.texto()));
        }
        e.nome = cds.fieldByName(QStringLiteral("NOME")).asString();
        r.push_back(e);
    });
    return r;
}

int leExercicio(ClientDataSet& qrCliente) {
    qrCliente.close();
    const FechaAoSair fecha(qrCliente);
    qrCliente.open();
    qrCliente.first();
    if (qrCliente.eof())
        throw Erro(QStringLiteral("A tabela CADCLI não tem registro: o exercício (MEXER) "
                                  "não pôde ser lido."));
    const QString mexer = qrCliente.fieldByName(QStringLiteral("MEXER")).asString();
    try {
        return inteiroDeTexto(mexer);
    } catch (const Erro& erro) {
        throw Erro(QStringLiteral("O exercício (MEXER) da tabela CADCLI é inválido: %1")
                       .arg(erro.texto()));
    }
}

} // namespace nq
