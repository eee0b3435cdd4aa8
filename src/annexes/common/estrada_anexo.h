#pragma once

#include "annexes/common/plano_figuras.h"
#include "core/gravacao_atomica.h"
#include "core/moeda.h"
#include "entry/catalogo.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QPushButton;
class QWidget;

namespace nq {

class AguardeRelatorio;
class ClientDataSet;
class Planilha;
class TCRSQLConnection;

// The figures one line of a planned walk adds into (or takes from) its own
// fields, applied in the order stated.
class FigurasDaLinha {
public:
    FigurasDaLinha(PlanoDeFiguras& plano, const QString& w) : plano_(plano), w_(w) {}
    void soma(const QString& campo, const FormaDaSoma& forma, Meses meses = {});
    void subtrai(const QString& campo, const FormaDaSoma& forma, Meses meses = {});
    // The same figure answered by `plano`: the plan of another connection (the
    // previous year's database).
    void soma(PlanoDeFiguras& plano, const QString& campo, const FormaDaSoma& forma,
              Meses meses = {});
    // `para` takes what `de` holds at this point of the line's figures (a typed
    // figure replaced by one computed before it).
    void copia(const QString& de, const QString& para);
    // The figures stated after this use `w` in place of the stored FILTRO (a
    // line whose condition is made at run time).
    void usaCondicao(const QString& w) { w_ = w; }

private:
    friend class EstradaDoAnexo;
    struct Parcela {
        QString campo;
        PlanoDeFiguras* plano; // null: a copy of the field `copiaDe`
        PlanoDeFiguras::Figura figura;
        bool negativa;
        QString copiaDe;
    };
    PlanoDeFiguras& plano_;
    QString w_;
    std::vector<Parcela> parcelas_;
};

// The road every annex travels, written once: its typed-data files copied to
// work files and loaded, the lines walked with their figures answered by a
// figure plan (few passes over the database, each figure equal to its literal
// statement), the workbook question, and the work files removed at the end. The
// annex states only its own statements, report and workbook cells.
class EstradaDoAnexo {
public:
    // What becomes of the work files when the road goes without limpa() (a
    // failure, an early return). Annexes whose work files outlive the run (a file
    // a later report reads) keep them. RestauraCopias keeps them only once the
    // run has said they hold its finished figures (conclui()); before that, the
    // road's end puts back what each work file held before the run (or removes
    // it when there was none), so a later report never reads the typed figures of
    // a computation that failed half-way.
    enum class AoSair { GuardaCopias, ApagaCopias, RestauraCopias };

    // `diretorio`: the year's data directory; `conexao`: where the statements run.
    EstradaDoAnexo(QString diretorio, TCRSQLConnection& conexao,
                   AoSair aoSair = AoSair::GuardaCopias);
    ~EstradaDoAnexo();
    EstradaDoAnexo(const EstradaDoAnexo&) = delete;
    EstradaDoAnexo& operator=(const EstradaDoAnexo&) = delete;

    // Copies the typed file `arquivo` (of year `ano` for the files kept once per
    // year) over the work file `trabalho` in the data directory and loads the copy
    // into `tabela` (stored row order, no index). The typed file is never changed.
    // While this road lives, an interrupted run removes the copy.
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

    // The same two-step walk for lines whose condition is not their FILTRO:
    // `condicao` gives the current row's condition W as the statements join it
    // (an empty text leaves the row as it is), and W is what `declara` and
    // `depois` receive. Every condition is asked for before the first figure is
    // answered, so an error in one leaves every row untouched.
    using CondicaoDaLinha = std::function<QString(ClientDataSet& tabela)>;
    void percorre(ClientDataSet& tabela, AguardeRelatorio* aguarde, const CondicaoDaLinha& condicao,
                  const std::function<void(FigurasDaLinha& linha, const QString& w)>& declara,
                  const std::function<void(const QString& w)>& depois = {});

    // The plan of this road's connection, for figures that are not a line's.
    PlanoDeFiguras& plano() { return plano_; }
    // The plan of another connection (the previous year's database), made on
    // first use and kept for the life of the road.
    PlanoDeFiguras& plano(TCRSQLConnection& conexao);

    // The value of one aggregate statement: exact, 0 for a null sum or no row.
    Moeda soma(const QString& sql);
    // Statements run since this road was made, through soma and the plan.
    int comandos() const;
    // Rows read by this road's statements (one per soma) and its plans.
    qint64 linhas() const;
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
    // Its text, by which a run without windows tells it from the other questions.
    static const QString& textoDaPerguntaPlanilha();

    // Closes the loaded tables and deletes their work files.
    void limpa();
    // The work files now hold the run's finished figures: a road that restores
    // its copies leaves them as they are.
    void conclui() { concluida_ = true; }

private:
    QString diretorio_;
    TCRSQLConnection& conexao_;
    AoSair aoSair_;
    PlanoDeFiguras plano_;
    std::vector<std::pair<TCRSQLConnection*, std::unique_ptr<PlanoDeFiguras>>> outrosPlanos_;
    std::vector<std::pair<ClientDataSet*, QString>> carregadas_;
    std::vector<std::unique_ptr<ArquivoPendente>> pendentes_;
    // What each work file held before the run (none: it did not exist), for RestauraCopias.
    std::vector<std::pair<QString, std::optional<QByteArray>>> anteriores_;
    bool concluida_ = false;
    int comandos_ = 0;
    int passos_ = 0;
};

// The municipality record (CADCLI) as the annexes print it.
struct CadastroDoCliente {
    QString nome;      // CLNT1
    QString cidade;    // CID
    QString exercicio; // MEXER, blanks removed
    // Names and titles under the signature lines: the mayor (PREN, PRE), the
    // accountant (CONN, CON) and the internal-control officer (TESN, TES).
    QString prefeito, tituloPrefeito, contador, tituloContador, controle, tituloControle;

    // The exercise as a number; raises nq::Erro when MEXER is no year.
    int ano() const;
};
// Reads it afresh through the data module's qrCliente, which is left closed;
// an empty table raises nq::Erro.
CadastroDoCliente leCadastroDoCliente();

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

// Whether an entity name is a chamber's for the annexes that raise the whole
// prefix: its first three characters in capitals read "CAM" or "CÂM".
bool camaraEmMaiusculas(const QString& nome);
// The same for the annexes that compare that prefix with "CAM" alone: a name
// that keeps its accent ("Câmara", "CÂMARA") is not taken for a chamber there.
bool camaraSemAcento(const QString& nome);

// Opens the Court of Accounts workbook `caminho` and fills its sheet "Com" as
// every annex does before its own sheet: the year's last digit (fourth
// character of `exercicio`, MEXER) in AR6, the bimester in AH6, its last month
// in AJ6.
void abrePlanilhaNaFolhaCom(Planilha& planilha, const QString& caminho, const QString& exercicio,
                            int bimestre);
// The same as annexes 7 and 8 fill it, with texts: the year's first four
// characters in AR6, the bimester in AH6, its last month in AJ6. Without a
// bimester (0) those two cells keep what they hold.
void abrePlanilhaNaFolhaComEmTexto(Planilha& planilha, const QString& caminho,
                                   const QString& exercicio, int bimestre);

// The field `campo` + k ("PREVISTO_BIM" + 3).
QString campoDoBimestre(const QString& campo, int bimestre);
// The sum of a per-bimester field over bimesters 1 to `ate`.
Moeda somaDosBimestres(ClientDataSet& tabela, const QString& campo, int ate);
// Bimester k: months 2k − 1 and 2k. Up to bimester k: months 1 to 2k.
Meses mesesDoBimestre(int k);
Meses mesesAteOBimestre(int k);
// The visible position of the first line whose ID is `id`, -1 when the table
// has none; the current row does not move.
int linhaDoId(const ClientDataSet& tabela, const QString& id);
// A sixth of `v` (a forecast spread over the bimesters), rounded half away
// from zero to four places, without going through double.
Moeda sextoDe(Moeda v);

} // namespace nq
