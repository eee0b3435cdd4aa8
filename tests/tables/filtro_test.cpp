#include "core/erro.h"
#include "tables/clientdataset.h"

#include <gtest/gtest.h>

using namespace nq;

namespace {

class FiltroTest : public ::testing::Test {
protected:
    void SetUp() override {
        t.addField("SEQ", FieldKind::Integer);
        t.addField("ID", FieldKind::Text, 5);
        t.addField("TITULO", FieldKind::Text, 2);
        t.addField("FILTRO", FieldKind::Text, 150);
        t.addField("VALOR", FieldKind::Money);
        t.createDataSet();
        // SEQ 1..40 step 1 for 1..8, then 29, 30, 31, null
        for (int seq : {1, 2, 3, 6, 7, 8, 29, 30, 31}) {
            t.appendRecord({seq, QString("%1").arg(seq * 10, 5, 10, QChar('0')),
                            seq % 2 ? "TI" : "VA", seq < 7 ? "codre like '1%'" : "",
                            Moeda::deInteiro(seq)});
        }
        t.appendRecord({Value(), "00999", Value(), Value(), Value()});
    }

    // The SEQ values the filter lets through, in order.
    QList<int> passam(const QString& expressao) {
        t.setFilter(expressao);
        t.setFiltered(true);
        QList<int> r;
        for (t.first(); !t.eof(); t.next())
            r << t.fieldByName("SEQ").asInteger();
        return r;
    }

    ClientDataSet t{"cdsDes"};
};

} // namespace

TEST_F(FiltroTest, ComparacoesComInteirosETextos) {
    EXPECT_EQ(passam("SEQ<30"), QList<int>({1, 2, 3, 6, 7, 8, 29, 0})); // null reads as 0
    EXPECT_EQ(passam("SEQ >29"), QList<int>({30, 31}));
    EXPECT_EQ(passam("SEQ>=30"), QList<int>({30, 31}));
    EXPECT_EQ(passam("SEQ<=2"), QList<int>({1, 2, 0}));
    EXPECT_EQ(passam("SEQ = 7"), QList<int>({7}));
    EXPECT_EQ(passam("ID='00010'"), QList<int>({1}));
    EXPECT_EQ(passam("TITULO<>'TI'"), QList<int>({2, 6, 8, 30, 0}));
    EXPECT_EQ(passam("FILTRO<>''"), QList<int>({1, 2, 3, 6}));
    EXPECT_EQ(passam("VALOR>7"), QList<int>({8, 29, 30, 31}));
    EXPECT_EQ(passam("VALOR='2.5'"), QList<int>({}));
    EXPECT_EQ(passam("id<'00030'"), QList<int>({1, 2}));
}

TEST_F(FiltroTest, AndOrEmQualquerCaixaComParenteses) {
    EXPECT_EQ(passam("(SEQ<7 or SEQ=30) AND (SEQ<>1)"), QList<int>({2, 3, 6, 30, 0}));
    EXPECT_EQ(passam("SEQ<7 or SEQ=30 AND SEQ<>1"), QList<int>({1, 2, 3, 6, 30, 0}));
    EXPECT_EQ(passam("SEQ>1 aNd SEQ<7 Or SEQ=31"), QList<int>({2, 3, 6, 31}));
    EXPECT_EQ(passam("((SEQ=1))OR(SEQ=2)"), QList<int>({1, 2}));
}

TEST_F(FiltroTest, TextoTerminadoEmAsteriscoCasaPeloComeco) {
    EXPECT_EQ(passam("ID='0003*'"), QList<int>({3}));
    EXPECT_EQ(passam("ID='000*'"), QList<int>({1, 2, 3, 6, 7, 8}));
    EXPECT_EQ(passam("FILTRO='codre*'"), QList<int>({1, 2, 3, 6}));
    EXPECT_EQ(passam("ID<>'00*'"), QList<int>({}));
    EXPECT_EQ(passam("FILTRO='codre like ''1%'''"), QList<int>({1, 2, 3, 6}));
}

TEST_F(FiltroTest, FiltroSemLinhasDeixaATabelaVazia) {
    EXPECT_EQ(passam("ID='00170'"), QList<int>({}));
    EXPECT_TRUE(t.eof());
    EXPECT_TRUE(t.bof());
    EXPECT_EQ(t.recordCount(), 0);
    EXPECT_TRUE(t.isEmpty());
}

TEST_F(FiltroTest, ExpressaoInvalidaERecusadaCitandoOTextoEOFiltroAnteriorFica) {
    passam("SEQ<3");
    for (const char* ruim : {"SEQ<", "SEQ 3", "(SEQ<3", "SEQ<3 AND", "SEQ<'3", "SEQ=3 XOR SEQ=4",
                             "NAOEXISTE=1", "SEQ='abc'", "SEQ<3)", "=3"}) {
        try {
            t.setFilter(ruim);
            FAIL() << ruim;
        } catch (const Erro& e) {
            EXPECT_TRUE(e.texto().contains(ruim)) << e.texto().toStdString();
        }
    }
    EXPECT_EQ(t.filter(), "SEQ<3");
    EXPECT_EQ(t.recordCount(), 3);
}

TEST_F(FiltroTest, FiltroDefinidoAntesDeAbrirValeAoAbrir) {
    ClientDataSet outra;
    outra.setFilter("Codigo=2");
    outra.setFiltered(true);
    outra.addField("CODIGO", FieldKind::Integer);
    outra.createDataSet();
    outra.appendRecord({1});
    outra.appendRecord({2});
    EXPECT_EQ(outra.recordCount(), 1);
    EXPECT_EQ(outra.fieldByName("Codigo").asInteger(), 2);
}
