#include "paginas_de_teste.h"
#include "report/devices/dispositivo.h"
#include "report/devices/pdf.h"
#include "report/devices/pintor.h"

#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace nq;
using namespace nq::teste;

namespace {

constexpr int Dpi = 150;

// The first page of the sample report with what it lacks: a proportional font, bold,
// underlined and struck-out texts, a condensed figure, a text wider than its box, a
// filled rounded rectangle, an ellipse and dashed lines.
Pagina paginaVariada() {
    Pagina p = relatorio().paginas.front();
    auto& c = p.comandos;
    Fonte proporcional{QStringLiteral("DejaVu Sans"), 11};
    c.push_back(texto(20000, 200000, 120000, QStringLiteral("Texto proporcional: Ágil ação"),
                      Alinhamento::Esquerda, proporcional));
    Fonte marcada{QStringLiteral("Roman 20cpi"), 9, true};
    marcada.sublinhado = true;
    c.push_back(texto(20000, 210000, 100000, QStringLiteral("SUBLINHADO EM NEGRITO"),
                      Alinhamento::Esquerda, marcada));
    Fonte riscada{QStringLiteral("Draft 10cpi"), 9};
    riscada.riscado = true;
    c.push_back(
        texto(20000, 220000, 100000, QStringLiteral("riscado"), Alinhamento::Esquerda, riscada));
    Fonte condensada{QStringLiteral("Roman 20cpi"), 8};
    condensada.condensacao = 0.7;
    c.push_back(texto(120000, 210000, 30000, QStringLiteral("12.345.678,90"), Alinhamento::Direita,
                      condensada));
    c.push_back(texto(120000, 220000, 12000, QStringLiteral("CORTADO NA CAIXA"),
                      Alinhamento::Esquerda, Fonte{QStringLiteral("Roman 6cpi"), 12}));
    ComandoForma arredondado{Retangulo{20000, 232000, 60000, 20000},
                             TipoDeForma::RetanguloArredondado,
                             Caneta{Qt::black, 1.5},
                             true,
                             QColor(200, 200, 200),
                             5000};
    c.push_back(arredondado);
    c.push_back(ComandoForma{Retangulo{100000, 232000, 50000, 20000}, TipoDeForma::Elipse,
                             Caneta{Qt::black, 1}, false});
    c.push_back(
        ComandoLinha{20000, 258000, 190000, 258000, Caneta{Qt::black, 1, EstiloCaneta::Tracejado}});
    c.push_back(ComandoLinha{20000, 262000, 190000, 262000,
                             Caneta{Qt::black, 2, EstiloCaneta::TracoPonto}});
    return p;
}

// The first page of a PDF as poppler draws it, in grey.
QImage desenhada(const QString& pdf, const QTemporaryDir& dir) {
    const QString prefixo = dir.filePath(QFileInfo(pdf).baseName());
    if (executa(QStringLiteral("pdftoppm"),
                {QStringLiteral("-r"), QString::number(Dpi), QStringLiteral("-gray"),
                 QStringLiteral("-png"), QStringLiteral("-singlefile"), pdf, prefixo})
            .isNull())
        return {};
    return QImage(prefixo + QStringLiteral(".png")).convertToFormat(QImage::Format_Grayscale8);
}

// Dark pixels of `a` with no dark pixel of `b` within `distancia`.
int semPar(const QImage& a, const QImage& b, int distancia) {
    int faltam = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            if (qGray(a.pixel(x, y)) >= 128)
                continue;
            bool achou = false;
            for (int dy = -distancia; dy <= distancia && !achou; ++dy)
                for (int dx = -distancia; dx <= distancia && !achou; ++dx) {
                    const int px = x + dx;
                    const int py = y + dy;
                    achou = b.valid(px, py) && qGray(b.pixel(px, py)) < 128;
                }
            faltam += achou ? 0 : 1;
        }
    return faltam;
}

} // namespace

// The PDF is written without the painter; a PDF reader must show what the painter draws
// through Qt's own PDF engine, both drawn by the same reader.
TEST(Pdf, PaginaDesenhadaComoOPintorDesenha) {
    if (QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty())
        GTEST_SKIP() << "pdftoppm (poppler-utils) não está instalado";
    QTemporaryDir dir;
    Documento doc;
    doc.paginas.push_back(paginaVariada());
    const QString nosso = dir.filePath(QStringLiteral("nosso.pdf"));
    auto d = criaDispositivoDeArquivo(QStringLiteral("PDFFile"));
    d->defineArquivo(nosso);
    enviaDocumento(*d, doc);

    const QString doPintor = dir.filePath(QStringLiteral("pintor.pdf"));
    {
        QPdfWriter escritor(doPintor);
        escritor.setResolution(1200);
        escritor.setPageLayout(layoutDoPapel(doc.paginas.front().papel));
        QPainter p(&escritor);
        PintorDePagina().desenha(p, doc.paginas.front());
    }
    const QImage a = desenhada(nosso, dir);
    const QImage b = desenhada(doPintor, dir);
    ASSERT_FALSE(a.isNull());
    ASSERT_EQ(a.size(), b.size());
    int escuros = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            escuros += qGray(a.pixel(x, y)) < 128 ? 1 : 0;
    ASSERT_GT(escuros, 10000);
    EXPECT_EQ(semPar(a, b, 1), 0);
    EXPECT_EQ(semPar(b, a, 1), 0);
}

// Every character comes back out of the PDF as it went in, whatever bytes its glyph number
// has (a PDF string's delimiters and line ends among them), in two fonts that take turns.
TEST(Pdf, TextosVoltamDoPdfComoEntraram) {
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        GTEST_SKIP() << "pdftotext (poppler-utils) não está instalado";
    QString todos;
    for (char16_t c = 0x21; c < 0x100; ++c)
        if (c < 0x7F || (c > 0xA0 && c != 0xAD))
            todos += QChar(c);
    todos += QStringLiteral("€—“”ő∑");
    Pagina p = relatorio().paginas.front();
    p.comandos.clear();
    const Fonte fontes[] = {{QStringLiteral("Roman 20cpi"), 8}, {QStringLiteral("DejaVu Sans"), 8}};
    QStringList linhas;
    for (int i = 0; i * 30 < todos.size(); ++i) {
        linhas << todos.mid(i * 30, 30);
        p.comandos.push_back(texto(20000, 20000 + i * 6000, 150000, linhas.back(),
                                   Alinhamento::Esquerda, fontes[i % 2]));
    }
    QTemporaryDir dir;
    Documento doc;
    doc.paginas.push_back(p);
    const QString pdf = dir.filePath(QStringLiteral("textos.pdf"));
    auto d = criaDispositivoDeArquivo(QStringLiteral("PDFFile"));
    d->defineArquivo(pdf);
    enviaDocumento(*d, doc);
    const QString lido = QString::fromUtf8(
        executa(QStringLiteral("pdftotext"), {QStringLiteral("-raw"), pdf, QStringLiteral("-")}));
    EXPECT_EQ(lido.split(QLatin1Char('\n')).mid(0, linhas.size()), linhas);
}
