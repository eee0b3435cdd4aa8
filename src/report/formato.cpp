#include "report/formato.h"

#include "core/erro.h"

#include <QHash>

#include <algorithm>
#include <charconv>

#include <cmath>
#include <cstdlib>

namespace nq {

QLocale localeDosRelatorios() {
    const QLocale sistema = QLocale::system();
    if (sistema.language() == QLocale::C)
        return QLocale(QLocale::Portuguese, QLocale::Brazil);
    return sistema;
}

FormatoNumerico::FormatoNumerico(const QString& picture) {
    const QStringList partes = picture.split(QLatin1Char(';'));
    if (partes.size() > 3)
        throw Erro(QStringLiteral("Formato de exibição inválido: \"%1\" (mais de três seções).")
                       .arg(picture));
    for (const QString& p : partes)
        secoes_.push_back(le(p, picture));
}

FormatoNumerico::Secao FormatoNumerico::le(const QString& texto, const QString& picture) {
    Secao s;
    s.vazia = texto.isEmpty();
    bool depoisDoPonto = false;
    bool depoisDosDigitos = false;
    QChar aspa;
    for (const QChar c : texto) {
        if (!aspa.isNull()) {
            if (c == aspa)
                aspa = QChar();
            else
                (s.temDigitos ? s.sufixo : s.prefixo).append(c);
            continue;
        }
        const bool marcador = c == QLatin1Char('0') || c == QLatin1Char('#') ||
                              c == QLatin1Char('.') || c == QLatin1Char(',');
        if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            aspa = c;
            depoisDosDigitos = s.temDigitos;
        } else if (marcador && !depoisDosDigitos) {
            s.temDigitos = true;
            if (c == QLatin1Char('.') && !depoisDoPonto) {
                depoisDoPonto = true;
            } else if (c == QLatin1Char(',')) {
                s.agrupa = s.agrupa || !depoisDoPonto;
            } else if (c != QLatin1Char('.')) {
                if (depoisDoPonto) {
                    ++s.decimaisMaximos;
                    if (c == QLatin1Char('0'))
                        s.decimaisMinimos = s.decimaisMaximos;
                } else if (c == QLatin1Char('0') || s.digitosInteirosMinimos > 0) {
                    ++s.digitosInteirosMinimos;
                }
            }
        } else if (marcador) {
            throw Erro(QStringLiteral("Formato de exibição não suportado: \"%1\" (texto entre "
                                      "os dígitos).")
                           .arg(picture));
        } else {
            depoisDosDigitos = s.temDigitos;
            (s.temDigitos ? s.sufixo : s.prefixo).append(c);
        }
    }
    if (!aspa.isNull())
        throw Erro(
            QStringLiteral("Formato de exibição inválido: \"%1\" (aspas sem fim).").arg(picture));
    return s;
}

FormatoNumerico::Separadores::Separadores(const QLocale& locale)
    : grupo(locale.groupSeparator()), decimal(locale.decimalPoint()) {}

QString FormatoNumerico::monta(const Secao& s, std::string_view digitos, const Separadores& sep,
                               bool menos) {
    const QString sinal = menos ? QStringLiteral("-") : QString();
    if (!s.temDigitos)
        return sinal + s.prefixo + s.sufixo;
    const std::size_t ponto = digitos.find('.');
    std::string_view inteiro = digitos.substr(0, ponto);
    std::string_view decimais =
        ponto == std::string_view::npos ? std::string_view() : digitos.substr(ponto + 1);
    while (std::ssize(decimais) > s.decimaisMinimos && decimais.back() == '0')
        decimais.remove_suffix(1);
    while (!inteiro.empty() && inteiro.front() == '0')
        inteiro.remove_prefix(1);
    const qsizetype zeros = std::max<qsizetype>(s.digitosInteirosMinimos - std::ssize(inteiro), 0);
    const qsizetype algarismos = zeros + std::ssize(inteiro);
    const qsizetype grupos = s.agrupa && algarismos > 0 ? (algarismos - 1) / 3 : 0;
    // Every cell of a report passes here: the text is made in one piece.
    QString r(sinal.size() + s.prefixo.size() + algarismos + grupos * sep.grupo.size() +
                  (decimais.empty() ? 0 : sep.decimal.size() + std::ssize(decimais)) +
                  s.sufixo.size(),
              Qt::Uninitialized);
    QChar* p = r.data();
    auto copia = [&p](const QString& t) { p = std::copy(t.cbegin(), t.cend(), p); };
    copia(sinal);
    copia(s.prefixo);
    for (qsizetype i = 0; i < algarismos; ++i) {
        if (s.agrupa && i > 0 && (algarismos - i) % 3 == 0)
            copia(sep.grupo);
        *p++ = QLatin1Char(i < zeros ? '0' : inteiro[i - zeros]);
    }
    if (!decimais.empty()) {
        copia(sep.decimal);
        for (const char c : decimais)
            *p++ = QLatin1Char(c);
    }
    copia(s.sufixo);
    return r;
}

template <class Arredonda>
QString FormatoNumerico::formataCom(bool negativo, Arredonda arredonda,
                                    const Separadores& sep) const {
    // The section is chosen on the value as rounded to the positive section's places.
    const std::string positivo = arredonda(secoes_[0].decimaisMaximos);
    const bool zero = positivo.find_first_not_of("0.") == std::string::npos;
    if (zero && secoes_.size() == 3)
        return monta(secoes_[2], arredonda(secoes_[2].decimaisMaximos), sep);
    if (negativo && !zero) {
        if (secoes_.size() >= 2 && !secoes_[1].vazia)
            return monta(secoes_[1], arredonda(secoes_[1].decimaisMaximos), sep);
        return monta(secoes_[0], positivo, sep, true);
    }
    return monta(secoes_[0], positivo, sep);
}

QString FormatoNumerico::formata(Moeda valor, const QLocale& locale) const {
    return formata(valor, Separadores(locale));
}

QString FormatoNumerico::formata(double valor, const QLocale& locale) const {
    return formata(valor, Separadores(locale));
}

QString FormatoNumerico::formata(Moeda valor, const Separadores& sep) const {
    // Unsigned, so that the extremes of money neither overflow nor lose their sign.
    const int64_t d = valor.dezMilesimos();
    const uint64_t absoluto = d < 0 ? 0 - static_cast<uint64_t>(d) : static_cast<uint64_t>(d);
    auto arredonda = [absoluto](int casas) {
        // Exact: ten-thousandths rounded half away from zero to `casas` places.
        const int usadas = std::min(casas, 4);
        uint64_t passo = 1;
        for (int i = usadas; i < 4; ++i)
            passo *= 10;
        const uint64_t arredondado = absoluto / passo + (absoluto % passo * 2 >= passo ? 1 : 0);
        uint64_t potencia = 1;
        for (int i = 0; i < usadas; ++i)
            potencia *= 10;
        char b[24];
        std::string r(b, std::to_chars(b, b + sizeof b, arredondado / potencia).ptr);
        if (casas > 0) {
            const char* fim = std::to_chars(b, b + sizeof b, arredondado % potencia).ptr;
            r += '.';
            r.append(usadas - (fim - b), '0');
            r.append(b, fim - b);
            r.append(casas - usadas, '0');
        }
        return r;
    };
    return formataCom(d < 0, arredonda, sep);
}

QString FormatoNumerico::formata(double valor, const Separadores& sep) const {
    const double absoluto = std::fabs(valor);
    auto arredonda = [absoluto](int casas) {
        const double fator = std::pow(10.0, casas);
        const double arredondado = std::round(absoluto * fator) / fator;
        return QString::number(arredondado, 'f', casas).toStdString();
    };
    return formataCom(std::signbit(valor), arredonda, sep);
}

namespace {

// A report formats every value of a column with the same picture: each is read once.
const FormatoNumerico& formatoLido(const QString& picture) {
    static QHash<QString, FormatoNumerico> lidos;
    auto it = lidos.constFind(picture);
    if (it == lidos.constEnd())
        it = lidos.insert(picture, FormatoNumerico(picture));
    return *it;
}

} // namespace

QString formataValor(const Value& valor, const QString& formato, bool brancoQuandoZero) {
    const auto& d = valor.dados();
    if (valor.isNull())
        return {};
    if (const QString* texto = std::get_if<QString>(&d))
        return *texto;
    static const QLocale locale = localeDosRelatorios(); // the system's, fixed for the run
    static const FormatoNumerico::Separadores separadores(locale);
    if (const Moeda* m = std::get_if<Moeda>(&d)) {
        if (brancoQuandoZero && m->ehZero())
            return {};
        if (formato.isEmpty()) {
            QString texto = m->texto(4);
            while (texto.endsWith(QLatin1Char('0')))
                texto.chop(1);
            if (texto.endsWith(QLatin1Char('.')))
                texto.chop(1);
            return texto.replace(QLatin1Char('.'), locale.decimalPoint());
        }
        return formatoLido(formato).formata(*m, separadores);
    }
    const double numero =
        std::holds_alternative<int32_t>(d) ? std::get<int32_t>(d) : std::get<double>(d);
    if (brancoQuandoZero && numero == 0)
        return {};
    if (formato.isEmpty()) {
        QLocale semGrupo = locale;
        semGrupo.setNumberOptions(QLocale::OmitGroupSeparator);
        return std::holds_alternative<int32_t>(d) ? semGrupo.toString(std::get<int32_t>(d))
                                                  : semGrupo.toString(numero, 'g', 15);
    }
    return formatoLido(formato).formata(numero, separadores);
}

} // namespace nq
