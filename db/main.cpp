// nq404-demo: builds a demonstration exercise (and the year before it) of the
// accounting database, with the Vexo.ini that points at it.

#include "core/erro.h"
#include "demo/demo.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTextStream>

namespace {

nq::demo::OpcoesDemo leOpcoes(const QCoreApplication& app) {
    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral(
        "Gera os bancos de dados de demonstração do NQ 404 (exercício e ano anterior)."));
    p.addHelpOption();
    const QCommandLineOption destino(QStringLiteral("destino"),
                                     QStringLiteral("Diretório onde criar a árvore VEXO_8."),
                                     QStringLiteral("DIR"));
    const QCommandLineOption ano(QStringLiteral("ano"), QStringLiteral("Exercício (padrão 2008)."),
                                 QStringLiteral("ANO"), QStringLiteral("2008"));
    const QCommandLineOption semente(QStringLiteral("semente"),
                                     QStringLiteral("Semente dos dados (padrão 404)."),
                                     QStringLiteral("N"), QStringLiteral("404"));
    const QCommandLineOption tamanho(
        QStringLiteral("tamanho"),
        QStringLiteral("teste, pequeno, medio ou grande (padrão pequeno)."),
        QStringLiteral("TAMANHO"), QStringLiteral("pequeno"));
    const QCommandLineOption ini(QStringLiteral("ini"),
                                 QStringLiteral("Vexo.ini a gravar (padrão DIR/Vexo.ini)."),
                                 QStringLiteral("ARQUIVO"));
    const QCommandLineOption substituir(QStringLiteral("substituir"),
                                        QStringLiteral("Recria os bancos que já existirem."));
    p.addOptions({destino, ano, semente, tamanho, ini, substituir});
    p.process(app);

    nq::demo::OpcoesDemo o;
    if (!p.isSet(destino))
        throw nq::Erro(QStringLiteral("Informe --destino DIR."));
    o.destino = p.value(destino);
    bool ok = false;
    o.ano = p.value(ano).toInt(&ok);
    if (!ok)
        throw nq::Erro(QStringLiteral("Ano inválido: %1").arg(p.value(ano)));
    o.semente = p.value(semente).toULongLong(&ok);
    if (!ok)
        throw nq::Erro(QStringLiteral("Semente inválida: %1").arg(p.value(semente)));
    const auto t = nq::demo::tamanhoDeTexto(p.value(tamanho));
    if (!t)
        throw nq::Erro(QStringLiteral("Tamanho inválido: %1 (teste, pequeno, medio ou grande).")
                           .arg(p.value(tamanho)));
    o.tamanho = *t;
    o.ini = p.value(ini);
    o.substituir = p.isSet(substituir);
    return o;
}

void relata(QTextStream& out, const QString& banco, const nq::demo::Exercicio& e) {
    out << banco << " (" << QFileInfo(banco).size() / 1024 << " KiB): " << e.receitas.size()
        << " lançamentos de receita, " << e.empenhos.size() << " empenhos, " << e.liquidacoes.size()
        << " liquidações, " << e.pagamentos.size() << " pagamentos\n";
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("nq404-demo"));
    QTextStream out(stdout);
    try {
        const nq::demo::OpcoesDemo opcoes = leOpcoes(app);
        QElapsedTimer relogio;
        relogio.start();
        const nq::demo::Demonstracao d = nq::demo::criaDemo(opcoes);
        relata(out, d.bancoAnterior, d.exercicios.anterior);
        relata(out, d.bancoAtual, d.exercicios.atual);
        out << d.ini << ": Ano=" << opcoes.ano << ", Caminho_Base_Dados=" << d.raiz << "\n"
            << "Tempo: " << relogio.elapsed() / 1000.0 << " s\n";
        return 0;
    } catch (const nq::Erro& e) {
        QTextStream(stderr) << e.texto() << "\n";
        return 1;
    }
}
