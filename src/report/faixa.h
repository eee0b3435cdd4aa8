#pragma once

#include "report/pagina.h"

#include <limits>
#include <optional>
#include <vector>

namespace nq {

// The body of a report as one tall strip, before it is cut into pages. Commands carry
// page x coordinates and strip y coordinates; pagination only moves them vertically.
struct Faixa {
    struct Elemento {
        ComandoDeDesenho comando;
        int topo = 0; // vertical extent of the component that drew it
        int base = 0;
        bool divisivel = false; // a graphic that follows its band's height: split at cuts
    };
    struct Intervalo {
        int inicio = 0;
        int fim = 0;
    };
    // A group as printed: kept together on one page, and its header repeated at the
    // top of a page that continues it.
    struct Grupo {
        static constexpr int Aberto = std::numeric_limits<int>::max(); // `fim` of an open group
        int inicio = 0;
        int fimDoCabecalho = 0;
        int fim = 0;
        bool manterJunto = false;
        bool reimprimirCabecalho = false;
        int limiarNovaPagina = 0;
        std::vector<Elemento> cabecalho; // y from 0 at the header's top
        int id = -1;                     // names an open group until it closes
    };

    int altura = 0;
    std::vector<Elemento> elementos;
    std::vector<Intervalo> indivisiveis;      // whole bands: no cut strictly inside
    std::vector<Intervalo> detalhesEstaticos; // static-height detail bands
    std::vector<Grupo> grupos;
    std::vector<int> quebrasDePagina;         // a new page starts at these positions
    std::optional<int> inicioAlinhadoAoFundo; // a summary pushed to the page bottom

    // Appends `outra` with its origin moved to (dx, dy).
    void incorpora(const Faixa& outra, int dx, int dy);
    // The same, taking `outra`'s commands instead of copying them.
    void acrescenta(Faixa&& outra, int dx, int dy);
    // Keeps only what starts above `limite` (a stretchable shown in a fixed box).
    void corta(int limite);
};

// Moves a command by (dx, dy).
void desloca(ComandoDeDesenho& comando, int dx, int dy);

} // namespace nq
