#pragma once

#include "entry/janela/anexos_digitados.h"
#include "tables/clientdataset.h"

#include <QPointer>
#include <QWidget>
#include <functional>

class QComboBox;
class QKeyEvent;
class QLabel;
class QPushButton;
class QTableView;

namespace nq {

class ModeloDaGrade;
class DelegadoDaGrade;

// The window in which the user types the indirect-administration figures of
// one annex into its typed-data file: choose the annex (and a year or type
// where asked), "&Digitar", type into the grid, then "Ok" saves and
// recalculates the calculated lines, "Cancela" discards. Nothing is saved
// implicitly, and nothing typed is dropped unasked: leaving typing with
// changes ("Cancela", Escape, closing the window) asks whether to save them.
// The window frees itself when closed.
class TFrmDigitacao : public QWidget {
    Q_OBJECT
public:
    // `relato`: the report family title; its first character ("1" execution,
    // "2" fiscal management) selects the annex list.
    explicit TFrmDigitacao(const QString& relato, FontesDaDigitacao fontes = fontesDoPrograma(),
                           QWidget* pai = nullptr);
    ~TFrmDigitacao() override;

    QLabel* relato = nullptr;
    QComboBox* cmbAnexos = nullptr;
    QWidget* paginas = nullptr;
    QLabel* Label6 = nullptr;
    QComboBox* cmbmes = nullptr;
    QLabel* labeltipo = nullptr;
    QComboBox* comboTipo = nullptr;
    QPushButton* btnmes = nullptr;
    QTableView* DBGrid = nullptr;
    QPushButton* btnok = nullptr;
    QPushButton* btncancel = nullptr;
    QLabel* lblGravado = nullptr; // where the last "Ok" saved
    ClientDataSet cdsDig{QStringLiteral("cdsDig")};

    // One handler per user action; errors raise nq::Erro (the window's own
    // connections show them).
    void FormShow();
    void cmbAnexosChange();
    void btnmesClick();
    void btnokClick();
    void btncancelClick();
    void comboTipoChange();
    void cmbmesChange();
    void cdsDigAfterOpen();
    // Titles the visible grid columns after the first three with `titulos` and
    // makes them editable; the columns before and after become read-only.
    void CAMPOS_VISIVEIS(const QStringList& titulos);
    // A key typed in the grid; true when it was dealt with here.
    bool DBGridKeyPress(QKeyEvent* tecla);

    // The annex code of the chosen list item ("1", "1-b" ... "10-b"; empty: none).
    QString codigoDoAnexo() const;
    // Whether typing would be lost: a changed cell, or a cell editor holding new text.
    bool temAlteracoes() const;
    bool anexo3() const { return anexo3_; }
    ModeloDaGrade* modelo() const { return modelo_; }

protected:
    void showEvent(QShowEvent* evento) override;
    void closeEvent(QCloseEvent* evento) override;
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    void montaTela(const QString& titulo);
    void conecta();
    // Ends typing in an open cell editor, dropping what it holds.
    void descartaEditor();
    // Hands the open cell editor's text to its cell; false, with the editor left
    // open on the cell, when the value is refused.
    bool confirmaEditor();
    // "Ok": false when nothing was saved (a refused value, a failed save).
    bool gravaAlteracoes();
    // Before typing is left: asks about changes; false when the user keeps typing.
    bool resolveAlteracoes();
    void ajustaColunas();
    void fechaTabela();
    void protegido(const std::function<void()>& acao);

    FontesDaDigitacao fontes_;
    ModeloDaGrade* modelo_ = nullptr;
    DelegadoDaGrade* delegado_ = nullptr;
    QPointer<QWidget> barra_;
    bool barraVisivel_ = false;
    bool mostrada_ = false;
    bool anexo3_ = false;
};

} // namespace nq
