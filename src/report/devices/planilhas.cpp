#include "report/devices/planilhas.h"

#include "report/devices/biff8.h"
#include "report/devices/lotus.h"

namespace nq {

void DispositivoDePlanilha::iniciaTrabalho(const TrabalhoDeImpressao&) {
    grade_ = GradeDePlanilha(local_);
}

void DispositivoDePlanilha::recebePagina(const Pagina& pagina) {
    grade_.acrescentaPagina(pagina);
}

void DispositivoDePlanilha::terminaTrabalho() {
    const QByteArray dados = conteudo(grade_.celulas());
    grade_ = GradeDePlanilha(local_);
    gravaArquivo(arquivo(), dados);
}

QByteArray DispositivoExcel::conteudo(const std::vector<Celula>& celulas) const {
    return pastaDeTrabalhoXls(celulas);
}

QByteArray DispositivoLotus::conteudo(const std::vector<Celula>& celulas) const {
    return planilhaLotus(celulas, PlanilhaLotus::Lotus123);
}

QByteArray DispositivoQuattro::conteudo(const std::vector<Celula>& celulas) const {
    return planilhaLotus(celulas, PlanilhaLotus::Quattro);
}

} // namespace nq
