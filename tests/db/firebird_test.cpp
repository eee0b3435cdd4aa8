#include "banco_teste.h"

#include "core/erro.h"
#include "db/firebird.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <firebird/Interface.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

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

// A text blob crosses the character sets like a column does: stored in the
// database's own set (one byte per character in WIN1252), read back intact by an
// attachment in another set.
TEST_F(FirebirdTest, TextoLongoGuardadoNoConjuntoDoBanco) {
    const QString nota =
        QString::fromUtf8("Aquisição de material – lote nº 7 “urgente”\n").repeated(900);
    {
        Transacao t = banco_->inicia();
        Comando ins =
            banco_->prepara(t, QStringLiteral("INSERT INTO TIPOS (PEQUENO, NOTA) VALUES (1, ?)"));
        ins.executa(t, nota);
        t.confirma();
    }
    EXPECT_EQ(umTexto(QStringLiteral("SELECT OCTET_LENGTH(NOTA) FROM TIPOS")),
              QString::number(nota.size()));
    EXPECT_EQ(umTexto(QStringLiteral("SELECT CHAR_LENGTH(NOTA) FROM TIPOS")),
              QString::number(nota.size()));

    auto win = Banco::conecta(caminho_, teste::parametrosFamilia(QStringLiteral("WIN1252")));
    Transacao t = win->inicia();
    Cursor c = win->abre(t, QStringLiteral("SELECT NOTA FROM TIPOS"));
    ASSERT_TRUE(c.proxima());
    EXPECT_EQ(c.texto(0), nota);
    // Written through the WIN1252 attachment, read through the UTF8 one.
    const QString outra = QString::fromUtf8("Câmara – “São João” ");
    Comando upd = win->prepara(t, QStringLiteral("UPDATE TIPOS SET NOTA = ?"));
    upd.executa(t, outra);
    t.confirma();
    EXPECT_EQ(umTexto(QStringLiteral("SELECT NOTA FROM TIPOS")), outra);
    EXPECT_EQ(umTexto(QStringLiteral("SELECT OCTET_LENGTH(NOTA) FROM TIPOS")),
              QString::number(outra.size()));
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

TEST(FirebirdCaminho, RemotoOuLocal) {
    EXPECT_TRUE(Banco::ehCaminhoRemoto(QStringLiteral("srv:/dados/VEXO_8/ARQ2008/VEXO2008.FDB")));
    EXPECT_TRUE(Banco::ehCaminhoRemoto(QStringLiteral("127.0.0.1/3051:/tmp/a.fdb")));
    EXPECT_TRUE(Banco::ehCaminhoRemoto(QStringLiteral("srv:C:\\VEXO_8\\ARQ2008\\VEXO2008.FDB")));
    EXPECT_FALSE(Banco::ehCaminhoRemoto(QStringLiteral("/tmp/VEXO_8/ARQ2008/VEXO2008.FDB")));
    EXPECT_FALSE(Banco::ehCaminhoRemoto(QStringLiteral("C:\\VEXO_8\\ARQ2008\\VEXO2008.FDB")));
    EXPECT_FALSE(Banco::ehCaminhoRemoto(QStringLiteral("/tmp/a:b.fdb")));
}

QString erroAoAbrir(const QString& caminho,
                    const ParametrosConexao& p = teste::parametrosFamilia()) {
    try {
        Banco::conecta(caminho, p);
    } catch (const Erro& e) {
        return e.texto();
    }
    ADD_FAILURE() << "abriu " << caminho.toStdString();
    return {};
}

// A port on 127.0.0.1 where nothing listens.
int portaFechada() {
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t n = sizeof a;
    bind(s, reinterpret_cast<sockaddr*>(&a), n);
    getsockname(s, reinterpret_cast<sockaddr*>(&a), &n);
    close(s);
    return ntohs(a.sin_port);
}

// A server that takes the connection and never answers: the attempt gives up at the
// deadline instead of the client's three minutes.
TEST(FirebirdAbertura, ServidorQueNaoRespondeEsgotaOPrazo) {
    const int escuta = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t n = sizeof a;
    ASSERT_EQ(bind(escuta, reinterpret_cast<sockaddr*>(&a), n), 0);
    ASSERT_EQ(listen(escuta, 8), 0); // the kernel accepts; nobody ever answers
    getsockname(escuta, reinterpret_cast<sockaddr*>(&a), &n);
    const QString servidor = QStringLiteral("127.0.0.1/%1").arg(ntohs(a.sin_port));

    ParametrosConexao p = teste::parametrosFamilia();
    p.segundosParaConectar = 2;
    const auto inicio = std::chrono::steady_clock::now();
    const QString erro = erroAoAbrir(servidor + QStringLiteral(":/dados/VEXO2008.FDB"), p);
    EXPECT_LT(std::chrono::steady_clock::now() - inicio, std::chrono::seconds(10));
    EXPECT_EQ(erro, QStringLiteral("O servidor do banco de dados %1 não respondeu em 2 segundos "
                                   "ao pedido de conexão com %1:/dados/VEXO2008.FDB. Verifique "
                                   "se o servidor Firebird está em funcionamento.")
                        .arg(servidor));
    close(escuta);
    EXPECT_EQ(ParametrosConexao{}.segundosParaConectar, 15);
}

// The file is there but the engine cannot write to it: said so, not "not found".
TEST(FirebirdAberturaDeathTest, ArquivoSomenteLeituraDizPorQue) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    QTemporaryDir dir;
    const QString caminho = dir.filePath(QStringLiteral("LEITURA.FDB"));
    teste::criaBancoDeTeste(caminho);
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                          QFile::ReadOther | QFile::ExeOther);
    QFile::setPermissions(caminho, QFile::ReadOwner | QFile::ReadOther);
    EXPECT_EXIT(
        {
            // root writes anywhere: the attempt is made as nobody
            if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
                _exit(2);
            std::fprintf(stderr, "%s\n", erroAoAbrir(caminho).toUtf8().constData());
            _exit(0);
        },
        ::testing::ExitedWithCode(0),
        "O arquivo do banco de dados .*LEITURA.FDB não pode ser aberto para gravação");
}

// With no embedded engine in the client's providers, a local file that exists is
// reported as a missing engine; one that does not exist, as missing.
TEST(FirebirdAberturaDeathTest, SemMotorLocalSoOArquivoExistenteCulpaOMotor) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // The child runs this body again: nothing here may start the client before FIREBIRD is set.
    QTemporaryDir dir;
    const QString banco = dir.filePath(QStringLiteral("BOM.FDB"));
    QFile arquivo(banco);
    ASSERT_TRUE(arquivo.open(QIODevice::WriteOnly));
    arquivo.write(QByteArray(8192, '\0'));
    arquivo.close();
    const QString raiz = dir.filePath(QStringLiteral("firebird"));
    ASSERT_TRUE(QDir().mkpath(raiz));
    QFile conf(raiz + QStringLiteral("/firebird.conf"));
    ASSERT_TRUE(conf.open(QIODevice::WriteOnly));
    conf.write("Providers = Remote, Loopback\nRemoteServicePort = " +
               QByteArray::number(portaFechada()) + "\n");
    conf.close();
    EXPECT_EXIT(
        {
            qputenv("FIREBIRD", QFile::encodeName(raiz));
            const QString semMotor = erroAoAbrir(banco);
            const QString ausente = erroAoAbrir(dir.filePath(QStringLiteral("NAO.FDB")));
            std::fprintf(stderr, "%s\n%s\n", semMotor.toUtf8().constData(),
                         ausente.toUtf8().constData());
            _exit(
                semMotor.startsWith(
                    QStringLiteral(
                        "O banco de dados local %1 não pode ser aberto: o motor local do Firebird")
                        .arg(banco)) &&
                        !ausente.contains(QStringLiteral("motor"))
                    ? 0
                    : 1);
        },
        ::testing::ExitedWithCode(0), "não existe");
}

TEST(FirebirdMotor, EncontraOMotorDoFirebird3EDosSeguintes) {
    QTemporaryDir dir;
    EXPECT_FALSE(Banco::motorEmbutidoEm(dir.path()));
    for (const char* nome : {"libEngine12.so.bak", "libEngine.so", "libEngine11.so"}) {
        QFile f(dir.filePath(QString::fromLatin1(nome)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    EXPECT_FALSE(Banco::motorEmbutidoEm(dir.path()));
    for (const char* nome : {"libEngine13.so", "libEngine12.so"}) {
        QTemporaryDir outro;
        QFile f(outro.filePath(QString::fromLatin1(nome)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        EXPECT_TRUE(Banco::motorEmbutidoEm(outro.path())) << nome;
    }
}

} // namespace

// The client library must not keep the program's signals: a window asked to end
// by SIGTERM went on running without its database.
TEST(FirebirdAberturaDeathTest, SigtermAindaEncerraDepoisDeAbrirOBanco) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    QTemporaryDir dir;
    const QString caminho = dir.filePath(QStringLiteral("SINAL.FDB"));
    EXPECT_EXIT(
        {
            std::signal(SIGTERM, SIG_DFL);
            teste::criaBancoDeTeste(caminho);
            const auto banco = Banco::conecta(caminho, teste::parametrosFamilia());
            std::raise(SIGTERM);
            std::this_thread::sleep_for(std::chrono::seconds(3));
            std::_Exit(0);
        },
        ::testing::KilledBySignal(SIGTERM), "");
}
