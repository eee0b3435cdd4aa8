#pragma once

#include <QDialog>

class QCheckBox;
class QPushButton;

namespace nq {

// Whether the reports show reserve commitments ("Empenhos de Reserva de
// Dotação"): PARAMEDU.RD, "T" or "F", the module's one write to the accounting
// database.
class Tfrmparamedu : public QDialog {
    Q_OBJECT
public:
    explicit Tfrmparamedu(QWidget* pai = nullptr);

    QCheckBox* RD = nullptr;
    QPushButton* BtnOK = nullptr;
    QPushButton* BtnCancela = nullptr;

    // Shows the stored setting; runs each time the dialog is shown.
    void FormActivate();
    void RDClick();
    // Writes "T" or "F" in one transaction on the current year's connection, then closes.
    void BtnOKClick();

protected:
    void showEvent(QShowEvent* evento) override;
};

} // namespace nq
