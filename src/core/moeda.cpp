#include "moeda.h"

#include "core/erro.h"

#include <cmath>
#include <cstdlib>

namespace nq {

namespace {

[[noreturn]] void estouro(const QString& conta) {
    throw Erro(QStringLiteral("Valor monetário fora do limite (%1): o resultado passa de "
                              "±922.337.203.685.477,58.")
                   .arg(conta));
}

int64_t multiplica(int64_t a, int64_t b, const char* conta) {
    int64_t r;
    if (__builtin_mul_overflow(a, b, &r))
        estouro(QString::fromUtf8(conta));
    return r;
}

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
    // Beyond these a power of ten no longer fits in 64 bits.
    if (escala < -14 || escala > 22)
        throw Erro(QStringLiteral("Escala decimal não suportada: %1.").arg(escala));
    if (escala < 4)
        return deDezMilesimos(multiplica(v, potenciaDeDez(4 - escala), "número escalado"));
    return deDezMilesimos(divideArredondando(v, potenciaDeDez(escala - 4)));
}

Moeda Moeda::deInteiro(int64_t reais) {
    return deDezMilesimos(multiplica(reais, Escala, "número inteiro"));
}

Moeda Moeda::deQuociente(__int128 numerador, __int128 denominador, const char* conta) {
    const bool negativo = (numerador < 0) != (denominador < 0);
    const __int128 n = numerador < 0 ? -numerador : numerador;
    const __int128 d = denominador < 0 ? -denominador : denominador;
    __int128 q = n / d;
    if ((n % d) * 2 >= d)
        ++q;
    if (q > INT64_MAX)
        estouro(QString::fromUtf8(conta));
    return deDezMilesimos(static_cast<int64_t>(negativo ? -q : q));
}

Moeda Moeda::deDouble(double v) {
    if (std::isnan(v))
        throw Erro(QStringLiteral("Valor monetário inválido: não é um número."));
    // 2^63 is exact in double; every double beyond it is out of range.
    constexpr double Limite = 9223372036854775808.0;
    const double escalado = v * Escala;
    if (!(escalado < Limite && escalado >= -Limite))
        estouro(QString::number(v, 'g', 17));
    return deDezMilesimos(static_cast<int64_t>(std::llround(escalado)));
}

Moeda Moeda::operator+(Moeda o) const {
    int64_t r;
    if (__builtin_add_overflow(valor_, o.valor_, &r))
        estouro(QStringLiteral("%1 + %2").arg(texto(4), o.texto(4)));
    return deDezMilesimos(r);
}

Moeda Moeda::operator-(Moeda o) const {
    int64_t r;
    if (__builtin_sub_overflow(valor_, o.valor_, &r))
        estouro(QStringLiteral("%1 - %2").arg(texto(4), o.texto(4)));
    return deDezMilesimos(r);
}

Moeda Moeda::operator-() const {
    if (valor_ == INT64_MIN)
        estouro(QStringLiteral("-(%1)").arg(texto(4)));
    return deDezMilesimos(-valor_);
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
    return deDezMilesimos(multiplica(divideArredondando(valor_, passo), passo, "arredondamento"));
}

QString Moeda::texto(int casas) const {
    const int64_t passo = potenciaDeDez(4 - casas);
    const int64_t v = divideArredondando(valor_, passo);
    const int64_t unidade = potenciaDeDez(casas);
    // Unsigned, so that the most negative value has a magnitude too.
    const uint64_t absoluto = v < 0 ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v);
    QString s = QString::number(absoluto / unidade);
    if (casas > 0)
        s += '.' + QString::number(absoluto % unidade).rightJustified(casas, '0');
    return v < 0 ? '-' + s : s;
}

Moeda Moeda::operator*(double fator) const {
    return deDouble(paraDouble() * fator);
}

Moeda Moeda::operator/(double divisor) const {
    if (divisor == 0)
        throw Erro(QStringLiteral("Divisão de um valor monetário (%1) por zero.").arg(texto()));
    return deDouble(paraDouble() / divisor);
}

} // namespace nq
