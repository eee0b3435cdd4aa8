#include "db/conexao.h"
#include "db/sqlclientdataset.h"
#include "demo/demo.h"
#include "entry/preparacoes.h"
#include "entry/strzero.h"
#include "tables/pacote.h"

#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace nq;

namespace {

// The preparations against a generated accounting database, through the data
// layer's own datasets: the queries run as written and their columns read as
// the database delivers them.
class PreparacaoNoBanco : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        tmp_ = new QTemporaryDir;
        demo_ = new demo::Demonstracao(demo::criaBancoDeTeste(tmp_->path() + "/banco"));
    }
    static void TearDownTestSuite() {
        delete demo_;
        delete tmp_;
    }
    void SetUp() override {
        conexao.Params = TCRSQLConnection::parametrosPadrao();
        conexao.setParam("Database", demo_->bancoAtual);
        conexao.setParam("ServerCharSet", "WIN1252");
        qrCliente.setCommandText("SELECT * FROM CADCLI");
        ASSERT_TRUE(dados.isValid());
    }
    Dados le(const QString& nome) const { return lePacote(dados.path() + '/' + nome); }

    static inline QTemporaryDir* tmp_ = nullptr;
    static inline demo::Demonstracao* demo_ = nullptr;
    QTemporaryDir dados;
    TCRSQLConnection conexao{"Conexao"};
    SQLClientDataSet cdsAux2{"cdsAux2", &conexao};
    SQLClientDataSet qrCliente{"qrCliente", &conexao};
};

TEST_F(PreparacaoNoBanco, EntidadesFuncoesEExercicioDoBanco) {
    const QString dir = dados.path() + '/';
    PreparaAnexo1B(dir, cdsAux2);
    PreparaAnexo2(dir, cdsAux2);
    PreparaAnexo6(dir, cdsAux2);
    PreparaAnexo8(dir, qrCliente);

    const auto& entidades = demo_->exercicios.atual.entidades;
    ASSERT_FALSE(entidades.empty());
    QSet<QString> esperadas, lidas;
    for (const auto& e : entidades)
        esperadas << StrZero(e.empresa, 2) + '=' + e.nome.left(45);
    const Dados b = le("NQ404_Anexo1B_Despesa.xml");
    ASSERT_EQ(b.linhas(), static_cast<int>(entidades.size()) + 2);
    for (int l = 1; l <= static_cast<int>(entidades.size()); ++l)
        lidas << b.valor(l, 0).asString() + '=' + b.valor(l, 1).asString();
    EXPECT_EQ(lidas, esperadas);

    // Annex 6 follows the entity codes.
    const Dados a6 = le("NQ404_Anexo6.xml");
    QStringList chaves;
    for (int l = 6; l < a6.linhas(); ++l)
        chaves << a6.valor(l, 0).asString();
    QStringList ordenadas = chaves;
    ordenadas.sort();
    EXPECT_EQ(chaves, ordenadas);

    // Annex 2: each function is a title row, each pair a value row under it.
    const Dados a2 = le("NQ404_Anexo2.xml");
    ASSERT_GT(a2.linhas(), 2);
    QSet<QString> funcoes;
    for (int l = 0; l + 1 < a2.linhas(); ++l) {
        const QString codigo = a2.valor(l, a2.indiceDoCampo("SUBFUNCAO")).asString();
        const QString titulo = a2.valor(l, a2.indiceDoCampo("TITULO")).asString();
        EXPECT_EQ(titulo, codigo.size() == 2 ? "TI" : "VA") << codigo.toStdString();
        EXPECT_TRUE(codigo.size() == 2 || codigo.size() == 6) << codigo.toStdString();
        funcoes << a2.valor(l, a2.indiceDoCampo("FUNCAO")).asString();
    }
    EXPECT_FALSE(funcoes.contains("XX"));
    EXPECT_EQ(a2.valor(a2.linhas() - 1, a2.indiceDoCampo("ID")).asString(), "99999");

    EXPECT_EQ(le("NQ404_Anexo8.XML").valor(0, 0), Value(int32_t(demo_->exercicios.atual.ano)));
    EXPECT_FALSE(cdsAux2.active());
    EXPECT_FALSE(qrCliente.active());
}

} // namespace
