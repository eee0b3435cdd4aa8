// Annexes 1 to 8 (no 9) for bimester 6 on a demo exercise of each size:
// time, statements run and peak memory, next to one full scan of each postings
// table they read, measured in the same run. Usage:
// anexos_bench [teste|pequeno|medio|grande ...] (default: teste pequeno medio).
// Writes into a temporary directory; runs without windows.

#include "annexes/anexo1/anexo1.h"
#include "annexes/anexo1b/anexo1b.h"
#include "annexes/anexo2/anexo2.h"
#include "annexes/anexo3/anexo3.h"
#include "annexes/anexo4/anexo4.h"
#include "annexes/anexo5/anexo5.h"
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

// Seconds taken by pressing the button the launcher presses.
double cronometra(QPushButton* botao) {
    QElapsedTimer relogio;
    relogio.start();
    botao->click();
    return relogio.elapsed() / 1000.0;
}
template <typename Anexo> double cronometra(Anexo& anexo) {
    return cronometra(anexo.btncalcula);
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStringList tamanhos = app.arguments().mid(1);
    if (tamanhos.isEmpty())
        tamanhos = {QStringLiteral("teste"), QStringLiteral("pequeno"), QStringLiteral("medio")};
    QTextStream out(stdout);
    out << "tamanho;receitas;anexo1_s;anexo1_comandos;anexo1b_s;anexo1b_comandos;anexo2_s;"
           "anexo2_comandos;anexo3_s;anexo3_comandos;anexo4_s;anexo4_comandos;anexo5_s;"
           "anexo5_comandos;anexo6_s;anexo7_s;anexo7_comandos;anexo8_s;varredura_receit_s;"
           "varredura_despes_s;varredura_viewliq_s;varredura_desald_s;varredura_despag_s;"
           "varredura_ordcai_s;varredura_recalp_s;pico_MiB\n";

    nq::MensagensRoteirizadas respostas;
    nq::instalaMensagens(&respostas);
    nq::JustificativaDada semJustificativa(std::nullopt);
    nq::instalaRespostaDeJustificativa(&semJustificativa);
    SaidaDescartada saida;
    nq::instalaSaidaDeRelatorios(&saida);
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
            const double segundos1 = cronometra(anexo1);
            nq::TImpAnexo1B anexo1b;
            const double segundos1b = cronometra(anexo1b);
            nq::TImpAnexo2 anexo2;
            const double segundos2 = cronometra(anexo2);
            nq::TImpAnexo3 anexo3;
            const double segundos3 = cronometra(anexo3);
            nq::TImpAnexo4 anexo4;
            const double segundos4 = cronometra(anexo4);
            nq::TImpAnexo5 anexo5;
            const double segundos5 = cronometra(anexo5);
            nq::TImpAnexo6 anexo6;
            const double segundos6 = cronometra(anexo6.BtnImprimir);
            nq::TImpAnexo7 anexo7;
            const double segundos7 = cronometra(anexo7.BtnImprimir);
            nq::TImpAnexo8 anexo8;
            const double segundos8 = cronometra(anexo8);

            auto varredura = [&](const char* sql) {
                QElapsedTimer relogio;
                relogio.start();
                nq::ConsultaValor(dm.Conexao, QString::fromLatin1(sql));
                return QString::number(relogio.elapsed() / 1000.0, 'f', 3);
            };
            auto segundos = [](double s) { return QString::number(s, 'f', 2); };

            out << nome << ';' << demo.exercicios.atual.receitas.size() << ';'
                << segundos(segundos1) << ';' << anexo1.comandosExecutados() << ';'
                << segundos(segundos1b) << ';' << anexo1b.comandosExecutados() << ';'
                << segundos(segundos2) << ';' << anexo2.comandosExecutados() << ';'
                << segundos(segundos3) << ';' << anexo3.comandosExecutados() << ';'
                << segundos(segundos4) << ';' << anexo4.comandosExecutados() << ';'
                << segundos(segundos5) << ';' << anexo5.comandosExecutados() << ';'
                << segundos(segundos6) << ';' << segundos(segundos7) << ';'
                << anexo7.comandosExecutados() << ';' << segundos(segundos8) << ';'
                << varredura("SELECT SUM(VAREC) FROM RECEIT") << ';'
                << varredura("SELECT SUM(VADEM) FROM DESPES") << ';'
                << varredura("SELECT SUM(VADEM) FROM VIEWLIQ") << ';'
                << varredura("SELECT SUM(VALOR) FROM DESALD") << ';'
                << varredura("SELECT SUM(VALOR) FROM DESPAG") << ';'
                << varredura("SELECT SUM(CREDI - DEBIT) FROM ORDCAI") << ';'
                << varredura("SELECT SUM(VALOR) FROM RECALP") << ';' << picoDeMemoria() << '\n';
            out.flush();
        }
    } catch (const nq::Erro& e) {
        QTextStream(stderr) << e.texto() << '\n';
        return 1;
    }
    return 0;
}
