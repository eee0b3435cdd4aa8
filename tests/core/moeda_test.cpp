#include "core/moeda.h"

#include <gtest/gtest.h>

using nq::Moeda;

TEST(Moeda, ConverteEscaladosSemPassarPorDouble) {
    // NUMERIC(15,2) as the client API delivers it.
    EXPECT_EQ(Moeda::deEscalado(9999999999999999LL, 2).texto(), "99999999999999.99");
    EXPECT_EQ(Moeda::deEscalado(999999999999999999LL, 4).texto(4), "99999999999999.9999");
    EXPECT_EQ(Moeda::deEscalado(-123456, 6).dezMilesimos(), -1235);
    EXPECT_EQ(Moeda::deEscalado(15, 0).texto(), "15.00");
}

TEST(Moeda, ArredondaMetadeParaLongeDoZero) {
    EXPECT_EQ(Moeda::deDouble(0.00005).dezMilesimos(), 1);
    EXPECT_EQ(Moeda::deDouble(-0.00005).dezMilesimos(), -1);
    EXPECT_EQ(Moeda::deDezMilesimos(12345).texto(), "1.23");
    EXPECT_EQ(Moeda::deDezMilesimos(12350).texto(), "1.24");
    EXPECT_EQ(Moeda::deDezMilesimos(-12350).texto(), "-1.24");
    EXPECT_EQ(Moeda::deDezMilesimos(-50).texto(), "-0.01");
    EXPECT_EQ(Moeda::deDezMilesimos(-49).texto(), "0.00");
}

TEST(Moeda, SomaExataDeCentavos) {
    Moeda total;
    for (int i = 0; i < 1000; ++i)
        total += *Moeda::deTexto("0.10");
    EXPECT_EQ(total, Moeda::deInteiro(100));
}

TEST(Moeda, LeTexto) {
    EXPECT_EQ(Moeda::deTexto("-1234.56")->texto(), "-1234.56");
    EXPECT_EQ(Moeda::deTexto(" 12 ")->texto(), "12.00");
    EXPECT_FALSE(Moeda::deTexto("1.234,56"));
    EXPECT_FALSE(Moeda::deTexto("1.23456"));
    EXPECT_FALSE(Moeda::deTexto("abc"));
    EXPECT_FALSE(Moeda::deTexto("-"));
    EXPECT_FALSE(Moeda::deTexto("99999999999999999999"));
    // The largest whole part with a fraction that would wrap the sign.
    EXPECT_EQ(Moeda::deTexto("922337203685477.5807")->dezMilesimos(), INT64_MAX);
    EXPECT_FALSE(Moeda::deTexto("922337203685477.9999"));
}
