#include "db/analise_sql.h"

#include <gtest/gtest.h>

using namespace nq;

namespace {

QStringList colunas(const char* w) {
    return analisaCondicao(QString::fromUtf8(w)).colunas;
}

} // namespace

TEST(AnaliseDeCondicao, ColunasForaDeTextosFuncoesTiposESubconsultas) {
    EXPECT_EQ(colunas("codre like '1%' and RECDIS.TIPO<>'RD' or Tipo is null"),
              QStringList({"codre", "RECDIS.TIPO", "Tipo"}));
    // A repeated name, in any case, is listed once, as first written.
    EXPECT_EQ(colunas("(tipo<>'RD' or TIPO is null)"), QStringList({"tipo"}));
    EXPECT_EQ(colunas("substring(f.codre from 1 for 7) in ('1112.02','codre')"),
              QStringList({"f.codre"}));
    EXPECT_EQ(colunas("UPPER(CAST(SUBSTRING(PRODU FROM 1 FOR 250) AS VARCHAR(250))) LIKE '%X%'"),
              QStringList({"PRODU"}));
    EXPECT_EQ(colunas("cast(x as double precision) > 1 and y collate win_ptbr = 'a'"),
              QStringList({"x", "y"}));
    EXPECT_EQ(colunas("extract(month from d.datae) = 3 and v starting with 'A'"),
              QStringList({"d.datae", "v"}));
    EXPECT_EQ(colunas("COALESCE(D.PKEMPA, 0) NOT IN (SELECT PKEMP FROM DESPES WHERE TPEM='RD')"),
              QStringList({"D.PKEMPA"}));
    EXPECT_EQ(colunas("\"Codre\" = _win1252 'x' and a is not distinct from b"),
              QStringList({"\"Codre\"", "a", "b"}));
}

TEST(AnaliseDeCondicao, OuForaDeParentesesEhMarcado) {
    EXPECT_FALSE(analisaCondicao("(a=1 or b=2) and c=3").ouNoTopo);
    EXPECT_FALSE(analisaCondicao("a in (select x from t where y=1 or z=2)").ouNoTopo);
    EXPECT_FALSE(analisaCondicao("a = 'x or y'").ouNoTopo);
    EXPECT_TRUE(analisaCondicao("a=1 or b=2").ouNoTopo);
    EXPECT_TRUE(analisaCondicao("(a=1) OR (b=2)").ouNoTopo);
    EXPECT_TRUE(analisaCondicao("case when a=1 or b=2 then 1 else 0 end = 1").ouNoTopo);
    EXPECT_TRUE(analisaCondicao("a=1 or b=2").segura);
}

TEST(AnaliseDeCondicao, RecusaOQueNaoSabeLer) {
    for (const char* w : {"",
                          "   ",
                          "a = 1 -- comment",
                          "a = /* x */ 1",
                          "a = 1; delete from t",
                          "a = ?",
                          "a = :p",
                          "(a = 1",
                          "a = 1)",
                          "a = 1) or (b = 2",
                          "codre like '1%",
                          "\"a = 1",
                          "and a = 1",
                          "a = 1 and",
                          "a = ",
                          "not",
                          "a = 1 order by 2",
                          "a = 1 group by a",
                          "a = 1 union select 1 from t",
                          "a in (select x from t) or b",
                          "gen_id(g, 1) > 0",
                          "a = rand()",
                          "x in (select gen_id(g,1) from t)",
                          "b = 'ã' or ç = 1",
                          "a [1] = 2"}) {
        const AnaliseDeCondicao a = analisaCondicao(QString::fromUtf8(w));
        if (QByteArray(w) == "a in (select x from t) or b")
            EXPECT_TRUE(a.segura && a.ouNoTopo) << w; // readable; OR outside is flagged
        else
            EXPECT_FALSE(a.segura) << w;
    }
    for (const char* w : {"not a = 1", "-a > 1", "a is null", "a between 1 and 2", "a = 'it''s'",
                          "exists (select 1 from t where t.x = a)", "a is not distinct from b"})
        EXPECT_TRUE(analisaCondicao(QString::fromUtf8(w)).segura) << w;
}

TEST(TermosDaSoma, SomasEDiferencasDeSomas) {
    const auto um = termosDaSoma("sum(receit.varec)");
    ASSERT_TRUE(um);
    ASSERT_EQ(um->size(), 1u);
    EXPECT_EQ((*um)[0].sinal, 1);
    EXPECT_EQ((*um)[0].expressao, "receit.varec");

    const auto dif = termosDaSoma("(SUM(CREDI) - Sum(o.debit*(1+0)))");
    ASSERT_TRUE(dif);
    ASSERT_EQ(dif->size(), 2u);
    EXPECT_EQ((*dif)[0].expressao, "CREDI");
    EXPECT_EQ((*dif)[1].sinal, -1);
    EXPECT_EQ((*dif)[1].expressao, "o.debit*(1+0)");

    for (const char* s : {"sum(distinct x)", "sum(x)*2", "2*sum(x)", "count(*)", "sum()",
                          "sum(x) sum(y)", "coalesce(sum(x), 0)", "(sum(x)) - (sum(y))", "x"})
        EXPECT_FALSE(termosDaSoma(QString::fromLatin1(s))) << s;
}
