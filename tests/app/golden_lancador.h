#pragma once

#include <QDir>
#include <QFile>
#include <QString>
#include <gtest/gtest.h>

// Compares a page dump with tests/app/golden/<nome>.txt. NQ404_ATUALIZA_GOLDEN=1
// (re)writes the reference from the current output, to be reviewed before it is
// committed; a mismatch leaves the current output in the build's golden-atual/.
inline void comparaComGoldenDoLancador(const QString& nome, const QString& atual) {
    const QString caminho = QStringLiteral(NQ404_FONTE "/tests/app/golden/%1.txt").arg(nome);
    if (qEnvironmentVariableIsSet("NQ404_ATUALIZA_GOLDEN")) {
        QDir().mkpath(QStringLiteral(NQ404_FONTE "/tests/app/golden"));
        QFile f(caminho);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(atual.toUtf8());
        return;
    }
    QFile f(caminho);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << "sem referência: " << caminho.toStdString();
    const QString esperado = QString::fromUtf8(f.readAll());
    if (esperado == atual)
        return;
    const QString dir = QStringLiteral(NQ404_BIN "/golden-atual");
    QDir().mkpath(dir);
    QFile saida(dir + '/' + nome + ".txt");
    if (saida.open(QIODevice::WriteOnly | QIODevice::Truncate))
        saida.write(atual.toUtf8());
    ADD_FAILURE() << "as páginas diferem de " << caminho.toStdString() << "; atual em "
                  << saida.fileName().toStdString();
}
