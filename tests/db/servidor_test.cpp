#include "banco_teste.h"
#include "servidor_teste.h"

#include "core/configuracao.h"
#include "core/erro.h"
#include "core/mensagens.h"
#include "db/consultas.h"
#include "db/modulodados.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace nq;

namespace {

// One server for every case of the suite: starting it costs a second or two.
class ServidorTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { servidor_ = new teste::ServidorDeTeste; }
    static void TearDownTestSuite() {
        delete servidor_;
        servidor_ = nullptr;
    }
    void SetUp() override {
        if (!servidor_->falha().isEmpty())
            GTEST_SKIP() << servidor_->falha().toStdString();
    }

    static inline teste::ServidorDeTeste* servidor_ = nullptr;
};

TEST_F(ServidorTest, MesmaClasseAbreHostECaminhoNoServidor) {
    const QString caminho =
        servidor_->host() + QLatin1Char(':') + servidor_->diretorioDados() + "SERVIDOR.FDB";
    ASSERT_TRUE(fb::Banco::ehCaminhoRemoto(caminho));
    teste::criaBancoDeTeste(caminho, QString::fromUtf8("Prefeitura de Itaúna"));

    TCRSQLConnection c("Conexao");
    c.Params = TCRSQLConnection::parametrosPadrao();
    c.setParam("Database", caminho);
    c.Open();
    c.ExecuteDirect("INSERT INTO RECEIT VALUES (1, '01.01.2008', 0.10)");
    c.ExecuteDirect("INSERT INTO RECEIT VALUES (2, '02.01.2008', 0.20)");
    EXPECT_EQ(ConsultaValor(c, "SELECT SUM(VAREC) FROM RECEIT"), Moeda::deEscalado(30, 2));
    EXPECT_TRUE(ConsultaValor(c, "SELECT SUM(VAREC) FROM RECEIT WHERE FICHA=3").ehZero());
    SQLClientDataSet cds("cdsAux", &c);
    cds.setCommandText("SELECT CLNT1 FROM CADCLI");
    cds.open();
    EXPECT_EQ(cds.fieldByName("CLNT1").asString(), QString::fromUtf8("Prefeitura de Itaúna"));
    c.Close();

    c.setParam("Password", "errada");
    try {
        c.Open();
        FAIL() << "abriu com a senha errada";
    } catch (const Erro& e) {
        EXPECT_TRUE(e.texto().startsWith("Não foi possível abrir o banco de dados " + caminho))
            << e.what();
    }
}

TEST_F(ServidorTest, ModuloDeDadosEmModoServidor) {
    // The family tree as the server sees it; this process reaches it only through the server.
    teste::ArvoreVexo arvore;
    const QString raiz = arvore.raiz();
    for (int ano : {2007, 2008}) {
        QDir().mkpath(raiz + QStringLiteral("ARQ%1").arg(ano));
        teste::criaBancoDeTeste(servidor_->host() + ":" + raiz +
                                    QStringLiteral("ARQ%1/VEXO%1.FDB").arg(ano),
                                QStringLiteral("Ano %1").arg(ano));
    }
    arvore.escreveIni(QStringLiteral("Servidor=%1\nSO_Servidor=LINUX\nDiretorio_Servidor=%2\n")
                          .arg(servidor_->host(), raiz));
    MensagensDeTeste msgs;
    EXPECT_TRUE(TestaConexao("VEXO2008.FDB", "D"));
    EXPECT_FALSE(TestaConexao("VEXO2006.FDB", "DA"));

    Tdm modulo;
    modulo.Conexao.Open();
    EXPECT_TRUE(msgs->registro().empty());
    EXPECT_EQ(modulo.Conexao.param("DataBase"),
              servidor_->host() + ":" + raiz + "ARQ2008/VEXO2008.FDB");
    ASSERT_TRUE(modulo.ConexaoAnt.Connected());
    modulo.qrCliente.open();
    EXPECT_EQ(modulo.qrCliente.fieldByName("CLNT1").asString(), "Ano 2008");
    modulo.cdsAuxAnt.setCommandText("SELECT CLNT1 FROM CADCLI");
    modulo.cdsAuxAnt.open();
    EXPECT_EQ(modulo.cdsAuxAnt.fieldByName("CLNT1").asString(), "Ano 2007");
}

} // namespace
