#include "report/faixa.h"

#include <algorithm>

namespace nq {

void desloca(ComandoDeDesenho& comando, int dx, int dy) {
    std::visit(
        [dx, dy](auto& c) {
            using T = std::decay_t<decltype(c)>;
            if constexpr (std::is_same_v<T, ComandoLinha>) {
                c.x1 += dx;
                c.x2 += dx;
                c.y1 += dy;
                c.y2 += dy;
            } else {
                c.caixa.esquerda += dx;
                c.caixa.topo += dy;
                if constexpr (std::is_same_v<T, ComandoTexto>)
                    for (TrechoDeTexto& t : c.trechos) {
                        t.x += dx;
                        t.linhaDeBase += dy;
                    }
            }
        },
        comando);
}

namespace {

Faixa::Elemento deslocado(Faixa::Elemento e, int dx, int dy) {
    desloca(e.comando, dx, dy);
    e.topo += dy;
    e.base += dy;
    return e;
}

} // namespace

void Faixa::incorpora(const Faixa& outra, int dx, int dy) {
    for (const Elemento& e : outra.elementos)
        elementos.push_back(deslocado(e, dx, dy));
    for (const Intervalo& i : outra.indivisiveis)
        indivisiveis.push_back({i.inicio + dy, i.fim + dy});
    for (const Intervalo& i : outra.detalhesEstaticos)
        detalhesEstaticos.push_back({i.inicio + dy, i.fim + dy});
    for (Grupo g : outra.grupos) {
        g.inicio += dy;
        g.fimDoCabecalho += dy;
        g.fim += dy;
        for (Elemento& e : g.cabecalho)
            e = deslocado(e, dx, 0);
        grupos.push_back(std::move(g));
    }
    for (int q : outra.quebrasDePagina)
        quebrasDePagina.push_back(q + dy);
    if (outra.inicioAlinhadoAoFundo && !inicioAlinhadoAoFundo)
        inicioAlinhadoAoFundo = *outra.inicioAlinhadoAoFundo + dy;
    altura = std::max(altura, outra.altura + dy);
}

void Faixa::acrescenta(Faixa&& outra, int dx, int dy) {
    elementos.reserve(elementos.size() + outra.elementos.size());
    for (Elemento& e : outra.elementos) {
        if (dx != 0 || dy != 0) {
            desloca(e.comando, dx, dy);
            e.topo += dy;
            e.base += dy;
        }
        elementos.push_back(std::move(e));
    }
    for (const Intervalo& i : outra.indivisiveis)
        indivisiveis.push_back({i.inicio + dy, i.fim + dy});
    for (const Intervalo& i : outra.detalhesEstaticos)
        detalhesEstaticos.push_back({i.inicio + dy, i.fim + dy});
    for (Grupo& g : outra.grupos) {
        g.inicio += dy;
        g.fimDoCabecalho += dy;
        g.fim += dy;
        for (Elemento& e : g.cabecalho)
            desloca(e.comando, dx, 0);
        grupos.push_back(std::move(g));
    }
    for (int q : outra.quebrasDePagina)
        quebrasDePagina.push_back(q + dy);
    if (outra.inicioAlinhadoAoFundo && !inicioAlinhadoAoFundo)
        inicioAlinhadoAoFundo = *outra.inicioAlinhadoAoFundo + dy;
    altura = std::max(altura, outra.altura + dy);
}

void Faixa::corta(int limite) {
    std::erase_if(elementos, [limite](const Elemento& e) { return e.topo >= limite; });
    std::erase_if(indivisiveis, [limite](const Intervalo& i) { return i.inicio >= limite; });
    std::erase_if(detalhesEstaticos, [limite](const Intervalo& i) { return i.inicio >= limite; });
    std::erase_if(grupos, [limite](const Grupo& g) { return g.inicio >= limite; });
    std::erase_if(quebrasDePagina, [limite](int q) { return q >= limite; });
    if (inicioAlinhadoAoFundo && *inicioAlinhadoAoFundo >= limite)
        inicioAlinhadoAoFundo.reset();
    altura = std::min(altura, limite);
}

} // namespace nq
