#include "report/paginador.h"

#include "core/erro.h"
#include "report/gerador.h"
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

bool antes(const Faixa::Elemento& a, const Faixa::Elemento& b) {
    return a.topo < b.topo;
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
    // Page bands read the pipelines where a finished run leaves them, though the body may
    // still be walking them.
    const Execucao::PosicoesDoFim posicoes(ex_);
    auto poeBanda = [&](TppBandType tipo, bool emCima) {
        TppBand* b = r.banda(tipo);
        if (!b)
            return;
        Faixa f = gerador_.geraBanda(*b, esquerda, largura);
        if (!emCima)
            c.limiteDoCorpo -= f.altura;
        const int y = emCima ? c.topoDoCorpo : c.limiteDoCorpo;
        for (Faixa::Elemento& e : f.elementos) {
            if (e.divisivel)
                e.comando = recortado(std::move(e.comando), 0, f.altura);
            desloca(e.comando, 0, y);
            pagina.comandos.push_back(std::move(e.comando));
        }
        if (emCima)
            c.topoDoCorpo += f.altura;
    };
    poeBanda(TppBandType::btHeader, true);
    poeBanda(TppBandType::btColumnHeader, true);
    poeBanda(TppBandType::btFooter, false);
    poeBanda(TppBandType::btColumnFooter, false);
    return c;
}

int Paginador::escolheCorte(int espaco) const {
    const Faixa& f = faixa_;
    const int p = p_;
    const int limite = p + espaco;
    int c = f.altura;
    if (limite < f.altura) {
        // The lowest point at or above the limit that cuts through nothing indivisible.
        std::vector<Faixa::Intervalo> atomicos;
        for (const Faixa::Intervalo& i : f.indivisiveis)
            if (i.inicio >= p && i.inicio < limite)
                atomicos.push_back(i);
        for (const Faixa::Elemento& e : f.elementos)
            if (!e.divisivel && e.base > e.topo && e.topo >= p && e.topo < limite)
                atomicos.push_back({e.topo, e.base});
        std::sort(atomicos.begin(), atomicos.end(),
                  [](const Faixa::Intervalo& a, const Faixa::Intervalo& b) {
                      return a.inicio < b.inicio;
                  });
        c = limite;
        for (bool mudou = true; mudou;) {
            mudou = false;
            for (auto it = atomicos.begin(); it != atomicos.end() && it->inicio < c; ++it)
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

void Paginador::abreSecao(const TppCustomReport& r, bool reiniciaNumeracao) {
    relatorio_ = &r;
    faixa_ = Faixa();
    completa_ = false;
    p_ = 0;
    primeira_ = true;
    reimprimir_.clear();
    tentativa_.reset();
    if (reiniciaNumeracao)
        ex_.paginaRelativa = 0;
}

void Paginador::avanca() {
    // A page's body is never taller than the paper: beyond that, the strip's end cannot
    // change where the page is cut.
    while (!completa_ && !atingiuOLimite() && faixa_.altura > p_ + papel_.altura)
        proximaPagina();
}

void Paginador::fechaSecao() {
    completa_ = true;
    while ((primeira_ || p_ < faixa_.altura) && !atingiuOLimite())
        proximaPagina();
    faixa_ = Faixa();
}

void Paginador::pagina(Secao&& secao) {
    abreSecao(*secao.relatorio, secao.reiniciaNumeracao);
    faixa_ = std::move(secao.corpo);
    fechaSecao();
}

void Paginador::proximaPagina() {
    Faixa& f = faixa_;
    primeira_ = false;
    Pagina pg = novaPagina();
    const Cabecalhos cab = poeBandasDePagina(*relatorio_, pg);
    const int espacoCheio = cab.limiteDoCorpo - cab.topoDoCorpo;
    if (espacoCheio <= 0)
        throw Erro(QStringLiteral("O cabeçalho e o rodapé ocupam a página inteira: não sobra "
                                  "espaço para o corpo do relatório \"%1\".")
                       .arg(ex_.relatorio().Name));
    int y = cab.topoDoCorpo;
    for (const Faixa::Grupo& g : reimprimir_) {
        for (const Faixa::Elemento& e : g.cabecalho)
            poe(pg, e, y, 0, g.fimDoCabecalho - g.inicio);
        y += g.fimDoCabecalho - g.inicio;
    }
    const bool comReimpressao = !reimprimir_.empty();
    reimprimir_.clear();
    const int espaco = cab.limiteDoCorpo - y;
    int c = espaco > 0 ? escolheCorte(espaco) : p_;
    if (c == p_ && p_ < f.altura && !comReimpressao) {
        const bool estatico = std::any_of(f.detalhesEstaticos.begin(), f.detalhesEstaticos.end(),
                                          [this](const auto& i) { return i.inicio == p_; });
        if (estatico) {
            if (!tentativa_ || tentativa_->posicao != p_)
                tentativa_ = Tentativa{p_, pg.numero};
            if (pg.numero - tentativa_->pagina + 1 >= TentativasDeBandaEstatica) {
                entrega(std::move(pg));
                termina();
                throw Erro(textos_do_motor::BandaEstatica);
            }
        } else {
            // Taller than any page: cut through it rather than never print it.
            c = p_ + espaco;
        }
    }
    if (c > p_) {
        const int p = p_;
        const int dy = y - p;
        int extra = 0; // a summary aligned to the bottom goes down to the body's limit
        const auto& fundo = f.inicioAlinhadoAoFundo;
        if (fundo && *fundo >= p && c == f.altura)
            extra = cab.limiteDoCorpo - (y + c - p);
        // What starts on this page leaves the strip, in the order of its tops (in the
        // order made where they are equal); a graphic that follows its band's height stays
        // while a later page may hold a part of it.
        std::vector<Faixa::Elemento> daPagina;
        std::vector<Faixa::Elemento> restantes;
        restantes.reserve(f.elementos.size());
        for (Faixa::Elemento& e : f.elementos) {
            if (!e.divisivel && e.topo < c) {
                if (e.topo >= p)
                    daPagina.push_back(std::move(e));
            } else {
                restantes.push_back(std::move(e));
            }
        }
        // Mostly made in the order of their tops already.
        if (!std::is_sorted(daPagina.begin(), daPagina.end(), antes))
            std::stable_sort(daPagina.begin(), daPagina.end(), antes);
        for (Faixa::Elemento& e : daPagina) {
            desloca(e.comando, 0, dy + (fundo && e.topo >= *fundo ? extra : 0));
            pg.comandos.push_back(std::move(e.comando));
        }
        std::vector<const Faixa::Elemento*> divisiveis;
        for (const Faixa::Elemento& e : restantes)
            if (e.divisivel && e.topo < c && (e.base > p || e.topo >= p))
                divisiveis.push_back(&e);
        std::stable_sort(
            divisiveis.begin(), divisiveis.end(),
            [](const Faixa::Elemento* a, const Faixa::Elemento* b) { return a->topo < b->topo; });
        for (const Faixa::Elemento* e : divisiveis)
            poe(pg, *e, dy, p, c);
        std::erase_if(restantes, [c](const Faixa::Elemento& e) {
            return e.divisivel && e.topo < c && e.base <= c;
        });
        f.elementos = std::move(restantes);
        for (const Faixa::Grupo& g : f.grupos)
            if (g.reimprimirCabecalho && g.inicio < c && g.fimDoCabecalho <= c && c < g.fim)
                reimprimir_.push_back(g);
        if (c < f.altura && (!tentativa_ || tentativa_->posicao != c))
            tentativa_ = Tentativa{c, pg.numero};
        p_ = c;
        // What lies above the next page can no longer change a cut.
        std::erase_if(f.indivisiveis, [c](const Faixa::Intervalo& i) { return i.inicio < c; });
        std::erase_if(f.detalhesEstaticos, [c](const Faixa::Intervalo& i) { return i.inicio < c; });
        std::erase_if(f.quebrasDePagina, [c](int q) { return q <= c; });
        std::erase_if(f.grupos, [c](const Faixa::Grupo& g) { return g.fim <= c; });
    }
    entrega(std::move(pg));
}

} // namespace nq
