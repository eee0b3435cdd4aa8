#pragma once

#include "report/execucao.h"
#include "report/faixa.h"
#include "report/pagina.h"

#include <functional>
#include <optional>

namespace nq {

class GeradorDeFaixas;

// A stretch of pages under the page bands of one report: the main report's body, or a
// subreport printed as a section of its own.
struct Secao {
    const TppCustomReport* relatorio = nullptr;
    Faixa corpo;
    bool reiniciaNumeracao = false;
};

// Cuts the sections' strips into pages: page bands on every page, a band that does not fit
// moved to the next page, kept-together groups, reprinted group headers, stretchables
// continued where they stopped.
//
// The open section's strip may still be growing: a page is cut as soon as the strip
// reaches beyond a whole paper's height below its top, where nothing appended later can
// change the cut, and what it takes leaves the strip. So a long report is paged while it
// is generated, in little memory, and gives the same pages as when cut at the end.
class Paginador {
public:
    Paginador(Execucao& execucao, GeradorDeFaixas& gerador, const Papel& papel,
              std::function<void(Pagina&&)> recebe);

    // Starts a section under the page bands of `r`; its strip is faixa(), empty.
    void abreSecao(const TppCustomReport& r, bool reiniciaNumeracao);
    Faixa& faixa() { return faixa_; }
    // Hands over the pages of the open section that can be cut already.
    void avanca();
    // The strip is complete: hands over the rest of the section, at least one page.
    void fechaSecao();
    // A whole section at once.
    void pagina(Secao&& secao);
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
    int escolheCorte(int espaco) const;
    void proximaPagina();
    Pagina novaPagina();
    void entrega(Pagina&& pagina);

    Execucao& ex_;
    GeradorDeFaixas& gerador_;
    Papel papel_;
    std::function<void(Pagina&&)> recebe_;
    std::optional<Pagina> retida_; // handed over when the next one comes, to mark the last
    std::vector<ComandoDeDesenho> paraOPrimeiro_;

    // The open section: what of its strip is not on a page yet, and where the next page
    // starts in it.
    const TppCustomReport* relatorio_ = nullptr;
    Faixa faixa_;
    bool completa_ = false;
    int p_ = 0;
    bool primeira_ = true;
    std::vector<Faixa::Grupo> reimprimir_; // headers to repeat at the top of the next page
    struct Tentativa {
        int posicao;
        int pagina;
    };
    std::optional<Tentativa> tentativa_;
};

} // namespace nq
