#pragma once

#include "annexes/common/plano_figuras.h"

#include <QString>

namespace nq::anexo5 {

// The statements of annex 5 that no other annex runs, each with its
// condition W left open (the line's condition for the expenditure lines; the
// account or item condition of the fixed figures).

// "select sum(b.valor) as atualmais from desald b inner join desdis f on
//  f.ficha=b.ficha where W and extract(month from b.dtlan)<=ate"
const FormaDaSoma& alteracaoDaDotacao();
// The liquidations of a bimester, `rf` the launcher's reserve-commitment
// condition before W; `apelido` names the column ("empliqbimestre" this
// year, "bimestre" for the previous one).
FormaDaSoma liquidadoNoBimestre(const QString& rf, const QString& apelido);
// Appropriations opened from earlier years' balances (W "IE=3"): up to a
// month, and in one bimester.
const FormaDaSoma& creditosAteOMes();
const FormaDaSoma& creditosNoBimestre();

// The fiscal net debt, line by line: the previous exercise's figure (no
// month) and the balance up to a month.
const FormaDaSoma& dividaConsolidadaAnterior();
const FormaDaSoma& dividaConsolidada();
const FormaDaSoma& saldoInicialDasContas(); // W empty: every account
const FormaDaSoma& saldoDasContas();        // W empty: every account
const FormaDaSoma& haveresAnteriores();
const FormaDaSoma& haveres();
const FormaDaSoma& restosProcessadosAnteriores();
// Processed commitments still to be paid at the day `data` (dd.mm.yyyy).
FormaDaSoma restosProcessados(const QString& data);
const FormaDaSoma& privatizacoesAnteriores();
const FormaDaSoma& privatizacoes();
const FormaDaSoma& passivosAnteriores();
const FormaDaSoma& passivos();

} // namespace nq::anexo5
