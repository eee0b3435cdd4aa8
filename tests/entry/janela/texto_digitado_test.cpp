#include "core/erro.h"
#include "entry/janela/texto_digitado.h"

#include <gtest/gtest.h>

using namespace nq;

TEST(TextoDigitado, LeValoresComSeparadoresBrasileiros) {
    EXPECT_EQ(moedaDigitada("1.234,56"), Moeda::deDezMilesimos(12345600));
    EXPECT_EQ(moedaDigitada("1234,56"), Moeda::deDezMilesimos(12345600));
    EXPECT_EQ(moedaDigitada(" -0,5 "), Moeda::deDezMilesimos(-5000));
    EXPECT_EQ(moedaDigitada("12"), Moeda::deInteiro(12));
    EXPECT_EQ(moedaDigitada("1.000.000"), Moeda::deInteiro(1000000));
    EXPECT_EQ(moedaDigitada("0,1234"), Moeda::deDezMilesimos(1234));
    EXPECT_EQ(moedaDigitada("7,"), Moeda::deInteiro(7));
}

TEST(TextoDigitado, RecusaOQueNaoEhNumeroInteiro) {
    for (const char* ruim : {"abc", "12a", "1,2,3", "12.5", "1.23,4", "1,23456", "--1", ",", ""})
        EXPECT_FALSE(moedaDigitada(QString::fromLatin1(ruim))) << ruim;
    EXPECT_THROW(valorDigitado("12x", FieldKind::Money), Erro);
    EXPECT_THROW(valorDigitado("1,5", FieldKind::Integer), Erro);
    EXPECT_TRUE(valorDigitado("  ", FieldKind::Money).isNull());
    EXPECT_EQ(valorDigitado("2040", FieldKind::Integer), Value(int32_t(2040)));
}

TEST(TextoDigitado, ExibeEEditaSemPerderCasas) {
    const Value v(Moeda::deDezMilesimos(-12345678912345));
    EXPECT_EQ(textoExibido(v, FieldKind::Money), "-1.234.567.891,23");
    EXPECT_EQ(textoParaEditar(v, FieldKind::Money), "-1234567891,2345");
    EXPECT_EQ(textoParaEditar(Value(Moeda::deInteiro(5)), FieldKind::Money), "5,00");
    EXPECT_EQ(textoExibido(Value(Moeda::deDezMilesimos(9990)), FieldKind::Money), "1,00");
    EXPECT_EQ(textoExibido(Value(), FieldKind::Money), "");
    // What the editor shows reads back as the same amount.
    EXPECT_EQ(moedaDigitada(textoParaEditar(v, FieldKind::Money)), v.asCurrency());
}
