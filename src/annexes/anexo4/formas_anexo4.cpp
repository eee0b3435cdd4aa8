#include "annexes/anexo4/formas_anexo4.h"

#include "annexes/common/somas_do_orcamento.h"

namespace nq::anexo4 {

const FormaDaSoma& previsaoDaFicha() {
    static const FormaDaSoma f{
        QStringLiteral("sum(f.totor)"),
        QStringLiteral("recdis f"),
        {},
        {},
        [](const QString& w, Meses) {
            return QStringLiteral("select sum(f.totor) as previsao from recdis f where ") + w;
        }};
    return f;
}

const FormaDaSoma& dotacaoDaFicha() {
    static const FormaDaSoma f{
        QStringLiteral("sum(d.dotac)"),
        QStringLiteral("desdis d inner join desdis f on f.ficha=d.ficha"),
        {},
        {},
        [](const QString& w, Meses) {
            return QStringLiteral("select sum(d.dotac) as previsao from desdis d inner join "
                                  "desdis f on f.ficha=d.ficha where ") +
                   w;
        }};
    return f;
}

const FormaDaSoma& alteracaoDaDotacaoDaFicha() {
    static const FormaDaSoma f{
        QStringLiteral("sum(b.valor)"),
        QStringLiteral("desald b inner join desdis f on f.ficha=b.ficha inner join desdis d on "
                       "f.ficha=d.ficha"),
        {},
        QStringLiteral("b.dtlan"),
        [](const QString& w, Meses m) {
            return QStringLiteral("select sum(b.valor) as atualmais from desald b inner join "
                                  "desdis f on f.ficha=b.ficha inner join desdis d on "
                                  "f.ficha=d.ficha where ") +
                   w + QStringLiteral(" and extract(month from b.dtlan)<=") + mesSql(m.ate);
        }};
    return f;
}

FormaDaSoma liquidadoDaFichaNoBimestre(const QString& rf) {
    return {QStringLiteral("sum(l.vadem)"),
            QStringLiteral("viewliq l inner join despes d on d.pkemp=l.pkemp inner join desdis "
                           "f on f.ficha=d.ficha"),
            rf + QStringLiteral(" 1=1"), QStringLiteral("l.datae"), [=](const QString& w, Meses m) {
                return QStringLiteral("select sum(l.vadem) as empliqbimestre from viewliq l "
                                      "inner join despes d on d.pkemp=l.pkemp inner join desdis "
                                      "f on f.ficha=d.ficha where ") +
                       rf + w + QStringLiteral(" and extract(month from l.datae)>=") +
                       mesSql(m.de) + QStringLiteral(" and extract(month from l.datae)<=") +
                       mesSql(m.ate);
            }};
}

FormaDaSoma empenhadoDaFichaNoBimestre(const QString& rf) {
    return {QStringLiteral("sum(d.vadem)"),
            QStringLiteral("despes d inner join desdis f on f.ficha=d.ficha"),
            rf + QStringLiteral(" 1=1"), QStringLiteral("d.datae"), [=](const QString& w, Meses m) {
                return QStringLiteral("select sum(d.vadem) as empenhadobimestre from despes d "
                                      "inner join desdis f on f.ficha=d.ficha where ") +
                       rf + w + QStringLiteral(" and extract(month from d.datae)<=") +
                       mesSql(m.ate) + QStringLiteral(" and extract(month from d.datae)>=") +
                       mesSql(m.de);
            }};
}

const FormaDaSoma& recebidoOrcamentario() {
    static const FormaDaSoma f{
        QStringLiteral("sum(r.varec)"),
        QStringLiteral("receit r inner join recdis f on f.ficha=r.ficha"),
        {},
        QStringLiteral("r.dtlan"),
        [](const QString& w, Meses m) {
            return QStringLiteral("Select sum(r.varec) as total from receit r inner join recdis f "
                                  "on f.ficha=r.ficha where (") +
                   w + QStringLiteral(")   and extract(month from r.dtlan)<=") + mesSql(m.ate);
        }};
    return f;
}

const FormaDaSoma& recebidoExtraOrcamentario() {
    static const FormaDaSoma f{
        QStringLiteral("sum(varec)"),
        QStringLiteral("receit r left join recdis f on f.ficha=r.ficha"),
        QStringLiteral("f.extra='S'"), QStringLiteral("r.dtlan"), [](const QString& w, Meses m) {
            return QStringLiteral("Select sum(varec) as total from receit r left join recdis f on "
                                  "f.ficha=r.ficha where (f.extra='S') and ") +
                   w + QStringLiteral("  and extract(month from r.dtlan)<=") + mesSql(m.ate);
        }};
    return f;
}

const FormaDaSoma& saldoInicialDoRegime() {
    static const FormaDaSoma f{
        QStringLiteral("sum(saldoinicial)"),
        QStringLiteral("descon"),
        QStringLiteral("descon.tipo='PR'"),
        {},
        [](const QString& w, Meses) {
            return QStringLiteral("Select sum(saldoinicial) as Saldo  from descon  where "
                                  "descon.tipo='PR' and ") +
                   w + QLatin1Char(' ');
        }};
    return f;
}

const FormaDaSoma& pagoOrcamentario() {
    static const FormaDaSoma f{
        QStringLiteral("sum(v.vapag)"),
        QStringLiteral("viewvapag v inner join desdis f on f.ficha=v.ficha"),
        QStringLiteral("f.EXTRA='N'"), QStringLiteral("v.dtpag"), [](const QString& w, Meses m) {
            return QStringLiteral("Select sum(v.vapag) as total from viewvapag v inner join "
                                  "desdis f on f.ficha=v.ficha where f.EXTRA='N' and ") +
                   w + QStringLiteral("  and extract(month from v.dtpag)<=") + mesSql(m.ate);
        }};
    return f;
}

const FormaDaSoma& pagoExtraOrcamentario() {
    static const FormaDaSoma f{
        QStringLiteral("sum(v.vapag)"),
        QStringLiteral("viewvapag v  inner join desdis f on f.ficha=v.ficha"),
        QStringLiteral("f.extra='S'"), QStringLiteral("v.dtpag"), [](const QString& w, Meses m) {
            return QStringLiteral("Select sum(v.vapag) as total from viewvapag v  inner join "
                                  "desdis f on f.ficha=v.ficha  where ") +
                   w + QStringLiteral("  and (f.extra='S')  and extract(month from v.dtpag)<=") +
                   mesSql(m.ate);
        }};
    return f;
}

FormaDaSoma inscricaoEmRestosAPagar(const QString& exercicio) {
    const QString origem = QStringLiteral("calcula_apagar('31.12.") + exercicio +
                           QStringLiteral("') v inner join desdis on desdis.ficha=v.ficha");
    return {QStringLiteral("sum(apagar)"),
            origem,
            QStringLiteral("desdis.extra='N'"),
            {},
            [=](const QString& w, Meses) {
                return QStringLiteral("Select sum(apagar)AS TOTAL from ") + origem +
                       QStringLiteral(" WHERE desdis.extra='N' AND ") + w + QLatin1Char(' ');
            }};
}

const FormaDaSoma& saldoDasContas() {
    static const FormaDaSoma f{
        QStringLiteral("sum(o.credi-o.debit)"),
        QStringLiteral("ordcai o  inner join descon c on c.conta=o.conta"),
        {},
        QStringLiteral("o.dtlan"),
        [](const QString& w, Meses m) {
            return QStringLiteral("Select sum(o.credi-o.debit) as Total from ordcai o  inner join "
                                  "descon c on c.conta=o.conta  where ") +
                   w + QStringLiteral("  and extract(month from o.dtlan)<=") + mesSql(m.ate);
        }};
    return f;
}

QString condicaoDeOutras(const QString& tipo) {
    return QStringLiteral("(f.tipo='") + tipo + QLatin1Char('\'') +
           QStringLiteral(" and f.codre not like '1210.29.01%' ") +
           QStringLiteral(" and f.codre not like '1210.29.02%' ") +
           QStringLiteral(" and f.codre not like '1210.29.03%' ") +
           QStringLiteral(" and f.codre not like '13%' ") +
           QStringLiteral(" and f.codre not like '22%' ") +
           QStringLiteral(" and f.codre not like '9%'  ") +
           QStringLiteral(" and f.codre not like '1210.46%' )");
}

} // namespace nq::anexo4
