#include "apoio.h"
#include "report/desenhista.h"
#include "report/fontes.h"

#include <QFontMetricsF>
#include <QImage>
#include <cmath>
#include <gtest/gtest.h>

namespace nq {
namespace {

class Fontes : public ::testing::Test {
protected:
    void SetUp() override { teste::garanteAplicacao(); }
    const MedidorDeTexto& m = MedidorDeTexto::instancia();
};

TEST_F(Fontes, FontesDeImpressoraMantemOPasso) {
    // Ten characters at 20 cpi are half an inch, whatever the point size.
    for (double tamanho : {7.0, 8.0, 11.0})
        EXPECT_NEAR(m.largura({"Roman 20cpi", tamanho}, "0123456789"), 12700, 20) << tamanho;
    EXPECT_NEAR(m.largura({"Draft 10cpi", 8}, "ABCDEFGHIJ"), 25400, 20);
    EXPECT_NEAR(m.largura({"Roman 6cpi", 14, true}, "MUNICIPIO"), 9 * 25400 / 6, 20);
    EXPECT_NEAR(m.largura({"Courier 5 Pitch", 8}, "iiiii"), 25400, 20);
    const FonteResolvida r = resolveFonte({"Roman 20cpi", 7});
    EXPECT_EQ(r.fonte.family(), "DejaVu Sans Mono");
    EXPECT_LT(r.escalaHorizontal, 1.0) << "7 pt DejaVu Sans Mono is wider than 20 cpi";
    EXPECT_EQ(resolveFonte({"Arial", 12}).escalaHorizontal, 1.0);
    EXPECT_EQ(passoDaFonteDeImpressora("ROMAN 20CPI"), 20);
}

// Fixed-pitch texts are measured without shaping them: the result must be what the font
// engine gives for the whole text, character by character alike or not.
TEST_F(Fontes, LarguraIgualADoMotorDeFontes) {
    QImage referencia(1, 1, QImage::Format_ARGB32);
    referencia.setDotsPerMeterX(qRound(1200 / 0.0254));
    referencia.setDotsPerMeterY(qRound(1200 / 0.0254));
    QString latin1;
    for (int c = 0x20; c < 0x100; ++c)
        if (c < 0x7F || c >= 0xA0)
            latin1 += QChar(c);
    const QStringList textos = {"1.234.567,89", "-922.337.203.685.477,58", "Açúcar, pão e café",
                                latin1,         "travessão – e €",         "sem\u00ADhífen"};
    for (const Fonte& f : {Fonte{"Roman 20cpi", 7}, Fonte{"Roman 6cpi", 14, true},
                           Fonte{"Draft 10cpi", 8, false, true}, Fonte{"Arial", 10}})
        for (const QString& t : textos) {
            const FonteResolvida r = resolveFonte(f);
            const double avanco = QFontMetricsF(r.fonte, &referencia).horizontalAdvance(t);
            EXPECT_EQ(m.largura(f, t), std::lround(avanco * r.escalaHorizontal * 25400 / 1200))
                << qPrintable(f.nome) << ": " << qPrintable(t);
        }
}

TEST_F(Fontes, QuebraDeLinhaEJustificacao) {
    const Fonte f{"Draft 10cpi", 8};
    // 10 cpi: one inch holds ten characters.
    EXPECT_EQ(desenhista::quebra(f, "um dois tres quatro cinco", 25400, false),
              QStringList({"um dois", "tres", "quatro", "cinco"}));
    EXPECT_EQ(desenhista::quebra(f, "abcdefghijklmnopqrstuvwxyz", 25400, true),
              QStringList({"abcdefghij", "klmnopqrst", "uvwxyz"}));
    EXPECT_EQ(desenhista::quebra(f, "abcdefghijklmnopqrstuvwxyz", 25400, false),
              QStringList({"abcdefghijklmnopqrstuvwxyz"}));

    TppLabel l;
    l.Font = f;
    l.WordWrap = true;
    l.AutoSize = false;
    l.TextAlignment = TppTextAlignment::taFullJustified;
    const ComandoTexto c = desenhista::texto(l, "aa bb cc dd", {1000, 0, 20320, 8000});
    // "aa bb cc" fills 8 characters of room: the three words spread to both edges.
    ASSERT_EQ(c.trechos.size(), 4u);
    EXPECT_EQ(c.trechos[0].x, 1000);
    EXPECT_EQ(c.trechos[2].x + 2 * 2540, 1000 + 20320);
    EXPECT_EQ(c.trechos[3].texto, "dd");
    EXPECT_EQ(c.trechos[3].x, 1000) << "a última linha do parágrafo não se estica";
    EXPECT_GT(c.trechos[3].linhaDeBase, c.trechos[0].linhaDeBase);

    l.TextAlignment = TppTextAlignment::taRightJustified;
    l.WordWrap = false;
    l.AutoSize = true;
    const ComandoTexto d = desenhista::texto(l, "abc", {1000, 0, 20000, 4000});
    EXPECT_EQ(d.caixa.largura, 3 * 2540);
    EXPECT_EQ(d.caixa.direita(), 21000) << "AutoSize à direita mantém a borda direita";
}

} // namespace
} // namespace nq
