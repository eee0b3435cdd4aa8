#pragma once

#include "core/gravacao_atomica.h"
#include "report/devices/dispositivo.h"
#include "report/devices/pintor.h"

#include <QPainter>
#include <QPdfWriter>
#include <memory>

namespace nq {

// "PDFFile": each page at its paper size, texts as selectable text with the fonts embedded.
class DispositivoPdf : public DispositivoDeArquivo {
public:
    QString nome() const override { return QStringLiteral("PDFFile"); }
    QString extensao() const override { return QStringLiteral("PDF"); }
    QString filtro() const override { return QStringLiteral("PDF files|*.PDF|All files|*.*"); }

    void iniciaTrabalho(const TrabalhoDeImpressao& trabalho) override;
    void recebePagina(const Pagina& pagina) override;
    void terminaTrabalho() override;

private:
    void abre(const Pagina& primeira);
    void descarta();

    TrabalhoDeImpressao trabalho_;
    std::unique_ptr<GravacaoAtomica> arquivo_;
    std::unique_ptr<QPdfWriter> escritor_;
    std::unique_ptr<QPainter> pintor_;
    PintorDePagina pagina_;
};

// The page layout of a paper, without margins: the page commands carry their own.
QPageLayout layoutDoPapel(const Papel& papel);

} // namespace nq
