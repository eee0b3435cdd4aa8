#include "report/devices/pdf.h"

#include "core/erro.h"

namespace nq {

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

void DispositivoPdf::abre() {
    arquivo_ = std::make_unique<GravacaoAtomica>(arquivo());
    arquivo_->abre();
    try {
        escritor_ = std::make_unique<EscritorPdf>(*arquivo_, trabalho_.nomeDocumento);
    } catch (...) {
        descarta();
        throw;
    }
}

void DispositivoPdf::recebePagina(const Pagina& pagina) {
    if (!escritor_)
        abre();
    try {
        escritor_->acrescenta(pagina);
    } catch (...) {
        descarta();
        throw;
    }
}

void DispositivoPdf::terminaTrabalho() {
    if (!escritor_)
        throw Erro(
            QStringLiteral("O relatório não tem páginas para gravar em \"%1\".").arg(arquivo()));
    try {
        escritor_->termina();
        arquivo_->conclui();
    } catch (...) {
        descarta();
        throw;
    }
    descarta();
}

void DispositivoPdf::descarta() {
    escritor_.reset();
    arquivo_.reset(); // an unconcluded save leaves the target untouched
}

} // namespace nq
