#pragma once

#include "annexes/common/estrada_anexo.h"
#include "db/sqlclientdataset.h"

#include <QWidget>
#include <memory>

class QPushButton;

namespace nq {

class AguardeRelatorio;
class TppReport;

// Annex 6, the commitments carried over to be paid (restos a pagar): per power,
// body or entity, as the database's procedure returns them for the bimester,
// what was inscribed, cancelled and paid and the cash that covers it; in the
// sixth bimester also by destination of resources. The figures are the
// database's own: the window formats and prints them, adding nothing. The
// launcher creates the window hidden, presses BtnImprimir and frees it.
class TImpAnexo6 : public QWidget {
    Q_OBJECT
public:
    explicit TImpAnexo6(QWidget* dono = nullptr);
    ~TImpAnexo6() override;

    QPushButton* BtnImprimir = nullptr;
    SQLClientDataSet cdsRestos;
    SQLClientDataSet cdsRestos_Vinc;
    TppReport& relatorio1() { return *relatorio1_; }

    // Computes, prints and offers the workbook.
    void BtnImprimirClick();
    // Opens both result sets for the launcher's bimester, on the current year's connection.
    void calcula_restos(AguardeRelatorio* aguarde);

    // "P" when the database names a legislative power under code 01, else "O".
    static QString tipoDePoder();

private:
    std::unique_ptr<TppReport> relatorio1_;
    CadastroDoCliente cliente_;
};

} // namespace nq
