// The program in batch mode in a hostile environment: a damaged, missing or
// unreachable database, a read-only or full data directory. Each run ends in
// time with a Portuguese message and status 1, leaves every file as it was
// and leaves no process behind.
#include "apoio/disco_pequeno.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <map>
#include <netinet/in.h>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>

namespace {

using Arvore = std::map<QString, QByteArray>; // relative path -> digest

Arvore retrata(const QString& raiz) {
    Arvore a;
    QDirIterator it(raiz, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString caminho = it.next();
        QFile f(caminho);
        if (f.open(QIODevice::ReadOnly))
            a[QDir(raiz).relativeFilePath(caminho)] =
                QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha1);
    }
    return a;
}

// "name: criado|removido|alterado" for every file that differs.
std::string mudancas(const Arvore& antes, const Arvore& depois, bool bancoAberto) {
    std::string r;
    for (const auto& [nome, hash] : depois)
        if (!antes.count(nome) ||
            (antes.at(nome) != hash && !(bancoAberto && nome.endsWith(QLatin1String(".FDB")))))
            r += nome.toStdString() + (antes.count(nome) ? ": alterado\n" : ": criado\n");
    for (const auto& [nome, _] : antes)
        if (!depois.count(nome))
            r += nome.toStdString() + ": removido\n";
    return r;
}

void copiaArvore(const QString& de, const QString& para) {
    QDirIterator it(de, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString origem = it.next();
        const QString destino = QDir(para).filePath(QDir(de).relativeFilePath(origem));
        QDir().mkpath(QFileInfo(destino).absolutePath());
        ASSERT_TRUE(QFile::copy(origem, destino)) << destino.toStdString();
    }
}

// The processes this test process has left: with it as the subreaper, any
// descendant whose parent ended is reparented here.
QStringList processosFilhos() {
    QStringList filhos;
    while (::waitpid(-1, nullptr, WNOHANG) > 0) {
    }
    const QString eu = QString::number(::getpid());
    for (const QString& pid : QDir("/proc").entryList(QDir::Dirs)) {
        QFile status("/proc/" + pid + "/status");
        if (!status.open(QIODevice::ReadOnly))
            continue;
        const QString texto = QString::fromLatin1(status.readAll());
        if (texto.contains(QStringLiteral("\nPPid:\t") + eu + '\n'))
            filhos << pid + ' ' + texto.section('\n', 0, 0);
    }
    return filhos;
}

struct Execucao {
    int codigo = -1;
    bool terminou = false;
    qint64 ms = 0;
    QString erros;
};

class AmbienteHostil : public testing::Test {
protected:
    static void SetUpTestSuite() {
        ::prctl(PR_SET_CHILD_SUBREAPER, 1);
        modelo_ = new QTemporaryDir;
        QProcess demo;
        demo.start(QStringLiteral(NQ404_BIN "/nq404-demo"),
                   {"--destino", modelo_->path(), "--tamanho", "teste", "--ini",
                    modelo_->filePath("Vexo.ini")});
        ASSERT_TRUE(demo.waitForFinished(120000));
        ASSERT_EQ(demo.exitCode(), 0) << demo.readAllStandardError().toStdString();
    }
    static void TearDownTestSuite() {
        delete modelo_;
        modelo_ = nullptr;
    }

    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(copiaArvore(modelo_->path(), raiz_.path()));
        escreveIni({});
        // A first run prepares the typed-data files, as the user's first day would.
        const Execucao e = roda();
        ASSERT_EQ(e.codigo, 0) << e.erros.toStdString();
        QFile::remove(raiz_.filePath("anexo1.pdf"));
    }

    void escreveIni(const QString& extra) {
        QFile ini(raiz_.filePath("Vexo.ini"));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ini.write(("[VEXO]\nAno=2008\nCaminho_Base_Dados=" + base() + "\nDLL=\n" + extra + "\n")
                      .toUtf8());
    }

    QString base() const { return raiz_.filePath("VEXO_8/"); }
    QString dados() const { return raiz_.filePath("VEXO_8/ARQ2008"); }
    QString banco(int ano = 2008) const {
        return raiz_.filePath(QStringLiteral("VEXO_8/ARQ%1/VEXO%1.FDB").arg(ano));
    }

    Execucao roda(int limiteMs = 120000) {
        QProcess p;
        QElapsedTimer t;
        t.start();
        p.start(QStringLiteral(NQ404_BIN "/nq404"),
                {"--ini", raiz_.filePath("Vexo.ini"), "--anexo", "1", "--bimestre", "2", "--pdf",
                 raiz_.filePath("anexo1.pdf")});
        Execucao e;
        e.terminou = p.waitForFinished(limiteMs);
        if (!e.terminou) {
            p.kill();
            p.waitForFinished();
        }
        e.ms = t.elapsed();
        e.codigo = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        e.erros = QString::fromUtf8(p.readAllStandardError());
        return e;
    }

    // The run fails in time, says `mensagem`, writes nothing, leaves nothing running.
    // Firebird moves its transaction counters in the header of every database
    // it opens: with `bancoAberto`, such a change is not one of the program's.
    void falhaComClareza(const QString& mensagem, int limiteMs, const char* caso,
                         bool bancoAberto = false) {
        const Arvore antes = retrata(raiz_.path());
        const Execucao e = roda(limiteMs);
        std::printf("[ambiente] %s: %lld ms\n", caso, static_cast<long long>(e.ms));
        EXPECT_TRUE(e.terminou) << caso << ": não terminou em " << limiteMs << " ms";
        EXPECT_EQ(e.codigo, 1) << caso << ": " << e.erros.toStdString();
        EXPECT_TRUE(e.erros.contains(mensagem)) << caso << ": " << e.erros.toStdString();
        EXPECT_EQ(mudancas(antes, retrata(raiz_.path()), bancoAberto), "") << caso;
        EXPECT_EQ(processosFilhos(), QStringList()) << caso;
    }

    void danifica(const QString& arquivo, qint64 tamanho, bool aleatorio) {
        QFile f(arquivo);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        if (aleatorio) {
            QByteArray bytes(tamanho, '\0');
            QRandomGenerator gerador(404);
            for (char& c : bytes)
                c = static_cast<char>(gerador.bounded(256));
            f.write(bytes);
        }
        f.resize(tamanho);
    }

    static inline QTemporaryDir* modelo_ = nullptr;
    QTemporaryDir raiz_;
};

const QString BancoNaoEncontrado =
    QStringLiteral("Base de Dados do sistema não encontrada !!! O Sistema será finalizado.");

TEST_F(AmbienteHostil, BancoDoAnoAusenteTruncadoVazioOuDeBytesAleatorios) {
    const QByteArray original = [&] {
        QFile f(banco());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    ASSERT_FALSE(original.isEmpty());
    const qint64 tamanho = original.size();
    QFile::remove(banco());
    falhaComClareza(BancoNaoEncontrado, 30000, "banco ausente");
    for (const auto& [caso, novoTamanho, aleatorio] :
         {std::tuple{"banco truncado", tamanho / 3, false}, std::tuple{"banco vazio", 0LL, false},
          std::tuple{"banco de bytes aleatórios", tamanho, true},
          std::tuple{"cabeçalho aleatório", 8192LL, true}}) {
        QFile f(banco());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(original);
        f.close();
        ASSERT_NO_FATAL_FAILURE(danifica(banco(), novoTamanho, aleatorio));
        if (novoTamanho < tamanho && aleatorio) {
            // Only the first pages replaced: the rest of the file is the real one.
            QFile g(banco());
            ASSERT_TRUE(g.open(QIODevice::ReadWrite));
            g.seek(novoTamanho);
            g.write(original.mid(novoTamanho));
        }
        falhaComClareza(BancoNaoEncontrado, 30000, caso);
    }
}

// Read as a missing previous year: one warning, and the annex is still made.
TEST_F(AmbienteHostil, BancoDoAnoAnteriorDanificado) {
    ASSERT_NO_FATAL_FAILURE(danifica(banco(2007), QFileInfo(banco(2007)).size(), true));
    const Arvore antes = retrata(raiz_.path());
    const Execucao e = roda(60000);
    EXPECT_EQ(e.codigo, 0) << e.erros.toStdString();
    EXPECT_EQ(e.erros.count(QStringLiteral("Não foi encontrada a Base de Dados do ano Anterior")),
              1)
        << e.erros.toStdString();
    EXPECT_EQ(mudancas(antes, retrata(raiz_.path()), true), "anexo1.pdf: criado\n");
    EXPECT_EQ(processosFilhos(), QStringList());
}

// A server that takes connections into its queue and never answers.
TEST_F(AmbienteHostil, ServidorQueNuncaResponde) {
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in endereco{};
    endereco.sin_family = AF_INET;
    endereco.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::bind(s, reinterpret_cast<sockaddr*>(&endereco), sizeof endereco), 0);
    ASSERT_EQ(::listen(s, 8), 0);
    socklen_t tamanho = sizeof endereco;
    ::getsockname(s, reinterpret_cast<sockaddr*>(&endereco), &tamanho);
    escreveIni(QStringLiteral("Servidor=127.0.0.1/%1\nSO_Servidor=LINUX\nDiretorio_Servidor=%2")
                   .arg(ntohs(endereco.sin_port))
                   .arg(base()));
    falhaComClareza(BancoNaoEncontrado, 60000, "servidor que nunca responde");
    ::close(s);
}

// A read-only bind mount over the data directory, which also holds the
// year's database: refused even to root.
TEST_F(AmbienteHostil, PastaDeDadosSomenteLeitura) {
    const QByteArray pasta = QFile::encodeName(dados());
    if (::mount(pasta.constData(), pasta.constData(), nullptr, MS_BIND, nullptr) != 0)
        GTEST_SKIP() << "montar uma pasta pede root";
    ASSERT_EQ(
        ::mount(nullptr, pasta.constData(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr), 0);
    falhaComClareza(BancoNaoEncontrado, 60000, "pasta de dados somente leitura");
    ::umount2(pasta.constData(), MNT_DETACH);
}

// The data directory on a small file system with no room left.
TEST_F(AmbienteHostil, PastaDeDadosCheia) {
    DiscoPequeno disco(20 * 1024);
    EXIGE_DISCO_PEQUENO(disco);
    ASSERT_NO_FATAL_FAILURE(copiaArvore(dados(), disco.caminho()));
    const QByteArray pasta = QFile::encodeName(dados());
    ASSERT_EQ(::mount(QFile::encodeName(disco.caminho()).constData(), pasta.constData(), nullptr,
                      MS_BIND, nullptr),
              0);
    disco.enche();
    falhaComClareza(QStringLiteral("disco cheio"), 60000, "pasta de dados cheia", true);
    ::umount2(pasta.constData(), MNT_DETACH);
}

} // namespace
