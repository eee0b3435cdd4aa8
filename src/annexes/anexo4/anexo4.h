#pragma once

#include "annexes/common/estrada_anexo.h"
#include "tables/clientdataset.h"

#include <QWidget>
#include <array>
#include <memory>

class QPushButton;

namespace nq {

class AguardeRelatorio;
class TppReport;

// Annex 4, the own social-security regime: its revenues and expenditures
// (typed figures plus the database's), their totals and result, and the
// financial availability (receipts, payments and the cash, bank and
// investment balances). The launcher creates the window hidden, presses
// btncalcula and frees it.
class TImpAnexo4 : public QWidget {
    Q_OBJECT
public:
    explicit TImpAnexo4(QWidget* dono = nullptr);
    ~TImpAnexo4() override;

    QPushButton* btncalcula = nullptr;
    ClientDataSet cdsRec{QStringLiteral("cdsRec")};
    ClientDataSet cdsDes{QStringLiteral("cdsDes")};
    ClientDataSet cdsRecFin{QStringLiteral("cdsRecFin")};
    ClientDataSet cdsDesFin{QStringLiteral("cdsDesFin")};
    TppReport& relatorio5() { return *relatorio5_; }

    // Computes, prints and offers the workbook.
    void btncalculaClick();
    // Revenues and expenditures: typed figures plus the database's, the two
    // total lines and the result.
    void gera_receita_despesa_IV(EstradaDoAnexo& estrada, AguardeRelatorio* aguarde);
    // The financial receipts and payments of the bimester.
    void TOTALIZA_IV(EstradaDoAnexo& estrada, AguardeRelatorio* aguarde);
    void cdsRecCalcFields(ClientDataSet& t);
    void cdsDesCalcFields(ClientDataSet& t);
    void cdsRecFinCalcFields(ClientDataSet& t);
    void relatorio5PreviewFormCreate();
    void ppLabel130Print();

    // Statements run by the last computation, for measurement.
    int comandosExecutados() const { return comandos_; }

private:
    // What the walked lines add up to, for the total lines and the result.
    struct Totais {
        Moeda inicial, atualizada;
        std::array<Moeda, 7> bimestre{}, empenhado{}, liquidado{}; // index 1 to 6
    };
    void receitas(EstradaDoAnexo& estrada, AguardeRelatorio* aguarde, Totais& receita);
    void despesas(EstradaDoAnexo& estrada, AguardeRelatorio* aguarde, Totais& despesa);
    void resultado(const Totais& receita, const Totais& despesa);
    // Sets the headings from the municipality record; gives the chamber test and MEXER.
    void cabecalhos(bool& camara, QString& exercicio);

    std::unique_ptr<TppReport> relatorio5_;
    int bimestre_ = 0; // the bimester of the computation, for the calculated fields
    QString exercicio_;
    int comandos_ = 0;
};

} // namespace nq
