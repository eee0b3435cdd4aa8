#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <array>

namespace nq::fb {

// Converts texts between QString and the character set of an attachment,
// named as Firebird names it ("UTF8", "WIN1252", "ISO8859_1" ...). Single-byte
// sets go through a table, so reading millions of rows stays cheap; a
// character the set cannot hold is refused instead of turning into "?".
class Codificacao {
public:
    explicit Codificacao(const QString& conjuntoFirebird);

    const QString& nome() const { return nome_; }
    QString decodifica(const char* dados, qsizetype tamanho) const;
    QByteArray codifica(const QString& texto) const;

private:
    enum class Forma { Utf8, UmByte, Outra };
    QString nome_;
    QString nomeIcu_;
    Forma forma_ = Forma::Utf8;
    std::array<char16_t, 256> tabela_{};
    QHash<char16_t, char> inversa_;
};

} // namespace nq::fb
