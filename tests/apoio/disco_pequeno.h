#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

// A file system of its own, a few hundred KB large (tmpfs), for the tests of a
// full disk. Mounting needs root; elsewhere motivo() says why the test skips.
class DiscoPequeno {
public:
    explicit DiscoPequeno(int kib) {
        if (!ponto_.isValid()) {
            motivo_ = "não foi possível criar a pasta do disco pequeno";
            return;
        }
        const QByteArray opcoes = "size=" + QByteArray::number(kib) + "k";
        if (::mount("tmpfs", QFile::encodeName(ponto_.path()).constData(), "tmpfs", 0,
                    opcoes.constData()) != 0) {
            motivo_ = QStringLiteral("montar um tmpfs pede root (%1)")
                          .arg(QString::fromLocal8Bit(std::strerror(errno)));
            return;
        }
        montado_ = true;
    }
    ~DiscoPequeno() {
        if (montado_)
            ::umount2(QFile::encodeName(ponto_.path()).constData(), MNT_DETACH);
    }
    DiscoPequeno(const DiscoPequeno&) = delete;
    DiscoPequeno& operator=(const DiscoPequeno&) = delete;

    bool montado() const { return montado_; }
    const QString& motivo() const { return motivo_; }
    QString caminho() const { return ponto_.path(); }

    // Fills every free block, then frees `folga` bytes (rounded to whole pages).
    void enche(qint64 folga = 0) {
        const QByteArray enchimento = QFile::encodeName(ponto_.filePath(".enchimento"));
        const int fd = ::open(enchimento.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const QByteArray bloco(4096, 'x');
        qint64 total = 0;
        for (;;) {
            const ssize_t n = ::write(fd, bloco.constData(), bloco.size());
            if (n <= 0)
                break;
            total += n;
        }
        if (folga > 0)
            ::ftruncate(fd, total > folga ? total - folga : 0);
        ::close(fd);
    }
    void esvazia() { QFile::remove(ponto_.filePath(".enchimento")); }

private:
    QTemporaryDir ponto_;
    bool montado_ = false;
    QString motivo_;
};

#define EXIGE_DISCO_PEQUENO(disco)                                                                 \
    if (!(disco).montado())                                                                        \
    GTEST_SKIP() << (disco).motivo().toStdString()
