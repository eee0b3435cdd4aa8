#pragma once

#include "report/gerador.h"
#include "report/pagina.h"

#include <functional>
#include <optional>

namespace nq {

// Cuts the sections' strips into pages: page bands on every page, a band that does not fit
// moved to the next page, kept-together groups, reprinted group headers, stretchables
// continued where they stopped.
class Paginador {
public:
    Paginador(Execucao& execucao, GeradorDeFaixas& gerador, const Papel& papel,
              std::function<void(Pagina&&)> recebe);

    void pagina(Secao& secao);
    // A page with nothing from the layout (a report without data).
    void paginaEmBranco();
    // A command added to the first page of the run (the "no data" text).
    void acrescentaNaPrimeiraPagina(ComandoDeDesenho comando);
    // Hands over the page held back, marked as the last one.
    void termina();
    bool atingiuOLimite() const;

private:
    struct Cabecalhos {
        int topoDoCorpo = 0;
        int limiteDoCorpo = 0;
    };
    Cabecalhos poeBandasDePagina(const TppCustomReport& r, Pagina& pagina);
    void poe(Pagina& pagina, const Faixa::Elemento& e, int dy, int inicio, int fim);
    int escolheCorte(const Faixa& f, int p, int espaco) const;
    Pagina novaPagina();
    void entrega(Pagina&& pagina);

    Execucao& ex_;
    GeradorDeFaixas& gerador_;
    Papel papel_;
    std::function<void(Pagina&&)> recebe_;
    std::optional<Pagina> retida_; // handed over when the next one comes, to mark the last
    std::vector<ComandoDeDesenho> paraOPrimeiro_;
    int entregues_ = 0;
    std::vector<Faixa::Intervalo> atomicos_; // of the strip being cut, by start
};

} // namespace nq
