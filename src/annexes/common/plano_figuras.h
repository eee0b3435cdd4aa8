#pragma once

#include "core/moeda.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace nq {

class TCRSQLConnection;

// A run of months of the exercise: `de` to `ate`, 1 to 12. {1, m} is "up to
// month m", {m, m} is "month m"; the default is "no month condition".
struct Meses {
    int de = 0;
    int ate = 0;
    bool vazio() const { return de == 0 && ate == 0; }
    friend bool operator==(const Meses&, const Meses&) = default;
};

// A postings table as a pass reads it: grouped by the item it belongs to and by
// day, each sum added per group. Its columns are written bare (no alias), so the
// same table read alike by several statements, or several annexes of one run,
// gives the same pass text and is read once.
struct Lancamentos {
    QString tabela;    // "RECEIT"; empty when the items are the postings (see Etapas)
    QString chave;     // "FICHA": the integer column that names the item
    QString data;      // "DTLAN": the date whose month is limited; empty when none is
    QStringList somas; // "VAREC": what each sum() of the statement adds, in order
    QString fixa;      // conditions on the postings alone ("VALOR>0"); empty for none
};

// How a statement over postings joined to their items splits. The annex that
// gives it asserts that its statement selects exactly the rows of
//     FROM lancamentos.tabela JOIN itens ON lancamentos.chave = chaveDoItem
//     WHERE (lancamentos.fixa) AND (fixaDosItens) AND (W) AND the months
// (inner join: an item row counts once per posting of its key) and that W names
// only columns of `itens`. The plan then reads the postings once and evaluates
// every line's W on the items alone; a W that names anything else fails there and
// is answered another way. When the items are the postings themselves (a
// statement over one table, "despes d"), `lancamentos.tabela` is empty and its
// `data` and `somas` are written as in `itens` ("d.datae", "d.vadem"): each item
// row then adds its own sums, and shapes over the same items share one statement.
struct Etapas {
    Lancamentos lancamentos;
    QString itens;        // "recdis", "recdis f inner join tabempresa t on t.empresa=f.empresa"
    QString chaveDoItem;  // "recdis.ficha"
    QString fixaDosItens; // conditions on the items alone; empty for none
};

// One aggregate statement of an annex, with the line's condition W left open.
// Its literal text (`texto`) must select exactly the rows of
//     FROM origem WHERE (fixa) AND (W) AND EXTRACT(MONTH FROM data) in the months
// and add `soma` over them; the other fields name those pieces so that a plan
// can answer many lines with one pass. `texto` is the statement exactly as the
// annex runs it one figure at a time: it is what runs when a figure cannot be
// answered by a pass, and its errors are the errors the user sees.
struct FormaDaSoma {
    QString soma;   // the select list: "sum(receit.varec)", or "sum(credi)-sum(debit)"
    QString origem; // the FROM clause: "receit, recdis", "receit r inner join recdis f on ..."
    QString fixa;   // the conditions every figure of this statement shares; empty for none
    QString data;   // the date whose month is limited; empty when the statement limits none
    std::function<QString(const QString& w, Meses meses)> texto;
    // Optional: how it splits into postings and items (much faster on large postings).
    std::optional<Etapas> etapas = std::nullopt;
};

// The postings tables as the annexes read them, written once here so that one
// run reads each once.
namespace lancamentos {
Lancamentos receitas();                        // RECEIT by DTLAN, VAREC
Lancamentos alteracoesDaPrevisao(QChar sinal); // RECALP by DTLAN, VALOR of sign '>' or '<' 0
Lancamentos alteracoesDaDotacao();             // DESALD by DTLAN, VALOR
Lancamentos liquidacoes();                     // VIEWLIQ by DATAE, VADEM, key PKEMP
Lancamentos pagamentos();                      // VIEWVAPAG by DTPAG, VAPAG
Lancamentos movimentosDeCaixa();               // ORDCAI by DTLAN, CREDI-DEBIT, key CONTA
// The items as their own postings: `data` and `somas` written as in the items' FROM.
Lancamentos dosItens(const QString& data, const QStringList& somas);
} // namespace lancamentos

class PassagensDaExecucao;

// Answers many figures of one connection with few statements. An annex asks for
// every figure it needs (pede), then resolves them all at once (resolve) and
// reads each value (valor). Every value equals what the figure's literal
// statement gives on the same database, to the cent; the database is only read.
class PlanoDeFiguras {
public:
    using Figura = int;

    explicit PlanoDeFiguras(TCRSQLConnection& conexao);
    ~PlanoDeFiguras();
    PlanoDeFiguras(const PlanoDeFiguras&) = delete;
    PlanoDeFiguras& operator=(const PlanoDeFiguras&) = delete;

    // Asks for the sum of `forma` under the line condition `w` (as stored, the
    // blanks at its ends removed) over `meses`. The same figure asked twice is
    // answered once.
    Figura pede(const FormaDaSoma& forma, const QString& w, Meses meses = {});

    // Answers every figure asked since the last call. When the database rejects
    // a statement, raises the error that running the figures' literal
    // statements one by one, in the order asked, would raise first.
    void resolve();

    // The value of a resolved figure: exact, 0 for a null sum.
    Moeda valor(Figura figura) const;

    // Statements executed and rows fetched since the plan was made (passes
    // answered by the run's shared passes count nothing).
    int comandos() const { return comandos_; }
    qint64 linhas() const { return linhas_; }
    // Figures answered by their literal statement (the switch, or a fallback).
    int respondidasLiteralmente() const { return literais_; }
    // Statements the passes prepared (each text once per resolution).
    int preparados() const { return preparados_; }

    struct Forma;
    struct Pedido;

private:
    void resolveLiterais(const std::vector<int>& pendentes);

    TCRSQLConnection& conexao_;
    std::vector<Pedido> pedidos_;
    QHash<QString, Figura> porTexto_;
    QHash<QString, std::shared_ptr<const Forma>> formas_;
    std::unique_ptr<PassagensDaExecucao> passagensProprias_;
    int comandos_ = 0;
    qint64 linhas_ = 0;
    int literais_ = 0;
    int preparados_ = 0;
};

// What the database answered to the passes of one run of several reports on
// the same databases (the bimester close): a pass asked again with the same
// text on the same database is answered from here instead of read again. It
// holds only database rows, never typed figures; made empty for a run and
// dropped at its end, so the next run reads everything afresh.
class PassagensDaExecucao {
public:
    PassagensDaExecucao();
    ~PassagensDaExecucao();
    PassagensDaExecucao(const PassagensDaExecucao&) = delete;
    PassagensDaExecucao& operator=(const PassagensDaExecucao&) = delete;

    // Passes answered from here instead of the database.
    int reaproveitadas() const { return reaproveitadas_; }

    struct Guarda;
    Guarda& guarda() const { return *guarda_; }
    void contaReaproveitada() { ++reaproveitadas_; }

private:
    std::unique_ptr<Guarda> guarda_;
    int reaproveitadas_ = 0;
};

// Installs the passes of a run for a scope: every plan made while installed
// shares them. Restores the former ones at the end.
class PassagensInstaladas {
public:
    explicit PassagensInstaladas(PassagensDaExecucao& passagens);
    ~PassagensInstaladas();
    PassagensInstaladas(const PassagensInstaladas&) = delete;
    PassagensInstaladas& operator=(const PassagensInstaladas&) = delete;

private:
    PassagensDaExecucao* anterior_;
};
// The installed passes, nullptr when none.
PassagensDaExecucao* passagensInstaladas();

// The one switch between the plan's passes and one literal statement per
// figure (for comparison and diagnosis). Starts from the environment variable
// NQ404_FIGURAS ("literal" turns the passes off).
void defineFigurasLiterais(bool literais);
bool figurasLiterais();

} // namespace nq
