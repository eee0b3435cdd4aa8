#pragma once

#include "core/moeda.h"

#include <QHash>
#include <QString>
#include <functional>
#include <memory>
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
};

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

    // Statements executed and rows fetched since the plan was made.
    int comandos() const { return comandos_; }
    qint64 linhas() const { return linhas_; }

private:
    struct Pedido {
        QString texto;
        bool resolvido = false;
        Moeda valor;
    };

    TCRSQLConnection& conexao_;
    std::vector<Pedido> pedidos_;
    QHash<QString, Figura> porTexto_;
    int comandos_ = 0;
    qint64 linhas_ = 0;
};

// The one switch between the plan's passes and one literal statement per
// figure (for comparison and diagnosis). Starts from the environment variable
// NQ404_FIGURAS ("literal" turns the passes off).
void defineFigurasLiterais(bool literais);
bool figurasLiterais();

} // namespace nq
