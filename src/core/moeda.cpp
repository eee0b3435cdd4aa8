#include "moeda.h"

#include <cmath>
#include <cstdlib>

namespace nq {

namespace {

int64_t potenciaDeDez(int n) {
    int64_t p = 1;
    while (n-- > 0)
        p *= 10;
    return p;
}

// Integer division rounding half away from zero.
int64_t divideArredondando(int64_t v, int64_t d) {
    const int64_t q = v / d;
    const int64_t r = v % d;
    if (std::llabs(r) * 2 >= d)
        return q + (v < 0 ? -1 : 1);
    return q;
}

} // namespace

Moeda Moeda::deEscalado(int64_t v, int escala) {
    if (escala == 4)
        return deDezMilesimos(v);
    if (escala < 4)
        return deDezMilesimos(v * potenciaDeDez(4 - escala));
    return deDezMilesimos(divideArredondando(v, potenciaDeDez(escala - 4)));
}

Moeda Moeda::deDouble(double v) {
    return deDezMilesimos(static_cast<int64_t>(std::llround(v * Escala)));
}

std::optional<Moeda> Moeda::deTexto(const QString& texto) {
    const QString t = texto.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    int i = 0;
    bool negativo = false;
    if (t[0] == '-' || t[0] == '+') {
        negativo = t[0] == '-';
        i = 1;
    }
    int64_t inteiro = 0;
    int64_t fracao = 0;
    int casas = 0;
    bool digitos = false, ponto = false;
    for (; i < t.size(); ++i) {
        const QChar c = t[i];
        if (c == '.' && !ponto) {
            ponto = true;
            continue;
        }
        if (!c.isDigit() || c.unicode() > '9')
            return std::nullopt;
        digitos = true;
        const int d = c.unicode() - '0';
        if (ponto) {
            if (++casas > 4)
                return std::nullopt;
            fracao = fracao * 10 + d;
        } else {
            if (inteiro > (INT64_MAX / Escala - d) / 10)
                return std::nullopt;
            inteiro = inteiro * 10 + d;
        }
    }
    if (!digitos)
        return std::nullopt;
    // The whole part was bounded digit by digit; the fraction can still tip it over.
    const __int128 v = static_cast<__int128>(inteiro) * Escala + fracao * potenciaDeDez(4 - casas);
    if (v > INT64_MAX)
        return std::nullopt;
    return deDezMilesimos(static_cast<int64_t>(negativo ? -v : v));
}

Moeda Moeda::arredondada(int casas) const {
    const int64_t passo = potenciaDeDez(4 - casas);
    return deDezMilesimos(divideArredondando(valor_, passo) * passo);
}

QString Moeda::texto(int casas) const {
    const int64_t passo = potenciaDeDez(4 - casas);
    const int64_t v = divideArredondando(valor_, passo);
    const int64_t unidade = potenciaDeDez(casas);
    const int64_t absoluto = std::llabs(v);
    QString s = QString::number(absoluto / unidade);
    if (casas > 0)
        s += '.' + QString::number(absoluto % unidade).rightJustified(casas, '0');
    return v < 0 ? '-' + s : s;
}

Moeda Moeda::operator*(double fator) const {
    return deDouble(paraDouble() * fator);
}

Moeda Moeda::operator/(double divisor) const {
    return deDouble(paraDouble() / divisor);
}

} // namespace nq
