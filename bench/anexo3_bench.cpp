// Annex 3 for bimester 6 on a demo exercise of each size, with the previous
// year's database connected: time, statements run and peak memory. Usage:
// anexo3_bench [teste|pequeno|medio|grande ...] (default: teste pequeno medio).
// Writes into a temporary directory; runs without windows.

#include "annexes/anexo3/anexo3.h"
#include "annexes/common/lancador.h"
#include "core/configuracao.h"
#include "core/erro.h"
#include "core/globais.h"
#include "core/mensagens.h"
#include "db/modulodados.h"
#include "demo/demo.h"
#include "report/motor.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextStream>

namespace {

long picoDeMemoria() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& linha : status.readAll().split('\n'))
        if (linha.startsWith("VmHWM:"))
            return linha.mid(6).trimmed().split(' ').first().toLong() / 1024;
    return -1;
}

// The pages are generated and dropped; closing the "preview" writes the RCL file.
class SaidaDescartada : public nq::SaidaDeRelatorios {
public:
    void apresenta(nq::TppReport& relatorio, const nq::Documento& documento) override {
        paginas = static_cast<int>(documento.paginas.size());
        if (relatorio.OnPreviewFormClose)
            relatorio.OnPreviewFormClose();
    }
    int paginas = 0;
};

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStringList tamanhos = app.arguments().mid(1);
    if (tamanhos.isEmpty())
        tamanhos = {QStringLiteral("teste"), QStringLiteral("pequeno"), QStringLiteral("medio")};
    QTextStream out(stdout);
    out << "tamanho;receitas;anexo3_s;comandos;paginas;pico_MiB\n";

    nq::MensagensRoteirizadas respostas;
    nq::instalaMensagens(&respostas);
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
            nq::LancadorInstalado instalado(valores);

            QElapsedTimer relogio;
            relogio.start();
            nq::TImpAnexo3 anexo;
            anexo.btncalcula->click();
            const double anexo3 = relogio.elapsed() / 1000.0;

            out << nome << ';' << demo.exercicios.atual.receitas.size() << ';'
                << QString::number(anexo3, 'f', 2) << ';' << anexo.comandosExecutados() << ';'
                << saida.paginas << ';' << picoDeMemoria() << '\n';
            out.flush();
        }
    } catch (const nq::Erro& e) {
        QTextStream(stderr) << e.texto() << '\n';
        return 1;
    }
    return 0;
}
