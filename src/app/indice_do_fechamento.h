#pragma once

#include <QString>

namespace nq {

struct ResumoDoFechamento;

// The close's summary as one self-contained HTML page (no external resource):
// entity, period, each report's status with links to its PDF and CSV (beside
// the page), the key figures, the checks. Written atomically; throws nq::Erro.
void gravaIndiceDoFechamento(const QString& arquivo, const ResumoDoFechamento& resumo);

// The page's text.
QString indiceDoFechamento(const ResumoDoFechamento& resumo);

} // namespace nq
