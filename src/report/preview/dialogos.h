#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace nq {

// Shown while pages go to the printer or a file: the printing status and one button that
// stops the job. It has no window buttons, so the job ends only by finishing or by that
// button.
class TppCancelDialog : public QDialog {
    Q_OBJECT
public:
    explicit TppCancelDialog(QWidget* pai = nullptr);

    // "Imprimindo a página ..." (or "... Página <page> de <pagecount> ..." when the count
    // is known, `total` > 0); lets the window process the user's click.
    void mostraStatus(int pagina, int total, const QString& documento, const QString& impressora);
    bool cancelado() const { return cancelado_; }

private:
    QLabel* status_;
    QPushButton* cancelar_;
    bool cancelado_ = false;
};

// Tells that the report has no data, when its layout asks for a message.
class TppNoDataDialog : public QDialog {
    Q_OBJECT
public:
    explicit TppNoDataDialog(QWidget* pai = nullptr);
};

} // namespace nq
