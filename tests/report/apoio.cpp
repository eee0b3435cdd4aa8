#include "apoio.h"

#include "report/carregador.h"

#include <QGuiApplication>
#include <gtest/gtest.h>

namespace nq::teste {

void garanteAplicacao() {
    if (QGuiApplication::instance())
        return;
    static int argc = 1;
    static char nome[] = "report_testes";
    static char* argv[] = {nome, nullptr};
    new QGuiApplication(argc, argv); // lives until the process ends
}

std::unique_ptr<TppReport> layout(const QString& nome) {
    return carregaLayout(QStringLiteral(NQ404_FONTE "/tests/report/layouts/%1.json").arg(nome));
}

std::unique_ptr<ClientDataSet> tabela(const QString& nome, const std::vector<Linha>& linhas) {
    auto t = std::make_unique<ClientDataSet>(nome);
    t->addField(QStringLiteral("NOME"), FieldKind::Text, 60);
    t->addField(QStringLiteral("GRP"), FieldKind::Text, 20);
    t->addField(QStringLiteral("VALOR"), FieldKind::Money);
    t->createDataSet();
    for (const Linha& l : linhas)
        t->appendRecord({Value(l.nome), Value(l.grupo), Value(l.valor)});
    return t;
}

std::vector<Linha> linhas(int n, int porGrupo) {
    std::vector<Linha> ls;
    for (int i = 1; i <= n; ++i)
        ls.push_back({QStringLiteral("Item %1").arg(i, 2, 10, QLatin1Char('0')),
                      QStringLiteral("G%1").arg((i - 1) / porGrupo + 1),
                      Moeda::deDezMilesimos(i * 15000)});
    return ls;
}

} // namespace nq::teste
