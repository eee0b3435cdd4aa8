#include "report/formato.h"

#include "core/erro.h"

#include <QHash>

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

QString FormatoNumerico::monta(const Secao& s, const QString& digitos, const QLocale& locale) {
    if (!s.temDigitos)
        return s.prefixo + s.sufixo;
    const int ponto = digitos.indexOf(QLatin1Char('.'));
    QString inteiro = ponto < 0 ? digitos : digitos.left(ponto);
    QString decimais = ponto < 0 ? QString() : digitos.mid(ponto + 1);
    while (decimais.size() > s.decimaisMinimos && decimais.endsWith(QLatin1Char('0')))
        decimais.chop(1);
    while (inteiro.startsWith(QLatin1Char('0')))
        inteiro.remove(0, 1);
    if (inteiro.size() < s.digitosInteirosMinimos)
        inteiro = QString(s.digitosInteirosMinimos - inteiro.size(), QLatin1Char('0')) + inteiro;
    if (s.agrupa)
        for (int i = inteiro.size() - 3; i > 0; i -= 3)
            inteiro.insert(i, locale.groupSeparator());
    QString r = s.prefixo + inteiro;
    if (!decimais.isEmpty())
        r += locale.decimalPoint() + decimais;
    return r + s.sufixo;
}

template <class Arredonda>
QString FormatoNumerico::formataCom(bool negativo, Arredonda arredonda,
                                    const QLocale& locale) const {
    // The section is chosen on the value as rounded to the positive section's places.
    const QString positivo = arredonda(secoes_[0].decimaisMaximos);
    const bool zero =
        positivo.count(QLatin1Char('0')) + positivo.count(QLatin1Char('.')) == positivo.size();
    if (zero && secoes_.size() == 3)
        return monta(secoes_[2], arredonda(secoes_[2].decimaisMaximos), locale);
    if (negativo && !zero) {
        if (secoes_.size() >= 2 && !secoes_[1].vazia)
            return monta(secoes_[1], arredonda(secoes_[1].decimaisMaximos), locale);
        return QLatin1Char('-') + monta(secoes_[0], positivo, locale);
    }
    return monta(secoes_[0], positivo, locale);
}

QString FormatoNumerico::formata(Moeda valor, const QLocale& locale) const {
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
        QString r = QString::number(arredondado / potencia);
        if (casas > 0) {
            QString frac =
                QString::number(arredondado % potencia).rightJustified(usadas, QLatin1Char('0'));
            r += QLatin1Char('.') + frac + QString(casas - usadas, QLatin1Char('0'));
        }
        return r;
    };
    return formataCom(d < 0, arredonda, locale);
}

QString FormatoNumerico::formata(double valor, const QLocale& locale) const {
    const double absoluto = std::fabs(valor);
    auto arredonda = [absoluto](int casas) {
        const double fator = std::pow(10.0, casas);
        const double arredondado = std::round(absoluto * fator) / fator;
        return QString::number(arredondado, 'f', casas);
    };
    return formataCom(std::signbit(valor), arredonda, locale);
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
        return formatoLido(formato).formata(*m, locale);
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
    return formatoLido(formato).formata(numero, locale);
}

} // namespace nq
