#pragma once

#include "report/execucao.h"
#include "report/faixa.h"
#include "report/paginador.h"

#include <unordered_map>
#include <vector>

namespace nq {

// Generates bands into strips: title, groups, details and summary in their order, with
// variables calculated and subreports grown inside their bands.
class GeradorDeFaixas {
public:
    GeradorDeFaixas(Execucao& execucao, int esquerda, int largura)
        : ex_(execucao), esquerdaDaPagina_(esquerda), larguraDaPagina_(largura) {}

    // The main report into `paginador`, section by section (more than one when subreports
    // print as sections), its body paged while it is generated. `comDetalhes` false leaves
    // the detail band out (a report without data).
    void geraPrincipal(TppReport& r, bool comDetalhes, Paginador& paginador);

    // One instance of a band at its report's left edge, from y 0.
    Faixa geraBanda(TppBand& banda, int esquerda, int largura);

private:
    // A band's component as geraBanda meets it, its kind found once for the run.
    struct Componente {
        TppComponent* componente;
        int topo; // mmTop when the band was sorted: a handler that moves one sorts it again
        TppStretchable* esticavel;
        TppSubReport* subrelatorio;
        TppCustomGraphic* grafico;
        TppCustomText* texto;
        bool deDados; // prints a value of the data: carries the record to the devices
    };
    // The band's components in the order of their tops (in the layout's order where equal).
    const std::vector<Componente>& componentes(const TppBand& b);

    // The whole body of a report from y 0; the main report's goes to the paginator instead
    // (and the strip returned is empty).
    Faixa geraRelatorio(TppCustomReport& r, int esquerda, int largura, bool comDetalhes);
    // The whole content of a stretchable, from y 0 (the band clips it when it may not grow).
    Faixa geraEsticavel(TppStretchable& c, int esquerda, int largura);
    // Ends the main report's open section (when it holds something, or is the first) and
    // pages the sections of subreports waiting behind it; the main report goes on in a new
    // section.
    void fechaSecao();
    // Ends the main report's last section.
    void terminaPrincipal();

    Execucao& ex_;
    int esquerdaDaPagina_;
    int larguraDaPagina_;
    // Set while generating the main report: where its pages go.
    Paginador* paginador_ = nullptr;
    const TppCustomReport* principal_ = nullptr;
    int secoesPaginadas_ = 0;
    int proximoGrupo_ = 0; // ids of the main report's open groups
    std::vector<Secao> secoesPendentes_;
    // The main report's detail band and the master record it prints (0-based in run
    // order; -1 without a record): its data components carry that number to the devices.
    const TppBand* detalhePrincipal_ = nullptr;
    int registroDoMestre_ = -1;
    std::unordered_map<const TppBand*, std::vector<Componente>> bandas_;
};

} // namespace nq
