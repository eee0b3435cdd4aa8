#pragma once

#include "annexes/common/plano_figuras.h"

#include <QString>

namespace nq {

// The aggregate statements of the fiscal-management report, each with the
// line's condition W left open and its text exactly as the report runs it.

// The condition of a ledger prefix: "BALCO LIKE '<prefixo>%'".
QString condicaoDoRazao(const QString& prefixo);

// The journal balance up to a month (months {1, M}):
// "SELECT SUM(CREDI) - SUM(DEBIT) SALDO FROM CONDIA WHERE W AND EXTRACT(MONTH FROM DATAE)<=M"
const FormaDaSoma& saldoDoDiario();
// The balance of the opening entries:
// "SELECT SUM(CREDI)- SUM(DEBIT) AS SALDO FROM CONDIA WHERE W AND IE IN (1,2,3)"
const FormaDaSoma& aberturaDoDiario();

// The two cash statements of a row of the year-end cash block: the balance over
// the whole year's movements and the one of the movements dated 1 January, and
// the condition W of each (empty for the total: every account).
struct SaldosDeCaixa {
    QString id;
    FormaDaSoma doAno;
    QString condicaoDoAno;
    FormaDaSoma daAbertura;
    QString condicaoDaAbertura;
};
// Rows 00400 to 00450, in order. Their texts differ in small ways (brackets,
// blanks), each kept as the row has it.
const std::vector<SaldosDeCaixa>& saldosDeCaixa();

// The commitments of the items of the carried-over accounts, W
// "DESDIS.BALCO LIKE '3211%'": "SELECT SUM(VADEM) AS SALDO FROM DESPES LEFT
// JOIN DESDIS ON DESDIS.FICHA=DESPES.FICHA WHERE " + rf + W, `rf` the
// reserve-commitment condition on DESPES (empty when they are shown).
FormaDaSoma empenhosDeRestos(const QString& rf);
QString condicaoDeRestos();

} // namespace nq
