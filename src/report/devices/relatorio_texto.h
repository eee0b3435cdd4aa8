#pragma once

#include "report/devices/dispositivo.h"

namespace nq {

// "ReportTextFile": the texts of each page laid out on a character grid and written as
// lines (CR LF, UTF-8); a form feed opens each page after the first. The grid takes the
// pitch of the narrowest font and the line height of the smallest one found on the page,
// unless fixed by characters and lines per inch; texts that would overlap on the grid are
// pushed right, never dropped.
class DispositivoTextoDeRelatorio : public DispositivoDeArquivo {
public:
    DispositivoTextoDeRelatorio(double caracteresPorPolegada = 0, double linhasPorPolegada = 0)
        : cpp_(caracteresPorPolegada), lpp_(linhasPorPolegada) {}

    QString nome() const override { return QStringLiteral("ReportTextFile"); }
    QString extensao() const override { return QStringLiteral("txt"); }
    QString filtro() const override { return QStringLiteral("Text files|*.TXT|All files|*.*"); }

    void iniciaTrabalho(const TrabalhoDeImpressao& trabalho) override;
    void recebePagina(const Pagina& pagina) override;
    void terminaTrabalho() override;

    // The page as lines of the grid, without line ends.
    QStringList linhasDaPagina(const Pagina& pagina) const;

private:
    double cpp_;
    double lpp_;
    QString saida_;
    bool primeira_ = true;
};

} // namespace nq
