#pragma once

#include "report/pagina.h"

#include <QImage>
#include <QWidget>

namespace nq {

// One page on a grey desk at a zoom, drawn by the same painter as the PDF and the printer.
// The page is drawn at a multiple of the screen's resolution and scaled down: fonts at a
// few pixels round their advances to whole pixels, which would push right-aligned figures
// out of their boxes.
class VistaDaPagina : public QWidget {
    Q_OBJECT
public:
    static constexpr int Margem = 12; // desk around the page, in pixels

    explicit VistaDaPagina(QWidget* pai = nullptr);

    // `pagina` must stay alive while shown; nullptr shows the empty desk.
    void mostra(const Pagina* pagina, double zoom);
    // Size in pixels of a paper at a zoom (1 is its actual size on this screen).
    QSizeF tamanhoDoPapel(const Papel& papel, double zoom) const;

signals:
    void desenhou();

protected:
    void paintEvent(QPaintEvent* evento) override;

private:
    static constexpr int Supersample = 2;

    const Pagina* pagina_ = nullptr;
    double zoom_ = 1;
    QImage imagem_; // the page as last drawn, kept while page and zoom stay
};

} // namespace nq
