#pragma once

#include "annexes/common/estrada_anexo.h"
#include "tables/clientdataset.h"

#include <QWidget>
#include <memory>

class QPushButton;

namespace nq {

class AguardeRelatorio;
class TppReport;

// Annex 1B, the budget execution by branch and organ: for the direct
// administration and for each entity of the municipality, the budgetary
// revenue collected and the expenditure committed and liquidated, in the
// bimester and accumulated, the result and its share of the whole budgetary
// revenue. The launcher creates the window hidden, presses btncalcula and
// frees it.
class TImpAnexo1B : public QWidget {
    Q_OBJECT
public:
    explicit TImpAnexo1B(QWidget* dono = nullptr);
    ~TImpAnexo1B() override;

    QPushButton* btncalcula = nullptr;
    ClientDataSet cdsRec{QStringLiteral("cdsRec")};
    ClientDataSet cdsDes{QStringLiteral("cdsDes")};
    TppReport& RELATORIO2() { return *relatorio2_; }

    // Computes, prints and offers the workbook.
    void btncalculaClick();
    // Fills the two work tables along `estrada`: typed figures plus the database's,
    // and the "TOTAIS:" lines with the database part of the value lines.
    void gera_receita_despesa_tcm01B(EstradaDoAnexo& estrada, AguardeRelatorio* aguarde);
    // The eight variables of the receipt row being printed, all at once.
    void ppVariable1Calc();

    // The whole budgetary revenue up to the end of the bimester (the base of the
    // percentage), as the last computation found it.
    Moeda receitaTotal() const { return receitaTotal_; }
    // Statements run by the last computation, for measurement.
    int comandosExecutados() const { return comandos_; }

private:
    std::unique_ptr<TppReport> relatorio2_;
    Moeda receitaTotal_;
    int comandos_ = 0;
};

// The condition W of a line of either table, from its key `chave`: the direct
// administration ("0100.00") or the entity whose number the key holds. A key
// that is not a number throws nq::Erro.
QString condicaoDaLinha(const QString& chave, bool despesa);
// `parte` as a percentage of `todo`, to four places; 0 when `todo` is 0.
Moeda percentualDe(Moeda parte, Moeda todo);

} // namespace nq
