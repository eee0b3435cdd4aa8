#pragma once

// The parts of the figure plan that only its own files see.

#include "annexes/common/plano_figuras.h"
#include "db/analise_sql.h"
#include "db/firebird.h"

#include <QHash>
#include <QSet>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

namespace nq {

namespace plano {

// Months no text writes otherwise: asked for, they show where a text writes the
// first and the last month of a figure.
constexpr int SentinelaDe = 917300001;
constexpr int SentinelaAte = 917300002;

// The reserve-commitment condition (FiltroReservaEmpenho) found among a
// statement's fixed conditions. The database evaluates its subquery once per
// row; a pass evaluates it once: the kind test by the database per group, the
// referred commitment against the reserve commitments' keys read once.
struct Reserva {
    QString apelido;    // the commitments' alias in the statement
    QString semReserva; // the fixed conditions without it
};
// nullopt when `fixa` does not hold it as one of its top-level AND terms.
std::optional<Reserva> achaReserva(const QString& fixa);
// What a grouped statement groups by for it, and the two columns it selects last
// (the kind test, 1 when not a reserve; the referred commitment).
QStringList grupoDaReserva(const Reserva& r);
QStringList colunasDaReserva(const Reserva& r);

// The reserve commitments' keys.
struct ChavesDaReserva {
    QSet<int64_t> chaves;
    bool nula = false; // a null key: then NOT IN holds for no commitment
    // Whether a row whose last two columns, from `coluna`, are colunasDaReserva passes.
    bool passa(const fb::LeitorDeLinha& l, int coluna) const;
};

} // namespace plano

struct PlanoDeFiguras::Forma {
    QString chave; // the shape: every field but the text
    FormaDaSoma dados;
    std::optional<std::vector<TermoDaSoma>> termos; // of dados.soma
    bool escreveDe = false;                         // whether the text writes the first month asked
    bool escreveAte = false;                        // and the last
    std::optional<plano::Reserva> reserva;          // in dados.fixa
    std::optional<plano::Reserva> reservaDosItens;  // in dados.etapas->fixaDosItens
};

struct PlanoDeFiguras::Pedido {
    std::shared_ptr<const Forma> forma;
    std::function<QString(const QString&, Meses)> texto;
    QString w;
    Meses meses;
    QString literal; // texto(w, meses)
    bool resolvido = false;
    Moeda valor;
};

namespace plano {

// The sum of one term over some rows: no value when every row had a null (or
// there was no row), as SQL's SUM gives.
struct Parcela {
    int64_t soma = 0;
    bool temValor = false;
    // False when the exact sum leaves 64 bits.
    [[nodiscard]] bool acrescenta(int64_t v);
    [[nodiscard]] bool acrescenta(const Parcela& p);
};

// What one statement of a pass answered, as kept for reuse: one entry per row
// (per item and month for a postings pass).
struct Resposta {
    int somas = 0;                 // terms per row
    int condicoes = 0;             // line conditions per row
    std::vector<int> escalas;      // decimal places of each term
    std::vector<int64_t> chaves;   // per row, when the statement has a key
    std::vector<int8_t> meses;     // per row: 1 to 12; 0 for a null date or no date
    std::vector<Parcela> parcelas; // rows × somas
    std::vector<uint8_t> condicao; // rows × condicoes: 1 where the condition held
    // Of an item statement whose items are postings too: per part asked, each
    // row's month and sums; and the rows without a key (they join nothing, but
    // count as postings of their own).
    struct Parte {
        int somas = 0;
        std::vector<int> escalas;
        std::vector<int8_t> meses;
        std::vector<Parcela> parcelas;
    };
    std::vector<Parte> partes;
    std::vector<uint8_t> semChave;
    size_t linhas() const { return meses.size(); }
};

// What an item statement reads of items that are postings themselves: their
// date (empty for none) and what each sum adds.
struct Proprios {
    QString data;
    QStringList somas;
    friend bool operator==(const Proprios&, const Proprios&) = default;
};

// Sums per month bucket (0: no month) of each term, for one line condition.
struct Acumulado {
    explicit Acumulado(int somas) : somas(somas), parcelas(13 * static_cast<size_t>(somas)) {}
    int somas;
    std::vector<Parcela> parcelas;
    bool transbordou = false;
    Parcela* mes(int m) { return &parcelas[static_cast<size_t>(m) * somas]; }
    void acrescenta(int mes, const Parcela* p);
};

// The reads of one resolution: one read-only transaction (or the connection's
// explicit one), statements prepared once, and what was read counted.
class Leitura {
public:
    Leitura(TCRSQLConnection& conexao, PassagensDaExecucao& passagens);
    ~Leitura();

    // Whether the database accepts `sql` (prepared, not run).
    bool aceita(const QString& sql);
    // The columns `sql` would return; throws when it is rejected.
    std::vector<fb::Coluna> colunas(const QString& sql);
    // `sql` prepared once per resolution; throws when it is rejected.
    fb::Comando& comando(const QString& sql);
    // Whether the run's shared passes hold the answer of `sql`.
    bool guardada(const QString& sql) const;
    // The answer of a pass: from the run's shared passes, or read now with `le`.
    std::shared_ptr<const Resposta> responde(const QString& sql,
                                             const std::function<Resposta(fb::Cursor&)>& le);
    // Runs `sql` (counted) with its text parameters and hands its cursor to `le`.
    void percorre(const QString& sql, const QStringList& parametros,
                  const std::function<void(fb::Cursor&)>& le);
    // Runs a prepared statement with `parametros`: its first value, exact.
    Moeda valor(fb::Comando& comando, const std::vector<int>& parametros);

    // Counts a row read by a `le` of responde.
    void contaLinha() { ++linhas_; }
    int comandos() const { return comandos_; }
    qint64 linhas() const { return linhas_; }
    int preparados() const { return static_cast<int>(preparados_.size()); }

private:
    TCRSQLConnection& conexao_;
    PassagensDaExecucao& passagens_;
    fb::Banco& banco_;
    std::optional<fb::Transacao> propria_;
    fb::Transacao* transacao_;
    QHash<QString, std::shared_ptr<fb::Comando>> preparados_;
    int comandos_ = 0;
    qint64 linhas_ = 0;
};

// The sets of the `n` items that a statement built from them is accepted with:
// the whole set is tried first, then halves, down to each rejected item alone
// (two items accepted apart may be refused together), and what was accepted
// apart is tried together once more. Each set keeps the items' order; an item
// rejected alone is in none.
std::vector<std::vector<int>> aceitos(int n,
                                      const std::function<bool(const std::vector<int>&)>& aceita);
// Which items are in some set.
std::vector<bool> emAlgum(const std::vector<std::vector<int>>& conjuntos, int n);

// Whether a month bucket (0 to 12) falls in `meses` ({} takes every bucket).
bool noPeriodo(int mes, Meses meses);

// The exact value of a figure whose terms add to `totais`: 0 when any term has
// no value; nullopt when it leaves 64 bits.
std::optional<Moeda> valorDosTermos(const std::vector<TermoDaSoma>& termos,
                                    const std::vector<Parcela>& totais,
                                    const std::vector<int>& escalas);

// The statements of the passes.
// Postings grouped by item and day: key, date, one sum per term; only those of
// `meses` when it leaves out some month (a narrower pass reads much less), and
// with `chaves` only those of the items named (none: only the rows without an
// item, which join nothing).
QString textoDaPassagem(const Lancamentos& l, Meses meses = {},
                        const std::optional<std::vector<int64_t>>& chaves = std::nullopt);
// Each line condition evaluated on every item row: key, one 0/1 per condition
// (then the reserve's columns, when it is taken out of the items' conditions).
QString textoDosItens(const Etapas& e, const std::vector<Proprios>& proprios, const QStringList& ws,
                      const std::optional<Reserva>& r);
// Accepted exactly when every condition resolves in the statement's own FROM.
QString textoDaVerificacao(const FormaDaSoma& f, const QStringList& ws);
// The statement grouped by `grupo` (and its date): the group's sums and each
// condition evaluated once per group.
QString textoAgrupado(const FormaDaSoma& f, const std::vector<TermoDaSoma>& termos,
                      const QStringList& grupo, const QStringList& ws,
                      const std::optional<Reserva>& r);
// The grouping columns that make each group's values exact: every column, and
// beside a text column what tells apart values that compare equal but differ in
// their bytes (trailing blanks; case or accents under some collations): its
// length in bytes when `binaria` says its collation compares bytes, else its
// octets. nullopt when a column cannot be grouped byte for byte (a blob).
std::optional<QStringList> colunasDeGrupo(const QStringList& colunas,
                                          const std::vector<fb::Coluna>& tipos,
                                          const std::function<bool(const fb::Coluna&)>& binaria);
// The text columns of a table whose collation compares bytes (the character
// set's own, unchanged default), from the catalogue.
constexpr const char* ColacoesBinarias =
    "select trim(rf.rdb$field_name) from rdb$relation_fields rf join rdb$fields f on "
    "f.rdb$field_name = rf.rdb$field_source join rdb$character_sets cs on "
    "cs.rdb$character_set_id = f.rdb$character_set_id where rf.rdb$relation_name = ? and "
    "coalesce(rf.rdb$collation_id, f.rdb$collation_id, 0) = 0 and "
    "cs.rdb$default_collate_name = cs.rdb$character_set_name";
// Whether an active index of a table begins with a column, from the catalogue.
constexpr const char* IndicesDaColuna =
    "select count(*) from rdb$indices i join rdb$index_segments s on s.rdb$index_name = "
    "i.rdb$index_name where i.rdb$relation_name = ? and s.rdb$field_name = ? and "
    "s.rdb$field_position = 0 and coalesce(i.rdb$index_inactive, 0) = 0";

// Readers of those statements; each throws nq::Erro when the columns are not
// of the types the pass needs (an integer key, a date, exact sums).
Resposta lePassagem(fb::Cursor& c, int somas, bool comData, Leitura& leitura);
// With `reserva`, the rows of reserve commitments (and those referring to them) are left out.
Resposta leItens(fb::Cursor& c, const std::vector<Proprios>& proprios, int condicoes,
                 const ChavesDaReserva* reserva, Leitura& leitura);
Resposta leAgrupada(fb::Cursor& c, int grupo, bool comData, int somas, int condicoes,
                    const ChavesDaReserva* reserva, Leitura& leitura);
ChavesDaReserva leChavesDaReserva(fb::Cursor& c, Leitura& leitura);

} // namespace plano

// Pass reads kept by a PassagensDaExecucao.
struct PassagensDaExecucao::Guarda {
    QHash<QString, std::shared_ptr<const plano::Resposta>> respostas;
};

} // namespace nq
