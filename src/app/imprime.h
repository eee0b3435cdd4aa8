#pragma once

#include "annexes/common/lancador.h"

#include <QWidget>
#include <functional>
#include <map>
#include <memory>

class QComboBox;
class QLineEdit;
class QToolButton;
class QTreeWidget;

namespace nq {

class TppReport;

// Creates an annex window owned by `dono`. The launcher presses its button by
// name ("btncalcula", "BtnImprimir"); the windows it shows modally are dialogs.
using FabricaDeAnexo = std::function<QWidget*(QWidget* dono)>;
// The annex windows of this build by window name ("ImpAnexo1", "Form07",
// "Form101"); a row whose window is missing says its annex is not available yet.
using AnexosDisponiveis = std::map<QString, FabricaDeAnexo>;

// The annex launcher: the bimester, the Court of Accounts workbook and the list
// of annexes, one started per click (or Enter). While an annex computes it
// reads this window's values through lancador().
class TFrmImprime : public QWidget, public ValoresDoLancador {
    Q_OBJECT
public:
    TFrmImprime(AnexosDisponiveis anexos, FabricaDePlanilha planilha, QWidget* pai = nullptr);
    ~TFrmImprime() override;

    QComboBox* combomes = nullptr;
    QLineEdit* Edit1 = nullptr;
    QToolButton* SpeedButton1 = nullptr;
    QTreeWidget* ListView1 = nullptr;
    // The chamber notice.
    TppReport& relatorio() { return *relatorio_; }

    // The file dialog of the choose button; replaceable where nobody can answer one.
    std::function<QString()> escolheArquivo;
    // Opens the workbook for the version check. It is called on a thread of its
    // own, so it must not hand out a session of an office made on another thread
    // (the program gives it planilhaNumOfficeProprio). By default, the constructor's.
    FabricaDePlanilha planilhaDaVerificacao;

    QString textoBimestre() const override;
    int indiceBimestre() const override;
    QString caminhoPlanilha() const override;
    void escolhePlanilha() override { SpeedButton1Click(); }
    std::unique_ptr<Planilha> novaPlanilha() override;

    // Sets the chamber flag and the reserve filter; runs each time the window is shown.
    void FormShow();
    // Starts the current row of the list.
    void ListView1Click();
    void SpeedButton1Click();
    // The workbook check, when the focus leaves the path field. An outcome kept in
    // corfoco.ini for the same file, unchanged since, stands without opening it.
    void Edit1Exit();

protected:
    void showEvent(QShowEvent* evento) override;
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    struct Linha;
    static const std::vector<Linha>& linhas();

    void criaControles();
    void executaLinha(int linha);
    // "Anexo 1 - Relatório Resumido da Execução Orçamentária - <entity> - 3º Bimestre de 2008":
    // the title of what the row prints.
    QString tituloDaLinha(int linha);
    void imprimeAviso(const Linha& linha);
    void executaAnexo(const Linha& linha);

    AnexosDisponiveis anexos_;
    FabricaDePlanilha planilha_;
    std::unique_ptr<TppReport> relatorio_;
    ValoresDoLancador* anterior_ = nullptr;
    bool verificando_ = false;
};

} // namespace nq
