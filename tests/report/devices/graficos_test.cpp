#include "core/erro.h"
#include "paginas_de_teste.h"
#include "report/desenhista.h"
#include "report/devices/dispositivo.h"
#include "report/devices/grafico.h"
#include "report/devices/pintor.h"

#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <QTextDocument>
#include <QXmlStreamReader>
#include <QtEndian>
#include <gtest/gtest.h>

using namespace nq;
using namespace nq::teste;

namespace {

bool escuro(QRgb p) {
    return qGray(p) < 128;
}

// Whether any pixel of the rectangle (in thousandths of a millimetre) is dark.
bool temTinta(const QImage& img, const Retangulo& r, int dpi) {
    const double k = dpi / 25400.0;
    for (int y = int(r.topo * k); y <= int(r.base() * k) && y < img.height(); ++y)
        for (int x = int(r.esquerda * k); x <= int(r.direita() * k) && x < img.width(); ++x)
            if (escuro(img.pixel(x, y)))
                return true;
    return false;
}

// The page drawn by the painter on a white image `altura` thousandths of a
// millimetre tall, at `dpi`.
QImage pinta(const Pagina& p, int dpi, int altura) {
    QImage img(qRound(p.papel.largura * dpi / 25400.0), qRound(altura * dpi / 25400.0),
               QImage::Format_RGB32);
    img.setDotsPerMeterX(qRound(dpi / 0.0254));
    img.setDotsPerMeterY(qRound(dpi / 0.0254));
    img.fill(Qt::white);
    QPainter painter(&img);
    PintorDePagina().desenha(painter, p);
    return img;
}

} // namespace

TEST(Pintor, DesenhaCadaComandoNoLugarENoTamanho) {
    Pagina p;
    p.papel = Papel{QStringLiteral("Carta"), 1, 216000, 279000};
    p.comandos.push_back(ComandoLinha{20000, 50000, 120000, 50000, Caneta{Qt::black, 2}});
    p.comandos.push_back(ComandoForma{Retangulo{150000, 100000, 40000, 20000},
                                      TipoDeForma::Retangulo,
                                      Caneta{Qt::black, 0, EstiloCaneta::Nenhum}, true, Qt::black});
    ComandoTexto t = texto(20000, 150000, 100000, QStringLiteral("MMMMMMMMMM"));
    p.comandos.push_back(t);
    const int dpi = 100;
    const QImage img = pinta(p, dpi, 279000);
    // The 2 pt line runs from 20 to 120 mm at 50 mm and nowhere else.
    EXPECT_TRUE(temTinta(img, Retangulo{25000, 49800, 90000, 400}, dpi));
    EXPECT_FALSE(temTinta(img, Retangulo{122000, 48000, 20000, 4000}, dpi));
    EXPECT_FALSE(temTinta(img, Retangulo{25000, 52000, 90000, 3000}, dpi));
    // The filled box covers its rectangle, not beyond.
    EXPECT_TRUE(escuro(img.pixel(qRound(170000 * dpi / 25400.0), qRound(110000 * dpi / 25400.0))));
    EXPECT_FALSE(temTinta(img, Retangulo{150000, 122000, 40000, 3000}, dpi));
    // Ten characters of a 20 cpi font span half an inch (12.7 mm) from the box's left end.
    EXPECT_TRUE(temTinta(img, Retangulo{20000, 150000, 1500, 3500}, dpi));
    EXPECT_TRUE(temTinta(img, Retangulo{31000, 150000, 1500, 3500}, dpi));
    EXPECT_FALSE(temTinta(img, Retangulo{33500, 148000, 10000, 6000}, dpi));
}

// A figure wider than its box is drawn condensed: the minus sign a little inside the box's
// left end (never touching what ends there), the last digit at its right end, no ink
// outside (where it once was clipped away).
TEST(Pintor, FiguraCondensadaSaiInteiraDentroDaCaixa) {
    TppDBText campo;
    campo.Font = {QStringLiteral("Roman 20cpi"), 7};
    campo.Transparent = true;
    campo.TextAlignment = TppTextAlignment::taRightJustified;
    const Retangulo caixa{50000, 20000, 15700, 3000};
    Pagina p;
    p.papel = Papel{QStringLiteral("Carta"), 1, 216000, 279000};
    p.comandos.push_back(desenhista::texto(campo, QStringLiteral("-24.605.036,09"), caixa));
    const int dpi = 600;
    const QImage img = pinta(p, dpi, 60000);
    const Retangulo linha{0, caixa.topo, 216000, caixa.altura};
    EXPECT_FALSE(temTinta(img, {0, linha.topo, caixa.esquerda - 100, linha.altura}, dpi));
    EXPECT_FALSE(temTinta(img, {caixa.direita() + 100, linha.topo, 50000, linha.altura}, dpi));
    const TrechoDeTexto& trecho = std::get<ComandoTexto>(p.comandos[0]).trechos[0];
    EXPECT_FALSE(temTinta(img, {caixa.esquerda, linha.topo, 400, linha.altura}, dpi));
    // Each of the fourteen characters in its fourteenth of the drawn width: the minus sign
    // and the comma leave the upper half of their cells blank, the digits do not.
    const int base = trecho.linhaDeBase;
    const QString figura = QStringLiteral("-24.605.036,09");
    const int celula = (caixa.direita() - trecho.x) / 14;
    for (int i = 0; i < figura.size(); ++i) {
        const Retangulo alto{trecho.x + i * celula + celula / 5, base - 1800, celula * 3 / 5, 600};
        EXPECT_EQ(temTinta(img, alto, dpi), figura[i].isDigit()) << i;
    }
    EXPECT_TRUE(temTinta(img, {trecho.x, base - 1000, celula, 500}, dpi)) << "o sinal";
}

// On screen the preview draws at a fraction of an inch per pixel: the glyphs must not come
// out wider than the text was measured, or a right-aligned figure loses its last digit to
// the box's edge when the whole page is shown.
TEST(Pintor, TextoNaoPassaDaLarguraMedidaEmNenhumZoom) {
    TppDBText campo;
    campo.Font = {QStringLiteral("Roman 20cpi"), 7};
    campo.Transparent = true;
    const QString figura = QStringLiteral("526.553.337,25 -16.295.229,25 86.385.681,55");
    const Retangulo caixa{10000, 5000, 150000, 3000};
    Pagina p;
    p.papel = Papel{QStringLiteral("Carta"), 1, 216000, 279000};
    p.comandos.push_back(desenhista::texto(campo, figura, caixa));
    const int fim = caixa.esquerda + MedidorDeTexto::instancia().largura(campo.Font, figura);
    for (int dpi = 80; dpi <= 200; dpi += 7) {
        const QImage img = pinta(p, dpi, 12000);
        const int pixel = 25400 / dpi + 1;
        EXPECT_TRUE(temTinta(img, {fim - 3 * pixel, caixa.topo, 3 * pixel, caixa.altura}, dpi))
            << dpi;
        EXPECT_FALSE(temTinta(img, {fim + pixel, caixa.topo, 40000, caixa.altura}, dpi)) << dpi;
    }
}

TEST(Grafico, UmaImagemPorPaginaEmCadaFormato) {
    QTemporaryDir dir;
    for (const QString& ext :
         {QStringLiteral("bmp"), QStringLiteral("jpg"), QStringLiteral("tif")}) {
        DispositivoGrafico d(72);
        d.defineArquivo(dir.filePath(QStringLiteral("anexo.") + ext));
        enviaDocumento(d, relatorio());
        for (int n = 1; n <= 2; ++n) {
            const QString arquivo = dir.filePath(QStringLiteral("anexo_%1.%2").arg(n).arg(ext));
            QImage img(arquivo);
            ASSERT_FALSE(img.isNull()) << arquivo.toStdString();
            EXPECT_EQ(img.width(), qRound(216000 * 72 / 25400.0));
            EXPECT_EQ(img.height(), qRound(279000 * 72 / 25400.0));
            EXPECT_TRUE(temTinta(img, Retangulo{40000, 20000, 10000, 3000}, 72)); // "ESPECIFICAÇÃO"
        }
        EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("anexo.") + ext)));
    }
    DispositivoGrafico gif;
    gif.defineArquivo(dir.filePath(QStringLiteral("anexo.gif")));
    EXPECT_THROW(enviaDocumento(gif, relatorio()), Erro);
}

TEST(Html, XhtmlBemFormadoEHtmlLegivelComOsTextos) {
    QTemporaryDir dir;
    for (const QString& nome : {QStringLiteral("XHTMLFile"), QStringLiteral("HTMLFile")}) {
        auto d = criaDispositivoDeArquivo(nome);
        const QString arquivo = dir.filePath(nome + QStringLiteral(".htm"));
        d->defineArquivo(arquivo);
        enviaDocumento(*d, relatorio());
        const QByteArray dados = leArquivo(arquivo);
        // HTML would leave a self-closed div open.
        EXPECT_FALSE(QRegularExpression(QStringLiteral("<div[^>]*/>"))
                         .match(QString::fromUtf8(dados))
                         .hasMatch());
        if (nome == QLatin1String("XHTMLFile")) {
            QXmlStreamReader xml(dados);
            int paginas = 0;
            while (!xml.atEnd())
                if (xml.readNext() == QXmlStreamReader::StartElement &&
                    xml.attributes().value(QStringLiteral("class")) == QLatin1String("pagina"))
                    ++paginas;
            EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
            EXPECT_EQ(paginas, 2);
        }
        QTextDocument doc;
        doc.setHtml(QString::fromUtf8(dados));
        const QString texto = doc.toPlainText();
        for (const char* esperado :
             {"PREFEITURA MUNICIPAL DE AÇÃO", "Dívida \"Ativa\"", "1.000.000,10"})
            EXPECT_TRUE(texto.contains(QString::fromUtf8(esperado))) << esperado;
        EXPECT_TRUE(dados.contains("width:216.000mm;height:279.000mm"));
    }
}

// The word processor lays the pages out as printed: every page on its own sheet, each
// line's texts in their columns. Drawings the size of the page must not stall it.
TEST(Rtf, LibreOfficeAbreComAsLinhasNoLugar) {
    if (!QFile::exists(QStringLiteral("/usr/lib/libreoffice/program/libswlo.so")))
        GTEST_SKIP() << "LibreOffice Writer não está instalado: apt-get install "
                        "libreoffice-writer-nogui";
    QTemporaryDir dir;
    auto d = criaDispositivoDeArquivo(QStringLiteral("RTFFile"));
    const QString arquivo = dir.filePath(QStringLiteral("anexo.rtf"));
    d->defineArquivo(arquivo);
    enviaDocumento(*d, relatorio());
    ASSERT_TRUE(converteComLibreOffice({arquivo}, QStringLiteral("pdf"), dir.path()));
    const QString pdf = dir.filePath(QStringLiteral("anexo.pdf"));
    const QString info = QString::fromUtf8(executa(QStringLiteral("pdfinfo"), {pdf}));
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+2\\n"))))
        << info.toStdString();
    const QStringList linhas =
        QString::fromUtf8(executa(QStringLiteral("pdftotext"),
                                  {QStringLiteral("-layout"), pdf, QStringLiteral("-")}))
            .split(QLatin1Char('\n'));
    const auto linhaCom = [&](const QString& t) {
        for (const QString& l : linhas)
            if (l.contains(t))
                return l.simplified();
        return QString();
    };
    EXPECT_EQ(linhaCom(QStringLiteral("Receita")),
              QStringLiteral("001 Receita Tributária 1.234,56 0,00"));
    EXPECT_EQ(linhaCom(QStringLiteral("Dívida")),
              QStringLiteral("005 Dívida \"Ativa\" 12,30 400,00"));
    EXPECT_EQ(linhaCom(QStringLiteral("CÓDIGO")),
              QStringLiteral("CÓDIGO ESPECIFICAÇÃO PREVISTO REALIZADO"));
}

// A placeable metafile whose records run to the end record; the word processor draws it
// (embedded in a document, the way it takes metafiles) with its texts.
TEST(Wmf, MetarquivoPosicionavelComRegistrosAteOFim) {
    QTemporaryDir dir;
    DispositivoGrafico d;
    d.defineArquivo(dir.filePath(QStringLiteral("anexo.wmf")));
    enviaDocumento(d, relatorio());
    const QByteArray b = leArquivo(dir.filePath(QStringLiteral("anexo_1.wmf")));
    ASSERT_GT(b.size(), 40);
    const auto u16 = [&](qsizetype i) { return qFromLittleEndian<quint16>(b.constData() + i); };
    const auto u32 = [&](qsizetype i) { return qFromLittleEndian<quint32>(b.constData() + i); };
    EXPECT_EQ(u32(0), 0x9AC6CDD7u);
    quint16 soma = 0;
    for (int i = 0; i < 20; i += 2)
        soma ^= u16(i);
    EXPECT_EQ(u16(20), soma);
    EXPECT_EQ(u16(10), 12246); // right edge: 216 mm in twips
    EXPECT_EQ(qsizetype(u32(22 + 6)) * 2, b.size() - 22);
    qsizetype i = 22 + 18;
    int textos = 0;
    quint16 funcao = 0xFFFF;
    while (i + 6 <= b.size()) {
        const qsizetype tamanho = qsizetype(u32(i)) * 2;
        ASSERT_GE(tamanho, 6);
        funcao = u16(i + 4);
        textos += funcao == 0x0A32;
        i += tamanho;
        if (funcao == 0)
            break;
    }
    EXPECT_EQ(funcao, 0);
    EXPECT_EQ(i, b.size());
    EXPECT_EQ(textos, 18); // every text of the first page

    if (!QFile::exists(QStringLiteral("/usr/lib/libreoffice/program/libswlo.so")))
        GTEST_SKIP() << "LibreOffice Writer não está instalado: apt-get install "
                        "libreoffice-writer-nogui";
    const QString rtf = dir.filePath(QStringLiteral("imagem.rtf"));
    QFile f(rtf);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("{\\rtf1\\ansi\\paperw12246\\paperh15817\\margl0\\margr0\\margt0\\margb0"
            "{\\pict\\wmetafile8\\picwgoal12000\\pichgoal15400 " +
            b.mid(22).toHex() + "}\\par}");
    f.close();
    ASSERT_TRUE(converteComLibreOffice({rtf}, QStringLiteral("pdf"), dir.path()));
    const QString texto = QString::fromUtf8(
        executa(QStringLiteral("pdftotext"),
                {dir.filePath(QStringLiteral("imagem.pdf")), QStringLiteral("-")}));
    for (const char* esperado : {"PREFEITURA MUNICIPAL DE AÇÃO", "Receita Tributária", "1.234,56"})
        EXPECT_TRUE(texto.contains(QString::fromUtf8(esperado))) << esperado;
}
