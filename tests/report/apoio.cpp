#include "apoio.h"

#include "report/carregador.h"

#include <QDir>
#include <QFile>
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

void comparaComGolden(const QString& nome, const QString& atual) {
    const QString caminho = QStringLiteral(NQ404_FONTE "/tests/report/golden/%1.txt").arg(nome);
    if (qEnvironmentVariable("NQ404_ATUALIZA_GOLDEN") == QLatin1String("1")) {
        QFile f(caminho);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << caminho.toStdString();
        f.write(atual.toUtf8());
        return;
    }
    QFile f(caminho);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly))
        << "sem referência " << caminho.toStdString() << " (NQ404_ATUALIZA_GOLDEN=1 a cria)";
    const QString esperado = QString::fromUtf8(f.readAll());
    if (esperado == atual)
        return;
    const QString dir = QStringLiteral(NQ404_BIN "/golden-atual");
    QDir().mkpath(dir);
    QFile saida(dir + QLatin1Char('/') + nome + QStringLiteral(".txt"));
    if (saida.open(QIODevice::WriteOnly | QIODevice::Truncate))
        saida.write(atual.toUtf8());
    ADD_FAILURE() << "a saída difere de " << caminho.toStdString() << "; veja "
                  << saida.fileName().toStdString();
}

} // namespace nq::teste
