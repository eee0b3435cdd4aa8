#pragma once

#include <QDir>
#include <QFile>
#include <QString>
#include <gtest/gtest.h>

namespace nq::teste {

// Compares `atual` with <pasta>/<nome>.txt. NQ404_ATUALIZA_GOLDEN=1 (re)writes the
// reference from the current output, to be reviewed before it is committed; a
// mismatch leaves the current output in the build's golden-atual/<nome>.txt.
inline void comparaComGolden(const QString& pasta, const QString& nome, const QString& atual) {
    const QString caminho = pasta + QLatin1Char('/') + nome + QStringLiteral(".txt");
    if (qEnvironmentVariable("NQ404_ATUALIZA_GOLDEN") == QLatin1String("1")) {
        QDir().mkpath(pasta);
        QFile f(caminho);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << caminho.toStdString();
        f.write(atual.toUtf8());
        return;
    }
    QFile f(caminho);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << "sem referência: " << caminho.toStdString();
    if (QString::fromUtf8(f.readAll()) == atual)
        return;
    const QString dir = QStringLiteral(NQ404_BIN "/golden-atual");
    QDir().mkpath(dir);
    QFile saida(dir + QLatin1Char('/') + nome + QStringLiteral(".txt"));
    if (saida.open(QIODevice::WriteOnly | QIODevice::Truncate))
        saida.write(atual.toUtf8());
    ADD_FAILURE() << "as páginas diferem de " << caminho.toStdString() << "; atual em "
                  << saida.fileName().toStdString();
}

} // namespace nq::teste
