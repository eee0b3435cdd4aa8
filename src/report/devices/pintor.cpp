#include "report/devices/pintor.h"

#include <QPaintDevice>
#include <QPainter>
#include <QPainterPath>

namespace nq {

namespace {

constexpr double MilesimosPorPolegada = 25400;

QRectF emPixels(const Retangulo& r, double ex, double ey) {
    return QRectF(r.esquerda * ex, r.topo * ey, r.largura * ex, r.altura * ey);
}

Qt::PenStyle estiloQt(EstiloCaneta e) {
    switch (e) {
    case EstiloCaneta::Solido:
        return Qt::SolidLine;
    case EstiloCaneta::Tracejado:
        return Qt::DashLine;
    case EstiloCaneta::Pontilhado:
        return Qt::DotLine;
    case EstiloCaneta::TracoPonto:
        return Qt::DashDotLine;
    case EstiloCaneta::TracoPontoPonto:
        return Qt::DashDotDotLine;
    case EstiloCaneta::Nenhum:
        return Qt::NoPen;
    }
    return Qt::SolidLine;
}

// Line weights are in points; 0 asks for the thinnest line the device can draw.
QPen penQt(const Caneta& c, double pixelsPorPolegada) {
    QPen pen(c.cor);
    pen.setStyle(estiloQt(c.estilo));
    pen.setWidthF(c.espessura > 0 ? c.espessura * pixelsPorPolegada / 72.0 : 0.0);
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    return pen;
}

} // namespace

void PintorDePagina::desenha(QPainter& p, const Pagina& pagina) const {
    const QPaintDevice* d = p.device();
    const Escala e{d->logicalDpiX() / MilesimosPorPolegada,
                   d->logicalDpiY() / MilesimosPorPolegada};
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    for (const ComandoDeDesenho& comando : pagina.comandos) {
        std::visit(
            [&](const auto& c) {
                using T = std::decay_t<decltype(c)>;
                if constexpr (std::is_same_v<T, ComandoTexto>)
                    desenhaTexto(p, c, e);
                else if constexpr (std::is_same_v<T, ComandoLinha>)
                    desenhaLinha(p, c, e);
                else if constexpr (std::is_same_v<T, ComandoForma>)
                    desenhaForma(p, c, e);
                else
                    desenhaImagem(p, c, e);
            },
            comando);
    }
    p.restore();
}

void PintorDePagina::desenhaTexto(QPainter& p, const ComandoTexto& c, Escala e) {
    const QRectF caixa = emPixels(c.caixa, e.x, e.y);
    p.save();
    if (!c.transparente)
        p.fillRect(caixa, c.fundo);
    p.setClipRect(caixa, Qt::IntersectClip);
    FonteResolvida f = resolveFonte(c.fonte);
    // The glyphs are laid out at the resolution the text was measured at and scaled down
    // to the device's: at a screen's few pixels per character the font engine rounds each
    // advance, and a run grows wider than measured (a figure's last digit clipped away).
    const double reducao = p.device()->logicalDpiY() / double(PontosPorPolegadaDeReferencia);
    f.fonte.setPointSizeF(f.fonte.pointSizeF() / reducao);
    p.setFont(f.fonte);
    p.setPen(c.fonte.cor);
    for (const TrechoDeTexto& t : c.trechos) {
        p.save();
        p.translate(t.x * e.x, t.linhaDeBase * e.y);
        p.scale(f.escalaHorizontal * reducao, reducao);
        p.drawText(QPointF(0, 0), t.texto);
        p.restore();
    }
    p.restore();
}

void PintorDePagina::desenhaLinha(QPainter& p, const ComandoLinha& c, Escala e) {
    p.save();
    p.setPen(penQt(c.caneta, e.x * MilesimosPorPolegada));
    p.drawLine(QPointF(c.x1 * e.x, c.y1 * e.y), QPointF(c.x2 * e.x, c.y2 * e.y));
    p.restore();
}

void PintorDePagina::desenhaForma(QPainter& p, const ComandoForma& c, Escala e) {
    const QRectF caixa = emPixels(c.caixa, e.x, e.y);
    p.save();
    p.setPen(penQt(c.caneta, e.x * MilesimosPorPolegada));
    p.setBrush(c.preenchida ? QBrush(c.preenchimento) : QBrush(Qt::NoBrush));
    switch (c.tipo) {
    case TipoDeForma::Retangulo:
        p.drawRect(caixa);
        break;
    case TipoDeForma::RetanguloArredondado:
        p.drawRoundedRect(caixa, c.raio * e.x, c.raio * e.y);
        break;
    case TipoDeForma::Elipse:
        p.drawEllipse(caixa);
        break;
    }
    p.restore();
}

Retangulo areaDaImagem(const ComandoImagem& c) {
    const QSizeF caixa(c.caixa.largura, c.caixa.altura);
    QSizeF tamanho = caixa;
    if (!c.esticada) {
        // The image's own size, from its resolution (screen resolution when it has none).
        constexpr double Tela = 96 / 0.0254;
        const double dpmX = c.imagem.dotsPerMeterX() > 0 ? c.imagem.dotsPerMeterX() : Tela;
        const double dpmY = c.imagem.dotsPerMeterY() > 0 ? c.imagem.dotsPerMeterY() : Tela;
        tamanho = QSizeF(c.imagem.width() / dpmX * 1e6, c.imagem.height() / dpmY * 1e6);
    } else if (c.manterProporcao) {
        tamanho = QSizeF(c.imagem.size()).scaled(caixa, Qt::KeepAspectRatio);
    }
    Retangulo r{c.caixa.esquerda, c.caixa.topo, qRound(tamanho.width()), qRound(tamanho.height())};
    if (c.centralizada || (c.esticada && c.manterProporcao)) {
        r.esquerda += (c.caixa.largura - r.largura) / 2;
        r.topo += (c.caixa.altura - r.altura) / 2;
    }
    return r;
}

void PintorDePagina::desenhaImagem(QPainter& p, const ComandoImagem& c, Escala e) {
    if (c.imagem.isNull())
        return;
    p.save();
    p.setClipRect(emPixels(c.caixa, e.x, e.y), Qt::IntersectClip);
    p.drawImage(emPixels(areaDaImagem(c), e.x, e.y), c.imagem);
    p.restore();
}

} // namespace nq
