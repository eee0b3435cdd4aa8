#pragma once

#include "report/devices/dispositivo.h"
#include "report/motor.h"

#include <QString>

class QWidget;

namespace nq {

// Where TppReport::Print sends its pages. The program installs SaidaParaPreview; batch
// runs and tests install a file or the printer. Whatever the output, Print returns only
// when it is done, and the report's OnPreviewFormClose runs before that, so the code an
// annex runs when its preview closes runs in batch runs too.

// The program's output: "Screen" opens the modal preview and generates the pages while it
// shows them; a printer device type shows the print dialog (when the layout asks for it)
// and prints. A report without data shows the no-data dialog when its layout asks for it.
class SaidaParaPreview : public SaidaDeRelatorios {
public:
    explicit SaidaParaPreview(QWidget* pai = nullptr) : pai_(pai) {}
    void executa(TppReport& relatorio) override;
    void apresenta(TppReport& relatorio, const Documento& documento) override;
    void avisaSemDados(TppReport& relatorio) override;

private:
    QWidget* pai_;
};

// Writes every page to a file device ("PDFFile", "TextFile"...), made with `opcoes`.
// Throws nq::Erro for an unknown device or when the file cannot be written (any older
// file stays as it was).
class SaidaParaArquivo : public SaidaDeRelatorios {
public:
    SaidaParaArquivo(QString dispositivo, QString arquivo, OpcoesDeArquivo opcoes = {})
        : dispositivo_(std::move(dispositivo)), arquivo_(std::move(arquivo)),
          opcoes_(std::move(opcoes)) {}
    void apresenta(TppReport& relatorio, const Documento& documento) override;

private:
    QString dispositivo_;
    QString arquivo_;
    OpcoesDeArquivo opcoes_;
};

// Prints every page on a printer (empty: the layout's own), with the layout's copies and
// collation, without dialogs.
class SaidaParaImpressora : public SaidaDeRelatorios {
public:
    explicit SaidaParaImpressora(QString impressora = {}) : impressora_(std::move(impressora)) {}
    void apresenta(TppReport& relatorio, const Documento& documento) override;

private:
    QString impressora_;
};

// Installs an output for the life of a scope and puts the former one back.
class SaidaInstalada {
public:
    explicit SaidaInstalada(SaidaDeRelatorios& saida)
        : anterior_(instalaSaidaDeRelatorios(&saida)) {}
    ~SaidaInstalada() { instalaSaidaDeRelatorios(anterior_); }
    SaidaInstalada(const SaidaInstalada&) = delete;
    SaidaInstalada& operator=(const SaidaInstalada&) = delete;

private:
    SaidaDeRelatorios* anterior_;
};

} // namespace nq
