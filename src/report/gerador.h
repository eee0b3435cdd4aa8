#pragma once

#include "report/execucao.h"
#include "report/faixa.h"

#include <vector>

namespace nq {

// A stretch of pages under the page bands of one report: the main report's body, or a
// subreport printed as a section of its own.
struct Secao {
    const TppCustomReport* relatorio = nullptr;
    Faixa corpo;
    bool reiniciaNumeracao = false;
};

// Generates bands into strips: title, groups, details and summary in their order, with
// variables calculated and subreports grown inside their bands.
class GeradorDeFaixas {
public:
    GeradorDeFaixas(Execucao& execucao, int esquerda, int largura)
        : ex_(execucao), esquerdaDaPagina_(esquerda), larguraDaPagina_(largura) {}

    // The sections of the main report (more than one when subreports print as sections).
    // `comDetalhes` false leaves the detail band out (a report without data).
    std::vector<Secao> geraPrincipal(TppReport& r, bool comDetalhes);

    // One instance of a band at its report's left edge, from y 0.
    Faixa geraBanda(TppBand& banda, int esquerda, int largura);

private:
    Faixa geraRelatorio(TppCustomReport& r, int esquerda, int largura, bool comDetalhes);
    // The whole content of a stretchable, from y 0 (the band clips it when it may not grow).
    Faixa geraEsticavel(TppStretchable& c, int esquerda, int largura);
    void fechaSecao(Faixa& corpo);

    Execucao& ex_;
    int esquerdaDaPagina_;
    int larguraDaPagina_;
    // Set while generating the main report: where its sections go.
    std::vector<Secao>* secoes_ = nullptr;
    const TppCustomReport* principal_ = nullptr;
    std::vector<Secao> secoesPendentes_;
    // The main report's detail band and the master record it prints (0-based in run
    // order; -1 without a record): its data components carry that number to the devices.
    const TppBand* detalhePrincipal_ = nullptr;
    int registroDoMestre_ = -1;
};

} // namespace nq
