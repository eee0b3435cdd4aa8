#pragma once

#include "tables/valor.h"

#include <QLocale>
#include <QString>
#include <string>
#include <string_view>
#include <vector>

namespace nq {

// The regional settings for numbers: the system's, or Portuguese (Brazil) when the system
// runs the "C"/POSIX locale.
QLocale localeDosRelatorios();

// A numeric display picture of up to three sections separated by ";" (positive; negative;
// zero): "0" a digit always shown, "#" a digit shown when significant, the first "." the
// decimal point, "," anywhere in the integer part asks for thousands grouping, texts in
// quotes and any other character outside the digits are printed as they are. In the
// negative section the value prints without its sign (the section carries it); with one
// section a negative value gets a leading minus. Grouping and decimal characters come
// from the locale, so "#,0.00;-#,0.00" gives "1.234,56", "0,00" and "-5,00" in Brazil.
class FormatoNumerico {
public:
    // Throws nq::Erro for a picture it cannot read.
    explicit FormatoNumerico(const QString& picture);

    QString formata(Moeda valor, const QLocale& locale = localeDosRelatorios()) const;
    QString formata(double valor, const QLocale& locale = localeDosRelatorios()) const;

    // A locale's grouping and decimal characters, read once for many values.
    struct Separadores {
        explicit Separadores(const QLocale& locale);
        QString grupo;
        QString decimal;
    };
    QString formata(Moeda valor, const Separadores& separadores) const;
    QString formata(double valor, const Separadores& separadores) const;

private:
    struct Secao {
        QString prefixo;
        QString sufixo;
        int digitosInteirosMinimos = 0;
        int decimaisMinimos = 0;
        int decimaisMaximos = 0;
        bool agrupa = false;
        bool temDigitos = false;
        bool vazia = true;
    };
    static Secao le(const QString& texto, const QString& picture);
    // `digitos`: the absolute value, already rounded, as plain digits with "." when
    // it has decimals; `menos` puts a minus before it all.
    static QString monta(const Secao& s, std::string_view digitos, const Separadores& sep,
                         bool menos = false);
    template <class Arredonda>
    QString formataCom(bool negativo, Arredonda arredonda, const Separadores& sep) const;

    std::vector<Secao> secoes_;
};

// A value as a report prints it: numbers through `formato` when it is not empty, texts as
// they are; null prints empty. `brancoQuandoZero` leaves a zero blank.
QString formataValor(const Value& valor, const QString& formato, bool brancoQuandoZero = false);

} // namespace nq
