// The whole bimester close (bimester 6: every report's PDF and CSV, the
// checks, the index page) on a demo exercise of each size, next to one full
// scan of each postings table, measured in the same run. Usage:
// fechamento_bench [--bancos DIR] [teste|pequeno|medio|grande ...] (default: teste medio).
// --bancos keeps each generated exercise in DIR/<size> and reuses it on later
// runs (as anexos_bench does); outputs go to a temporary directory. Runs
// without windows.

#include "app/anexos_do_programa.h"
#include "app/fechamento.h"
#include "app/inicio.h"
#include "core/configuracao.h"
#include "core/erro.h"
#include "core/mensagens.h"
#include "db/consultas.h"
#include "db/modulodados.h"
#include "demo/demo.h"
#include "exercicio_guardado.h"
#include "medicao.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextStream>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStringList tamanhos = app.arguments().mid(1);
    QTemporaryDir dir;
    QString bancos = dir.path();
    if (const qsizetype i = tamanhos.indexOf(QStringLiteral("--bancos"));
        i >= 0 && i + 1 < tamanhos.size()) {
        bancos = tamanhos[i + 1];
        tamanhos.remove(i, 2);
    }
    if (tamanhos.isEmpty())
        tamanhos = {QStringLiteral("teste"), QStringLiteral("medio")};
    QTextStream out(stdout);
    nq::MensagensRoteirizadas respostas;
    nq::instalaMensagens(&respostas);
    bool cabecalho = true;
    try {
        for (const QString& nome : tamanhos) {
            const nq::demo::Demonstracao demo = exercicioGuardado(bancos, nome);
            nq::defineCaminhoVexoIni(demo.ini);
            nq::Tdm dm;
            if (nq::InicioNQ404(dm).executa().encerrar)
                throw nq::Erro(QStringLiteral("O programa não pôde iniciar (%1).").arg(nome));

            nq::Fechamento fechamento(
                {6, dir.filePath(nome + QStringLiteral("-saida")), {}, {}, false},
                nq::anexosDoPrograma());
            fechamento.verificaSaidas(dm);
            QElapsedTimer relogio;
            relogio.start();
            const nq::ResumoDoFechamento resumo = fechamento.executa();
            const double total = relogio.elapsed() / 1000.0;

            auto varredura = [&](const char* sql) {
                QElapsedTimer r;
                r.start();
                nq::ConsultaValor(dm.Conexao, QString::fromLatin1(sql));
                return QString::number(r.elapsed() / 1000.0, 'f', 3);
            };
            if (cabecalho) {
                out << "tamanho;receitas;status;fechamento_s";
                for (const nq::ResultadoDoRelatorio& r : resumo.relatorios)
                    out << ';' << r.relatorio.chave << "_s";
                out << ";varredura_receit_s;varredura_despes_s;varredura_viewliq_s;"
                       "varredura_desald_s;varredura_despag_s;pico_MiB\n";
                cabecalho = false;
            }
            out << nome << ';'
                << nq::ConsultaValor(dm.Conexao, QStringLiteral("SELECT COUNT(*) FROM RECEIT"))
                       .texto(0)
                << ';' << nq::statusDoFechamento(resumo) << ';' << QString::number(total, 'f', 2);
            for (const nq::ResultadoDoRelatorio& r : resumo.relatorios)
                out << ';' << QString::number(r.segundos, 'f', 2);
            out << ';' << varredura("SELECT SUM(VAREC) FROM RECEIT") << ';'
                << varredura("SELECT SUM(VADEM) FROM DESPES") << ';'
                << varredura("SELECT SUM(VADEM) FROM VIEWLIQ") << ';'
                << varredura("SELECT SUM(VALOR) FROM DESALD") << ';'
                << varredura("SELECT SUM(VALOR) FROM DESPAG") << ';' << picoDeMemoria() << '\n';
            out.flush();
        }
    } catch (const nq::Erro& e) {
        QTextStream(stderr) << e.texto() << '\n';
        return 1;
    }
    return 0;
}
