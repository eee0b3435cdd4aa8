#pragma once

#include "tables/clientdataset.h"

#include <QWidget>
#include <memory>

class QPushButton;

namespace nq {

class TppReport;

// Annex 8, the actuarial projection of the municipality's own social-security
// regime: one line per year of the typed file, in year order, with its revenue,
// expenditure and their difference. Everything but the heading is typed; the
// file is created when missing and otherwise used as it is. The launcher
// creates the window hidden, presses btncalcula and frees it.
class TImpAnexo8 : public QWidget {
    Q_OBJECT
public:
    explicit TImpAnexo8(QWidget* dono = nullptr);
    ~TImpAnexo8() override;

    QPushButton* btncalcula = nullptr;
    ClientDataSet cdsProjecao{QStringLiteral("cdsProjecao")};
    TppReport& RelatorioProjecao() { return *relatorio_; }

    // Loads the projection, prints it and offers the workbook.
    void btncalculaClick();
    // Loads the typed file (created when missing) into cdsProjecao in year order.
    void carregaProjecao();
    // Each year's result, revenue less expenditure, in memory only; an empty
    // amount becomes 0, as it prints.
    void calculaResultados();

private:
    std::unique_ptr<TppReport> relatorio_;
};

} // namespace nq
