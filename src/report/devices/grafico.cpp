#include "report/devices/grafico.h"

#include "core/erro.h"
#include "report/devices/pintor.h"
#include "report/devices/wmf.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QPainter>

namespace nq {

QString DispositivoGrafico::arquivoDaPagina(const QString& arquivo, int numero) {
    const QFileInfo info(arquivo);
    const QString sufixo = info.suffix();
    QString base = arquivo;
    if (!sufixo.isEmpty())
        base.chop(sufixo.size() + 1);
    return QStringLiteral("%1_%2%3").arg(base).arg(numero).arg(
        sufixo.isEmpty() ? QString() : QLatin1Char('.') + sufixo);
}

QByteArray DispositivoGrafico::formato() const {
    const QString sufixo = QFileInfo(arquivo()).suffix().toLower();
    if (sufixo == QLatin1String("jpg") || sufixo == QLatin1String("jpeg"))
        return "jpeg";
    if (sufixo == QLatin1String("tif") || sufixo == QLatin1String("tiff"))
        return "tiff";
    if (sufixo == QLatin1String("wmf"))
        return "wmf";
    if (sufixo == QLatin1String("bmp") || sufixo.isEmpty())
        return "bmp";
    throw Erro(QStringLiteral("O tipo de imagem \"%1\" não é gerado; use BMP, JPG, TIF ou WMF.")
                   .arg(sufixo.toUpper()));
}

void DispositivoGrafico::iniciaTrabalho(const TrabalhoDeImpressao&) {
    formato(); // refuses an unknown kind before any page is drawn
}

void DispositivoGrafico::recebePagina(const Pagina& pagina) {
    const QString destino = arquivoDaPagina(arquivo(), pagina.numero);
    if (formato() == "wmf") {
        gravaArquivo(destino, metarquivoDaPagina(pagina));
        return;
    }
    const double pixelsPorMilesimo = resolucao_ / 25400.0;
    QImage imagem(qMax(1, qRound(pagina.papel.largura * pixelsPorMilesimo)),
                  qMax(1, qRound(pagina.papel.altura * pixelsPorMilesimo)), QImage::Format_RGB32);
    const int pontosPorMetro = qRound(resolucao_ / 0.0254);
    imagem.setDotsPerMeterX(pontosPorMetro);
    imagem.setDotsPerMeterY(pontosPorMetro);
    imagem.fill(Qt::white);
    {
        QPainter p(&imagem);
        PintorDePagina().desenha(p, pagina);
    }
    QByteArray dados;
    QBuffer buffer(&dados);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter escritor(&buffer, formato());
    if (!escritor.write(imagem))
        throw Erro(QStringLiteral("Não foi possível gerar a imagem da página %1: %2")
                       .arg(pagina.numero)
                       .arg(escritor.errorString()));
    gravaArquivo(destino, dados);
}

} // namespace nq
