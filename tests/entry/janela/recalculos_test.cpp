#include "entry/catalogo.h"
#include "entry/janela/recalculos.h"
#include "entry/preparacoes.h"
#include "tables/clientdataset.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace nq;

namespace {

Moeda reais(int64_t centavos) {
    return Moeda::deDezMilesimos(centavos * 100);
}

// Writes `valores` (column -> amount) into the row of `id` of a typed file.
void grava(const QString& arquivo, const QString& id, const std::map<QString, Moeda>& valores) {
    ClientDataSet t;
    t.loadFromFile(arquivo);
    ASSERT_TRUE(t.locate("ID", id)) << id.toStdString();
    t.edit();
    for (const auto& [coluna, valor] : valores)
        t.fieldByName(coluna).setAsCurrency(valor);
    t.post();
    t.saveToFile(arquivo);
}

Moeda le(const QString& arquivo, const QString& id, const QString& coluna) {
    ClientDataSet t;
    t.loadFromFile(arquivo);
    EXPECT_TRUE(t.locate("ID", id)) << id.toStdString();
    return t.fieldByName(coluna).asCurrency();
}

} // namespace

TEST(Recalculos, OperadoresExatosEDivisaoPorZero) {
    EXPECT_EQ(aplicaOperador('*', reais(150), reais(300)), reais(450));
    EXPECT_EQ(aplicaOperador('/', reais(100), reais(300)), Moeda::deDezMilesimos(3333));
    EXPECT_EQ(aplicaOperador('/', reais(-200), reais(300)), Moeda::deDezMilesimos(-6667));
    EXPECT_EQ(aplicaOperador('/', reais(100), Moeda()), Moeda());
    EXPECT_EQ(aplicaOperador('-', reais(1), reais(3)), reais(-2));
}

class RecalculosEmArquivo : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString d() const { return dir.path() + "/"; }
};

TEST_F(RecalculosEmArquivo, FormulasDoAnexo3LeemOsTotaisRecalculados) {
    PreparaAnexo3(d(), "2008");
    const QString arq = caminhoArquivo(d(), ArquivoDigitado::Anexo3, "2008");
    grava(arq, "00010", {{"JANEIRO", reais(100000)}, {"DEZEMBRO", reais(7)}});
    grava(arq, "00030", {{"JANEIRO", reais(1000)}});
    grava(arq, "00040", {{"JANEIRO", reais(250)}});
    grava(arq, "00050", {{"JANEIRO", reais(5)}});
    grava(arq, "00090", {{"JANEIRO", reais(300)}});
    grava(arq, "00110", {{"JANEIRO", reais(45)}});
    // Stale values in the formula rows are not what the total reads.
    grava(arq, "00060", {{"JANEIRO", reais(999)}});
    grava(arq, "00140", {{"JANEIRO", reais(11)}});
    grava(arq, "00300", {{"ABRIL", reais(3)}});

    CAMPOS_CALCULADOS(arq);

    EXPECT_EQ(le(arq, "00020", "JANEIRO"), reais(1255));
    EXPECT_EQ(le(arq, "00060", "JANEIRO"), reais(101255));
    EXPECT_EQ(le(arq, "00060", "DEZEMBRO"), reais(7));
    EXPECT_EQ(le(arq, "00140", "JANEIRO"), reais(345));
    EXPECT_EQ(le(arq, "00300", "JANEIRO"), reais(101255 - 345));
    EXPECT_EQ(le(arq, "00300", "DEZEMBRO"), reais(7));
    EXPECT_EQ(le(arq, "00300", "ABRIL"), Moeda());
    // A typed line keeps its value.
    EXPECT_EQ(le(arq, "00030", "JANEIRO"), reais(1000));
}

TEST_F(RecalculosEmArquivo, FormulasEmCirculoTerminam) {
    PreparaAnexo3(d(), "2008");
    const QString arq = caminhoArquivo(d(), ArquivoDigitado::Anexo3, "2008");
    grava(arq, "00030", {{"MAIO", reais(10)}});
    grava(arq, "00020", {{"MAIO", reais(500)}});
    ClientDataSet t;
    t.loadFromFile(arq);
    // 00060 reads 00020 and 00020 reads 00060: the circle is broken at the stored value.
    ASSERT_TRUE(t.locate("ID", "00020"));
    t.edit();
    t.fieldByName("FILTRO").setAsString("+00030+00060");
    t.post();
    ASSERT_TRUE(t.locate("ID", "00060"));
    t.edit();
    t.fieldByName("FILTRO").setAsString("+00020");
    t.post();
    t.saveToFile(arq);

    CAMPOS_CALCULADOS(arq);
    EXPECT_EQ(le(arq, "00060", "MAIO"), reais(500));
    EXPECT_EQ(le(arq, "00020", "MAIO"), reais(10 + 500));
    EXPECT_EQ(le(arq, "00030", "MAIO"), reais(10));
}

TEST_F(RecalculosEmArquivo, FormulaComOperandoInexistenteOuProduto) {
    PreparaAnexo3(d(), "2007");
    const QString arq = caminhoArquivo(d(), ArquivoDigitado::Anexo3, "2007");
    grava(arq, "00030", {{"MARCO", reais(300)}});
    grava(arq, "00040", {{"MARCO", reais(200)}});
    ClientDataSet t;
    t.loadFromFile(arq);
    ASSERT_TRUE(t.locate("ID", "00020"));
    t.edit();
    // 00030 added, 00040 multiplied, an unknown line skipped, then 00040 divided.
    t.fieldByName("FILTRO").setAsString("00030+00040*99999+00040/");
    t.post();
    t.saveToFile(arq);

    CAMPOS_CALCULADOS(arq);
    EXPECT_EQ(le(arq, "00020", "MARCO"), reais(300));
    EXPECT_EQ(le(arq, "00020", "ABRIL"), Moeda());
}

TEST_F(RecalculosEmArquivo, ArquivoAusenteNaoEhCriado) {
    const QString arq = d() + "NQ404_Anexo3_2001.xml";
    CAMPOS_CALCULADOS(arq);
    EXPECT_FALSE(QFile::exists(arq));
}

TEST_F(RecalculosEmArquivo, TitulosDoAnexo1SomamAsLinhasDeSeusFiltros) {
    PreparaAnexo1(d());
    const QString arq = caminhoArquivo(d(), ArquivoDigitado::Anexo1Receita);
    grava(arq, "00040", {{"REALIZADO_BIM2", reais(100)}, {"PREVISAO_ANUAL", reais(1)}}); // 1112.02
    grava(arq, "00050", {{"REALIZADO_BIM2", reais(20)}});                                // 1113.05
    grava(arq, "00070", {{"REALIZADO_BIM2", reais(3)}});                                 // 1120
    grava(arq, "00145", {{"REALIZADO_BIM2", reais(-50)}});                               // 9700
    grava(arq, "00190", {{"REALIZADO_BIM2", reais(4000)}});                              // 2120
    grava(arq, "00200", {{"REALIZADO_BIM2", reais(700)}});                               // 2200
    // A title line's stale value goes.
    grava(arq, "00010", {{"REALIZADO_BIM2", reais(123456)}});

    SOMA_ANEXO_1(arq);

    EXPECT_EQ(le(arq, "00010", "REALIZADO_BIM2"), reais(100 + 20 + 3 - 50));
    EXPECT_EQ(le(arq, "00020", "REALIZADO_BIM2"), reais(100 + 20 + 3));
    EXPECT_EQ(le(arq, "00030", "REALIZADO_BIM2"), reais(120));
    EXPECT_EQ(le(arq, "00160", "REALIZADO_BIM2"), reais(4700));
    EXPECT_EQ(le(arq, "00170", "REALIZADO_BIM2"), reais(4000));
    EXPECT_EQ(le(arq, "00240", "REALIZADO_BIM2"), reais(4700 + 73));
    EXPECT_EQ(le(arq, "00010", "PREVISAO_ANUAL"), reais(1));
    // The value lines are untouched.
    EXPECT_EQ(le(arq, "00040", "REALIZADO_BIM2"), reais(100));
}
