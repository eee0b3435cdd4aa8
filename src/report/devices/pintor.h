#pragma once

#include "report/pagina.h"

class QPainter;

namespace nq {

// Draws a generated page with a QPainter. Positions and sizes follow the resolution of
// the painter's device, so the same page lands alike on a PDF, an image or a printer; a
// transform already set on the painter (a preview's zoom) applies on top.
class PintorDePagina {
public:
    void desenha(QPainter& pintor, const Pagina& pagina) const;

private:
    struct Escala {
        double x;
        double y;
    };
    static void desenhaTexto(QPainter& p, const ComandoTexto& c, Escala e);
    static void desenhaLinha(QPainter& p, const ComandoLinha& c, Escala e);
    static void desenhaForma(QPainter& p, const ComandoForma& c, Escala e);
    static void desenhaImagem(QPainter& p, const ComandoImagem& c, Escala e);
};

// Where an image lands, in thousandths of a millimetre: scaled to its box (keeping its
// proportions, centred) or at its own size from its resolution, centred or at the box's
// top-left corner. Drawing is clipped to the box.
Retangulo areaDaImagem(const ComandoImagem& imagem);

} // namespace nq
