#pragma once

#include "annexes/common/estrada_anexo.h"
#include "tables/clientdataset.h"

#include <QWidget>
#include <memory>

class QPushButton;

namespace nq {

class AguardeRelatorio;
class TppReport;

// Annex 5, the primary and nominal results: fiscal revenues and expenditures
// (typed figures plus the database's, with the previous exercise beside
// them), the primary result, and the fiscal net debt at the end of the
// previous year and of every bimester. Its work files stay in the data
// directory with the computed figures: the fiscal-management report reads
// the debt one. The launcher creates the window hidden, presses btncalcula
// and frees it.
class TImpAnexo5 : public QWidget {
    Q_OBJECT
public:
    explicit TImpAnexo5(QWidget* dono = nullptr);
    ~TImpAnexo5() override;

    QPushButton* btncalcula = nullptr;
    ClientDataSet cdsRec{QStringLiteral("cdsRec")};
    ClientDataSet cdsDes{QStringLiteral("cdsDes")};
    ClientDataSet cdsEsp{QStringLiteral("cdsEsp")};
    ClientDataSet cdsRecAnt{QStringLiteral("cdsRecAnt")};
    ClientDataSet cdsDesAnt{QStringLiteral("cdsDesAnt")};
    ClientDataSet cdsEspAnt{QStringLiteral("cdsEspAnt")};
    TppReport& relatorio6() { return *relatorio6_; }

    // Computes, keeps the work files, prints and offers the workbook.
    void btncalculaClick();
    // Revenues and expenditures: typed figures plus the database's, and the
    // previous exercise's.
    void gera_receita_despesa_V(EstradaDoAnexo& estrada, AguardeRelatorio* aguarde);
    // Totals, the primary result and the fiscal net debt.
    void TOTALIZA_V(EstradaDoAnexo& estrada);
    // Line arithmetic: `alvo` := the lines from `primeiro` to `segundo` in ID
    // order (empty `operador`), or `primeiro` + or - `segundo`.
    void TOTALIZA_RECEITA(const QString& alvo, const QString& primeiro, const QString& segundo,
                          const QString& operador = {});
    void TOTALIZA_DESPESA(const QString& alvo, const QString& primeiro, const QString& segundo,
                          const QString& operador = {});
    void cdsRecCalcFields(ClientDataSet& t);
    void cdsDesCalcFields(ClientDataSet& t);
    void cdsEspCalcFields(ClientDataSet& t);
    void ppDetailBand12BeforePrint();

    // The work files of exercise `ano`: "NQ404_Anexo5_Receita_<ano>_2.xml" and
    // the like, in the data directory.
    static QString arquivoDeTrabalho(ArquivoDigitado arquivo, const QString& ano);
    // Statements run by the last computation, for measurement.
    int comandosExecutados() const { return comandos_; }

private:
    void receitas(EstradaDoAnexo& estrada, AguardeRelatorio* aguarde);
    void despesas(EstradaDoAnexo& estrada, AguardeRelatorio* aguarde);
    void saldosDeExerciciosAnteriores(EstradaDoAnexo& estrada);
    void resultadoPrimario();
    void dividaFiscalLiquida(EstradaDoAnexo& estrada);
    // Whether the layout of the exercises after 2005 applies.
    bool leiaute2006() const { return ano_ > 2005; }

    std::unique_ptr<TppReport> relatorio6_;
    int bimestre_ = 0; // the bimester of the computation, for the calculated fields
    int ano_ = 0;      // MEXER
    int comandos_ = 0;
};

} // namespace nq
