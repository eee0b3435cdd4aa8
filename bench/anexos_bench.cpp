// Every annex for bimester 6 (annex 10 for December, the fiscal-management
// report for the third quadrimester) on a demo exercise of each size: time,
// statements executed, rows fetched and peak memory of each annex, next to one
// scan (SELECT SUM) of every table it reads, timed in the same run right after
// it; then annexes 1 and 3 in one run sharing their passes, as the bimester
// close runs them. Usage:
//   anexos_bench [--bancos DIR] [--vezes N] [--literal] [--so 1,3] [teste|pequeno|medio|grande ...]
// (default sizes: teste pequeno medio). --bancos keeps each generated exercise in
// DIR/<size> and reuses it on later runs (a grande exercise takes minutes to
// generate); --vezes repeats every measure N times (default 3) and prints the
// minimum and the median; --literal also times annexes 1 and 3 with one literal
// statement per figure; --so measures only the annexes listed. Runs without windows.

#include "annexes/anexo1/anexo1.h"
#include "annexes/anexo10/anexo10.h"
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
#include "annexes/common/plano_figuras.h"
#include "annexes/gestao_fiscal/gestao_fiscal.h"
#include "core/configuracao.h"
#include "core/erro.h"
#include "core/globais.h"
#include "core/mensagens.h"
#include "db/consultas.h"
#include "db/modulodados.h"
#include "demo/demo.h"
#include "entry/catalogo.h"
#include "entry/preparacoes.h"
#include "exercicio_guardado.h"
#include "medicao.h"
#include "report/motor.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <functional>
#include <sys/resource.h>

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

// Processor seconds of this process so far (every thread; the embedded engine
// works in them): on a shared machine the wall clock also counts others' work.
double processador() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// Wall and processor seconds taken by `f`.
struct Tempo {
    double parede = 0;
    double cpu = 0;
};
Tempo mede(const std::function<void()>& f) {
    QElapsedTimer relogio;
    relogio.start();
    const double antes = processador();
    f();
    return {relogio.nsecsElapsed() / 1e9, processador() - antes};
}

// Makes the next peak-memory reading that of what follows (Linux: VmHWM reset).
void zeraPico() {
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    if (f.open(QIODevice::WriteOnly))
        f.write("5");
}

struct Amostras {
    std::vector<double> v;
    double minimo() const { return *std::min_element(v.begin(), v.end()); }
    double mediana() const {
        std::vector<double> o = v;
        std::sort(o.begin(), o.end());
        return o[o.size() / 2];
    }
};

struct Medida {
    Amostras tempo, cpu, varredura, varreduraCpu;
    int comandos = 0;
    qint64 linhas = 0;
    long pico = 0;
    void soma(Tempo anexo, Tempo varreduras) {
        tempo.v.push_back(anexo.parede);
        cpu.v.push_back(anexo.cpu);
        varredura.v.push_back(varreduras.parede);
        varreduraCpu.v.push_back(varreduras.cpu);
    }
};

QString s3(double v) {
    return QString::number(v, 'f', 3);
}

// A table an annex reads, scanned once with a plain sum.
struct Varredura {
    bool anterior; // on the previous year's database
    const char* sql;
};

const std::vector<Varredura> VarredurasDoAnexo1 = {
    {false, "SELECT SUM(VAREC) FROM RECEIT"},  {false, "SELECT SUM(VALOR) FROM RECALP"},
    {false, "SELECT SUM(VALOR) FROM DESALD"},  {false, "SELECT SUM(VADEM) FROM DESPES"},
    {false, "SELECT SUM(VADEM) FROM VIEWLIQ"}, {false, "SELECT SUM(TOTOR) FROM RECDIS"},
    {false, "SELECT SUM(DOTAC) FROM DESDIS"}};
const std::vector<Varredura> VarredurasDoAnexo3 = {
    {false, "SELECT SUM(VAREC) FROM RECEIT"},   {false, "SELECT SUM(TOTOR) FROM RECDIS"},
    {false, "SELECT COUNT(*) FROM TABEMPRESA"}, {true, "SELECT SUM(VAREC) FROM RECEIT"},
    {true, "SELECT SUM(TOTOR) FROM RECDIS"},    {true, "SELECT COUNT(*) FROM TABEMPRESA"}};

const std::vector<Varredura> VarredurasDoAnexo1B = {
    {false, "SELECT SUM(VAREC) FROM RECEIT"}, {false, "SELECT SUM(TOTOR) FROM RECDIS"},
    {false, "SELECT SUM(VADEM) FROM DESPES"}, {false, "SELECT SUM(VADEM) FROM VIEWLIQ"},
    {false, "SELECT SUM(DOTAC) FROM DESDIS"}, {false, "SELECT COUNT(*) FROM VINCODIGO"}};
const std::vector<Varredura> VarredurasDoAnexo2 = {{false, "SELECT SUM(DOTAC) FROM DESDIS"},
                                                   {false, "SELECT SUM(VALOR) FROM DESALD"},
                                                   {false, "SELECT SUM(VADEM) FROM DESPES"},
                                                   {false, "SELECT SUM(VADEM) FROM VIEWLIQ"}};
const std::vector<Varredura> VarredurasDoAnexo4 = {{false, "SELECT SUM(VAREC) FROM RECEIT"},
                                                   {false, "SELECT SUM(TOTOR) FROM RECDIS"},
                                                   {false, "SELECT SUM(VALOR) FROM RECALP"},
                                                   {false, "SELECT SUM(DOTAC) FROM DESDIS"},
                                                   {false, "SELECT SUM(VALOR) FROM DESALD"},
                                                   {false, "SELECT SUM(VADEM) FROM DESPES"},
                                                   {false, "SELECT SUM(VADEM) FROM VIEWLIQ"},
                                                   {false, "SELECT SUM(VAPAG) FROM VIEWVAPAG"},
                                                   {false, "SELECT SUM(CREDI-DEBIT) FROM ORDCAI"},
                                                   {false, "SELECT SUM(SALDOINICIAL) FROM DESCON"}};
const std::vector<Varredura> VarredurasDoAnexo5 = {
    {false, "SELECT SUM(VAREC) FROM RECEIT"},        {false, "SELECT SUM(TOTOR) FROM RECDIS"},
    {false, "SELECT SUM(VALOR) FROM RECALP"},        {false, "SELECT SUM(DOTAC) FROM DESDIS"},
    {false, "SELECT SUM(VALOR) FROM DESALD"},        {false, "SELECT SUM(VADEM) FROM DESPES"},
    {false, "SELECT SUM(VADEM) FROM VIEWLIQ"},       {false, "SELECT SUM(CREDI-DEBIT) FROM ORDCAI"},
    {false, "SELECT SUM(SALDOINICIAL) FROM DESCON"}, {false, "SELECT SUM(CREDI-DEBIT) FROM CONDIA"},
    {true, "SELECT SUM(VAREC) FROM RECEIT"},         {true, "SELECT SUM(TOTOR) FROM RECDIS"}};
// Through the database's STN_ANX06_440: every table its figures read.
const std::vector<Varredura> VarredurasDoAnexo6 = {{false, "SELECT SUM(VADEM) FROM DESPES"},
                                                   {false, "SELECT SUM(VALOR) FROM DESPAG"},
                                                   {false, "SELECT SUM(VALIQ) FROM DESLIQ"},
                                                   {false, "SELECT SUM(DOTAC) FROM DESDIS"},
                                                   {false, "SELECT SUM(CREDI-DEBIT) FROM ORDCAI"},
                                                   {false, "SELECT SUM(SALDOINICIAL) FROM DESCON"}};
const std::vector<Varredura> VarredurasDoAnexo7 = {{false, "SELECT SUM(VAREC) FROM RECEIT"},
                                                   {false, "SELECT SUM(TOTOR) FROM RECDIS"},
                                                   {false, "SELECT SUM(VALOR) FROM RECALP"},
                                                   {false, "SELECT SUM(VADEM) FROM DESPES"},
                                                   {false, "SELECT SUM(VADEM) FROM VIEWLIQ"}};
const std::vector<Varredura> VarredurasDoAnexo8 = {{false, "SELECT SUM(VADEM) FROM DESPES"}};
const std::vector<Varredura> VarredurasDoAnexo10 = {
    {false, "SELECT SUM(VADEM) FROM DESPES"},    {false, "SELECT SUM(VAREC) FROM RECEIT"},
    {false, "SELECT SUM(VAPAG) FROM VIEWVAPAG"}, {false, "SELECT SUM(DOTAC) FROM DESDIS"},
    {false, "SELECT SUM(TOTOR) FROM RECDIS"},    {true, "SELECT SUM(VADEM) FROM DESPES"},
    {true, "SELECT SUM(VAREC) FROM RECEIT"},     {true, "SELECT SUM(VAPAG) FROM VIEWVAPAG"},
    {true, "SELECT SUM(DOTAC) FROM DESDIS"},     {true, "SELECT SUM(TOTOR) FROM RECDIS"}};
const std::vector<Varredura> VarredurasDaGestao = {{false, "SELECT SUM(CREDI) FROM CONDIA"},
                                                   {false, "SELECT SUM(CREDI - DEBIT) FROM ORDCAI"},
                                                   {false, "SELECT SUM(VADEM) FROM DESPES"}};

Tempo varre(nq::Tdm& dm, const std::vector<Varredura>& tabelas) {
    return mede([&] {
        for (const Varredura& v : tabelas)
            nq::ConsultaValor(v.anterior ? dm.ConexaoAnt : dm.Conexao, QString::fromLatin1(v.sql));
    });
}

// The button the launcher presses on an annex's window.
template <typename Anexo> QPushButton* botao(Anexo& anexo) {
    if constexpr (requires { anexo.btncalcula; })
        return anexo.btncalcula;
    else
        return anexo.BtnImprimir;
}

// Statements and rows of the last computation, -1 where the annex does not count them.
template <typename Anexo> int comandos(const Anexo& anexo) {
    if constexpr (requires { anexo.comandosExecutados(); })
        return anexo.comandosExecutados();
    else
        return -1;
}
template <typename Anexo> qint64 linhas(const Anexo& anexo) {
    if constexpr (requires { anexo.linhasLidas(); })
        return anexo.linhasLidas();
    else
        return -1;
}

// `escolhe` sets the window's choices before its button is pressed.
template <typename Anexo>
Medida mede(nq::Tdm& dm, const std::vector<Varredura>& tabelas, int vezes,
            const std::function<void(Anexo&)>& escolhe = {}) {
    Medida m;
    for (int i = 0; i < vezes; ++i) {
        Anexo anexo;
        if (escolhe)
            escolhe(anexo);
        zeraPico();
        const Tempo t = mede([&] { botao(anexo)->click(); });
        m.pico = std::max(m.pico, picoDeMemoria());
        m.comandos = comandos(anexo);
        m.linhas = linhas(anexo);
        m.soma(t, varre(dm, tabelas));
    }
    return m;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    QTemporaryDir temporario;
    QString bancos = temporario.path();
    int vezes = 3;
    bool literal = false;
    QStringList tamanhos;
    QStringList so;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--bancos") && i + 1 < args.size())
            bancos = args[++i];
        else if (args[i] == QLatin1String("--vezes") && i + 1 < args.size())
            vezes = std::max(1, args[++i].toInt());
        else if (args[i] == QLatin1String("--so") && i + 1 < args.size())
            so = args[++i].split(QLatin1Char(','));
        else if (args[i] == QLatin1String("--literal"))
            literal = true;
        else
            tamanhos << args[i];
    }
    if (tamanhos.isEmpty())
        tamanhos = {QStringLiteral("teste"), QStringLiteral("pequeno"), QStringLiteral("medio")};

    QTextStream out(stdout);
    out << "tamanho;anexo;s_min;s_mediana;cpu_s_mediana;comandos;linhas;pico_MiB;"
           "varreduras_s_min;varreduras_s_mediana;varreduras_cpu_s_mediana;razao_mediana;"
           "razao_cpu_mediana\n";
    nq::MensagensRoteirizadas respostas;
    nq::instalaMensagens(&respostas);
    nq::JustificativaDada semJustificativa(std::nullopt);
    nq::instalaRespostaDeJustificativa(&semJustificativa);
    SaidaDescartada saida;
    nq::instalaSaidaDeRelatorios(&saida);
    try {
        for (const QString& nome : tamanhos) {
            const nq::demo::Demonstracao demo = exercicioGuardado(bancos, nome);
            nq::defineCaminhoVexoIni(demo.ini);
            nq::defineDiretorioDados(nq::CaminhoDiretorio(QStringLiteral("D")));
            nq::defineAnoExercicio(QStringLiteral("2008"));

            nq::Tdm dm;
            dm.Conexao.BeforeConnect = nullptr;
            dm.Conexao.setParam(QStringLiteral("Database"), demo.bancoAtual);
            dm.ConexaoAnt.setParam(QStringLiteral("Database"), demo.bancoAnterior);
            dm.ConexaoAnt.Open();
            nq::ValoresFixosDoLancador valores;
            valores.defineBimestre(6);
            valores.defineFiltroReserva(nq::MostraEmpenhosReserva(dm.Conexao));
            nq::LancadorInstalado instalado(valores);
            // The tables once before anything is timed, so every read finds them cached alike.
            for (const auto* tabelas :
                 {&VarredurasDoAnexo1, &VarredurasDoAnexo1B, &VarredurasDoAnexo2,
                  &VarredurasDoAnexo3, &VarredurasDoAnexo4, &VarredurasDoAnexo5,
                  &VarredurasDoAnexo6, &VarredurasDoAnexo7, &VarredurasDoAnexo8,
                  &VarredurasDoAnexo10, &VarredurasDaGestao})
                varre(dm, *tabelas);

            const auto linha = [&](const QString& anexo, const Medida& m) {
                out << nome << ';' << anexo << ';' << s3(m.tempo.minimo()) << ';'
                    << s3(m.tempo.mediana()) << ';' << s3(m.cpu.mediana()) << ';' << m.comandos
                    << ';' << m.linhas << ';' << m.pico << ';' << s3(m.varredura.minimo()) << ';'
                    << s3(m.varredura.mediana()) << ';' << s3(m.varreduraCpu.mediana()) << ';'
                    << QString::number(m.tempo.mediana() / m.varredura.mediana(), 'f', 1) << ';'
                    << QString::number(m.cpu.mediana() / m.varreduraCpu.mediana(), 'f', 1) << '\n';
                out.flush();
            };
            const auto anexo = [&](const QString& nomeDoAnexo, auto medida) {
                if (so.isEmpty() || so.contains(nomeDoAnexo, Qt::CaseInsensitive))
                    linha(nomeDoAnexo, medida());
            };
            anexo(QStringLiteral("1"),
                  [&] { return mede<nq::TImpAnexo1>(dm, VarredurasDoAnexo1, vezes); });
            anexo(QStringLiteral("1B"),
                  [&] { return mede<nq::TImpAnexo1B>(dm, VarredurasDoAnexo1B, vezes); });
            anexo(QStringLiteral("2"),
                  [&] { return mede<nq::TImpAnexo2>(dm, VarredurasDoAnexo2, vezes); });
            anexo(QStringLiteral("3"),
                  [&] { return mede<nq::TImpAnexo3>(dm, VarredurasDoAnexo3, vezes); });
            anexo(QStringLiteral("4"),
                  [&] { return mede<nq::TImpAnexo4>(dm, VarredurasDoAnexo4, vezes); });
            anexo(QStringLiteral("5"),
                  [&] { return mede<nq::TImpAnexo5>(dm, VarredurasDoAnexo5, vezes); });
            anexo(QStringLiteral("6"),
                  [&] { return mede<nq::TImpAnexo6>(dm, VarredurasDoAnexo6, vezes); });
            anexo(QStringLiteral("7"),
                  [&] { return mede<nq::TImpAnexo7>(dm, VarredurasDoAnexo7, vezes); });
            anexo(QStringLiteral("8"),
                  [&] { return mede<nq::TImpAnexo8>(dm, VarredurasDoAnexo8, vezes); });
            anexo(QStringLiteral("10"), [&] {
                return mede<nq::TImpAnexo10>(dm, VarredurasDoAnexo10, vezes,
                                             [](nq::TImpAnexo10& a) {
                                                 a.combomes->setCurrentIndex(11); // December
                                             });
            });
            anexo(QStringLiteral("RGF"), [&] {
                // The DP file of December, as annex 10's typed lines hold it.
                const QString dir = nq::diretorioDados();
                nq::PreparaAnexo10(dir);
                QFile::remove(dir + QStringLiteral("NQ404_DP12.XML"));
                QFile::copy(nq::caminhoArquivo(dir, nq::ArquivoDigitado::Anexo10),
                            dir + QStringLiteral("NQ404_DP12.XML"));
                return mede<nq::TForm101>(dm, VarredurasDaGestao, vezes, [](nq::TForm101& g) {
                    g.RQua->click();
                    g.combomes->setCurrentIndex(2);
                });
            });
            if (!so.isEmpty() &&
                !(so.contains(QStringLiteral("1")) && so.contains(QStringLiteral("3"))))
                continue;

            // Both in one run sharing their passes, as the bimester close runs them.
            Medida juntos;
            std::vector<Varredura> todas = VarredurasDoAnexo1;
            for (const Varredura& v : VarredurasDoAnexo3)
                if (std::none_of(todas.begin(), todas.end(), [&](const Varredura& x) {
                        return x.anterior == v.anterior && qstrcmp(x.sql, v.sql) == 0;
                    }))
                    todas.push_back(v);
            for (int i = 0; i < vezes; ++i) {
                nq::TImpAnexo1 a1;
                nq::TImpAnexo3 a3;
                zeraPico();
                const Tempo t = mede([&] {
                    nq::PassagensDaExecucao passagens;
                    nq::PassagensInstaladas instaladas(passagens);
                    a1.btncalcula->click();
                    a3.btncalcula->click();
                });
                juntos.pico = std::max(juntos.pico, picoDeMemoria());
                juntos.comandos = a1.comandosExecutados() + a3.comandosExecutados();
                juntos.linhas = a1.linhasLidas() + a3.linhasLidas();
                juntos.soma(t, varre(dm, todas));
            }
            linha(QStringLiteral("1+3"), juntos);

            if (literal) {
                nq::defineFigurasLiterais(true);
                linha(QStringLiteral("1 literal"), mede<nq::TImpAnexo1>(dm, VarredurasDoAnexo1, 1));
                linha(QStringLiteral("3 literal"), mede<nq::TImpAnexo3>(dm, VarredurasDoAnexo3, 1));
                nq::defineFigurasLiterais(false);
            }
        }
    } catch (const nq::Erro& e) {
        QTextStream(stderr) << e.texto() << '\n';
        return 1;
    }
    return 0;
}
