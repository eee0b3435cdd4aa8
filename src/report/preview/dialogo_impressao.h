#pragma once

#include "report/preview/opcoes.h"

#include <QDialog>
#include <QPrinter>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace nq {

// What the print dialog needs to know of the run.
struct ContextoDeImpressao {
    QString impressora;  // the layout's printer ("Default": the system's default)
    int paginaAtual = 1; // the page the preview shows
    int copias = 1;
    bool agrupar = false;
    bool permiteArquivo = false;      // offer printing to a file
    bool permiteArquivoMorto = false; // offer the archive among the file types
};

// The print dialog: printer, page range, copies, odd or even pages, printing to a file.
// OK checks what was chosen and stays open, with a message, while something is missing.
class TppPrintDialog : public QDialog {
    Q_OBJECT
public:
    explicit TppPrintDialog(const ContextoDeImpressao& contexto, QWidget* pai = nullptr);

    OpcoesDeImpressao opcoes() const;
    // The chosen printer with the properties set through "&Propriedades".
    QPrinter& impressora() { return impressora_; }

    void accept() override;

private:
    QWidget* criaGrupoImpressora();
    QWidget* criaGrupoIntervalo();
    QWidget* criaGrupoCopias();
    QWidget* criaGrupoArquivo(const ContextoDeImpressao& contexto);
    void escolheImpressora(int indice);
    void mostraPropriedades();
    void passoDasCopias(int passo);
    void corrigeCopias();
    void escolheTipoDeArquivo();
    void procuraArquivo();
    void habilitaArquivo();
    int copias() const;
    bool validaArquivo();

    QPrinter impressora_{QPrinter::HighResolution};
    int paginaAtual_;
    bool permiteArquivo_;
    QComboBox* impressoras_ = nullptr;
    QLabel* tipo_ = nullptr;
    QLabel* onde_ = nullptr;
    QButtonGroup* intervalo_ = nullptr;
    QLineEdit* paginas_ = nullptr;
    QLineEdit* copias_ = nullptr;
    QCheckBox* agrupar_ = nullptr;
    QComboBox* paridade_ = nullptr;
    QCheckBox* paraArquivo_ = nullptr;
    QComboBox* tiposDeArquivo_ = nullptr;
    QLineEdit* arquivo_ = nullptr;
    QWidget* grupoArquivo_ = nullptr;
};

// A save-dialog filter from a device's "description|pattern|..." pairs:
// "PDF files|*.PDF|All files|*.*" gives "PDF files (*.PDF);;All files (*.*)".
QString filtroDoDialogo(const QString& filtroDoDispositivo);

} // namespace nq
