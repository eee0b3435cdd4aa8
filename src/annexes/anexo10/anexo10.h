#pragma once

#include "tables/clientdataset.h"

#include <QDialog>
#include <memory>

class QComboBox;
class QPushButton;

namespace nq {

class AguardeRelatorio;
class EstradaDoAnexo;
class TppReport;

// Annex 10, the personnel and social-security expenditure by month: for a
// reference month, each line's figure in each of the twelve months that end
// with it (the months of the year before from the previous year's database,
// when connected), plus the figures typed for the indirect administration;
// the deductions and the net line. When the preview of an even month closes
// the computed table is kept as the DP file that the fiscal-management report
// reads. The launcher shows the window modally; it has its own month list.
class TImpAnexo10 : public QDialog {
    Q_OBJECT
public:
    explicit TImpAnexo10(QWidget* dono = nullptr);
    ~TImpAnexo10() override;

    QComboBox* combomes = nullptr;
    QPushButton* BtnImprimir = nullptr;
    QPushButton* Cancela = nullptr;
    ClientDataSet cdsAnx10{QStringLiteral("cdsAnx10")};
    ClientDataSet cdsDP1{QStringLiteral("cdsDP1")};
    ClientDataSet cdsDP2{QStringLiteral("cdsDP2")};
    TppReport& relatorio1() { return *relatorio1_; }

    // The whole run for the chosen month: computes, prints, offers the workbook.
    void BtnImprimirClick();
    // The computed file: the typed file copied along `estrada`, plus the
    // database's month figures. False when the copy failed (the user was told;
    // nothing runs).
    bool Calcula_Dados(EstradaDoAnexo& estrada, AguardeRelatorio* aguarde);
    // The subtotals, the total and the net line, in every month column.
    void Totaliza();
    // Binds the report's columns to the twelve months and loads both pages.
    void TITMeses();
    void TotaisCalc(Value& valor);
    void ppVariable1Calc(Value& valor);
    // Keeps the DP file of an even month and deletes the computed file.
    void relatorio1PreviewFormClose();

    // The month list's items, "01 - Janeiro " ... "12 - Dezembro".
    static const QStringList& itensDoMes();
    // "NQ404_DP" + MM + ".XML" in `diretorio` (found under any letter case).
    static QString arquivoDp(const QString& diretorio, int mes);
    // "NQ404_ANX10C.XML" in `diretorio`.
    static QString arquivoCalculado(const QString& diretorio);
    // Statements run and rows read by the last computation, for measurement.
    int comandosExecutados() const { return comandos_; }
    qint64 linhasLidas() const { return linhas_; }

private:
    // Heading, period and signature texts from the municipality record; sets
    // the year and the executive flag of the run.
    void leCliente();
    void exportaParaPlanilha();

    std::unique_ptr<TppReport> relatorio1_;
    int mes_ = 0;            // the reference month, 1 to 12
    int ano_ = 0;            // MEXER
    QString exercicio_;      // MEXER as printed
    bool executivo_ = false; // CLNT1 starts with "P"
    int comandos_ = 0;
    qint64 linhas_ = 0;
};

// The long name of month `i`, 1 to 24 (13 to 24: the same twelve again).
QString nomeDoMesDoAnexo10(int i);
// The period printed under the heading for reference month `mes` of year
// `ano`: the power, then the first and last of the twelve months with their years.
QString periodoDoAnexo10(bool executivo, int mes, int ano);

} // namespace nq
