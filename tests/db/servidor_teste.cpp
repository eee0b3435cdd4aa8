#include "servidor_teste.h"

#include <QDir>
#include <QFile>
#include <QProcessEnvironment>
#include <QThread>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace nq::teste {

namespace {

const QString Servidor = QStringLiteral("/usr/sbin/firebird");
const QString Instalacao = QStringLiteral("/usr/lib/x86_64-linux-gnu/firebird/3.0");

sockaddr_in enderecoLocal(int porta) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<uint16_t>(porta));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return a;
}

// A port nobody listens on now, as the system hands one out.
int portaLivre() {
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a = enderecoLocal(0);
    socklen_t n = sizeof a;
    int porta = 0;
    if (bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
        getsockname(s, reinterpret_cast<sockaddr*>(&a), &n) == 0)
        porta = ntohs(a.sin_port);
    close(s);
    return porta;
}

bool atende(int porta) {
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a = enderecoLocal(porta);
    const bool ok = ::connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    close(s);
    return ok;
}

} // namespace

ServidorDeTeste::ServidorDeTeste() {
    if (!QFile::exists(Servidor)) {
        falha_ = QStringLiteral("%1 não está instalado (pacote firebird3.0-server)").arg(Servidor);
        return;
    }
    raiz_ = dir_.path() + QStringLiteral("/raiz");
    porta_ = portaLivre();
    if (preparaRaiz() && criaSeguranca())
        inicia();
}

ServidorDeTeste::~ServidorDeTeste() {
    if (servidor_.state() == QProcess::NotRunning)
        return;
    // An idle server may sit on SIGTERM for a long while; its databases are
    // throw-away, so a short grace is enough before killing it.
    servidor_.terminate();
    if (!servidor_.waitForFinished(3000)) {
        servidor_.kill();
        servidor_.waitForFinished(5000);
    }
}

QString ServidorDeTeste::host() const {
    return QStringLiteral("127.0.0.1/%1").arg(porta_);
}

bool ServidorDeTeste::preparaRaiz() {
    QDir().mkpath(raiz_ + QStringLiteral("/lock"));
    QDir().mkpath(raiz_ + QStringLiteral("/intl"));
    QDir().mkpath(diretorioDados());
    // Libraries, plugins, character sets and messages come from the installation.
    // The character-set module must be a real file under the root: the engine
    // resolves links and then fails to find it again.
    for (const char* item :
         {"UDF", "lib", "plugins", "plugins.conf", "firebird.msg", "intl/fbintl.conf"})
        QFile::link(Instalacao + QLatin1Char('/') + QLatin1String(item),
                    raiz_ + QLatin1Char('/') + QLatin1String(item));
    if (!QFile::copy(Instalacao + QStringLiteral("/intl/libfbintl.so"),
                     raiz_ + QStringLiteral("/intl/libfbintl.so"))) {
        falha_ = QStringLiteral("não foi possível copiar libfbintl.so");
        return false;
    }
    QFile(raiz_ + QStringLiteral("/databases.conf")).open(QIODevice::WriteOnly);
    QFile conf(raiz_ + QStringLiteral("/firebird.conf"));
    if (!conf.open(QIODevice::WriteOnly)) {
        falha_ = QStringLiteral("não foi possível escrever %1").arg(conf.fileName());
        return false;
    }
    conf.write(QStringLiteral("RemoteServicePort = %1\n"
                              "RemoteBindAddress = 127.0.0.1\n"
                              "SecurityDatabase = %2/security3.fdb\n"
                              "AuthServer = Srp\n"
                              "UserManager = Srp\n"
                              "ServerMode = Super\n")
                   .arg(porta_)
                   .arg(raiz_)
                   .toUtf8());
    return true;
}

bool ServidorDeTeste::criaSeguranca() {
    QProcessEnvironment amb = QProcessEnvironment::systemEnvironment();
    amb.insert(QStringLiteral("FIREBIRD"), raiz_);
    amb.insert(QStringLiteral("FIREBIRD_LOCK"), raiz_ + QStringLiteral("/lock"));
    QProcess isql;
    isql.setProcessEnvironment(amb);
    isql.setProcessChannelMode(QProcess::MergedChannels);
    isql.start(QStringLiteral("isql-fb"), {QStringLiteral("-user"), QStringLiteral("SYSDBA"),
                                           QStringLiteral("-q"), QStringLiteral("-b")});
    if (!isql.waitForStarted()) {
        falha_ = QStringLiteral("isql-fb não pôde ser executado");
        return false;
    }
    isql.write(QStringLiteral("CREATE DATABASE '%1/security3.fdb';\n"
                              "INPUT /usr/share/firebird/3.0/security.sql;\n"
                              "CREATE USER QTWVEXO8 PASSWORD 'mavu';\n"
                              "GRANT CREATE DATABASE TO USER QTWVEXO8;\n"
                              "COMMIT;\nQUIT;\n")
                   .arg(raiz_)
                   .toUtf8());
    isql.closeWriteChannel();
    if (!isql.waitForFinished(60000) || isql.exitCode() != 0) {
        falha_ = QStringLiteral("a base de segurança do servidor não pôde ser criada: %1")
                     .arg(QString::fromLocal8Bit(isql.readAll()));
        return false;
    }
    return true;
}

bool ServidorDeTeste::inicia() {
    QProcessEnvironment amb = QProcessEnvironment::systemEnvironment();
    amb.insert(QStringLiteral("FIREBIRD"), raiz_);
    amb.insert(QStringLiteral("FIREBIRD_LOCK"), raiz_ + QStringLiteral("/lock"));
    servidor_.setProcessEnvironment(amb);
    servidor_.setProcessChannelMode(QProcess::MergedChannels);
    servidor_.start(Servidor, {QStringLiteral("-p"), QString::number(porta_)});
    if (!servidor_.waitForStarted()) {
        falha_ = QStringLiteral("%1 não iniciou: %2").arg(Servidor, servidor_.errorString());
        return false;
    }
    for (int i = 0; i < 100; ++i) {
        if (atende(porta_))
            return true;
        if (servidor_.state() == QProcess::NotRunning)
            break;
        QThread::msleep(100);
    }
    falha_ = QStringLiteral("o servidor não atendeu na porta %1: %2")
                 .arg(porta_)
                 .arg(QString::fromLocal8Bit(servidor_.readAll()));
    return false;
}

} // namespace nq::teste
