#include "tables/valor.h"

#include "core/erro.h"

#include <cmath>
#include <limits>

namespace nq {

namespace {

// Money beyond this cannot be held in ten-thousandths within 64 bits.
constexpr double MaiorMoeda = 9.0e14;

QString textoDaMoeda(Moeda m) {
    QString s = m.texto(4);
    while (s.endsWith('0'))
        s.chop(1);
    if (s.endsWith('.'))
        s.chop(1);
    return s;
}

[[noreturn]] void naoNumerico(const QString& texto) {
    throw Erro(QStringLiteral("\"%1\" não é um valor numérico válido.").arg(texto));
}

double doubleDoTexto(const QString& texto) {
    bool ok = false;
    const double v = texto.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(v))
        naoNumerico(texto);
    return v;
}

Moeda moedaDoDouble(double v) {
    if (!std::isfinite(v) || std::fabs(v) >= MaiorMoeda)
        throw Erro(QStringLiteral("O valor %1 está fora da faixa de um valor monetário.")
                       .arg(QString::number(v, 'g', 17)));
    return Moeda::deDouble(v);
}

int32_t inteiroDoDouble(double v) {
    const double r = std::round(v);
    if (!std::isfinite(r) || r < std::numeric_limits<int32_t>::min() ||
        r > std::numeric_limits<int32_t>::max())
        throw Erro(QStringLiteral("O valor %1 está fora da faixa de um número inteiro.")
                       .arg(QString::number(v, 'g', 17)));
    return static_cast<int32_t>(r);
}

} // namespace

QString nomeDoTipo(FieldKind tipo) {
    switch (tipo) {
    case FieldKind::Text:
        return QStringLiteral("texto");
    case FieldKind::Money:
        return QStringLiteral("moeda");
    case FieldKind::Integer:
        return QStringLiteral("inteiro");
    case FieldKind::Float:
        return QStringLiteral("número real");
    case FieldKind::FormattedMemo:
        return QStringLiteral("memorando formatado");
    }
    return {};
}

QString Value::asString() const {
    struct {
        QString operator()(std::monostate) const { return {}; }
        QString operator()(const QString& s) const { return s; }
        QString operator()(Moeda m) const { return textoDaMoeda(m); }
        QString operator()(int32_t i) const { return QString::number(i); }
        QString operator()(double d) const { return QString::number(d, 'g', 15); }
    } visita;
    return std::visit(visita, dados_);
}

Moeda Value::asCurrency() const {
    struct {
        Moeda operator()(std::monostate) const { return {}; }
        Moeda operator()(const QString& s) const {
            if (s.trimmed().isEmpty())
                return {};
            if (const auto m = Moeda::deTexto(s))
                return *m;
            return moedaDoDouble(doubleDoTexto(s));
        }
        Moeda operator()(Moeda m) const { return m; }
        Moeda operator()(int32_t i) const { return Moeda::deInteiro(i); }
        Moeda operator()(double d) const { return moedaDoDouble(d); }
    } visita;
    return std::visit(visita, dados_);
}

int32_t Value::asInteger() const {
    struct {
        int32_t operator()(std::monostate) const { return 0; }
        int32_t operator()(const QString& s) const {
            if (s.trimmed().isEmpty())
                return 0;
            bool ok = false;
            const int32_t v = s.trimmed().toInt(&ok);
            if (!ok)
                naoNumerico(s);
            return v;
        }
        int32_t operator()(Moeda m) const { return inteiroDoDouble(m.arredondada(0).paraDouble()); }
        int32_t operator()(int32_t i) const { return i; }
        int32_t operator()(double d) const { return inteiroDoDouble(d); }
    } visita;
    return std::visit(visita, dados_);
}

double Value::asFloat() const {
    struct {
        double operator()(std::monostate) const { return 0; }
        double operator()(const QString& s) const {
            return s.trimmed().isEmpty() ? 0.0 : doubleDoTexto(s);
        }
        double operator()(Moeda m) const { return m.paraDouble(); }
        double operator()(int32_t i) const { return i; }
        double operator()(double d) const { return d; }
    } visita;
    return std::visit(visita, dados_);
}

Value Value::convertido(FieldKind tipo, const QString& campo) const {
    if (isNull())
        return {};
    // A blank text clears a number, as typing nothing into a cell does.
    const auto* texto = std::get_if<QString>(&dados_);
    if (texto && texto->trimmed().isEmpty() && tipo != FieldKind::Text &&
        tipo != FieldKind::FormattedMemo)
        return {};
    try {
        switch (tipo) {
        case FieldKind::Text:
        case FieldKind::FormattedMemo:
            return Value(asString());
        case FieldKind::Money:
            return Value(asCurrency());
        case FieldKind::Integer:
            return Value(asInteger());
        case FieldKind::Float:
            return Value(asFloat());
        }
    } catch (const Erro& e) {
        throw Erro(QStringLiteral("Campo %1 (%2): %3").arg(campo, nomeDoTipo(tipo), e.texto()));
    }
    return {};
}

} // namespace nq
