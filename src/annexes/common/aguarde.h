#pragma once

#include <QPointer>
#include <QWidget>

class QProgressBar;

namespace nq {

// "Aguarde... Preparando Relatório !!!" with a progress bar, shown while an
// annex computes. It has no logic of its own: the annex sets the range and
// moves the bar after each step.
class TFrmAguarde : public QWidget {
    Q_OBJECT
public:
    explicit TFrmAguarde(QWidget* dono = nullptr);

    QProgressBar* gauge1 = nullptr;

    // Moves the bar and paints the window at once; user input waits until the
    // computation ends.
    void mostraPasso(int passo);
};

// The wait window on screen, if any.
extern QPointer<TFrmAguarde> FrmAguarde;

// The wait window for one computation: shown at construction with `passos`
// steps, freed when the scope ends, also when the computation fails. Without
// a widget application (a run without windows) it shows nothing.
class AguardeRelatorio {
public:
    AguardeRelatorio(QWidget* dono, int passos);
    ~AguardeRelatorio();
    AguardeRelatorio(const AguardeRelatorio&) = delete;
    AguardeRelatorio& operator=(const AguardeRelatorio&) = delete;

    void passo(int n);

private:
    QPointer<TFrmAguarde> janela_;
};

} // namespace nq
