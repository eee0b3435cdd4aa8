#include "annexes/anexo5/formas_anexo5.h"

#include "annexes/common/somas_do_orcamento.h"

namespace nq::anexo5 {

namespace {

// A statement written "antes W depois", followed by the last month when it
// limits a date.
FormaDaSoma forma(const char* soma, const char* origem, const char* fixa, const char* data,
                  const char* antes, const char* depois) {
    const QString a = QString::fromUtf8(antes);
    const QString d = QString::fromUtf8(depois);
    const bool porMes = *data != '\0';
    return {QString::fromUtf8(soma), QString::fromUtf8(origem), QString::fromUtf8(fixa),
            QString::fromUtf8(data), [=](const QString& w, Meses m) {
                return a + w + d + (porMes ? mesSql(m.ate) : QString());
            }};
}

// The receipts of the items a condition on RECDIS selects, by the receipt's
// own date (DTREC) or none.
Etapas receitasDosItens(const char* data) {
    return {{QStringLiteral("RECEIT"),
             QStringLiteral("FICHA"),
             QString::fromLatin1(data),
             {QStringLiteral("VAREC")},
             {}},
            QStringLiteral("RECDIS"),
            QStringLiteral("RECDIS.FICHA"),
            {}};
}

} // namespace

const FormaDaSoma& alteracaoDaDotacao() {
    static const FormaDaSoma f = [] {
        FormaDaSoma a =
            forma("sum(b.valor)", "desald b inner join desdis f on f.ficha=b.ficha", "", "b.dtlan",
                  "select sum(b.valor) as atualmais from desald b inner join desdis f on "
                  "f.ficha=b.ficha where ",
                  " and extract(month from b.dtlan)<=");
        a.etapas = Etapas{lancamentos::alteracoesDaDotacao(),
                          QStringLiteral("desdis f"),
                          QStringLiteral("f.ficha"),
                          {}};
        return a;
    }();
    return f;
}

FormaDaSoma liquidadoNoBimestre(const QString& rf, const QString& apelido) {
    return {QStringLiteral("sum(l.vadem)"),
            QStringLiteral("viewliq l inner join despes d on d.pkemp=l.pkemp"),
            rf + QStringLiteral(" 1=1"),
            QStringLiteral("l.datae"),
            [=](const QString& w, Meses m) {
                return QStringLiteral("select sum(l.vadem) as ") + apelido +
                       QStringLiteral(" from viewliq l inner join despes d on d.pkemp=l.pkemp  "
                                      "where ") +
                       rf + w + QStringLiteral(" and extract(month from l.datae)>=") +
                       mesSql(m.de) + QStringLiteral(" and extract(month from l.datae)<=") +
                       mesSql(m.ate);
            },
            Etapas{lancamentos::liquidacoes(), QStringLiteral("despes d"),
                   QStringLiteral("d.pkemp"), rf + QStringLiteral(" 1=1")}};
}

const FormaDaSoma& creditosAteOMes() {
    static const FormaDaSoma f = forma("sum(valor)", "desald", "valor>0", "dtlan",
                                       "select sum(valor) as VALOR from desald where valor>0 and ",
                                       " and extract(month from dtlan)<=");
    return f;
}

const FormaDaSoma& creditosNoBimestre() {
    static const FormaDaSoma f{
        QStringLiteral("sum(valor)"), QStringLiteral("desald"), QStringLiteral("valor>0"),
        QStringLiteral("dtlan"), [](const QString& w, Meses m) {
            return QStringLiteral("select sum(valor) as TOTAL from desald  where valor>0 and ") +
                   w + QStringLiteral(" and extract(month from dtlan)>=") + mesSql(m.de) +
                   QStringLiteral(" and extract(month from dtlan)<=") + mesSql(m.ate);
        }};
    return f;
}

const FormaDaSoma& dividaConsolidadaAnterior() {
    static const FormaDaSoma f =
        forma("Sum(CREDI)-Sum(DEBIT)", "condia", "", "",
              "Select Sum(CREDI)-Sum(DEBIT) as Total from condia where ", "");
    return f;
}

const FormaDaSoma& dividaConsolidada() {
    static const FormaDaSoma f =
        forma("(sum(CREDI) - sum(DEBIT))", "CONDIA", "", "datae",
              "Select (sum(CREDI) - sum(DEBIT)) as Total from CONDIA  where ",
              " and  extract(Month from datae)<=");
    return f;
}

const FormaDaSoma& saldoInicialDasContas() {
    static const FormaDaSoma f{QStringLiteral("Sum(SALDOINICIAL)"),
                               QStringLiteral("DESCON"),
                               {},
                               {},
                               [](const QString&, Meses) {
                                   return QStringLiteral(
                                       "Select Sum(SALDOINICIAL)as Total from DESCON ");
                               }};
    return f;
}

const FormaDaSoma& saldoDasContas() {
    static const FormaDaSoma f{
        QStringLiteral("(sum(CREDI)-sum(DEBIT))"),
        QStringLiteral("ORDCAI"),
        {},
        QStringLiteral("dtlan"),
        [](const QString&, Meses m) {
            return QStringLiteral("Select (sum(CREDI)-sum(DEBIT)) as Total from ORDCAI  WHERE  "
                                  "extract(Month from dtlan)<=") +
                   mesSql(m.ate);
        }};
    return f;
}

const FormaDaSoma& haveresAnteriores() {
    static const FormaDaSoma f = forma(
        "Sum(DEBIT)-Sum(CREDI)", "CONDIA", "(IE=1 OR IE=2 OR IE=3)", "",
        "Select Sum(DEBIT)-Sum(CREDI) as Total from CONDIA WHERE ", " AND (IE=1 OR IE=2 OR IE=3)");
    return f;
}

const FormaDaSoma& haveres() {
    static const FormaDaSoma f =
        forma("(sum(DEBIT)-sum(CREDI))", "CONDIA", "", "datae",
              "Select (sum(DEBIT)-sum(CREDI)) as Total from CONDIA  WHERE ",
              " and extract(Month from datae)<=");
    return f;
}

const FormaDaSoma& restosProcessadosAnteriores() {
    static const FormaDaSoma f = forma(
        "Sum(CREDI)-Sum(DEBIT)", "CONDIA", "(IE=1 OR IE=2 OR IE=3)", "",
        "Select Sum(CREDI)-Sum(DEBIT) as Total from CONDIA WHERE ", " AND (IE=1 OR IE=2 OR IE=3)");
    return f;
}

FormaDaSoma restosProcessados(const QString& data) {
    const QString origem = QStringLiteral("CALCULA_APAGAR('") + data +
                           QStringLiteral("') A INNER JOIN DESDIS ON DESDIS.FICHA=A.FICHA");
    return {QStringLiteral("SUM(APAGAR)"), origem, {}, {}, [=](const QString& w, Meses) {
                return QStringLiteral("SELECT SUM(APAGAR) Total FROM ") + origem +
                       QStringLiteral(" WHERE ") + w + QLatin1Char(' ');
            }};
}

const FormaDaSoma& privatizacoesAnteriores() {
    static const FormaDaSoma f = [] {
        FormaDaSoma a = forma(
            "Sum(VAREC)", "RECEIT INNER JOIN RECDIS ON RECDIS.FICHA=RECEIT.FICHA", "", "",
            "Select Sum(VAREC) as Total from RECEIT INNER JOIN RECDIS ON RECDIS.FICHA=RECEIT.FICHA "
            "WHERE ",
            "");
        a.etapas = receitasDosItens("");
        return a;
    }();
    return f;
}

const FormaDaSoma& privatizacoes() {
    static const FormaDaSoma f = [] {
        FormaDaSoma a = forma("sum(VAREC)", "RECEIT INNER JOIN RECDIS ON RECDIS.FICHA=RECEIT.FICHA",
                              "", "RECEIT.DTREC",
                              "Select sum(VAREC) as Total from RECEIT INNER JOIN RECDIS ON "
                              "RECDIS.FICHA=RECEIT.FICHA  "
                              "WHERE ",
                              " AND extract(Month from RECEIT.DTREC)<=");
        a.etapas = receitasDosItens("DTREC");
        return a;
    }();
    return f;
}

const FormaDaSoma& passivosAnteriores() {
    static const FormaDaSoma f =
        forma("(sum(credi)-Sum(debit))", "condia", "(ie=1 or ie=2 or ie=3)", "",
              "Select (sum(credi)-Sum(debit)) as total from condia where ",
              " and (ie=1 or ie=2 or ie=3)");
    return f;
}

const FormaDaSoma& passivos() {
    static const FormaDaSoma f = forma("sum(credi)-sum(debit)", "condia", "", "datae",
                                       "Select sum(credi)-sum(debit) as total from condia where ",
                                       " and extract(month from datae)<=");
    return f;
}

} // namespace nq::anexo5
