#pragma once

#include <QString>
#include <compare>
#include <cstdint>
#include <optional>

namespace nq {

// Exact currency: a count of ten-thousandths held in 64 bits. Database
// NUMERIC values arrive here as scaled integers, never through double. Every
// operation whose result does not fit (beyond about ±922 337 203 685 477)
// throws nq::Erro instead of wrapping around.
class Moeda {
public:
    static constexpr int64_t Escala = 10000;

    constexpr Moeda() = default;

    static constexpr Moeda deDezMilesimos(int64_t v) {
        Moeda m;
        m.valor_ = v;
        return m;
    }
    // An integer with `escala` decimal places (a Firebird NUMERIC with scale -escala).
    static Moeda deEscalado(int64_t v, int escala);
    // Rounded half away from zero to four places; NaN, infinities and values
    // out of range throw.
    static Moeda deDouble(double v);
    static Moeda deInteiro(int64_t reais);
    // numerador ÷ denominador ten-thousandths, rounded half away from zero: the
    // exact quotients of products and percentages. `conta` names the
    // calculation in the error when the result does not fit.
    static Moeda deQuociente(__int128 numerador, __int128 denominador, const char* conta);
    // "1234.56", "-0.5", "12" (point as decimal separator); nullopt when not a number
    // or when it has more than four decimal places.
    static std::optional<Moeda> deTexto(const QString& texto);

    constexpr int64_t dezMilesimos() const { return valor_; }
    double paraDouble() const { return static_cast<double>(valor_) / Escala; }
    // Rounded to `casas` places (0..4), point as separator, no grouping: "-1234.56".
    QString texto(int casas = 2) const;
    Moeda arredondada(int casas) const;

    Moeda operator+(Moeda o) const;
    Moeda operator-(Moeda o) const;
    Moeda operator-() const;
    Moeda& operator+=(Moeda o) { return *this = *this + o; }
    Moeda& operator-=(Moeda o) { return *this = *this - o; }
    // Scaling by a factor (a division of a forecast, a percentage) rounds to four places.
    Moeda operator*(double fator) const;
    Moeda operator/(double divisor) const;

    constexpr auto operator<=>(const Moeda&) const = default;
    constexpr bool ehZero() const { return valor_ == 0; }

private:
    int64_t valor_ = 0;
};

} // namespace nq
