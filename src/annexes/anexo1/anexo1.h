#pragma once

#include "annexes/common/estrada_anexo.h"
#include "tables/clientdataset.h"

#include <QWidget>
#include <memory>

class QPushButton;

namespace nq {

class AguardeRelatorio;
class TppReport;
class TppVariable;
class Value;

// Annex 1, the summary budget execution: receipts by economic category with
// forecast and realisation, expenditure by nature group with appropriation,
// commitment and liquidation, and the surplus or deficit line. The launcher
// creates the window hidden, presses btncalcula and frees it.
class TImpAnexo1 : public QWidget {
    Q_OBJECT
public:
    explicit TImpAnexo1(QWidget* dono = nullptr);
    ~TImpAnexo1() override;

    QPushButton* btncalcula = nullptr;
    ClientDataSet cdsRec{QStringLiteral("cdsRec")};
    ClientDataSet cdsDes{QStringLiteral("cdsDes")};
    TppReport& relatorio1() { return *relatorio1_; }

    // Asks about the forecast division, computes, prints and offers the workbook.
    void btncalculaClick();
    // Fills the two work tables along `estrada`: typed figures plus the database's.
    void gera_receita_despesa(EstradaDoAnexo& estrada, AguardeRelatorio* aguarde);
    void relatorio1PreviewFormCreate();
    void ppVariable1Calc();
    void ppVariable4Calc();

    // The forecast-division flag: the first question's answer.
    bool divideprevisao = false;
    // The statements of the last computation and the rows they gave, for measurement.
    int comandosExecutados() const { return comandos_; }
    qint64 linhasLidas() const { return linhas_; }

private:
    void receita(FigurasDaLinha& linha, int b);
    void despesa(FigurasDaLinha& linha, int b);
    void divideAPrevisao(int b);
    void superavit();
    // Sets the headings from the municipality record; gives the chamber test and MEXER.
    void cabecalhos(bool& camara, QString& exercicio);

    std::unique_ptr<TppReport> relatorio1_;
    int comandos_ = 0;
    qint64 linhas_ = 0;
};

// The annex's statements with the line's condition left open: those of the
// receipt lines, and those of the expenditure lines under a reserve-commitment
// filter (as the launcher gives it).
std::vector<FormaDaSoma> formasDaReceitaDoAnexo1();
std::vector<FormaDaSoma> formasDaDespesaDoAnexo1(const QString& filtroReserva);

} // namespace nq
