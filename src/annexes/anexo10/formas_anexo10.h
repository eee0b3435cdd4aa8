#pragma once

#include "annexes/common/plano_figuras.h"

#include <QString>

namespace nq::anexo10 {

// The statements of annex 10, each for one month {m, m} with the line's
// condition W left open. `executivo`: the executive leaves out the entities of
// kind 2, a condition written between the month and W.

// "SELECT SUM(VADEM) VADEM FROM DESPES H INNER JOIN DESDIS ON
//  DESDIS.FICHA=H.FICHA WHERE EXTRACT(MONTH FROM DATAE)=m AND W"
FormaDaSoma empenhadoNoMes(bool executivo);
// "SELECT SUM(VAREC) VADEM FROM RECEIT INNER JOIN RECDIS ON
//  RECDIS.FICHA=RECEIT.FICHA WHERE EXTRACT(MONTH FROM DTLAN)=m AND W": W is the
// revenue line's condition without the "AND" it is stored with.
FormaDaSoma arrecadadoNoMes();
// "SELECT SUM(VAPAG) VADEM FROM VIEWVAPAG H INNER JOIN DESDIS ON
//  DESDIS.FICHA=H.FICHA WHERE EXTRACT(MONTH FROM DTPAG)=m AND W"
FormaDaSoma pagoNoMes(bool executivo);

// The condition of the PASEP accounts, whose payments join line "00090".
QString contasDoPasep();

} // namespace nq::anexo10
