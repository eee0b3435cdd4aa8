// Generates a report of 5 000 rows shaped like an annex table (letter paper, a heading of
// labels and dotted lines, a detail of a caption and seven money columns in "Roman 20cpi",
// three variables calculated per row) into 50 pages, writing each page to PDF as soon as it
// is made, as a batch run does. Prints the time spent generating and in the PDF device,
// pages per second and the peak resident memory.
//
// Usage: bench_relatorio_pdf [rows] [pdf file]

#include "core/erro.h"
#include "report/devices/dispositivo.h"
#include "report/motor.h"
#include "tables/clientdataset.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <cstdio>
#include <sys/resource.h>

using namespace nq;

namespace {

double picoDeMemoriaMb() {
    rusage r{};
    getrusage(RUSAGE_SELF, &r);
    return r.ru_maxrss / 1024.0;
}

const QStringList Colunas = {"PREVISAO_ANUAL", "PREVISAO_ATUALIZADA", "PREVISTO_BIM1",
                             "REALIZADO_BIM1"};

std::unique_ptr<ClientDataSet> tabela(int linhas) {
    auto t = std::make_unique<ClientDataSet>(QStringLiteral("cdsRec"));
    t->addField(QStringLiteral("NOME"), FieldKind::Text, 60);
    for (const QString& c : Colunas)
        t->addField(c, FieldKind::Money);
    t->createDataSet();
    for (int i = 0; i < linhas; ++i) {
        std::vector<Value> v{Value(QStringLiteral("Receita corrente %1").arg(i + 1))};
        for (int c = 0; c < Colunas.size(); ++c)
            v.push_back(Value(Moeda::deDezMilesimos((i + 1) * 1234567LL * (c + 1))));
        t->appendRecord(v);
    }
    return t;
}

template <class T>
T& poe(TppBand& b, const QString& nome, int esquerda, int topo, int largura, int altura) {
    T& c = b.adiciona(std::make_unique<T>());
    c.Name = nome;
    c.mmLeft = esquerda;
    c.mmTop = topo;
    c.mmWidth = largura;
    c.mmHeight = altura;
    return c;
}

void texto(TppCustomText& t, double tamanho) {
    t.Font = {QStringLiteral("Roman 20cpi"), tamanho};
    t.Transparent = true;
}

void linhaPontilhada(TppBand& b, const QString& nome, int topo) {
    auto& l = poe<TppLine>(b, nome, 0, topo, 203200, 500);
    l.Pen.Style = TPenStyle::psDot;
    l.Weight = 0.5;
}

std::unique_ptr<TppReport> layout(ClientDataSet& t) {
    auto r = std::make_unique<TppReport>();
    r->Name = QStringLiteral("relatorio1");
    r->PrinterSetup.PaperName = QStringLiteral("Carta");
    r->PrinterSetup.PaperSize = 1;
    r->PrinterSetup.mmPaperWidth = 216000;
    r->PrinterSetup.mmPaperHeight = 279000;
    r->DataPipeline = &r->criaPipeline(QStringLiteral("ppDBPipeline1"));
    r->ligaTabela(QStringLiteral("ppDBPipeline1"), t);

    auto& cabecalho = r->criaBanda<TppHeaderBand>();
    cabecalho.mmHeight = 20000;
    auto& municipio = poe<TppLabel>(cabecalho, "PPCLI", 0, 1000, 183621, 6000);
    municipio.Caption = QStringLiteral("PREFEITURA MUNICIPAL DE TESTE");
    municipio.Font = {QStringLiteral("Roman 6cpi"), 14, true};
    municipio.TextAlignment = TppTextAlignment::taCentered;
    municipio.AutoSize = false;
    const QStringList titulos = {"RECEITAS",  "INICIAL",  "ATUALIZ.",  "PREVISTO",
                                 "REALIZADO", "PREVISTO", "REALIZADO", "A REALIZ"};
    for (int i = 0; i < titulos.size(); ++i) {
        auto& l = poe<TppLabel>(cabecalho, QStringLiteral("ppTit%1").arg(i), i * 25000, 13000,
                                24000, 3000);
        l.Caption = titulos[i];
        texto(l, 7);
    }
    linhaPontilhada(cabecalho, "ppLinha1", 12000);
    linhaPontilhada(cabecalho, "ppLinha2", 18000);

    auto& detalhe = r->criaBanda<TppDetailBand>();
    detalhe.mmHeight = 2400;
    detalhe.PrintHeight = TppPrintHeightType::phDynamic;
    auto& nome = poe<TppDBText>(detalhe, "ppNOME", 0, 0, 48000, 2400);
    nome.DataField = QStringLiteral("NOME");
    texto(nome, 6);
    for (int c = 0; c < Colunas.size(); ++c) {
        auto& d = poe<TppDBText>(detalhe, "pp" + Colunas[c], 50000 + c * 20000, 0, 19000, 2400);
        d.DataField = Colunas[c];
        d.DisplayFormat = QStringLiteral("#,0.00;-#,0.00");
        d.TextAlignment = TppTextAlignment::taRightJustified;
        texto(d, 6);
    }
    for (int v = 0; v < 3; ++v) {
        auto& var = poe<TppVariable>(detalhe, QStringLiteral("ppVariable%1").arg(v + 1),
                                     130000 + v * 24000, 0, 23000, 2400);
        var.DataType = TppDataType::dtCurrency;
        var.DisplayFormat = QStringLiteral("#,0.00;-#,0.00");
        var.TextAlignment = TppTextAlignment::taRightJustified;
        var.CalcOrder = v;
        texto(var, 6);
        var.OnCalc = [&t, v](TppVariable&, Value& valor) {
            Moeda soma;
            for (int c = 0; c <= v; ++c)
                soma += t.fieldByName(Colunas[c]).asCurrency();
            valor = Value(soma);
        };
    }
    auto& rodape = r->criaBanda<TppFooterBand>();
    rodape.mmHeight = 4763;
    linhaPontilhada(rodape, "ppLinhaRodape", 1000);
    return r;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int linhas = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 5000;
    QTemporaryDir dir;
    const QString arquivo =
        argc > 2 ? QString::fromLocal8Bit(argv[2]) : dir.filePath(QStringLiteral("bench.pdf"));
    try {
        auto t = tabela(linhas);
        auto r = layout(*t);
        std::printf("linhas: %d, memória após preparar: %.1f MB\n", linhas, picoDeMemoriaMb());

        // As a batch run writes a report: each page goes to the PDF as soon as it is made.
        // The time spent in the PDF device is "gravar"; the rest of the run is "gerar".
        QElapsedTimer relogio;
        relogio.start();
        auto pdf = criaDispositivoDeArquivo(QStringLiteral("PDFFile"));
        pdf->defineArquivo(arquivo);
        QElapsedTimer noDispositivo;
        qint64 gravando = 0;
        int paginas = 0;
        noDispositivo.start();
        pdf->iniciaTrabalho(trabalhoDoRelatorio(*r));
        gravando += noDispositivo.nsecsElapsed();
        TppEngine(r.get()).gera([&](Pagina&& pagina) {
            noDispositivo.restart();
            pdf->recebePagina(pagina);
            gravando += noDispositivo.nsecsElapsed();
            ++paginas;
        });
        noDispositivo.restart();
        pdf->terminaTrabalho();
        gravando += noDispositivo.nsecsElapsed();
        const double total = relogio.nsecsElapsed() / 1e9;
        const double gravar = gravando / 1e9;
        const double gerar = total - gravar;
        std::printf("gerar: %d páginas em %.3f s (%.1f páginas/s), pico %.1f MB\n", paginas, gerar,
                    paginas / gerar, picoDeMemoriaMb());
        std::printf("gravar PDF: %.3f s (%.1f páginas/s), %lld bytes, pico %.1f MB\n", gravar,
                    paginas / gravar, static_cast<long long>(QFileInfo(arquivo).size()),
                    picoDeMemoriaMb());
        std::printf("total: %.3f s, %.1f páginas/s\n", total, paginas / total);
    } catch (const Erro& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.texto()));
        return 1;
    }
    return 0;
}
