#pragma once

#include "report/devices/dispositivo.h"

namespace nq {

// "GraphicFile": one image per page, BMP, JPEG, TIFF or a Windows metafile (WMF) as the
// file's extension says. Page
// number n goes to the file name with "_n" before the extension ("anexo.bmp" -> "anexo_1.bmp").
class DispositivoGrafico : public DispositivoDeArquivo {
public:
    explicit DispositivoGrafico(int pontosPorPolegada = 150) : resolucao_(pontosPorPolegada) {}

    QString nome() const override { return QStringLiteral("GraphicFile"); }
    QString extensao() const override { return QStringLiteral("BMP"); }
    QString filtro() const override {
        return QStringLiteral("BMP files|*.BMP|JPEG files|*.JPG|TIFF files|*.TIF|WMF files|*.WMF");
    }

    void iniciaTrabalho(const TrabalhoDeImpressao& trabalho) override;
    void recebePagina(const Pagina& pagina) override;
    void terminaTrabalho() override {}

    static QString arquivoDaPagina(const QString& arquivo, int numero);

private:
    QByteArray formato() const;

    int resolucao_;
};

} // namespace nq
