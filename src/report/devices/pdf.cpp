#include "report/devices/pdf.h"

#include "core/erro.h"

namespace nq {

namespace {
constexpr int ResolucaoPdf = 1200;
}

QPageLayout layoutDoPapel(const Papel& papel) {
    const bool deitado = papel.largura > papel.altura;
    const double menor = std::min(papel.largura, papel.altura) / 1000.0;
    const double maior = std::max(papel.largura, papel.altura) / 1000.0;
    const QPageSize tamanho(QSizeF(menor, maior), QPageSize::Millimeter, papel.nome,
                            QPageSize::ExactMatch);
    return QPageLayout(tamanho, deitado ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
}

void DispositivoPdf::iniciaTrabalho(const TrabalhoDeImpressao& trabalho) {
    descarta();
    trabalho_ = trabalho;
}

void DispositivoPdf::abre(const Pagina& primeira) {
    arquivo_ = std::make_unique<GravacaoAtomica>(arquivo());
    arquivo_->abre();
    escritor_ = std::make_unique<QPdfWriter>(arquivo_.get());
    escritor_->setResolution(ResolucaoPdf);
    escritor_->setTitle(trabalho_.nomeDocumento);
    escritor_->setCreator(QStringLiteral("NQ 404"));
    escritor_->setPageLayout(layoutDoPapel(primeira.papel));
    pintor_ = std::make_unique<QPainter>();
    if (!pintor_->begin(escritor_.get())) {
        descarta();
        throw Erro(QStringLiteral("Não foi possível gerar o PDF \"%1\".").arg(arquivo()));
    }
}

void DispositivoPdf::recebePagina(const Pagina& pagina) {
    if (!pintor_) {
        abre(pagina);
    } else {
        escritor_->setPageLayout(layoutDoPapel(pagina.papel));
        escritor_->newPage();
    }
    pagina_.desenha(*pintor_, pagina);
}

void DispositivoPdf::terminaTrabalho() {
    if (!pintor_)
        throw Erro(
            QStringLiteral("O relatório não tem páginas para gravar em \"%1\".").arg(arquivo()));
    pintor_->end();
    try {
        arquivo_->conclui();
    } catch (...) {
        descarta();
        throw;
    }
    descarta();
}

void DispositivoPdf::descarta() {
    if (pintor_ && pintor_->isActive())
        pintor_->end();
    pintor_.reset();
    escritor_.reset();
    arquivo_.reset(); // an unconcluded save leaves the target untouched
}

} // namespace nq
