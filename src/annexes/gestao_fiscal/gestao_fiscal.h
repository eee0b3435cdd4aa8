#pragma once

#include "annexes/gestao_fiscal/periodo_gestao.h"
#include "tables/clientdataset.h"

#include <QDialog>
#include <functional>
#include <memory>

class QComboBox;
class QPushButton;
class QRadioButton;

namespace nq {

class TppReport;
struct CadastroDoCliente;

// The fiscal-management report ("Modelo 10"): for a bimester or a
// quadrimester, the current net revenue (RCL) set against personnel
// expenditure and its limits, net expenditure with retirees and pensioners,
// consolidated and securities debt, guarantees, credit operations and
// revenue-anticipation operations, each with its percentage of the RCL for
// the period and the previous exercise, the excesses over the legal limits,
// and, at the end of the year, cash and unpaid commitments. It reads what
// annexes 3, 5 and 10 left in the data directory, writes its figures into the
// fiscal-management file and prints them from there; a limit passed asks for
// the measures taken, printed at the foot. The launcher shows it modally and
// keeps it for later runs.
class TForm101 : public QDialog {
    Q_OBJECT
public:
    explicit TForm101(QWidget* dono = nullptr);
    ~TForm101() override;

    QRadioButton* RBim = nullptr;
    QRadioButton* RQua = nullptr;
    QWidget* PBim = nullptr;
    QComboBox* CBim = nullptr;
    QWidget* PQua = nullptr;
    QComboBox* combomes = nullptr;
    QPushButton* BtnImprimir = nullptr;
    QPushButton* Cancela = nullptr;

    ClientDataSet cdsGestao{QStringLiteral("cdsGestao")};
    ClientDataSet cdsGe3{QStringLiteral("cdsGe3")};
    ClientDataSet cdsGeJus{QStringLiteral("cdsGeJus")};
    TppReport& relatorio1() { return *relatorio1_; }

    // The whole run: checks the inputs, computes, prints, offers the workbook.
    void BtnImprimirClick();
    void RBimClick();
    void RQuaClick();
    void relatorio1PreviewFormCreate();

    // Whether the last run found an amount over its legal limit.
    bool limiteUltrapassado() const { return ultrapassado_; }
    // Statements run by the last computation, for measurement.
    int comandosExecutados() const { return comandos_; }

private:
    // The period the visible selector names (its number 0 when none is chosen).
    PeriodoDaGestao periodo() const;
    void cabecalhos(const CadastroDoCliente& c, bool camara);
    // The measures taken, asked for once a limit is passed.
    void pedeJustificativa();
    // The workbook question, for a quadrimester with a workbook given.
    void exporta(const PeriodoDaGestao& p, bool camara);

    std::unique_ptr<TppReport> relatorio1_;
    bool ultrapassado_ = false;
    int comandos_ = 0;
};

// How the report opens the data-entry window it offers a chamber whose revenue
// was not typed: modally in the program. A run without windows, where nobody
// can type, installs its own; `nullptr` puts the program's back. Returns the
// one it replaces.
using AberturaDaDigitacao = std::function<void()>;
AberturaDaDigitacao instalaAberturaDaDigitacao(AberturaDaDigitacao abertura);

} // namespace nq
