#pragma once

#include "annexes/common/plano_figuras.h"
#include "tables/clientdataset.h"

#include <QWidget>
#include <memory>

class QPushButton;

namespace nq {

class AguardeRelatorio;
class TppReport;

// Annex 3, the current net revenue: fourteen monthly values per line, the
// twelve months that end with the chosen bimester and the two before them,
// read from the current year's database and, for the months of the year
// before, from the previous year's (when connected), each plus the figures
// typed for the indirect administration. When the preview closes the table
// is kept as the RCL file that the fiscal-management report reads.
class TImpAnexo3 : public QWidget {
    Q_OBJECT
public:
    explicit TImpAnexo3(QWidget* dono = nullptr);
    ~TImpAnexo3() override;

    QPushButton* btncalcula = nullptr;
    ClientDataSet cdsImp{QStringLiteral("cdsImp")};
    ClientDataSet cdsDig{QStringLiteral("cdsDig")};
    ClientDataSet cdsDigAnt{QStringLiteral("cdsDigAnt")};
    TppReport& relatorio4() { return *relatorio4_; }

    // Computes, prints and offers the workbook.
    void btncalculaClick();
    // Builds cdsImp from the typed file and fills its month series.
    void ReceitaLiquida(AguardeRelatorio* aguarde);
    // The month series of line `id`: its statement's figure for each month, plus
    // the typed figure of the month.
    void valores(const QString& id);
    // The FUNDEF line: where the month had FUNDEF receipts, the smaller of
    // them and the month's deductions.
    void LIQUIDO();
    // Line `alvo` := the lines from `primeiro` to `ultimo`; "00300" := `primeiro` − `ultimo`.
    void TOTALIZA(const QString& alvo, const QString& primeiro, const QString& ultimo);
    void ppVariable1Calc(Value& valor);
    void ppVariable2Calc(Value& valor);
    void relatorio4PreviewFormClose();

    // "NQ404_RCL" + bimester digit + ".XML" in the data directory.
    static QString arquivoRcl(const QString& diretorio, const QString& digitoBimestre);
    // Statements run by the last computation and the rows they gave, for measurement.
    int comandosExecutados() const { return comandos_; }
    qint64 linhasLidas() const { return linhas_; }

private:
    struct Figuras;
    // Sets the headings; answers whether the entity is a chamber and its MEXER.
    bool cabecalhos(QString& exercicio);

    std::unique_ptr<TppReport> relatorio4_;
    // The figures of the computation under way, asked before the lines are filled.
    std::unique_ptr<Figuras> figuras_;
    int comandos_ = 0;
    qint64 linhas_ = 0;
};

// Slot k of the fourteen ("" for 0, else k): the field names "M" + k and "MES" + k.
QString sufixoDoSlot(int k);
// The FUNDEF rule of one month: with FUNDEF receipts `fundef` above 0, the
// smaller of them and the deductions; otherwise the month keeps `serie`.
Moeda regraDoFundef(Moeda serie, Moeda fundef, Moeda deducoes);

// The annex's statements, one per FROM it reads, with `w` as their condition.
std::vector<FormaDaSoma> formasDoAnexo3(const QString& w);

} // namespace nq
