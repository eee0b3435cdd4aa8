#pragma once

#include "annexes/common/plano_figuras.h"
#include "core/moeda.h"
#include "entry/catalogo.h"

#include <QDate>
#include <QString>
#include <functional>
#include <vector>

class QPushButton;
class QWidget;

namespace nq {

class ClientDataSet;
class AguardeRelatorio;
class TCRSQLConnection;

// The figures one line of a planned walk adds into (or takes from) its own fields.
class FigurasDaLinha {
public:
    FigurasDaLinha(PlanoDeFiguras& plano, const QString& w) : plano_(plano), w_(w) {}
    void soma(const QString& campo, const FormaDaSoma& forma, Meses meses = {});
    void subtrai(const QString& campo, const FormaDaSoma& forma, Meses meses = {});

private:
    friend class EstradaDoAnexo;
    struct Parcela {
        QString campo;
        PlanoDeFiguras::Figura figura;
        bool negativa;
    };
    PlanoDeFiguras& plano_;
    QString w_;
    std::vector<Parcela> parcelas_;
};

// The road every annex travels, written once: its typed-data files copied to
// work files and loaded, the lines walked with one aggregate statement per
// figure, the workbook question, and the work files removed at the end. The
// annex states only its own statements, report and workbook cells.
class EstradaDoAnexo {
public:
    // `diretorio`: the year's data directory; `conexao`: where the statements run.
    EstradaDoAnexo(QString diretorio, TCRSQLConnection& conexao);

    // Copies the typed file `arquivo` (of year `ano` for the files kept once per
    // year) over the work file `trabalho` in the data directory and loads the copy
    // into `tabela` (stored row order, no index). The typed file is never changed.
    void carrega(ClientDataSet& tabela, ArquivoDigitado arquivo, const QString& trabalho,
                 const QString& ano = {});

    // Walks the rows of `tabela` in order. A row whose FILTRO is blank is left as
    // it is; any other row is edited, handed to `linha` with its condition
    // (surrounding blanks removed) and posted. `aguarde` advances with every row.
    void percorre(ClientDataSet& tabela, AguardeRelatorio* aguarde,
                  const std::function<void(const QString& filtro)>& linha);

    // Walks the rows of `tabela` in two steps. First `declara` states the figures
    // of every row whose FILTRO is not blank (the condition passed with its end
    // blanks removed); then the plan answers them all; then each such row, in
    // order, is edited, receives its figures in the order stated, is handed to
    // `depois` (fields derived from them) and is posted. Rows without a
    // condition are left as they are. `aguarde` advances with every row.
    void percorre(ClientDataSet& tabela, AguardeRelatorio* aguarde,
                  const std::function<void(FigurasDaLinha& linha, const QString& filtro)>& declara,
                  const std::function<void(const QString& filtro)>& depois = {});

    // The plan of this road's connection, for figures that are not a line's.
    PlanoDeFiguras& plano() { return plano_; }

    // The value of one aggregate statement: exact, 0 for a null sum or no row.
    Moeda soma(const QString& sql);
    // Statements run since this road was made, through soma and the plan.
    int comandos() const { return comandos_ + plano_.comandos(); }
    // Rows walked so far by percorre, over every table.
    int passos() const { return passos_; }

    enum class Planilha {
        NaoExporta,     // no path, a chamber, or the user said no
        ArquivoAusente, // said yes, but the path names no file: the user was asked to choose
        Exporta,        // said yes and the file exists
    };
    // The workbook question an annex asks after its preview: only with a path
    // and for an entity that is not a chamber.
    static Planilha perguntaPlanilha(bool camara);

    // Closes the loaded tables and deletes their work files.
    void limpa();

private:
    QString diretorio_;
    TCRSQLConnection& conexao_;
    PlanoDeFiguras plano_;
    std::vector<std::pair<ClientDataSet*, QString>> carregadas_;
    int comandos_ = 0;
    int passos_ = 0;
};

// Whether an entity name is a chamber's for the export question: its first
// three characters, with only a to z raised, read "CAM" or "CÂM".
bool camaraParaExportar(const QString& nome);

// Names a hidden annex window as the launcher finds it ("ImpAnexo1") and gives
// it the "btncalcula" button that the launcher presses.
QPushButton* criaBotaoCalcula(QWidget& janela, const QString& nome);
// The same for the windows whose button the launcher presses is "BtnImprimir".
QPushButton* criaBotaoImprimir(QWidget& janela, const QString& nome);

// The first and last day of bimester `b` (1 to 6) of the year `ano`.
std::pair<QDate, QDate> diasDoBimestre(int ano, int b);

// The field `campo` + k ("PREVISTO_BIM" + 3).
QString campoDoBimestre(const QString& campo, int bimestre);
// The sum of a per-bimester field over bimesters 1 to `ate`.
Moeda somaDosBimestres(ClientDataSet& tabela, const QString& campo, int ate);

} // namespace nq
