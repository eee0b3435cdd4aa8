#include "core/erro.h"
#include "report/formato.h"

#include <gtest/gtest.h>
#include <limits>

namespace nq {
namespace {

const QLocale Brasil(QLocale::Portuguese, QLocale::Brazil);

QString moeda(int64_t dezMilesimos, const QString& picture) {
    return FormatoNumerico(picture).formata(Moeda::deDezMilesimos(dezMilesimos), Brasil);
}

TEST(FormatoNumerico, DinheiroDosAnexos) {
    const QString f = QStringLiteral("#,0.00;-#,0.00");
    EXPECT_EQ(moeda(12345600, f), "1.234,56");
    EXPECT_EQ(moeda(0, f), "0,00");
    EXPECT_EQ(moeda(-50000, f), "-5,00");
    EXPECT_EQ(moeda(12345678901234, f), "1.234.567.890,12");
    EXPECT_EQ(moeda(-9999, f), "-1,00"); // rounds half away from zero, exactly
    EXPECT_EQ(moeda(49, f), "0,00");     // 0.0049
    EXPECT_EQ(moeda(-49, f), "0,00");    // a negative that rounds to zero has no sign
    EXPECT_EQ(moeda(1000000, f), "100,00");
    EXPECT_EQ(moeda(10000000, f), "1.000,00");
    // The extremes of money: rounding must neither overflow nor drop the sign.
    EXPECT_EQ(moeda(std::numeric_limits<int64_t>::max(), f), "922.337.203.685.477,58");
    EXPECT_EQ(moeda(std::numeric_limits<int64_t>::min(), f), "-922.337.203.685.477,58");
}

TEST(FormatoNumerico, SecoesLiteraisEOpcionais) {
    EXPECT_EQ(moeda(0, "#,0.00;(#,0.00);\"zero\""), "zero");
    EXPECT_EQ(moeda(-12345600, "#,0.00;(#,0.00)"), "(1.234,56)");
    EXPECT_EQ(moeda(-12345600, "0.00"), "-1234,56"); // one section: a leading minus
    EXPECT_EQ(moeda(15000, "#.##"), "1,5");
    EXPECT_EQ(moeda(0, "#.##"), "");
    EXPECT_EQ(moeda(50000, "000"), "005");
    EXPECT_EQ(moeda(12345, "0.000000"), "1,234500");
    EXPECT_EQ(moeda(12345600, "R$ #,0.00"), "R$ 1.234,56");
    EXPECT_EQ(moeda(-12345600, "R$ #,0.00"), "-R$ 1.234,56");
    EXPECT_EQ(moeda(50000, "#,000.00"), "005,00");
    EXPECT_EQ(moeda(12345678900000, "#,000"), "1.234.567.890");
    EXPECT_EQ(moeda(-10000, "\"sem número\""), "-sem número");
    EXPECT_EQ(FormatoNumerico("#,0.00;-#,0.00").formata(-0.005, Brasil), "-0,01");
    EXPECT_EQ(FormatoNumerico("0.0 %").formata(12.25, Brasil), "12,3 %");
}

TEST(FormatoNumerico, PictureInvalidaEhRecusadaComTextoClaro) {
    EXPECT_THROW(FormatoNumerico("0;0;0;0"), Erro);
    EXPECT_THROW(FormatoNumerico("0 x 0"), Erro);
    EXPECT_THROW(FormatoNumerico("0\"aberto"), Erro);
}

TEST(FormatoNumerico, LocaleCUsaPortuguesDoBrasil) {
    // CTest runs with LC_ALL=C.UTF-8.
    if (QLocale::system().language() != QLocale::C)
        GTEST_SKIP() << "o sistema não está no locale C";
    const QLocale l = localeDosRelatorios();
    EXPECT_EQ(l.decimalPoint(), ",");
    EXPECT_EQ(l.groupSeparator(), ".");
    EXPECT_EQ(formataValor(Value(Moeda::deDezMilesimos(12345600)), "#,0.00;-#,0.00"), "1.234,56");
}

TEST(FormatoNumerico, ValoresSemFormato) {
    EXPECT_EQ(formataValor(Value(), "#,0.00"), "");
    EXPECT_EQ(formataValor(Value(QStringLiteral("texto")), "#,0.00"), "texto");
    EXPECT_EQ(formataValor(Value(Moeda::deDezMilesimos(0)), "#,0.00", true), "");
    EXPECT_EQ(formataValor(Value(int32_t{1234}), ""), "1234");
}

} // namespace
} // namespace nq
