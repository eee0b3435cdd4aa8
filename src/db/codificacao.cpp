#include "db/codificacao.h"

#include "core/erro.h"

#include <QRegularExpression>
#include <QStringDecoder>
#include <QStringEncoder>

namespace nq::fb {

namespace {

// Firebird's names of the sets it shares with ICU under other names.
QString nomeIcu(const QString& fb) {
    static const QRegularExpression win(QStringLiteral("^WIN(125\\d)$"));
    static const QRegularExpression iso(QStringLiteral("^ISO8859_(\\d+)$"));
    if (const auto m = win.match(fb); m.hasMatch())
        return QStringLiteral("windows-") + m.captured(1);
    if (const auto m = iso.match(fb); m.hasMatch())
        return QStringLiteral("ISO-8859-") + m.captured(1);
    if (fb == QLatin1String("LATIN1"))
        return QStringLiteral("ISO-8859-1");
    if (fb == QLatin1String("DOS850"))
        return QStringLiteral("IBM850");
    if (fb == QLatin1String("DOS437"))
        return QStringLiteral("IBM437");
    return fb;
}

[[noreturn]] void naoRepresenta(const QString& conjunto, QChar c) {
    throw Erro(QStringLiteral("O caractere \"%1\" não existe no conjunto de caracteres %2 do "
                              "banco de dados.")
                   .arg(c, conjunto));
}

} // namespace

Codificacao::Codificacao(const QString& conjuntoFirebird)
    : nome_(conjuntoFirebird.trimmed().toUpper()) {
    if (nome_.isEmpty() || nome_ == QLatin1String("UTF8") ||
        nome_ == QLatin1String("UNICODE_FSS")) {
        forma_ = Forma::Utf8;
        return;
    }
    nomeIcu_ = nomeIcu(nome_);
    QStringDecoder teste(nomeIcu_.toLatin1().constData());
    if (!teste.isValid())
        throw Erro(QStringLiteral("Conjunto de caracteres não suportado: %1").arg(nome_));
    const bool umByte = nomeIcu_.startsWith(QLatin1String("windows-")) ||
                        nomeIcu_.startsWith(QLatin1String("ISO-8859-")) ||
                        nomeIcu_.startsWith(QLatin1String("IBM"));
    if (!umByte) {
        forma_ = Forma::Outra;
        return;
    }
    forma_ = Forma::UmByte;
    for (int b = 0; b < 256; ++b) {
        QStringDecoder d(nomeIcu_.toLatin1().constData());
        const char byte = static_cast<char>(b);
        const QString s = d(QByteArrayView(&byte, 1));
        // Bytes the set leaves undefined decode to U+FFFD and are never produced back.
        tabela_[b] = s.size() == 1 ? s[0].unicode() : char16_t(0xFFFD);
        if (tabela_[b] != 0xFFFD && !inversa_.contains(tabela_[b]))
            inversa_.insert(tabela_[b], byte);
    }
}

QString Codificacao::decodifica(const char* dados, qsizetype tamanho) const {
    switch (forma_) {
    case Forma::Utf8:
        return QString::fromUtf8(dados, tamanho);
    case Forma::UmByte: {
        QString s(tamanho, Qt::Uninitialized);
        QChar* p = s.data();
        for (qsizetype i = 0; i < tamanho; ++i)
            p[i] = QChar(tabela_[static_cast<unsigned char>(dados[i])]);
        return s;
    }
    case Forma::Outra:
        break;
    }
    QStringDecoder d(nomeIcu_.toLatin1().constData());
    return d(QByteArrayView(dados, tamanho));
}

QByteArray Codificacao::codifica(const QString& texto) const {
    switch (forma_) {
    case Forma::Utf8:
        return texto.toUtf8();
    case Forma::UmByte: {
        QByteArray b(texto.size(), Qt::Uninitialized);
        for (qsizetype i = 0; i < texto.size(); ++i) {
            const QChar c = texto[i];
            if (c.unicode() < 0x80 && tabela_[c.unicode()] == c.unicode()) {
                b[i] = static_cast<char>(c.unicode());
                continue;
            }
            const auto it = inversa_.constFind(c.unicode());
            if (it == inversa_.constEnd())
                naoRepresenta(nome_, c);
            b[i] = it.value();
        }
        return b;
    }
    case Forma::Outra:
        break;
    }
    QStringEncoder e(nomeIcu_.toLatin1().constData());
    QByteArray b = e(texto);
    if (e.hasError())
        throw Erro(QStringLiteral("O texto contém caracteres que o conjunto %1 do banco de dados "
                                  "não representa.")
                       .arg(nome_));
    return b;
}

} // namespace nq::fb
