#pragma once

#include "tables/clientdataset.h"

#include <QDialog>
#include <QPlainTextEdit>
#include <optional>

namespace nq {

// A multi-line text box that takes at most `limite` characters from typing or
// pasting. A longer text put there by the program stays whole (it can shrink,
// not grow).
class MemoLimitado : public QPlainTextEdit {
    Q_OBJECT
public:
    MemoLimitado(int limite, QWidget* pai = nullptr);
    int limite() const { return limite_; }
    // Replaces the text without the limit and without reporting it as typed.
    void carrega(const QString& texto);

signals:
    void textoDigitado(const QString& texto);

private:
    void limita();

    int limite_;
    qsizetype tamanho_ = 0;
};

// The justification of measures taken that annex 7 (Tag 0: code 1) and the
// fiscal-management report (other Tag: code 2) print. Edits one row of the
// justification file in the data directory; OK saves it with the other code's
// row untouched, the close box discards the typing. The caller owns the dialog
// and shows it modally; a file that cannot be read or written raises nq::Erro
// and leaves the dialog open.
class TFormJustific : public QDialog {
    Q_OBJECT
public:
    static constexpr int LimiteTexto = 700;

    explicit TFormJustific(QWidget* pai = nullptr);

    int Tag = 0;
    // The code this dialog edits: 1 for Tag 0, 2 otherwise.
    int codigo() const { return Tag == 0 ? 1 : 2; }

    ClientDataSet cdsJus{QStringLiteral("cdsJus")};
    MemoLimitado* DBMemo1 = nullptr;

    // Loads the row of the chosen code (creating the file and the row when missing)
    // and puts it in edit mode. Runs when the dialog is shown.
    void FormShow();
    void BtnOKClick();
    // Replaces the text as typing it would: held to the limit.
    void digita(const QString& texto);

protected:
    void showEvent(QShowEvent* evento) override;

public slots:
    void reject() override;

private:
    QString arquivo() const;
};

// How a justification dialog gets its answer: shown modally to the user in the
// program; a run without windows installs an answer given beforehand.
class RespostaDeJustificativa {
public:
    virtual ~RespostaDeJustificativa() = default;
    // Runs `dialogo` (its Tag set) to its end: saved with OK, or closed unsaved.
    virtual void responde(TFormJustific& dialogo) = 0;
};

// Installs `r` (the caller keeps it alive; nullptr puts back the dialog shown
// to the user) and returns the one it replaces.
RespostaDeJustificativa* instalaRespostaDeJustificativa(RespostaDeJustificativa* r);
// Asks for the justification of `dialogo` through the installed answer.
void pedeJustificativa(TFormJustific& dialogo);

// The answer of a run without windows: the text typed into every dialog asked
// for and confirmed with OK, or, without a text, each dialog closed unsaved.
class JustificativaDada : public RespostaDeJustificativa {
public:
    explicit JustificativaDada(std::optional<QString> texto) : texto_(std::move(texto)) {}
    void responde(TFormJustific& dialogo) override;
    // How many dialogs were answered.
    int respondidas() const { return respondidas_; }

private:
    std::optional<QString> texto_;
    int respondidas_ = 0;
};

} // namespace nq
