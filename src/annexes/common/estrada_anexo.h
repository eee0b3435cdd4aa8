#pragma once

#include "core/moeda.h"
#include "entry/catalogo.h"

#include <QString>
#include <functional>
#include <vector>

class QPushButton;
class QWidget;

namespace nq {

class ClientDataSet;
class AguardeRelatorio;
class TCRSQLConnection;

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

    // The value of one aggregate statement: exact, 0 for a null sum or no row.
    Moeda soma(const QString& sql);
    // Statements run through soma since this road was made.
    int comandos() const { return comandos_; }
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

// The field `campo` + k ("PREVISTO_BIM" + 3).
QString campoDoBimestre(const QString& campo, int bimestre);
// The sum of a per-bimester field over bimesters 1 to `ate`.
Moeda somaDosBimestres(ClientDataSet& tabela, const QString& campo, int ate);

} // namespace nq
