#pragma once

#include "core/erro.h"
#include "tables/dados.h"

#include <QBuffer>
#include <QByteArray>
#include <cstdio>
#include <cstdlib>

namespace fuzz {

inline QByteArray grava(const nq::Dados& d, void (*escreve)(const nq::Dados&, QIODevice&)) {
    QByteArray bytes;
    QBuffer saida(&bytes);
    saida.open(QIODevice::WriteOnly);
    escreve(d, saida);
    return bytes;
}

// A packet that was read is saved, read again and saved again: both saves
// must be the same bytes, or a figure changed on the way.
inline void confereIdaEVolta(const nq::Dados& lido, void (*escreve)(const nq::Dados&, QIODevice&),
                             nq::Dados (*le)(const QByteArray&, const QString&)) {
    const QByteArray primeira = grava(lido, escreve);
    QByteArray segunda;
    try {
        segunda = grava(le(primeira, QStringLiteral("regravado")), escreve);
    } catch (const nq::Erro& e) {
        std::fprintf(stderr, "o pacote regravado não foi lido: %s\n", qPrintable(e.texto()));
        std::abort();
    }
    if (primeira != segunda) {
        std::fprintf(stderr, "o pacote mudou ao ser regravado\n");
        std::abort();
    }
}

} // namespace fuzz
