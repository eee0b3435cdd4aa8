// Annexes 1, 3, 6, 7 and 8 for bimester 6 on a demo exercise of each size:
// time, statements run and peak memory, next to one full scan of the revenue
// postings, and for annexes 6 and 7 of each table they read, measured in the
// same run. Usage:
// anexos_bench [teste|pequeno|medio|grande ...] (default: teste pequeno medio).
// Writes into a temporary directory; runs without windows.

#include "annexes/anexo1/anexo1.h"
#include "annexes/anexo3/anexo3.h"
#include "annexes/anexo6/anexo6.h"
#include "annexes/anexo7/anexo7.h"
#include "annexes/anexo8/anexo8.h"
#include "annexes/common/justificativa.h"
#include "annexes/common/lancador.h"
#include "core/configuracao.h"
#include "core/erro.h"
#include "core/globais.h"
#include "core/mensagens.h"
#include "db/consultas.h"
#include "db/modulodados.h"
#include "demo/demo.h"
#include "medicao.h"
#include "report/motor.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextStream>

namespace {

// The pages are generated and dropped; closing the "preview" still runs what
// an annex does then (annex 3 writes its RCL file).
class SaidaDescartada : public nq::SaidaDeRelatorios {
public:
    void apresenta(nq::TppReport& relatorio, const nq::Documento&) override {
        if (relatorio.OnPreviewFormClose)
            relatorio.OnPreviewFormClose();
    }
};

// Seconds taken by pressing a button the launcher presses.
double cronometra(QAbstractButton* botao) {
    QElapsedTimer relogio;
    relogio.start();
    botao->click();
    return relogio.elapsed() / 1000.0;
}

// Seconds of one full scan of each table: what the annex's figures need at the least.
double varreduras(nq::TCRSQLConnection& conexao, const QStringList& tabelas) {
    QElapsedTimer relogio;
    relogio.start();
    for (const QString& t : tabelas)
        nq::ConsultaValor(conexao, QStringLiteral("SELECT COUNT(*) FROM ") + t);
    return relogio.elapsed() / 1000.0;
}

QString segundos(double s) {
    return QString::number(s, 'f', 2);
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStringList tamanhos = app.arguments().mid(1);
    if (tamanhos.isEmpty())
        tamanhos = {QStringLiteral("teste"), QStringLiteral("pequeno"), QStringLiteral("medio")};
    QTextStream out(stdout);
    out << "tamanho;receitas;anexo1_s;anexo1_comandos;anexo3_s;anexo3_comandos;"
           "varredura_receit_s;anexo6_s;varreduras_anexo6_s;anexo7_s;anexo7_comandos;"
           "varreduras_anexo7_s;anexo8_s;pico_MiB\n";

    nq::MensagensRoteirizadas respostas;
    nq::instalaMensagens(&respostas);
    SaidaDescartada saida;
    nq::instalaSaidaDeRelatorios(&saida);
    nq::JustificativaDada semJustificativa(std::nullopt);
    nq::instalaRespostaDeJustificativa(&semJustificativa);
    QTemporaryDir dir;
    try {
        for (const QString& nome : tamanhos) {
            const auto tamanho = nq::demo::tamanhoDeTexto(nome);
            if (!tamanho)
                throw nq::Erro(QStringLiteral("Tamanho inválido: %1").arg(nome));
            nq::demo::OpcoesDemo opcoes;
            opcoes.destino = dir.filePath(nome);
            opcoes.tamanho = *tamanho;
            const nq::demo::Demonstracao demo = nq::demo::criaDemo(opcoes);
            nq::defineCaminhoVexoIni(demo.ini);
            nq::defineDiretorioDados(nq::CaminhoDiretorio(QStringLiteral("D")));
            nq::defineAnoExercicio(QString::number(opcoes.ano));

            nq::Tdm dm;
            dm.Conexao.BeforeConnect = nullptr;
            dm.Conexao.setParam(QStringLiteral("Database"), demo.bancoAtual);
            dm.ConexaoAnt.setParam(QStringLiteral("Database"), demo.bancoAnterior);
            dm.ConexaoAnt.Open();
            nq::ValoresFixosDoLancador valores;
            valores.defineBimestre(6);
            valores.defineFiltroReserva(nq::MostraEmpenhosReserva(dm.Conexao));
            nq::LancadorInstalado instalado(valores);

            nq::TImpAnexo1 anexo1;
            const double segundos1 = cronometra(anexo1.btncalcula);
            nq::TImpAnexo3 anexo3;
            const double segundos3 = cronometra(anexo3.btncalcula);

            nq::TImpAnexo6 anexo6;
            const double segundos6 = cronometra(anexo6.BtnImprimir);
            nq::TImpAnexo7 anexo7;
            const double segundos7 = cronometra(anexo7.BtnImprimir);
            nq::TImpAnexo8 anexo8;
            const double segundos8 = cronometra(anexo8.btncalcula);

            QElapsedTimer relogio;
            relogio.start();
            nq::ConsultaValor(dm.Conexao, QStringLiteral("SELECT SUM(VAREC) FROM RECEIT"));
            const double varredura = relogio.elapsed() / 1000.0;
            const double varreduras6 =
                varreduras(dm.Conexao, {"DESPES", "DESLIQ", "DESPAG", "ORDCAI", "DESDIS"});
            const double varreduras7 =
                varreduras(dm.Conexao, {"RECEIT", "RECALP", "DESLIQ", "DESPES", "RECDIS"});

            out << nome << ';' << demo.exercicios.atual.receitas.size() << ';'
                << segundos(segundos1) << ';' << anexo1.comandosExecutados() << ';'
                << segundos(segundos3) << ';' << anexo3.comandosExecutados() << ';'
                << QString::number(varredura, 'f', 3) << ';' << segundos(segundos6) << ';'
                << segundos(varreduras6) << ';' << segundos(segundos7) << ';'
                << anexo7.comandosExecutados() << ';' << segundos(varreduras7) << ';'
                << segundos(segundos8) << ';' << picoDeMemoria() << '\n';
            out.flush();
        }
    } catch (const nq::Erro& e) {
        QTextStream(stderr) << e.texto() << '\n';
        return 1;
    }
    return 0;
}
