// How long the demo generator takes for each size and how large the
// databases are. Usage: gerador_bench [teste|pequeno|medio|grande ...]
// (default: teste pequeno medio). Writes into a temporary directory.

#include "core/erro.h"
#include "demo/gravador.h"
#include "demo/plano.h"
#include "medicao.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextStream>

using namespace nq::demo;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList tamanhos = app.arguments().mid(1);
    if (tamanhos.isEmpty())
        tamanhos = {QStringLiteral("teste"), QStringLiteral("pequeno"), QStringLiteral("medio")};
    QTextStream out(stdout);
    out << "tamanho;ano;receitas;empenhos;liquidacoes;pagamentos;plano_s;gravacao_s;arquivo_MiB;"
           "pico_MiB\n";
    QTemporaryDir dir;
    try {
        for (const QString& nome : tamanhos) {
            const auto tamanho = tamanhoDeTexto(nome);
            if (!tamanho)
                throw nq::Erro(QStringLiteral("Tamanho inválido: %1").arg(nome));
            QElapsedTimer relogio;
            relogio.start();
            const ParDeExercicios par = geraPar(2008, 404, *tamanho);
            const double plano = relogio.elapsed() / 1000.0;
            for (const Exercicio* e : {&par.anterior, &par.atual}) {
                const QString arquivo =
                    dir.filePath(QStringLiteral("%1-%2.fdb").arg(nome).arg(e->ano));
                relogio.restart();
                gravaExercicio(*e, arquivo);
                const double gravacao = relogio.elapsed() / 1000.0;
                out << nome << ';' << e->ano << ';' << e->receitas.size() << ';'
                    << e->empenhos.size() << ';' << e->liquidacoes.size() << ';'
                    << e->pagamentos.size() << ';' << QString::number(plano, 'f', 2) << ';'
                    << QString::number(gravacao, 'f', 2) << ';'
                    << QString::number(QFileInfo(arquivo).size() / 1048576.0, 'f', 1) << ';'
                    << picoDeMemoria() << '\n';
                out.flush();
            }
        }
    } catch (const nq::Erro& e) {
        QTextStream(stderr) << e.texto() << '\n';
        return 1;
    }
    return 0;
}
