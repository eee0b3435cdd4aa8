#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <memory>

namespace nq {

// A font as a layout names it. The printer-resident fixed-pitch fonts ("Roman 20cpi",
// "Draft 10cpi", "Roman 6cpi", "Courier 5 Pitch") have no file here: they are drawn with
// DejaVu Sans Mono at the requested height and squeezed or widened horizontally so that
// the pitch (characters per inch) stays the printer's.
struct Fonte {
    QString nome = QStringLiteral("Arial");
    double tamanho = 10; // points
    bool negrito = false;
    bool italico = false;
    bool sublinhado = false;
    bool riscado = false;
    QColor cor = Qt::black;
    // Horizontal scale of the glyphs, 1 as designed. Set when the page is laid out, never
    // by a layout: a one-line text wider than its box is condensed to fit it (see
    // desenhista::texto), so no character is lost to the box's edge.
    double condensacao = 1;

    bool operator==(const Fonte&) const = default;
};

// How a device draws a logical font: `fonte` carries the point size, and every glyph run
// is scaled horizontally by `escalaHorizontal` around its starting point (the pitch of a
// printer font times the condensation; 1 for an ordinary font at its own width). Measuring
// and painting both go through here so that they agree.
struct FonteResolvida {
    QFont fonte;
    double escalaHorizontal = 1;
};

// Reference resolution for measuring text: fine enough that hinting and rounding vanish.
constexpr int PontosPorPolegadaDeReferencia = 1200;

// Characters per inch of a printer-resident font; 0 when `nome` is not one of them.
double passoDaFonteDeImpressora(const QString& nome);

FonteResolvida resolveFonte(const Fonte& fonte);

// Text measures in thousandths of a millimetre, independent of any screen: fonts are
// measured at a fixed reference resolution, without hinting.
class MedidorDeTexto {
public:
    static const MedidorDeTexto& instancia();
    ~MedidorDeTexto();

    int largura(const Fonte& fonte, const QString& texto) const;
    // resolveFonte(fonte), resolved once for every use of the font.
    FonteResolvida resolvida(const Fonte& fonte) const;
    // The advance the font engine gives every character of a printer font, in pixels of
    // the reference resolution (1 200 dpi), before the pitch scale; 0 for other fonts.
    double avancoFixo(const Fonte& fonte) const;
    int ascendente(const Fonte& fonte) const;
    // Distance from one line's top to the next one's.
    int alturaDaLinha(const Fonte& fonte) const;

private:
    MedidorDeTexto();
    struct Medidas;
    // Fonts resolved once: a report measures the same few fonts many times.
    const Medidas& medidas(const Fonte& fonte) const;
    struct Cache;
    std::unique_ptr<Cache> cache_;
};

} // namespace nq
