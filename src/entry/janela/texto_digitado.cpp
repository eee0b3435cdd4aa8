#include "entry/janela/texto_digitado.h"

#include "core/erro.h"

#include <QRegularExpression>

namespace nq {

namespace {

// "-1234567.89" -> "-1.234.567,89", exactly.
QString agrupado(Moeda m) {
    const QString t = m.texto(2);
    const bool negativo = t.startsWith(u'-');
    const qsizetype ponto = t.indexOf(u'.');
    QString inteiro = t.mid(negativo ? 1 : 0, ponto - (negativo ? 1 : 0));
    for (qsizetype i = inteiro.size() - 3; i > 0; i -= 3)
        inteiro.insert(i, u'.');
    return (negativo ? QStringLiteral("-") : QString()) + inteiro + u',' + t.mid(ponto + 1);
}

// "1234.5600" -> "1234,56": trailing zeros beyond two places dropped.
QString comVirgula(Moeda m) {
    QString t = m.texto(4);
    while (t.endsWith(u'0') && t.size() - t.indexOf(u'.') > 3)
        t.chop(1);
    return t.replace(u'.', u',');
}

} // namespace

std::optional<Moeda> moedaDigitada(const QString& texto) {
    static const QRegularExpression forma(
        QStringLiteral("^([+-]?)(\\d+|\\d{1,3}(?:\\.\\d{3})+)(?:,(\\d*))?$"));
    const auto achado = forma.match(texto.trimmed());
    if (!achado.hasMatch())
        return std::nullopt;
    QString numero = achado.captured(2).remove(u'.');
    const QString decimais = achado.captured(3);
    if (!decimais.isEmpty())
        numero += u'.' + decimais;
    const auto valor = Moeda::deTexto(numero);
    if (!valor)
        return std::nullopt;
    return achado.captured(1) == QLatin1String("-") ? -*valor : *valor;
}

Value valorDigitado(const QString& texto, FieldKind tipo) {
    const QString limpo = texto.trimmed();
    if (limpo.isEmpty() && tipo != FieldKind::Text && tipo != FieldKind::FormattedMemo)
        return Value();
    const auto recusa = [&texto] {
        return Erro(QStringLiteral("'%1' não é um valor válido.").arg(texto));
    };
    switch (tipo) {
    case FieldKind::Money: {
        const auto m = moedaDigitada(limpo);
        if (!m)
            throw recusa();
        // Amounts are typed to the cent: "1,234" is a slip, not 1 real and 23.4 cents.
        if (const qsizetype virgula = limpo.indexOf(u',');
            virgula >= 0 && limpo.size() - virgula > 3)
            throw Erro(QStringLiteral("O valor '%1' tem mais de duas casas decimais.").arg(texto));
        return Value(*m);
    }
    case FieldKind::Integer: {
        bool ok = false;
        const int v = limpo.toInt(&ok);
        if (!ok)
            throw recusa();
        return Value(static_cast<int32_t>(v));
    }
    case FieldKind::Float: {
        const auto m = moedaDigitada(limpo);
        if (!m)
            throw recusa();
        return Value(m->paraDouble());
    }
    case FieldKind::Text:
    case FieldKind::FormattedMemo:
        break;
    }
    return Value(texto);
}

QString textoExibido(const Value& valor, FieldKind tipo) {
    if (valor.isNull())
        return {};
    switch (tipo) {
    case FieldKind::Money:
        return agrupado(valor.asCurrency());
    case FieldKind::Float:
        return agrupado(Moeda::deDouble(valor.asFloat()));
    default:
        return valor.asString();
    }
}

QString textoParaEditar(const Value& valor, FieldKind tipo) {
    if (valor.isNull())
        return {};
    switch (tipo) {
    case FieldKind::Money:
        return comVirgula(valor.asCurrency());
    case FieldKind::Float:
        return comVirgula(Moeda::deDouble(valor.asFloat()));
    default:
        return valor.asString();
    }
}

} // namespace nq
