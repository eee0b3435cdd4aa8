#include "report/preview/vista.h"

#include "report/devices/pintor.h"

#include <QPainter>

namespace nq {

namespace {
constexpr double MilesimosPorPolegada = 25400;
}

VistaDaPagina::VistaDaPagina(QWidget* pai) : QWidget(pai) {
    setAutoFillBackground(true);
    QPalette paleta = palette();
    paleta.setColor(QPalette::Window, QColor(128, 128, 128));
    setPalette(paleta);
}

QSizeF VistaDaPagina::tamanhoDoPapel(const Papel& papel, double zoom) const {
    return {papel.largura * logicalDpiX() / MilesimosPorPolegada * zoom,
            papel.altura * logicalDpiY() / MilesimosPorPolegada * zoom};
}

void VistaDaPagina::mostra(const Pagina* pagina, double zoom) {
    pagina_ = pagina;
    zoom_ = zoom;
    imagem_ = QImage();
    const QSize papel = pagina ? tamanhoDoPapel(pagina->papel, zoom).toSize() : QSize();
    setFixedSize(papel + QSize(2 * Margem, 2 * Margem));
    update();
}

void VistaDaPagina::paintEvent(QPaintEvent*) {
    if (!pagina_)
        return;
    QPainter p(this);
    const QRectF papel(QPointF(Margem, Margem), tamanhoDoPapel(pagina_->papel, zoom_));
    p.fillRect(papel.translated(3, 3), QColor(64, 64, 64));
    if (imagem_.isNull()) {
        const double escala = Supersample * devicePixelRatioF();
        imagem_ = QImage((papel.size() * escala).toSize(), QImage::Format_RGB32);
        imagem_.fill(Qt::white);
        // The painter places everything by the image's resolution: the screen's, zoomed.
        imagem_.setDotsPerMeterX(qRound(logicalDpiX() * zoom_ * escala / 0.0254));
        imagem_.setDotsPerMeterY(qRound(logicalDpiY() * zoom_ * escala / 0.0254));
        QPainter pintor(&imagem_);
        PintorDePagina().desenha(pintor, *pagina_);
    }
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(papel, imagem_);
    emit desenhou();
}

} // namespace nq
