#pragma once

#include "tables/clientdataset.h"

#include <QWidget>
#include <memory>

class QPushButton;

namespace nq {

class EstradaDoAnexo;
class TppReport;

// Annex 7, credit operations against capital expenditure: per power, organ or
// entity the initial and current forecast of credit operations, the capital
// expenditure liquidated, its two legal deductions, the net capital
// expenditure and the credit operations of the exercise. The prefecture's line
// is what was typed plus the database's figures; the other lines are typed;
// the TOTAL line holds the column sums of the lines. When the prefecture's
// credit operations pass its net capital expenditure a justification is asked
// for and printed at the foot. The launcher creates the window hidden,
// presses BtnImprimir and frees it.
class TImpAnexo7 : public QWidget {
    Q_OBJECT
public:
    explicit TImpAnexo7(QWidget* dono = nullptr);
    ~TImpAnexo7() override;

    QPushButton* BtnImprimir = nullptr;
    // The print copy in ID order: the report's lines.
    ClientDataSet cdsPrint{QStringLiteral("cdsPrint")};
    // The justification file, code 1 only.
    ClientDataSet cdsJustif{QStringLiteral("cdsJustif")};
    TppReport& relatorio1() { return *relatorio1_; }

    // The whole run; any error is shown as "O seguinte erro ocorreu!" and ends it.
    void BtnImprimirClick();
    // Adds the database's figures of the bimester to the prefecture's line of
    // the print copy, totals the lines, saves the copy and loads it into cdsPrint.
    void gera_Receita_Despesa(EstradaDoAnexo& estrada, int exercicio);

    // The print copy in the data directory, rewritten at every run and kept.
    static QString arquivoDaCopia(const QString& diretorio);
    // Statements run by the last computation, for measurement.
    int comandosExecutados() const { return comandos_; }

private:
    void executa();
    // Copies the typed file over the print copy; a failed copy is reported and the run goes on.
    void copiaDigitado();
    // Asks for the justification when the credit operations pass the net capital expenditure.
    void justificaSePassou();
    // Binds the justification text to the report when the file exists.
    void ligaJustificativa();

    std::unique_ptr<TppReport> relatorio1_;
    int comandos_ = 0;
};

} // namespace nq
