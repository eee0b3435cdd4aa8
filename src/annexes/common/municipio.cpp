#include "annexes/common/municipio.h"

#include "core/erro.h"
#include "db/modulodados.h"
#include "report/modelo.h"

namespace nq {

ClientDataSet& registroDoMunicipio() {
    ClientDataSet& q = dm().qrCliente;
    if (!q.active())
        q.open();
    if (q.isEmpty())
        throw Erro(QStringLiteral("O cadastro do município (tabela CADCLI) está vazio."));
    q.first();
    return q;
}

int exercicioDoMunicipio(ClientDataSet& municipio) {
    const QString mexer = municipio.fieldByName(QStringLiteral("MEXER")).asString().trimmed();
    bool ok = false;
    const int ano = mexer.toInt(&ok);
    if (!ok)
        throw Erro(QStringLiteral("O exercício do cadastro do município (MEXER) não é um ano: "
                                  "\"%1\".")
                       .arg(mexer));
    return ano;
}

void preencheAssinaturas(TppReport& relatorio, ClientDataSet& municipio) {
    const std::pair<const char*, const char*> rotulos[] = {
        {"ppLabel146", "PREN"}, {"ppLabel140", "PRE"},  {"ppLabel147", "TESN"},
        {"ppLabel143", "TES"},  {"ppLabel148", "CONN"}, {"ppLabel144", "CON"}};
    for (const auto& [rotulo, campo] : rotulos)
        relatorio.exige<TppLabel>(QString::fromLatin1(rotulo)).Caption =
            municipio.fieldByName(QString::fromLatin1(campo)).asString();
}

} // namespace nq
