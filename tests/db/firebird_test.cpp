#include "banco_teste.h"

#include "core/erro.h"
#include "db/firebird.h"

#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace nq;
using namespace nq::fb;

namespace {

class FirebirdTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        caminho_ = dir_.filePath(QStringLiteral("TESTE.FDB"));
        teste::criaBancoDeTeste(caminho_);
        banco_ = Banco::conecta(caminho_, teste::parametrosFamilia());
    }

    QString umTexto(const QString& sql) {
        Transacao t = banco_->inicia();
        Cursor c = banco_->abre(t, sql);
        EXPECT_TRUE(c.proxima());
        return c.texto(0);
    }

    QTemporaryDir dir_;
    QString caminho_;
    std::unique_ptr<Banco> banco_;
};

TEST_F(FirebirdTest, CadaTipoVaiEVoltaPorParametros) {
    Transacao t = banco_->inicia();
    Comando ins =
        banco_->prepara(t, QStringLiteral("INSERT INTO TIPOS VALUES (?,?,?,?,?,?,?,?,?,?)"));
    ASSERT_EQ(ins.quantidadeParametros(), 10);
    const QDateTime momento(QDate(2008, 2, 29), QTime(23, 59, 58, 120));
    const QString nota = QString::fromUtf8("Aquisição de material – lote nº 7\n").repeated(2000);
    ins.executa(t, QStringLiteral("ABC"), 7, int64_t(9000000000LL),
                Moeda::deDezMilesimos(-12345678901234LL), 0.1, QDate(2008, 12, 31), QTime(8, 30),
                momento, nota, true);
    ins.executa(t, std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt,
                std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt);
    t.confirma();

    Transacao l = banco_->inicia();
    Cursor c = banco_->abre(l, QStringLiteral("SELECT * FROM TIPOS ORDER BY PEQUENO NULLS LAST"));
    ASSERT_EQ(c.quantidadeColunas(), 10);
    EXPECT_EQ(c.coluna(0).tipo, TipoColuna::Texto);
    EXPECT_EQ(c.coluna(0).comprimento, 10);
    EXPECT_EQ(c.coluna(2).tipo, TipoColuna::Inteiro);
    EXPECT_EQ(c.coluna(3).tipo, TipoColuna::Decimal);
    EXPECT_EQ(c.coluna(3).escala, 4);
    EXPECT_EQ(c.coluna(8).tipo, TipoColuna::TextoLongo);
    EXPECT_EQ(c.indice(QStringLiteral("taxa")), 3);
    EXPECT_EQ(c.indice(QStringLiteral("NADA")), -1);
    EXPECT_THROW(c.indiceObrigatorio(QStringLiteral("NADA")), Erro);

    ASSERT_TRUE(c.proxima());
    EXPECT_EQ(c.texto(0), QStringLiteral("ABC")); // CHAR padding removed
    EXPECT_EQ(c.inteiro(1), 7);
    EXPECT_EQ(c.inteiro(2), 9000000000LL);
    EXPECT_EQ(c.moeda(3).dezMilesimos(), -12345678901234LL);
    EXPECT_EQ(c.texto(3), QStringLiteral("-1234567890.1234"));
    EXPECT_DOUBLE_EQ(c.duplo(4), 0.1);
    EXPECT_EQ(c.data(5), QDate(2008, 12, 31));
    EXPECT_EQ(c.hora(6), QTime(8, 30));
    EXPECT_EQ(c.momento(7), momento);
    EXPECT_EQ(c.texto(8), nota);
    EXPECT_TRUE(c.logico(9));
    EXPECT_THROW(c.data(0), Erro);

    ASSERT_TRUE(c.proxima());
    for (int i = 0; i < c.quantidadeColunas(); ++i)
        EXPECT_TRUE(c.ehNulo(i)) << i;
    EXPECT_TRUE(c.moeda(3).ehZero());
    EXPECT_EQ(c.texto(0), QString());
    EXPECT_FALSE(c.data(5).isValid());
    EXPECT_FALSE(c.proxima());
}

TEST_F(FirebirdTest, NumericChegaExatoOndeDoubleErra) {
    // 0.07 + 0.01·k: binary floating point drifts on such sums; the scaled
    // integers do not.
    Transacao t = banco_->inicia();
    Comando ins = banco_->prepara(t, QStringLiteral("INSERT INTO RECEIT VALUES (?, ?, ?)"));
    int64_t esperado = 0;
    double emDouble = 0;
    for (int k = 0; k < 5000; ++k) {
        const int64_t centavos = 7 + k % 97;
        esperado += centavos;
        emDouble += static_cast<double>(centavos) / 100;
        ins.executa(t, k, QDate(2008, 1 + k % 12, 1), Moeda::deEscalado(centavos, 2));
    }
    ins.executa(t, 9999, QDate(2008, 6, 30), Moeda::deEscalado(9999999999999999LL, 2));
    t.confirma();
    ASSERT_NE(emDouble, static_cast<double>(esperado) / 100); // the fault this layer avoids

    Transacao l = banco_->inicia();
    Cursor c = banco_->abre(
        l, QStringLiteral("SELECT SUM(VAREC) AS TOTAL FROM RECEIT WHERE FICHA < 9999"));
    ASSERT_TRUE(c.proxima());
    EXPECT_EQ(c.coluna(0).nome, QStringLiteral("TOTAL"));
    EXPECT_EQ(c.moeda(0), Moeda::deEscalado(esperado, 2));

    Cursor grande = banco_->abre(l, QStringLiteral("SELECT VAREC FROM RECEIT WHERE FICHA = 9999"));
    ASSERT_TRUE(grande.proxima());
    EXPECT_EQ(grande.texto(0), QStringLiteral("99999999999999.99"));
    EXPECT_EQ(grande.moeda(0).texto(2), QStringLiteral("99999999999999.99"));
}

TEST_F(FirebirdTest, SomaSemLinhasEhUmaLinhaNula) {
    Transacao t = banco_->inicia();
    Cursor c = banco_->abre(t, QStringLiteral("SELECT SUM(VAREC) FROM RECEIT WHERE FICHA < 0"));
    ASSERT_TRUE(c.proxima());
    EXPECT_TRUE(c.ehNulo(0));
    EXPECT_TRUE(c.moeda(0).ehZero());
    EXPECT_FALSE(c.proxima());
}

TEST_F(FirebirdTest, TextoAcentuadoGuardadoEmWin1252LidoPorQualquerConjunto) {
    const QString esperado = QString::fromUtf8("Câmara Municipal de São João d'Aliança");
    EXPECT_EQ(umTexto(QStringLiteral("SELECT CLNT1 FROM CADCLI")), esperado);
    // One byte per character on disk: the column really is WIN1252.
    EXPECT_EQ(umTexto(QStringLiteral("SELECT OCTET_LENGTH(CLNT1) FROM CADCLI")),
              QString::number(esperado.size()));

    auto win = Banco::conecta(caminho_, teste::parametrosFamilia(QStringLiteral("WIN1252")));
    Transacao t = win->inicia();
    win->executa(t, QString::fromUtf8("UPDATE CADCLI SET CID = 'Guaraí – “€”'"));
    Cursor c = win->abre(t, QStringLiteral("SELECT CLNT1, CID FROM CADCLI"));
    ASSERT_TRUE(c.proxima());
    EXPECT_EQ(c.texto(0), esperado);
    EXPECT_EQ(c.texto(1), QString::fromUtf8("Guaraí – “€”"));
    // A character WIN1252 lacks is refused, never stored as "?".
    EXPECT_THROW(win->executa(t, QString::fromUtf8("UPDATE CADCLI SET CID = 'Ω'")), Erro);
    EXPECT_THROW(banco_->executa(t, QString::fromUtf8("UPDATE CADCLI SET CID = 'Ω'")), Erro);
}

TEST_F(FirebirdTest, ComandoRecusadoTrazOTextoDoServidorEOComando) {
    Transacao t = banco_->inicia();
    try {
        banco_->abre(t, QStringLiteral("SELECT NADA FROM CADCLI"));
        FAIL() << "sem erro";
    } catch (const Erro& e) {
        EXPECT_TRUE(e.texto().startsWith(QStringLiteral("Erro no banco de dados: "))) << e.what();
        EXPECT_TRUE(e.texto().contains(QStringLiteral("NADA"))) << e.what();
        EXPECT_TRUE(e.texto().contains(QStringLiteral("Comando: SELECT NADA FROM CADCLI")));
    }
    // The transaction survives a rejected statement.
    EXPECT_NO_THROW(banco_->executa(t, QStringLiteral("DELETE FROM RECEIT")));
}

TEST_F(FirebirdTest, ParametroQueNaoCabeEhRecusadoSemArredondar) {
    Transacao t = banco_->inicia();
    Comando ins = banco_->prepara(t, QStringLiteral("INSERT INTO DESPES VALUES (?, ?, ?, ?)"));
    EXPECT_THROW(ins.define(3, Moeda::deDezMilesimos(10050)), Erro); // 1.005
    EXPECT_THROW(ins.define(2, QStringLiteral("RDX")), Erro);        // CHAR(2)
    EXPECT_THROW(ins.define(3, QStringLiteral("10.00")), Erro);      // text into NUMERIC
    EXPECT_THROW(ins.define(0, int64_t(1) << 40), Erro);             // INTEGER
    EXPECT_THROW(ins.define(4, 1), Erro);                            // no such parameter
    ins.executa(t, 1, std::optional<int>(), QStringLiteral("RD"), Moeda::deInteiro(5));
    EXPECT_THROW(ins.executa(t, 1, 0, QStringLiteral("RD"), Moeda()), Erro); // duplicate key
}

TEST_F(FirebirdTest, TransacaoNaoConfirmadaEhDesfeita) {
    {
        Transacao t = banco_->inicia();
        banco_->executa(t, QStringLiteral("DELETE FROM CADCLI"));
    }
    EXPECT_FALSE(umTexto(QStringLiteral("SELECT COUNT(*) FROM CADCLI")).isEmpty());
    EXPECT_EQ(umTexto(QStringLiteral("SELECT COUNT(*) FROM CADCLI")), QStringLiteral("1"));
}

TEST(FirebirdCaminho, RemotoOuLocal) {
    EXPECT_TRUE(Banco::ehCaminhoRemoto(QStringLiteral("srv:/dados/VEXO_8/ARQ2008/VEXO2008.FDB")));
    EXPECT_TRUE(Banco::ehCaminhoRemoto(QStringLiteral("127.0.0.1/3051:/tmp/a.fdb")));
    EXPECT_TRUE(Banco::ehCaminhoRemoto(QStringLiteral("srv:C:\\VEXO_8\\ARQ2008\\VEXO2008.FDB")));
    EXPECT_FALSE(Banco::ehCaminhoRemoto(QStringLiteral("/tmp/VEXO_8/ARQ2008/VEXO2008.FDB")));
    EXPECT_FALSE(Banco::ehCaminhoRemoto(QStringLiteral("C:\\VEXO_8\\ARQ2008\\VEXO2008.FDB")));
    EXPECT_FALSE(Banco::ehCaminhoRemoto(QStringLiteral("/tmp/a:b.fdb")));
    EXPECT_TRUE(Banco::motorEmbutidoPresente());
}

TEST(FirebirdAbertura, ArquivoInexistenteDizOCaminho) {
    QTemporaryDir dir;
    const QString caminho = dir.filePath(QStringLiteral("NAOEXISTE.FDB"));
    try {
        Banco::conecta(caminho, teste::parametrosFamilia());
        FAIL() << "abriu";
    } catch (const Erro& e) {
        EXPECT_TRUE(e.texto().startsWith(
            QStringLiteral("Não foi possível abrir o banco de dados %1: ").arg(caminho)))
            << e.what();
    }
}

TEST_F(FirebirdTest, ArquivoAbertoPorOutroProgramaDizPorQue) {
    banco_.reset();
    QProcess isql;
    isql.start(QStringLiteral("isql-fb"),
               {QStringLiteral("-user"), QStringLiteral("QTWVEXO8"), caminho_});
    ASSERT_TRUE(isql.waitForStarted());
    isql.write("SELECT 'PRONTO' FROM RDB$DATABASE;\n");
    QByteArray saida;
    while (!saida.contains("PRONTO")) {
        ASSERT_TRUE(isql.waitForReadyRead(10000)) << isql.readAllStandardError().constData();
        saida += isql.readAllStandardOutput();
    }
    try {
        Banco::conecta(caminho_, teste::parametrosFamilia());
        ADD_FAILURE() << "abriu um arquivo em uso por outro processo";
    } catch (const Erro& e) {
        EXPECT_TRUE(e.texto().contains(QStringLiteral("já está aberto por outro programa")))
            << e.what();
    }
    isql.write("QUIT;\n");
    isql.closeWriteChannel();
    EXPECT_TRUE(isql.waitForFinished(10000));
}

} // namespace
