#pragma once

#include "core/gravacao_atomica.h"
#include "report/devices/dispositivo.h"
#include "report/devices/escritor_pdf.h"

#include <QPageLayout>
#include <memory>

namespace nq {

// "PDFFile": each page at its paper size, written as it comes; texts as selectable text
// with the fonts embedded.
class DispositivoPdf : public DispositivoDeArquivo {
public:
    QString nome() const override { return QStringLiteral("PDFFile"); }
    QString extensao() const override { return QStringLiteral("PDF"); }
    QString filtro() const override { return QStringLiteral("PDF files|*.PDF|All files|*.*"); }

    void iniciaTrabalho(const TrabalhoDeImpressao& trabalho) override;
    void recebePagina(const Pagina& pagina) override;
    void terminaTrabalho() override;

private:
    void abre();
    void descarta();

    TrabalhoDeImpressao trabalho_;
    std::unique_ptr<GravacaoAtomica> arquivo_;
    std::unique_ptr<EscritorPdf> escritor_;
};

// The page layout of a paper, without margins: the page commands carry their own.
QPageLayout layoutDoPapel(const Papel& papel);

} // namespace nq
