#include "report/paginador.h"

#include "core/erro.h"
#include "report/motor.h"

#include <algorithm>

namespace nq {

namespace {

// How many pages, counting the one where a static detail band was first tried, may start
// without it before the run gives up.
constexpr int TentativasDeBandaEstatica = 4;

// The part of a graphic that follows its band's height lying between `inicio` and `fim`.
ComandoDeDesenho recortado(ComandoDeDesenho comando, int inicio, int fim) {
    if (auto* l = std::get_if<ComandoLinha>(&comando)) {
        l->y1 = std::clamp(l->y1, inicio, fim);
        l->y2 = std::clamp(l->y2, inicio, fim);
    } else if (auto* f = std::get_if<ComandoForma>(&comando)) {
        const int topo = std::max(f->caixa.topo, inicio);
        const int base = std::min(f->caixa.base(), fim);
        f->caixa.topo = topo;
        f->caixa.altura = base - topo;
    }
    return comando;
}

} // namespace

Paginador::Paginador(Execucao& execucao, GeradorDeFaixas& gerador, const Papel& papel,
                     std::function<void(Pagina&&)> recebe)
    : ex_(execucao), gerador_(gerador), papel_(papel), recebe_(std::move(recebe)) {}

bool Paginador::atingiuOLimite() const {
    const int limite = ex_.relatorio().PageLimit;
    return limite > 0 && ex_.paginaAbsoluta >= limite;
}

void Paginador::acrescentaNaPrimeiraPagina(ComandoDeDesenho comando) {
    paraOPrimeiro_.push_back(std::move(comando));
}

Pagina Paginador::novaPagina() {
    ++ex_.paginaAbsoluta;
    ++ex_.paginaRelativa;
    Pagina pg;
    pg.papel = papel_;
    pg.numero = ex_.paginaAbsoluta;
    pg.numeroRelativo = ex_.paginaRelativa;
    pg.primeira = pg.numero == 1;
    if (pg.primeira)
        pg.comandos = paraOPrimeiro_;
    if (ex_.relatorio().OnStartPage)
        ex_.relatorio().OnStartPage();
    return pg;
}

void Paginador::paginaEmBranco() {
    entrega(novaPagina());
}

void Paginador::entrega(Pagina&& pagina) {
    if (ex_.relatorio().OnEndPage)
        ex_.relatorio().OnEndPage();
    if (retida_)
        recebe_(std::move(*retida_));
    retida_ = std::move(pagina);
}

void Paginador::termina() {
    if (!retida_)
        return;
    retida_->ultima = true;
    recebe_(std::move(*retida_));
    retida_.reset();
}

void Paginador::poe(Pagina& pagina, const Faixa::Elemento& e, int dy, int inicio, int fim) {
    ComandoDeDesenho c = e.divisivel ? recortado(e.comando, inicio, fim) : e.comando;
    desloca(c, 0, dy);
    pagina.comandos.push_back(std::move(c));
}

Paginador::Cabecalhos Paginador::poeBandasDePagina(const TppCustomReport& r, Pagina& pagina) {
    const int esquerda = papel_.margemEsquerda;
    const int largura = papel_.largura - papel_.margemEsquerda - papel_.margemDireita;
    Cabecalhos c{papel_.margemSuperior, papel_.altura - papel_.margemInferior};
    auto poeBanda = [&](TppBandType tipo, bool emCima) {
        TppBand* b = r.banda(tipo);
        if (!b)
            return;
        const Faixa f = gerador_.geraBanda(*b, esquerda, largura);
        if (!emCima)
            c.limiteDoCorpo -= f.altura;
        const int y = emCima ? c.topoDoCorpo : c.limiteDoCorpo;
        for (const Faixa::Elemento& e : f.elementos)
            poe(pagina, e, y, 0, f.altura);
        if (emCima)
            c.topoDoCorpo += f.altura;
    };
    poeBanda(TppBandType::btHeader, true);
    poeBanda(TppBandType::btColumnHeader, true);
    poeBanda(TppBandType::btFooter, false);
    poeBanda(TppBandType::btColumnFooter, false);
    return c;
}

int Paginador::escolheCorte(const Faixa& f, int p, int espaco) const {
    const int limite = p + espaco;
    int c = f.altura;
    if (limite < f.altura) {
        // The lowest point at or above the limit that cuts through nothing indivisible.
        c = limite;
        for (bool mudou = true; mudou;) {
            mudou = false;
            auto it =
                std::lower_bound(atomicos_.begin(), atomicos_.end(), p,
                                 [](const Faixa::Intervalo& i, int v) { return i.inicio < v; });
            for (; it != atomicos_.end() && it->inicio < c; ++it)
                if (it->fim > c) {
                    c = it->inicio;
                    mudou = true;
                    break;
                }
        }
        if (c <= p)
            return p;
    }
    for (int q : f.quebrasDePagina)
        if (q > p && q < c)
            c = q;
    for (const Faixa::Grupo& g : f.grupos) {
        if (g.inicio <= p || g.inicio >= c)
            continue;
        // A kept group that does not fit on the rest of the page starts on the next one
        // (and, longer than a page, goes on from there).
        if (g.manterJunto && c < g.fim)
            c = g.inicio;
        else if (g.limiarNovaPagina > 0 && limite - g.inicio < g.limiarNovaPagina)
            c = g.inicio;
    }
    return c;
}

void Paginador::pagina(Secao& secao) {
    Faixa& f = secao.corpo;
    std::stable_sort(
        f.elementos.begin(), f.elementos.end(),
        [](const Faixa::Elemento& a, const Faixa::Elemento& b) { return a.topo < b.topo; });
    atomicos_ = f.indivisiveis;
    for (const Faixa::Elemento& e : f.elementos)
        if (!e.divisivel && e.base > e.topo)
            atomicos_.push_back({e.topo, e.base});
    std::sort(
        atomicos_.begin(), atomicos_.end(),
        [](const Faixa::Intervalo& a, const Faixa::Intervalo& b) { return a.inicio < b.inicio; });
    std::sort(f.grupos.begin(), f.grupos.end(),
              [](const Faixa::Grupo& a, const Faixa::Grupo& b) { return a.inicio < b.inicio; });
    if (secao.reiniciaNumeracao)
        ex_.paginaRelativa = 0;

    int p = 0;
    bool primeira = true;
    std::vector<const Faixa::Grupo*> reimprimir;
    struct Tentativa {
        int posicao;
        int pagina;
    };
    std::optional<Tentativa> tentativa;
    while ((primeira || p < f.altura) && !atingiuOLimite()) {
        primeira = false;
        Pagina pg = novaPagina();
        const Cabecalhos cab = poeBandasDePagina(*secao.relatorio, pg);
        const int espacoCheio = cab.limiteDoCorpo - cab.topoDoCorpo;
        if (espacoCheio <= 0)
            throw Erro(QStringLiteral("O cabeçalho e o rodapé ocupam a página inteira: não sobra "
                                      "espaço para o corpo do relatório \"%1\".")
                           .arg(ex_.relatorio().Name));
        int y = cab.topoDoCorpo;
        for (const Faixa::Grupo* g : reimprimir) {
            for (const Faixa::Elemento& e : g->cabecalho)
                poe(pg, e, y, 0, g->fimDoCabecalho - g->inicio);
            y += g->fimDoCabecalho - g->inicio;
        }
        const bool comReimpressao = !reimprimir.empty();
        reimprimir.clear();
        const int espaco = cab.limiteDoCorpo - y;
        int c = espaco > 0 ? escolheCorte(f, p, espaco) : p;
        if (c == p && p < f.altura && !comReimpressao) {
            const bool estatico =
                std::any_of(f.detalhesEstaticos.begin(), f.detalhesEstaticos.end(),
                            [p](const auto& i) { return i.inicio == p; });
            if (estatico) {
                if (!tentativa || tentativa->posicao != p)
                    tentativa = Tentativa{p, pg.numero};
                if (pg.numero - tentativa->pagina + 1 >= TentativasDeBandaEstatica) {
                    entrega(std::move(pg));
                    termina();
                    throw Erro(textos_do_motor::BandaEstatica);
                }
            } else {
                // Taller than any page: cut through it rather than never print it.
                c = p + espaco;
            }
        }
        if (c > p) {
            const int dy = y - p;
            int extra = 0; // a summary aligned to the bottom goes down to the body's limit
            const auto& fundo = f.inicioAlinhadoAoFundo;
            if (fundo && *fundo >= p && c == f.altura)
                extra = cab.limiteDoCorpo - (y + c - p);
            auto it = std::lower_bound(f.elementos.begin(), f.elementos.end(), p,
                                       [](const Faixa::Elemento& e, int v) { return e.topo < v; });
            for (; it != f.elementos.end() && it->topo < c; ++it)
                if (!it->divisivel)
                    poe(pg, *it, dy + (fundo && it->topo >= *fundo ? extra : 0), p, c);
            for (const Faixa::Elemento& e : f.elementos)
                if (e.divisivel && e.topo < c && (e.base > p || e.topo >= p))
                    poe(pg, e, dy, p, c);
            for (const Faixa::Grupo& g : f.grupos)
                if (g.reimprimirCabecalho && g.inicio < c && g.fimDoCabecalho <= c && c < g.fim)
                    reimprimir.push_back(&g);
            if (c < f.altura && (!tentativa || tentativa->posicao != c))
                tentativa = Tentativa{c, pg.numero};
            p = c;
        }
        entrega(std::move(pg));
    }
}

} // namespace nq
