// Opens the preview of an annex-like report at page width and saves a picture of the
// window: `preview_captura preview.png [dialogo.png]`, run under xvfb-run for a real X
// screen; the second picture shows the print dialog.
#include "report/preview/dialogo_impressao.h"
#include "report/preview/preview.h"

#include "core/moeda.h"
#include "tables/clientdataset.h"

#include <QApplication>
#include <QScreen>
#include <QTimer>
#include <cstdio>

using namespace nq;

namespace {

template <class T> T& coloca(TppBand& banda, int esquerda, int topo, int largura, int altura) {
    auto c = std::make_unique<T>();
    c->mmLeft = esquerda;
    c->mmTop = topo;
    c->mmWidth = largura;
    c->mmHeight = altura;
    return banda.adiciona(std::move(c));
}

TppLabel& rotulo(TppBand& banda, const QString& texto, int esquerda, int topo, int largura,
                 const Fonte& fonte,
                 TppTextAlignment alinhamento = TppTextAlignment::taLeftJustified) {
    auto& l = coloca<TppLabel>(banda, esquerda, topo, largura, fonte.tamanho > 10 ? 7000 : 4000);
    l.Caption = texto;
    l.Font = fonte;
    l.AutoSize = false;
    l.Transparent = true;
    l.TextAlignment = alinhamento;
    return l;
}

void linha(TppBand& banda, int topo, int largura) {
    auto& l = coloca<TppLine>(banda, 0, topo, largura, 500);
    l.Weight = 0.5;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "uso: preview_captura arquivo.png\n");
        return 2;
    }
    const QString destino = QString::fromLocal8Bit(argv[1]);
    if (argc > 2) {
        ContextoDeImpressao contexto;
        contexto.permiteArquivo = true;
        TppPrintDialog dialogo(contexto);
        dialogo.show();
        QApplication::processEvents();
        if (!dialogo.grab().save(QString::fromLocal8Bit(argv[2])))
            return 1;
    }

    ClientDataSet tabela(QStringLiteral("cdsRec"));
    tabela.addField(QStringLiteral("NOME"), FieldKind::Text, 60);
    tabela.addField(QStringLiteral("PREVISTO"), FieldKind::Money);
    tabela.addField(QStringLiteral("REALIZADO"), FieldKind::Money);
    tabela.createDataSet();
    const char* nomes[] = {"RECEITAS CORRENTES",
                           "  Receita Tributária",
                           "    Impostos",
                           "    Taxas",
                           "  Receita de Contribuições",
                           "  Receita Patrimonial",
                           "  Transferências Correntes",
                           "    Cota-Parte do FPM",
                           "    Cota-Parte do ICMS",
                           "  Outras Receitas Correntes",
                           "RECEITAS DE CAPITAL",
                           "  Operações de Crédito",
                           "  Alienação de Bens",
                           "  Transferências de Capital"};
    int64_t base = 1234567;
    for (const char* nome : nomes) {
        tabela.appendRecord({Value(QString::fromUtf8(nome)), Value(Moeda::deInteiro(base)),
                             Value(Moeda::deInteiro(base * 37 / 100))});
        base = base * 7 / 10 + 98765;
    }

    TppReport r;
    r.Name = QStringLiteral("relatorio1");
    r.PrinterSetup.PaperName = QStringLiteral("Carta");
    r.PrinterSetup.PaperSize = 1;
    r.PrinterSetup.mmPaperWidth = 216000;
    r.PrinterSetup.mmPaperHeight = 279000;
    r.PrinterSetup.DocumentName = QStringLiteral("Anexo I");
    r.AllowPrintToFile = true;
    r.PreviewFormSettings.WindowState = TWindowState::wsMaximized;
    r.PreviewFormSettings.ZoomSetting = TppZoomSetting::zsPageWidth;
    TppDBPipeline& p = r.criaPipeline(QStringLiteral("ppDBPipeline1"));
    p.DataSource = &tabela;
    r.DataPipeline = &p;

    const int largura = 203300;
    const Fonte titulo{QStringLiteral("Roman 6cpi"), 14, true};
    const Fonte texto{QStringLiteral("Roman 20cpi"), 8};
    auto& cabecalho = r.criaBanda<TppHeaderBand>();
    cabecalho.mmHeight = 42000;
    rotulo(cabecalho, QStringLiteral("MUNICÍPIO DE SÃO JOÃO DO EXEMPLO"), 0, 2000, largura, titulo,
           TppTextAlignment::taCentered);
    rotulo(cabecalho, QStringLiteral("RELATÓRIO RESUMIDO DA EXECUÇÃO ORÇAMENTÁRIA"), 0, 10000,
           largura, texto, TppTextAlignment::taCentered);
    rotulo(cabecalho, QStringLiteral("BALANÇO ORÇAMENTÁRIO - RECEITAS"), 0, 14500, largura, texto,
           TppTextAlignment::taCentered);
    rotulo(cabecalho, QStringLiteral("3º BIMESTRE - MAIO - JUNHO"), 0, 19000, largura, texto,
           TppTextAlignment::taCentered);
    rotulo(cabecalho, QStringLiteral("- Modelo 1 -"), 0, 19000, largura, texto,
           TppTextAlignment::taRightJustified);
    linha(cabecalho, 30000, largura);
    rotulo(cabecalho, QStringLiteral("RECEITAS"), 2000, 33000, 90000, texto);
    rotulo(cabecalho, QStringLiteral("PREVISÃO INICIAL"), 100000, 33000, 48000, texto,
           TppTextAlignment::taRightJustified);
    rotulo(cabecalho, QStringLiteral("REALIZADAS ATÉ O BIMESTRE"), 150000, 33000, 52000, texto,
           TppTextAlignment::taRightJustified);
    linha(cabecalho, 40000, largura);

    auto& detalhe = r.criaBanda<TppDetailBand>();
    detalhe.mmHeight = 5000;
    const auto campo = [&](const QString& nome, int esquerda, int larguraDoCampo, bool dinheiro) {
        auto& c = coloca<TppDBText>(detalhe, esquerda, 500, larguraDoCampo, 4000);
        c.DataPipeline = &p;
        c.DataField = nome;
        c.Font = texto;
        c.Transparent = true;
        if (dinheiro) {
            c.DisplayFormat = QStringLiteral("#,0.00;-#,0.00");
            c.TextAlignment = TppTextAlignment::taRightJustified;
        }
    };
    campo(QStringLiteral("NOME"), 2000, 95000, false);
    campo(QStringLiteral("PREVISTO"), 100000, 48000, true);
    campo(QStringLiteral("REALIZADO"), 150000, 52000, true);
    auto& grade = coloca<TppLine>(detalhe, 0, 4800, largura, 200);
    grade.Weight = 0.125;
    grade.Pen.Style = TPenStyle::psDot;

    auto& rodape = r.criaBanda<TppFooterBand>();
    rodape.mmHeight = 8000;
    linha(rodape, 1000, largura);
    rotulo(rodape, QStringLiteral("FONTE: Contabilidade - NQ. 404/00"), 0, 2500, largura, texto);

    int resultado = 1;
    r.OnPreviewFormCreate = [&r, &resultado, destino] {
        JanelaDePreview* janela = PreviewForm(r);
        QTimer::singleShot(1500, janela, [janela, &resultado, destino] {
            const QPixmap imagem = janela->screen()->grabWindow(janela->winId());
            const bool gravou = !imagem.isNull() && imagem.save(destino);
            if (!gravou)
                std::fprintf(stderr, "não foi possível gravar %s\n", qPrintable(destino));
            resultado = gravou ? 0 : 1;
            janela->accept();
        });
    };
    mostraPreview(r);
    return resultado;
}
