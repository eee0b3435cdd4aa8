#pragma once

#include "report/devices/dispositivo.h"
#include "report/devices/pintor.h"

#include <QPainter>
#include <memory>

class QPrinter;

namespace nq {

// Prints the pages through Qt's printer support (CUPS here). Each page goes out on its own
// paper, as many times as it is received.
class TppPrinterDevice : public Dispositivo {
public:
    // `impressora` names the printer and carries its properties; it must outlive the
    // device.
    explicit TppPrinterDevice(QPrinter& impressora);
    ~TppPrinterDevice() override;

    void iniciaTrabalho(const TrabalhoDeImpressao& trabalho) override;
    void recebePagina(const Pagina& pagina) override;
    void terminaTrabalho() override;
    // Drops the job: what was sent so far does not reach the printer.
    void cancela();

private:
    void abre(const Pagina& primeira);

    QPrinter& impressora_;
    std::unique_ptr<QPainter> pintor_;
    PintorDePagina pagina_;
};

// The system name of a layout's printer: "Default" (or empty) stands for the system's
// default printer; an empty result means that there is none.
QString nomeDaImpressora(const QString& nomeNoLayout);

} // namespace nq
