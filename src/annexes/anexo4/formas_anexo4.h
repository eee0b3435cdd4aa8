#pragma once

#include "annexes/common/plano_figuras.h"

#include <QString>

namespace nq::anexo4 {

// The statements of annex 4 that no other annex runs, each with its
// condition W left open. W is the line's condition for the revenue and
// expenditure lines, and the part that names the line's TIPO (or the account
// kind) for the financial lines, which have no stored condition.

// Revenues: "select sum(f.totor) as previsao from recdis f where W".
const FormaDaSoma& previsaoDaFicha();

// Expenditures: the appropriation record joined to itself as d and f.
const FormaDaSoma& dotacaoDaFicha();
const FormaDaSoma& alteracaoDaDotacaoDaFicha();
// Liquidations and commitments of a bimester, `rf` the launcher's
// reserve-commitment condition written before W.
FormaDaSoma liquidadoDaFichaNoBimestre(const QString& rf);
FormaDaSoma empenhadoDaFichaNoBimestre(const QString& rf);

// Financial receipts up to a month: budget receipts (W keeps its own
// precedence, "(codre …) or (TIPO …) and extra='N'") and extra-budget ones.
const FormaDaSoma& recebidoOrcamentario();
const FormaDaSoma& recebidoExtraOrcamentario();
// Opening balance of the regime's accounts of one kind (W the BALCO condition).
const FormaDaSoma& saldoInicialDoRegime();

// Financial payments up to a month.
const FormaDaSoma& pagoOrcamentario();
const FormaDaSoma& pagoExtraOrcamentario();
// Commitments still to be paid at the year's last day, `exercicio` (MEXER).
FormaDaSoma inscricaoEmRestosAPagar(const QString& exercicio);
// Balance of the accounts of one kind up to a month (W the BALCO and TIPO conditions).
const FormaDaSoma& saldoDasContas();

// The condition of the revenue line "Outras", made from the line's TIPO.
QString condicaoDeOutras(const QString& tipo);

} // namespace nq::anexo4
