#include "annexes/gestao_fiscal/formas_gestao.h"

namespace nq {

namespace {

const QString Caixa = QStringLiteral("ORDCAI LEFT JOIN DESCON ON DESCON.CONTA=ORDCAI.CONTA");
const QString PrimeiroDeJaneiro =
    QStringLiteral("EXTRACT(MONTH FROM ORDCAI.DTLAN)=1 AND EXTRACT(DAY FROM ORDCAI.DTLAN)=1");

// Each cash movement is its own posting: the items are the rows of the
// statement's own FROM, the left join's unmatched movements included.
Etapas movimentosDeCaixa(const QString& fixa) {
    return {
        lancamentos::dosItens({}, {QStringLiteral("ORDCAI.CREDI"), QStringLiteral("ORDCAI.DEBIT")}),
        Caixa, QStringLiteral("ORDCAI.NUMORD"), fixa};
}

// Each journal entry is its own posting.
Etapas lancamentosDoDiario(const QString& data, const QString& fixa) {
    return {lancamentos::dosItens(data, {QStringLiteral("CREDI"), QStringLiteral("DEBIT")}),
            QStringLiteral("CONDIA"), QStringLiteral("NUMDIA"), fixa};
}

QString somaDeCaixa(bool parenteses) {
    return parenteses ? QStringLiteral("(SUM(ORDCAI.CREDI)-SUM(ORDCAI.DEBIT))")
                      : QStringLiteral("SUM(ORDCAI.CREDI)-SUM(ORDCAI.DEBIT)");
}

// "SELECT <soma> AS SALDO FROM ORDCAI LEFT JOIN DESCON ON ... WHERE W"; no
// WHERE for the total.
FormaDaSoma caixaDoAno(bool parenteses) {
    const QString soma = somaDeCaixa(parenteses);
    return {soma,
            Caixa,
            {},
            {},
            [soma](const QString& w, Meses) {
                QString sql =
                    QStringLiteral("SELECT ") + soma + QStringLiteral(" AS SALDO FROM ") + Caixa;
                if (!w.isEmpty())
                    sql += QStringLiteral(" WHERE ") + w;
                return sql;
            },
            movimentosDeCaixa({})};
}

// "... ON DESCON.CONTA=ORDCAI.CONTA  WHERE <1 January> AND W", with a blank
// after it where the row's statement has one.
FormaDaSoma caixaDaAbertura(bool parenteses, bool brancoFinal) {
    const QString soma = somaDeCaixa(parenteses);
    return {soma,
            Caixa,
            PrimeiroDeJaneiro,
            {},
            [=](const QString& w, Meses) {
                QString sql = QStringLiteral("SELECT ") + soma + QStringLiteral(" AS SALDO FROM ") +
                              Caixa + QStringLiteral("  WHERE ") + PrimeiroDeJaneiro;
                if (!w.isEmpty())
                    sql += QStringLiteral(" AND ") + w;
                if (brancoFinal)
                    sql += QLatin1Char(' ');
                return sql;
            },
            movimentosDeCaixa(PrimeiroDeJaneiro)};
}

QString contaDeCaixa(const char* prefixo) {
    return QStringLiteral("DESCON.BALCO LIKE '%1%'").arg(QLatin1String(prefixo));
}

} // namespace

QString condicaoDoRazao(const QString& prefixo) {
    return QStringLiteral("BALCO LIKE '") + prefixo + QStringLiteral("%'");
}

const FormaDaSoma& saldoDoDiario() {
    static const FormaDaSoma f{QStringLiteral("SUM(CREDI) - SUM(DEBIT)"),
                               QStringLiteral("CONDIA"),
                               {},
                               QStringLiteral("DATAE"),
                               [](const QString& w, Meses m) {
                                   return QStringLiteral("SELECT SUM(CREDI) - SUM(DEBIT) SALDO "
                                                         "FROM CONDIA WHERE ") +
                                          w + QStringLiteral(" AND EXTRACT(MONTH FROM DATAE)<=") +
                                          QString::number(m.ate);
                               },
                               lancamentosDoDiario(QStringLiteral("DATAE"), {})};
    return f;
}

const FormaDaSoma& aberturaDoDiario() {
    static const FormaDaSoma f{QStringLiteral("SUM(CREDI)- SUM(DEBIT)"),
                               QStringLiteral("CONDIA"),
                               QStringLiteral("IE IN (1,2,3)"),
                               {},
                               [](const QString& w, Meses) {
                                   return QStringLiteral("SELECT SUM(CREDI)- SUM(DEBIT) AS SALDO "
                                                         "FROM CONDIA WHERE ") +
                                          w + QStringLiteral(" AND IE IN (1,2,3)");
                               },
                               lancamentosDoDiario({}, QStringLiteral("IE IN (1,2,3)"))};
    return f;
}

const std::vector<SaldosDeCaixa>& saldosDeCaixa() {
    static const std::vector<SaldosDeCaixa> linhas = {
        // The cash row's opening balance is read from prefix 3115, not 3111.
        {QStringLiteral("00400"), caixaDoAno(true), contaDeCaixa("3111"),
         caixaDaAbertura(true, false), contaDeCaixa("3115")},
        {QStringLiteral("00410"), caixaDoAno(false), contaDeCaixa("3112"),
         caixaDaAbertura(false, true), contaDeCaixa("3112")},
        {QStringLiteral("00420"), caixaDoAno(false), contaDeCaixa("3113"),
         caixaDaAbertura(false, false), contaDeCaixa("3113")},
        {QStringLiteral("00430"), caixaDoAno(false), contaDeCaixa("3121"),
         caixaDaAbertura(false, false), contaDeCaixa("3121")},
        {QStringLiteral("00440"), caixaDoAno(false), contaDeCaixa("3114"),
         caixaDaAbertura(false, false), contaDeCaixa("3114")},
        {QStringLiteral("00450"), caixaDoAno(false), {}, caixaDaAbertura(false, false), {}},
    };
    return linhas;
}

FormaDaSoma empenhosDeRestos(const QString& rf) {
    static const QString origem =
        QStringLiteral("DESPES LEFT JOIN DESDIS ON DESDIS.FICHA=DESPES.FICHA");
    QString fixa = rf;
    if (fixa.endsWith(QStringLiteral(" AND ")))
        fixa.chop(5);
    return {QStringLiteral("SUM(VADEM)"),
            origem,
            fixa,
            {},
            [rf](const QString& w, Meses) {
                return QStringLiteral("SELECT SUM(VADEM) AS SALDO FROM ") + origem +
                       QStringLiteral(" WHERE ") + rf + w;
            },
            // Each commitment is its own posting, the left join's included.
            Etapas{lancamentos::dosItens({}, {QStringLiteral("VADEM")}), origem,
                   QStringLiteral("DESPES.PKEMP"), fixa}};
}

QString condicaoDeRestos() {
    return QStringLiteral("DESDIS.BALCO LIKE '3211%'");
}

} // namespace nq
