#include "banco_teste.h"

#include "core/configuracao.h"
#include "core/erro.h"
#include "core/mensagens.h"
#include "db/consultas.h"
#include "db/modulodados.h"

#include <gtest/gtest.h>

using namespace nq;

namespace {

const QString Municipio = QString::fromUtf8("Câmara Municipal de São João d'Aliança");

TEST(TCRSQLConnection, ParametrosDaFamiliaNaOrdemEDriverPorNome) {
    Tdm modulo;
    EXPECT_EQ(modulo.cdsAuxAnt.connection(), &modulo.ConexaoAnt);
    EXPECT_EQ(&dm(), &modulo);
    EXPECT_THROW(Tdm outro, Erro);

    TCRSQLConnection& c = modulo.Conexao;
    c.setParam("DataBase", "/x/VEXO2008.FDB"); // replaces "Database=" where it stands
    EXPECT_EQ(c.Params.at(3), "DataBase=/x/VEXO2008.FDB");
    EXPECT_EQ(c.Params.size(), 13);
    EXPECT_EQ(c.param("database"), "/x/VEXO2008.FDB");
    EXPECT_EQ(c.parametrosConexao().usuario, "QTWVEXO8");
    EXPECT_EQ(c.parametrosConexao().papel, "RoleName");
    EXPECT_EQ(c.opcoesTransacao(0).isolamento, fb::Isolamento::LeituraConfirmada);
    EXPECT_TRUE(c.opcoesTransacao(0).esperaBloqueios);
    EXPECT_EQ(c.parametrosConexao().segundosParaConectar, 15); // a server that never answers
    c.setParam("ConnectTimeout", " 3 ");
    EXPECT_EQ(c.parametrosConexao().segundosParaConectar, 3);

    c.Params << "EnableBCD=true"
             << "LongStrings=Sim"
             << "CharLength= 1 "
             << "FetchAll=TRUE";
    OpcoesDriver o = c.opcoesDriver();
    EXPECT_TRUE(o.enableBCD);
    EXPECT_FALSE(o.longStrings); // only "TRUE" counts
    EXPECT_TRUE(o.fetchAll);
    EXPECT_EQ(o.charLength, 1);
    EXPECT_EQ(o.sqlDialect, 3);
    c.setParam("WaitOnLocks", "False");
    EXPECT_FALSE(c.opcoesTransacao(0).esperaBloqueios);
    c.setParam("CharLength", "um");
    EXPECT_THROW(c.opcoesDriver(), Erro);
    c.setParam("DevartInterBase TransIsolation", "Caos");
    EXPECT_THROW(c.opcoesTransacao(0), Erro);
}

TEST(TCRSQLConnection, BibliotecaClientePeloNomeDaDll) {
    for (const char* nome :
         {"gds32.DLL", "", "FBCLIENT.DLL", "C:\\Firebird\\fbclient.dll", "libfbclient.so.2"})
        EXPECT_EQ(TCRSQLConnection::bibliotecaCliente(nome), QString()) << nome;
    EXPECT_EQ(TCRSQLConnection::bibliotecaCliente("/opt/fb/lib/libfbclient.so"),
              "/opt/fb/lib/libfbclient.so");
    EXPECT_THROW(TCRSQLConnection::bibliotecaCliente("ibclient64.dll"), Erro);
}

class ConexaoTest : public ::testing::Test {
protected:
    void SetUp() override {
        arvore_.criaBanco(2008, Municipio);
        modulo_.Conexao.setParam("Database", arvore_.caminhoBanco(2008));
        modulo_.Conexao.BeforeConnect = nullptr; // these cases open the file directly
        modulo_.Conexao.Open();
    }

    void executa(const QString& sql) { modulo_.Conexao.ExecuteDirect(sql); }

    teste::ArvoreVexo arvore_;
    Tdm modulo_;
};

TEST_F(ConexaoTest, DllComCaminhoCarregaAquelaBiblioteca) {
    TCRSQLConnection c("Outra");
    c.Params = modulo_.Conexao.Params;
    c.VendorLib = "/usr/lib/x86_64-linux-gnu/libfbclient.so.2";
    c.Open();
    EXPECT_EQ(ConsultaValor(c, "SELECT COUNT(*) FROM CADCLI"), Moeda::deInteiro(1));
    c.Close();
    c.VendorLib = "/nao/existe/libfbclient.so";
    try {
        c.Open();
        FAIL() << "abriu sem a biblioteca";
    } catch (const Erro& e) {
        EXPECT_TRUE(e.texto().startsWith(
            "Não foi possível carregar a biblioteca cliente do banco de dados /nao/existe/"))
            << e.what();
    }
}

TEST_F(ConexaoTest, ConsultaValorExataENulaComoZero) {
    TCRSQLConnection& c = modulo_.Conexao;
    executa("INSERT INTO RECEIT VALUES (1, '15.01.2008', 0.10)");
    executa("INSERT INTO RECEIT VALUES (1, '20.02.2008', 0.20)");
    executa("INSERT INTO RECEIT VALUES (2, '10.03.2008', 1234567890123.45)");
    EXPECT_EQ(ConsultaValor(c, "SELECT SUM(VAREC) FROM RECEIT WHERE FICHA=1"),
              Moeda::deEscalado(30, 2));
    EXPECT_EQ(ConsultaValor(c, "SELECT SUM(VAREC) AS VAREC FROM RECEIT", "varec").texto(),
              "1234567890123.75");
    const QString nadaNoBimestre = "SELECT SUM(VAREC) FROM RECEIT WHERE EXTRACT(MONTH FROM DTLAN)"
                                   ">=11 AND EXTRACT(MONTH FROM DTLAN)<=12";
    EXPECT_TRUE(ConsultaValor(c, nadaNoBimestre).ehZero());
    EXPECT_TRUE(ConsultaValor(c, "SELECT VAREC FROM RECEIT WHERE FICHA=9").ehZero()); // no row
    EXPECT_EQ(ConsultaValor(c, "SELECT COUNT(*) FROM RECEIT"), Moeda::deInteiro(3));
    EXPECT_EQ(ConsultaValor(c, "SELECT SUM(VAREC) FROM RECEIT WHERE DTLAN <= '" +
                                   dataSqlMDA(QDate(2008, 2, 29)) + "'"),
              Moeda::deEscalado(30, 2));
    EXPECT_EQ(ConsultaValor(c, "SELECT SUM(VAREC) FROM RECEIT WHERE DTLAN BETWEEN '" +
                                   dataSql(QDate(2008, 2, 1)) + "' AND '" +
                                   ultimoDiaDoAnoSql(2008) + "'"),
              Moeda::deInteiro(1234567890123) + Moeda::deEscalado(65, 2));
    try {
        ConsultaValor(c, "SELECT SUM(VAREC) FROM RECEITAS");
        FAIL() << "sem erro";
    } catch (const Erro& e) {
        EXPECT_TRUE(e.texto().contains("RECEITAS")) << e.what();
    }
    EXPECT_THROW(ConsultaValor(c, "SELECT SUM(VAREC) AS X FROM RECEIT", "VAREC"), Erro);
}

TEST_F(ConexaoTest, FiltroDeReservaDeixaForaReservaEQuemAReferencia) {
    executa("INSERT INTO DESPES VALUES (1, NULL, 'RD', 100.00)"); // reserve
    executa("INSERT INTO DESPES VALUES (2, 1, 'OR', 40.00)");     // refers to the reserve
    executa("INSERT INTO DESPES VALUES (3, NULL, 'OR', 7.25)");   // null PKEMPA passes
    executa("INSERT INTO DESPES VALUES (4, 3, 'OR', 0.75)");      // refers to an ordinary one
    const auto soma = [&](const QString& filtro) {
        return ConsultaValor(modulo_.Conexao,
                             "SELECT SUM(D.VADEM) FROM DESPES D WHERE " + filtro + "D.VADEM > 0");
    };
    EXPECT_EQ(soma(FiltroReservaEmpenho()), Moeda::deInteiro(8));
    EXPECT_EQ(soma(""), Moeda::deInteiro(148));
    EXPECT_EQ(ConsultaValor(modulo_.Conexao, "SELECT SUM(VADEM) FROM DESPES WHERE " +
                                                 FiltroReservaEmpenho("DESPES") + "VADEM > 0"),
              Moeda::deInteiro(8));

    EXPECT_FALSE(MostraEmpenhosReserva(modulo_.Conexao));
    // Only "T" shows reserve commitments: "S" or "t" leave them out.
    for (const char* valor : {"S", "t", "Y"}) {
        executa(QStringLiteral("UPDATE PARAMEDU SET RD='%1'").arg(valor));
        EXPECT_FALSE(MostraEmpenhosReserva(modulo_.Conexao)) << valor;
    }
    executa("UPDATE PARAMEDU SET RD='T'");
    EXPECT_TRUE(MostraEmpenhosReserva(modulo_.Conexao));
    EXPECT_EQ(textoSql("d'Aliança"), "'d''Aliança'");
}

TEST_F(ConexaoTest, TransacaoDoDescritorConfirmaOuDesfaz) {
    TCRSQLConnection& c = modulo_.Conexao;
    c.StartTransaction(modulo_.TD);
    EXPECT_TRUE(c.InTransaction());
    EXPECT_THROW(c.StartTransaction(modulo_.TD), Erro);
    c.ExecuteDirect("UPDATE PARAMEDU SET RD='T'");
    // Reads on the connection see the open transaction's own change.
    EXPECT_TRUE(MostraEmpenhosReserva(c));
    c.Rollback(modulo_.TD);
    EXPECT_FALSE(c.InTransaction());
    EXPECT_FALSE(MostraEmpenhosReserva(c));

    c.StartTransaction(modulo_.TD);
    modulo_.qrAtualiza.setCommandText("UPDATE PARAMEDU SET RD='T'");
    modulo_.qrAtualiza.ExecSQL();
    EXPECT_THROW(c.Commit(TTransactionDesc{2, 0}), Erro);
    c.Commit(modulo_.TD);
    EXPECT_FALSE(c.InTransaction());
    c.Close();
    c.Open();
    EXPECT_TRUE(MostraEmpenhosReserva(c));
}

TEST_F(ConexaoTest, DatasetsDoModuloSePreenchemDoComando) {
    modulo_.qrCliente.open();
    EXPECT_EQ(modulo_.qrCliente.fieldByName("clnt1").asString(), Municipio);
    EXPECT_EQ(modulo_.qrCliente.fieldByName("MEXER").asInteger(), 2008);
    EXPECT_EQ(modulo_.qrCliente.fieldByName("CLNT1").size(), 60);
    modulo_.qrCliente.close();

    executa("INSERT INTO RECEIT VALUES (5, '31.12.2008', 99999999999999.99)");
    executa("INSERT INTO RECEIT VALUES (6, NULL, NULL)");
    SQLClientDataSet& cds = modulo_.cdsAux;
    cds.setCommandText("SELECT FICHA, DTLAN, VAREC, VAREC, CAST(VAREC AS DOUBLE PRECISION) D "
                       "FROM RECEIT ORDER BY FICHA");
    cds.open();
    EXPECT_EQ(cds.fieldNames(), QStringList({"FICHA", "DTLAN", "VAREC", "VAREC_1", "D"}));
    EXPECT_EQ(cds.fieldByName("FICHA").kind(), FieldKind::Integer);
    EXPECT_EQ(cds.fieldByName("VAREC").kind(), FieldKind::Money);
    EXPECT_EQ(cds.fieldByName("D").kind(), FieldKind::Float);
    ASSERT_EQ(cds.recordCount(), 2);
    EXPECT_EQ(cds.fieldByName("DTLAN").asString(), "31/12/2008");
    EXPECT_EQ(cds.fieldByName("VAREC").asCurrency().texto(), "99999999999999.99");
    cds.next();
    EXPECT_TRUE(cds.fieldByName("VAREC").isNull());
    EXPECT_TRUE(cds.fieldByName("VAREC").asCurrency().ehZero());
    cds.close();

    cds.setCommandText("SELECT SUM(VAREC) AS VAREC FROM RECEIT WHERE FICHA = 0");
    cds.open();
    ASSERT_EQ(cds.recordCount(), 1); // an aggregate over no rows: one null row
    EXPECT_TRUE(cds.fieldByName("VAREC").isNull());
    EXPECT_TRUE(cds.fieldByName("VAREC").asCurrency().ehZero());
    cds.close();

    cds.setCommandText("SELECT * FROM NAO_EXISTE");
    EXPECT_THROW(cds.open(), Erro);
    EXPECT_FALSE(cds.active());

    // A closed connection opens on demand; ConexaoAnt has no file here.
    modulo_.cdsAuxAnt.setCommandText("SELECT * FROM CADCLI");
    EXPECT_THROW(modulo_.cdsAuxAnt.open(), Erro);
}

class ModuloDeDadosTest : public ::testing::Test {
protected:
    void SetUp() override { arvore_.criaBanco(2008, Municipio); }

    teste::ArvoreVexo arvore_;
    MensagensDeTeste msgs_;
};

TEST_F(ModuloDeDadosTest, TestaConexaoSoRespondeSimOuNao) {
    Tdm modulo;
    EXPECT_TRUE(TestaConexao("VEXO2008.FDB", "D"));
    EXPECT_TRUE(TestaConexao("vexo2008.fdb", "D")); // file names in any case
    EXPECT_FALSE(TestaConexao("VEXO2007.FDB", "DA"));
    EXPECT_FALSE(TestaConexao("VEXO2008.FDB", "DA"));
    arvore_.escreveIni("DLL=ibclient64.dll");
    EXPECT_FALSE(TestaConexao("VEXO2008.FDB", "D"));
    EXPECT_FALSE(modulo.Conexao.Connected());
    EXPECT_FALSE(modulo.ConexaoAnt.Connected());
    EXPECT_TRUE(msgs_->registro().empty());
}

} // namespace
