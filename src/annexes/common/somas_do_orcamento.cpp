#include "annexes/common/somas_do_orcamento.h"

namespace nq {

QString mesSql(int mes) {
    return QString::number(mes);
}

const FormaDaSoma& previsaoInicial() {
    static const FormaDaSoma f{
        QStringLiteral("sum(totor)"),
        QStringLiteral("recdis"),
        {},
        {},
        [](const QString& w, Meses) {
            return QStringLiteral("select sum(totor) as previsao from recdis where ") + w;
        }};
    return f;
}

const FormaDaSoma& dotacaoInicial() {
    static const FormaDaSoma f{
        QStringLiteral("sum(dotac)"),
        QStringLiteral("desdis"),
        {},
        {},
        [](const QString& w, Meses) {
            return QStringLiteral("select sum(dotac) as previsao from desdis where ") + w;
        }};
    return f;
}

FormaDaSoma empenhadoNoBimestre(const QString& rf) {
    return {QStringLiteral("sum(d.vadem)"), QStringLiteral("despes d"), rf + QStringLiteral(" 1=1"),
            QStringLiteral("d.datae"), [=](const QString& w, Meses m) {
                return QStringLiteral("select sum(d.vadem) as empenhadobimestre from despes d "
                                      " where ") +
                       rf + w + QStringLiteral(" and extract(month from d.datae)<=") +
                       mesSql(m.ate) + QStringLiteral(" and extract(month from d.datae)>=") +
                       mesSql(m.de);
            }};
}

FormaDaSoma atualizacaoDaPrevisao(QChar sinal) {
    const QString apelido =
        sinal == QLatin1Char('>') ? QStringLiteral("atualmais") : QStringLiteral("atualmenos");
    const QString valor = QStringLiteral("a.valor") + sinal + QLatin1Char('0');
    return {QStringLiteral("sum(a.valor)"),
            QStringLiteral("recalp a inner join recdis f on f.ficha=a.ficha"), valor,
            QStringLiteral("a.dtlan"), [=](const QString& w, Meses m) {
                return QStringLiteral("select sum(a.valor) as ") + apelido +
                       QStringLiteral(" from recalp a inner join recdis f on f.ficha=a.ficha "
                                      "where ") +
                       w + QStringLiteral(" and ") + valor +
                       QStringLiteral(" and extract(month from a.dtlan)<=") + mesSql(m.ate);
            }};
}

const FormaDaSoma& arrecadadoNoBimestre() {
    static const FormaDaSoma f{
        QStringLiteral("sum(r.varec)"),
        QStringLiteral("receit r inner join recdis f on f.ficha=r.ficha"),
        {},
        QStringLiteral("r.dtlan"),
        [](const QString& w, Meses m) {
            return QStringLiteral("select sum(r.varec) as bimestre from receit r inner join "
                                  "recdis f on f.ficha=r.ficha where ") +
                   w + QStringLiteral(" and extract(month from r.dtlan)>=") + mesSql(m.de) +
                   QStringLiteral(" and extract(month from r.dtlan)<=") + mesSql(m.ate);
        }};
    return f;
}

} // namespace nq
