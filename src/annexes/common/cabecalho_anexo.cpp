#include "annexes/common/cabecalho_anexo.h"

#include "annexes/common/lancador.h"
#include "core/erro.h"
#include "db/modulodados.h"
#include "report/modelo.h"

namespace nq {

Municipio leMunicipio() {
    ClientDataSet& q = dm().qrCliente;
    if (!q.active())
        q.open();
    if (q.isEmpty())
        throw Erro(QStringLiteral("O cadastro do município (tabela CADCLI) está vazio."));
    q.first();
    return {q.fieldByName(QStringLiteral("CLNT1")).asString(),
            q.fieldByName(QStringLiteral("CID")).asString(),
            q.fieldByName(QStringLiteral("MEXER")).asString().trimmed()};
}

void poeCabecalho(TppReport& relatorio, const QString& cliente, const QString& municipio,
                  const QString& periodo, const Municipio& m) {
    relatorio.exige<TppLabel>(cliente).Caption = m.nome;
    relatorio.exige<TppLabel>(municipio).Caption = QStringLiteral("MUNICIPIO: ") + m.cidade;
    relatorio.exige<TppLabel>(periodo).Caption =
        lancador().digitoBimestre() + QStringLiteral("º BIMESTRE DE ") + m.exercicio;
}

} // namespace nq
