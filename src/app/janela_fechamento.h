#pragma once

#include "fechamento.h"

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace nq {

// "Fechamento do Bimestre": the bimester, the output folder and, optionally,
// the Court of Accounts workbook and where its filled copy goes; the close
// runs behind a progress dialog that can be cancelled between reports, one
// line per report in the window's log, and the index page offered at the end.
// Runs on the data module the program started.
class TFrmFechamento : public QDialog {
    Q_OBJECT
public:
    TFrmFechamento(AnexosDisponiveis anexos, QWidget* pai = nullptr);

    QComboBox* combomes = nullptr;
    QLineEdit* edtSaida = nullptr;
    QLineEdit* edtPlanilha = nullptr;
    QLineEdit* edtPlanilhaSaida = nullptr;
    QPushButton* btnExecutar = nullptr;
    QPlainTextEdit* registro = nullptr;

    // Opens the index page when the user asks, false when nothing on this desktop opens
    // it; replaceable where there is no desktop.
    std::function<bool(const QString& indice)> abreIndice;

    // The Executar button: checks the fields, runs the close and tells how it
    // ended. Returns its status (statusDoFechamento), 2 when a field is wrong.
    int btnExecutarClick();

private:
    void criaControles();
    QString escolhePasta();

    AnexosDisponiveis anexos_;
};

} // namespace nq
