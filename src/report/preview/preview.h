#pragma once

#include "report/modelo.h"
#include "report/motor.h"
#include "report/pagina.h"
#include "report/preview/opcoes.h"

#include <QDialog>
#include <exception>
#include <vector>

class QAction;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;
class QStatusBar;

namespace nq {

class VistaDaPagina;

// What the preview takes from the report's settings.
struct ConfiguracaoDaPreview {
    TrabalhoDeImpressao trabalho; // document name, printer, copies, files allowed
    TWindowState estado = TWindowState::wsMaximized;
    TppZoomSetting zoom = TppZoomSetting::zsPageWidth;
    int percentual = 100; // with zsPercentage
    bool mostraDialogoDeImpressao = true;
    bool mostraCancelamento = true;

    static ConfiguracaoDaPreview doRelatorio(const TppReport& relatorio);
};

// The print preview: the pages of a run, one at a time, with zoom and page navigation,
// printing and saving to a file. Pages arrive while the run is generated; until the run
// ends the close button reads "Cancelar" and stops it.
class JanelaDePreview : public QDialog {
    Q_OBJECT
public:
    explicit JanelaDePreview(const ConfiguracaoDaPreview& configuracao, QWidget* pai = nullptr);
    ~JanelaDePreview() override;

    // The run hands its pages over here, then says that it ended or why it failed. A run
    // that ends without a page closes the window: there is nothing to show.
    void recebePagina(Pagina&& pagina);
    void terminaGeracao();
    void falhaGeracao(std::exception_ptr erro);
    bool gerando() const { return gerando_; }
    bool cancelada() const { return cancelada_; }
    // The failure of the run, if any, for the caller to raise once the window closes.
    std::exception_ptr erro() const { return erro_; }

    int paginaAtual() const { return atual_; }
    int quantidadeDePaginas() const { return static_cast<int>(paginas_.size()); }
    void vaiPara(int pagina);

    TppZoomSetting modoDeZoom() const { return modo_; }
    int percentual() const; // the zoom in force, in percent
    void defineZoom(TppZoomSetting modo);
    void definePercentual(int percentual);

    // The print dialog, then the pages to the printer or the file chosen; a file
    // written is named in a message. A failure shows its message and leaves the
    // preview open.
    void imprime();

    // While the run goes on, closing stops it and the window closes once it has stopped.
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* evento) override;
    bool eventFilter(QObject* objeto, QEvent* evento) override;
    void closeEvent(QCloseEvent* evento) override;

private:
    void criaBarra();
    void avisaArquivoGravado(const OpcoesDeImpressao& opcoes);
    void aplicaZoom();
    void atualizaEstado();
    void fecharOuCancelar();
    void mostraDesenho();
    double zoomCalculado() const;

    ConfiguracaoDaPreview configuracao_;
    std::vector<Pagina> paginas_;
    int atual_ = 0;
    bool gerando_ = true;
    bool cancelada_ = false;
    bool fecharAoTerminar_ = false;
    std::exception_ptr erro_;
    TppZoomSetting modo_;
    int percentual_;

    QAction* imprimir_ = nullptr;
    QAction* paginaInteira_ = nullptr;
    QAction* larguraDaPagina_ = nullptr;
    QAction* cem_ = nullptr;
    QAction* primeira_ = nullptr;
    QAction* anterior_ = nullptr;
    QAction* proxima_ = nullptr;
    QAction* ultima_ = nullptr;
    QLineEdit* campoZoom_ = nullptr;
    QLineEdit* campoPagina_ = nullptr;
    QPushButton* fechar_ = nullptr;
    QScrollArea* rolagem_ = nullptr;
    VistaDaPagina* vista_ = nullptr;
    QStatusBar* status_ = nullptr;
};

// The preview a report has open (from its OnPreviewFormCreate until it closes), for the
// annex code that retitles it or sets its zoom; nullptr when the report prints elsewhere.
JanelaDePreview* PreviewForm(const TppReport& relatorio);

// Shows a run of `relatorio` in its modal preview: OnPreviewFormCreate once the window
// exists, OnPreviewFormClose once it has closed; only then does this return, so the code
// after the print call runs after the preview. The first overload generates the pages
// while the preview shows them (a report without data shows the no-data dialog when its
// layout asks for a message); the second shows pages already generated. A failure of the
// run is raised after the window closes.
void mostraPreview(TppReport& relatorio, QWidget* pai = nullptr);
void mostraPreview(TppReport& relatorio, const Documento& documento, QWidget* pai = nullptr);

} // namespace nq
