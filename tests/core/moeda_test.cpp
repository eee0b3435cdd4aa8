#include "core/moeda.h"

#include "core/erro.h"

#include <cmath>
#include <functional>
#include <limits>

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
    // Quotients of products and percentages, whatever the signs.
    EXPECT_EQ(Moeda::deQuociente(1, 2, "").dezMilesimos(), 1);
    EXPECT_EQ(Moeda::deQuociente(-1, 2, "").dezMilesimos(), -1);
    EXPECT_EQ(Moeda::deQuociente(5, -10, "").dezMilesimos(), -1);
    EXPECT_EQ(Moeda::deQuociente(-4, -10, "").dezMilesimos(), 0);
    EXPECT_EQ(Moeda::deQuociente(2, -3, "").dezMilesimos(), -1);
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

namespace {
bool recusa(const std::function<void()>& conta) {
    try {
        conta();
    } catch (const nq::Erro& e) {
        return e.texto().contains("fora do limite") || e.texto().contains("inválido");
    }
    return false;
}
} // namespace

TEST(Moeda, EstouroEmQualquerOperacaoEUmErro) {
    const Moeda maior = Moeda::deDezMilesimos(INT64_MAX);
    const Moeda menor = Moeda::deDezMilesimos(INT64_MIN);
    const Moeda centavo = *Moeda::deTexto("0.01");
    EXPECT_TRUE(recusa([&] { (void)(maior + centavo); }));
    EXPECT_TRUE(recusa([&] { (void)(menor - centavo); }));
    EXPECT_TRUE(recusa([&] { (void)(-menor); }));
    EXPECT_TRUE(recusa([&] {
        Moeda m = maior;
        m += centavo;
    }));
    EXPECT_TRUE(recusa([&] {
        Moeda m = menor;
        m -= centavo;
    }));
    EXPECT_TRUE(recusa([&] { (void)(maior * 2.0); }));
    EXPECT_TRUE(recusa([&] { (void)Moeda::deInteiro(922337203685478LL); }));
    EXPECT_TRUE(recusa([&] { (void)Moeda::deEscalado(INT64_MAX / 10, 2); }));
    EXPECT_TRUE(recusa([&] { (void)maior.arredondada(0); }));
    EXPECT_THROW((void)(centavo / 0.0), nq::Erro);
    EXPECT_TRUE(recusa(
        [&] { (void)Moeda::deQuociente(static_cast<__int128>(INT64_MAX) * 3, 2, "porcentagem"); }));

    // Right at the limits nothing is refused.
    EXPECT_EQ((maior - centavo + centavo), maior);
    EXPECT_EQ(Moeda::deInteiro(922337203685477LL).texto(), "922337203685477.00");
    EXPECT_EQ(menor.texto(4), "-922337203685477.5808");
    EXPECT_EQ(Moeda::deEscalado(INT64_MAX, 6).texto(), "9223372036854.78");
}

TEST(Moeda, DoubleForaDaFaixaOuNaoNumericoERecusado) {
    EXPECT_TRUE(recusa([] { (void)Moeda::deDouble(std::nan("")); }));
    EXPECT_TRUE(recusa([] { (void)Moeda::deDouble(std::numeric_limits<double>::infinity()); }));
    EXPECT_TRUE(recusa([] { (void)Moeda::deDouble(-std::numeric_limits<double>::infinity()); }));
    EXPECT_TRUE(recusa([] { (void)Moeda::deDouble(1e15); }));
    EXPECT_TRUE(recusa([] { (void)Moeda::deDouble(-9.3e14); }));
    EXPECT_EQ(Moeda::deDouble(9.2e14).texto(), "920000000000000.00");
    EXPECT_EQ(Moeda::deDouble(-24605036.09).texto(), "-24605036.09");
}
