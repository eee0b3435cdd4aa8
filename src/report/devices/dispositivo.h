#pragma once

#include "report/formato.h"
#include "report/pagina.h"

#include <QByteArray>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <memory>

namespace nq {

// Receives the generated pages of one run, one by one: the preview, the printer and the
// file writers are all devices.
class Dispositivo {
public:
    virtual ~Dispositivo() = default;

    virtual void iniciaTrabalho(const TrabalhoDeImpressao& trabalho) = 0;
    virtual void recebePagina(const Pagina& pagina) = 0;
    // Finishes the job; a file device writes its file here.
    virtual void terminaTrabalho() = 0;
};

// A device that writes the pages to a file, offered by name in the print dialog.
class DispositivoDeArquivo : public Dispositivo {
public:
    virtual QString nome() const = 0;     // "PDFFile", "TextFile"...
    virtual QString extensao() const = 0; // default extension, without the dot
    virtual QString filtro() const = 0;   // save-dialog filter, "PDF files|*.PDF|All files|*.*"

    void defineArquivo(const QString& arquivo) { arquivo_ = arquivo; }
    const QString& arquivo() const { return arquivo_; }

private:
    QString arquivo_;
};

// Sends a whole document to a device.
void enviaDocumento(Dispositivo& dispositivo, const Documento& documento);

// The settings of the file devices, one set for the whole program.
struct OpcoesDeArquivo {
    int tipoArquivoTexto = 0;         // "TextFile": 0 comma, 1 tab, other fixed columns
    double caracteresPorPolegada = 0; // "ReportTextFile" grid; 0 follows the page's fonts
    double linhasPorPolegada = 0;
    int pontosPorPolegadaDaImagem = 150;   // "GraphicFile"
    QLocale local = localeDosRelatorios(); // how the figures were formatted, for the spreadsheets
};

// The file devices in the order the print dialog lists them, and a new one by name
// (nullptr for an unknown name).
QStringList nomesDosDispositivosDeArquivo();
std::unique_ptr<DispositivoDeArquivo> criaDispositivoDeArquivo(const QString& nome,
                                                               const OpcoesDeArquivo& opcoes = {});

// Writes `dados` to `arquivo` through a temporary file in the same directory, so that a
// failure leaves the old file (or none) in place.
void gravaArquivo(const QString& arquivo, const QByteArray& dados);

} // namespace nq
