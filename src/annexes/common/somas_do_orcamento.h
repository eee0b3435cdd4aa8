#pragma once

#include "annexes/common/plano_figuras.h"

#include <QChar>
#include <QString>

namespace nq {

// Aggregate statements that several annexes run word for word, each with the
// line's condition W left open. Keeping one copy keeps their texts equal, so
// the plan answers a figure two annexes share the same way.

// "select sum(totor) as previsao from recdis where W"
const FormaDaSoma& previsaoInicial();
// "select sum(dotac) as previsao from desdis where W"
const FormaDaSoma& dotacaoInicial();
// The commitments of a bimester (months de..ate), `rf` the launcher's
// reserve-commitment condition written before W:
// "select sum(d.vadem) as empenhadobimestre from despes d  where rf W and
//  extract(month from d.datae)<=ate and extract(month from d.datae)>=de"
FormaDaSoma empenhadoNoBimestre(const QString& rf);
// The forecast changes of one sign ('>' raises, '<' cuts) up to a month, the
// item joined by its key:
// "select sum(a.valor) as atualmais from recalp a inner join recdis f on
//  f.ficha=a.ficha where W and a.valor>0 and extract(month from a.dtlan)<=ate"
FormaDaSoma atualizacaoDaPrevisao(QChar sinal);
// The revenue of a run of months, the item joined by its key:
// "select sum(r.varec) as bimestre from receit r inner join recdis f on
//  f.ficha=r.ficha where W and extract(month from r.dtlan)>=de and ...<=ate"
const FormaDaSoma& arrecadadoNoBimestre();

// A month number as the statements write it: decimal, no leading zero.
QString mesSql(int mes);
// The months of bimester `k` (2k − 1 to 2k), and those from January to its end.
inline Meses doBimestre(int k) {
    return {2 * k - 1, 2 * k};
}
inline Meses ateOBimestre(int k) {
    return {1, 2 * k};
}

} // namespace nq
