#pragma once

#include "report/devices/dispositivo.h"

#include <QStringList>

namespace nq {

// "RTFFile": every page a section of its paper size; each line of text a paragraph of
// exact height at its distance from the one before, its texts on left, right or centre tab
// stops as they were aligned; lines and shapes as drawing objects anchored to the page.
// Fixed-pitch printer fonts become DejaVu Sans Mono scaled to their pitch.
class DispositivoRtf : public DispositivoDeArquivo {
public:
    QString nome() const override { return QStringLiteral("RTFFile"); }
    QString extensao() const override { return QStringLiteral("RTF"); }
    QString filtro() const override { return QStringLiteral("RTF files|*.RTF|All files|*.*"); }

    void iniciaTrabalho(const TrabalhoDeImpressao& trabalho) override;
    void recebePagina(const Pagina& pagina) override;
    void terminaTrabalho() override;

private:
    int indiceDaFonte(const QString& familia);
    int indiceDaCor(const QColor& cor);
    QString desenhos(const Pagina& pagina);

    QString titulo_;
    QString corpo_;
    QStringList fontes_;
    QList<QColor> cores_;
    int paginas_ = 0;
};

} // namespace nq
