#pragma once

#include "janelas.h"

#include <QMainWindow>

class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QToolButton;

namespace nq {

struct ResultadoInicio;

// The program's frame: title strip, shortcut bar, the one child window, status
// bar and menu.
class TFrmPrincipalNQ404 : public QMainWindow {
    Q_OBJECT
public:
    explicit TFrmPrincipalNQ404(JanelasDoPrincipal janelas, QWidget* pai = nullptr);

    // Shows what start-up found: year and municipality in the status bar, and
    // opens the instructions file when there is one.
    void aplicaInicio(const ResultadoInicio& r);

    QMdiSubWindow* filhaAtiva() const;
    QMdiArea* areaFilhas() const { return mdi_; }
    QWidget* Barra() const { return barra_; }
    QString painelStatus(int i) const;

    // One handler per user action.
    void btnAnexosClick();
    void ExecucaoOrcamentaria1Click();
    void GestaoFiscal1Click();
    void EmpenhosReserva1Click();
    void btnSairClick();
    void btnAjudaClick();
    void btnOcultarClick();
    void btnExibirClick();

protected:
    // Closing the frame closes the child first; a child that keeps unsaved
    // typing open (the user cancelled) keeps the program running.
    void closeEvent(QCloseEvent* evento) override;
    void keyPressEvent(QKeyEvent* evento) override;
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    QWidget* criaFaixaTitulo();
    QWidget* criaBarra();
    void criaMenu();
    void criaStatus();
    // Closes and frees the child window in place, then shows the new one maximised.
    void abreFilha(const std::function<QWidget*()>& cria);
    void abreDigitacao(const QString& titulo);

    JanelasDoPrincipal janelas_;
    QMdiArea* mdi_ = nullptr;
    QWidget* barra_ = nullptr;
    QToolButton* btnOcultar_ = nullptr;
    QToolButton* btnExibir_ = nullptr;
    QLabel* paineis_[3] = {};
};

// "VEXO 8.0 - MÓDULO Norma Quadro 404 - Versão " + VersaoArquivo() when the
// program's own file is in `dirExecutavel`, else the design-time caption.
QString tituloPrincipal(const QString& dirExecutavel);

} // namespace nq
