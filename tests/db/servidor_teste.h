#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

namespace nq::teste {

// A Firebird server of the test's own on 127.0.0.1: its own configuration,
// port, lock directory and security database (user QTWVEXO8, password mavu),
// so nothing of the machine's installation is touched. Stopped by its pid.
class ServidorDeTeste {
public:
    ServidorDeTeste();
    ~ServidorDeTeste();
    ServidorDeTeste(const ServidorDeTeste&) = delete;
    ServidorDeTeste& operator=(const ServidorDeTeste&) = delete;

    // Empty when the server answers; otherwise why it could not start.
    const QString& falha() const { return falha_; }
    // "127.0.0.1/<port>"
    QString host() const;
    // A directory for database files, readable by the server.
    QString diretorioDados() const { return dir_.path() + QStringLiteral("/dados/"); }

private:
    bool preparaRaiz();
    bool criaSeguranca();
    bool inicia();

    QTemporaryDir dir_;
    QString raiz_;
    int porta_ = 0;
    QProcess servidor_;
    QString falha_;
};

} // namespace nq::teste
