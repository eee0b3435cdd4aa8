#include "annexes/anexo10/formas_anexo10.h"

#include "annexes/common/somas_do_orcamento.h"

namespace nq::anexo10 {

namespace {

const QString ForaDoExecutivo = QStringLiteral(
    "DESDIS.EMPRESA NOT IN (SELECT TABEMPRESA.EMPRESA FROM TABEMPRESA WHERE TABEMPRESA.TIPO = 2)");
const QString DespesasDaFicha =
    QStringLiteral("DESPES H INNER JOIN DESDIS ON DESDIS.FICHA=H.FICHA");

QString juncao(bool executivo) {
    return executivo ? QStringLiteral(" AND ") + ForaDoExecutivo + QStringLiteral(" AND ")
                     : QStringLiteral(" AND ");
}

// "<antes><month><entre>W". Every figure asks one month {m, m}; the text writes
// it as the first month of the run, which the plan reads as "= m" (a last month
// written alone reads as "up to m").
FormaDaSoma porMes(const QString& soma, const QString& origem, const QString& fixa,
                   const QString& data, const QString& antes, const QString& entre, Etapas etapas) {
    return {soma,
            origem,
            fixa,
            data,
            [=](const QString& w, Meses m) { return antes + mesSql(m.de) + entre + w; },
            std::move(etapas)};
}

} // namespace

FormaDaSoma empenhadoNoMes(bool executivo) {
    const QString fixa = executivo ? ForaDoExecutivo : QString();
    // Each commitment is its own posting.
    return porMes(QStringLiteral("SUM(VADEM)"), DespesasDaFicha, fixa, QStringLiteral("DATAE"),
                  QStringLiteral("SELECT SUM(VADEM) VADEM FROM ") + DespesasDaFicha +
                      QStringLiteral(" WHERE EXTRACT(MONTH FROM DATAE)="),
                  juncao(executivo),
                  Etapas{lancamentos::dosItens(QStringLiteral("DATAE"), {QStringLiteral("VADEM")}),
                         DespesasDaFicha, QStringLiteral("H.PKEMP"), fixa});
}

FormaDaSoma arrecadadoNoMes() {
    const QString origem = QStringLiteral("RECEIT INNER JOIN RECDIS ON RECDIS.FICHA=RECEIT.FICHA");
    return porMes(
        QStringLiteral("SUM(VAREC)"), origem, {}, QStringLiteral("DTLAN"),
        QStringLiteral("SELECT SUM(VAREC) VADEM FROM ") + origem +
            QStringLiteral(" WHERE EXTRACT(MONTH FROM DTLAN)="),
        QStringLiteral("AND "),
        Etapas{
            lancamentos::receitas(), QStringLiteral("RECDIS"), QStringLiteral("RECDIS.FICHA"), {}});
}

FormaDaSoma pagoNoMes(bool executivo) {
    const QString origem = QStringLiteral("VIEWVAPAG H INNER JOIN DESDIS ON DESDIS.FICHA=H.FICHA");
    const QString fixa = executivo ? ForaDoExecutivo : QString();
    return porMes(QStringLiteral("SUM(VAPAG)"), origem, fixa, QStringLiteral("DTPAG"),
                  QStringLiteral("SELECT SUM(VAPAG) VADEM FROM ") + origem +
                      QStringLiteral(" WHERE EXTRACT(MONTH FROM DTPAG)="),
                  juncao(executivo),
                  Etapas{lancamentos::pagamentos(), QStringLiteral("DESDIS"),
                         QStringLiteral("DESDIS.FICHA"), fixa});
}

QString contasDoPasep() {
    return QStringLiteral("DESDIS.BALCO LIKE '3236%' ");
}

} // namespace nq::anexo10
