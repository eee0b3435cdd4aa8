#pragma once

#include "annexes/common/estrada_anexo.h"
#include "tables/clientdataset.h"

#include <QWidget>
#include <memory>

class QPushButton;

namespace nq {

class AguardeRelatorio;
class TppReport;

// Annex 2, the expenditure by function and sub-function: initial and updated
// appropriation, commitments and liquidations of the bimester and accumulated,
// and the appropriation still free, each typed figure plus the database's. A
// function prints as a heading over its sub-functions and closes with a
// "SubTotal:" of its own database figures; "TOTAIS:" adds the sub-function
// lines. The launcher creates the window hidden, presses btncalcula and frees it.
class TImpAnexo2 : public QWidget {
    Q_OBJECT
public:
    explicit TImpAnexo2(QWidget* dono = nullptr);
    ~TImpAnexo2() override;

    QPushButton* btncalcula = nullptr;
    ClientDataSet cdsImp{QStringLiteral("cdsImp")};
    TppReport& relatorio3() { return *relatorio3_; }

    // Computes, prints and offers the workbook.
    void btncalculaClick();
    // Fills cdsImp along `estrada`: every line's typed figures plus its database
    // figures, then "TOTAIS:" with the sum of the value lines.
    void funcional(EstradaDoAnexo& estrada, AguardeRelatorio* aguarde);
    void ppDetailBand3BeforePrint();
    void ppVariable1Calc();
    void ppGroupHeaderBand1AfterPrint();
    void ppGroupFooterBand1AfterPrint();

    // Statements run by the last computation, for measurement.
    int comandosExecutados() const { return comandos_; }

private:
    // Sets the seven variables from `primeira` on from the current row.
    void variaveisDaLinha(int primeira);

    std::unique_ptr<TppReport> relatorio3_;
    int comandos_ = 0;
};

// The condition W of a line: its function, and its sub-function (characters 4
// to 6 of SUBFUNCAO as stored) unless the trimmed SUBFUNCAO has two characters.
QString condicaoDaFuncao(const QString& funcao, const QString& subfuncao);

} // namespace nq
