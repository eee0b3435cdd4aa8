#include "report/preview/impressora.h"

#include "core/erro.h"
#include "report/devices/pdf.h"

#include <QPrinter>
#include <QPrinterInfo>

namespace nq {

TppPrinterDevice::TppPrinterDevice(QPrinter& impressora) : impressora_(impressora) {}

TppPrinterDevice::~TppPrinterDevice() {
    cancela();
}

QString nomeDaImpressora(const QString& nomeNoLayout) {
    if (nomeNoLayout.isEmpty() ||
        nomeNoLayout.compare(QLatin1String("Default"), Qt::CaseInsensitive) == 0)
        return QPrinterInfo::defaultPrinterName();
    return nomeNoLayout;
}

void TppPrinterDevice::iniciaTrabalho(const TrabalhoDeImpressao& trabalho) {
    cancela();
    impressora_.setDocName(trabalho.nomeDocumento);
}

void TppPrinterDevice::abre(const Pagina& primeira) {
    const QString nome = impressora_.printerName();
    if (nome.isEmpty() || QPrinterInfo::printerInfo(nome).isNull())
        throw Erro(QStringLiteral("A impressora \"%1\" não está instalada.").arg(nome));
    impressora_.setFullPage(true);
    impressora_.setPageLayout(layoutDoPapel(primeira.papel));
    pintor_ = std::make_unique<QPainter>();
    if (!pintor_->begin(&impressora_)) {
        pintor_.reset();
        throw Erro(QStringLiteral("Não foi possível iniciar a impressão em \"%1\".").arg(nome));
    }
}

void TppPrinterDevice::recebePagina(const Pagina& pagina) {
    if (!pintor_) {
        abre(pagina);
    } else {
        impressora_.setPageLayout(layoutDoPapel(pagina.papel));
        if (!impressora_.newPage())
            throw Erro(QStringLiteral("A impressora \"%1\" recusou a página %2.")
                           .arg(impressora_.printerName())
                           .arg(pagina.numero));
    }
    pagina_.desenha(*pintor_, pagina);
}

void TppPrinterDevice::terminaTrabalho() {
    if (!pintor_)
        throw Erro(QStringLiteral("Não há páginas para imprimir."));
    const bool terminou = pintor_->end();
    pintor_.reset();
    if (!terminou || impressora_.printerState() == QPrinter::Error)
        throw Erro(QStringLiteral("A impressora \"%1\" não aceitou o trabalho.")
                       .arg(impressora_.printerName()));
}

void TppPrinterDevice::cancela() {
    if (!pintor_)
        return;
    impressora_.abort();
    if (pintor_->isActive())
        pintor_->end();
    pintor_.reset();
}

} // namespace nq
