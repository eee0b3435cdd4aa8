#pragma once

#include "report/devices/dispositivo.h"

namespace nq {

// "PrinterFile": what a dot-matrix printer speaking ESC/P receives for the report. Each
// text goes to its place on the sheet with the printer's own positioning (ESC J to move
// down in 1/180 inch, ESC $ to move across in 1/60 inch), in the printer pitch nearest to
// its font (condensed, elite, pica, double width) and with bold, italic and underline
// switched by their codes. Texts are in code page 850, which carries the Portuguese
// letters; a character outside it prints as "?". Every page ends with a form feed.
class DispositivoArquivoDeImpressora : public DispositivoDeArquivo {
public:
    QString nome() const override { return QStringLiteral("PrinterFile"); }
    QString extensao() const override { return QStringLiteral("PRN"); }
    QString filtro() const override { return QStringLiteral("Printer File|*.PRN|All files|*.*"); }

    void iniciaTrabalho(const TrabalhoDeImpressao& trabalho) override;
    void recebePagina(const Pagina& pagina) override;
    void terminaTrabalho() override;

private:
    struct Modo {
        double caracteresPorPolegada = 0;
        bool negrito = false;
        bool italico = false;
        bool sublinhado = false;
        bool operator==(const Modo&) const = default;
    };
    void selecionaModo(const Modo& modo);

    QByteArray saida_;
    Modo modo_;
};

} // namespace nq
