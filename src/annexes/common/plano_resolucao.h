#pragma once

#include "annexes/common/plano_interno.h"

#include <set>

namespace nq {
class TCRSQLConnection;
}

namespace nq::plano {

// Answers a batch of figures with passes: those of one shape whose line
// conditions the database evaluates per item (Etapas) or per group of rows;
// the rest by their literal statements, in the order asked, so that the first
// error raised is the one the literal walk raises.
class Resolucao {
public:
    using Pedidos = std::vector<PlanoDeFiguras::Pedido>;
    Resolucao(Pedidos& pedidos, Leitura& leitura, TCRSQLConnection& conexao)
        : pedidos_(pedidos), leitura_(leitura), conexao_(conexao) {}

    // Resolves `pendentes` (indices into the figures, in the order asked).
    void resolve(const std::vector<int>& pendentes);
    // Figures answered by their literal statements.
    int literais() const { return literais_; }
    // Statements executed and rows read outside `leitura`.
    int comandos() const { return comandos_; }
    qint64 linhas() const { return linhas_; }

    // One line condition of one shape and the figures asking for it.
    struct Condicao {
        QString w;
        std::vector<int> pedidos;
        bool respondida = false;
    };
    struct Grupo {
        const PlanoDeFiguras::Forma* forma;
        std::vector<Condicao> condicoes;
    };
    // The items one or more shapes evaluate their conditions on: one statement
    // answers them all.
    struct Fonte {
        const Etapas* etapas = nullptr;
        std::optional<Reserva> reserva;
        QStringList ws;
        std::vector<Proprios> proprios; // of the shapes whose items are their postings
        std::vector<std::shared_ptr<const Resposta>> respostas; // one per statement
        // Per w: the statement that answered it and its column among the conditions
        // ({-1, -1} when none did).
        std::vector<std::pair<int, int>> coluna;
    };

private:
    static QStringList textos(const std::vector<Condicao>& cs, const std::vector<int>& quais);
    // The conditions of `g` not yet answered, by index.
    static std::vector<int> abertas(const Grupo& g);
    bool cabeEmPassagem(const PlanoDeFiguras::Pedido& p);
    const AnaliseDeCondicao& analise(const QString& w);
    void validaLiterais(Grupo& g);
    void duasEtapas(std::vector<Grupo>& grupos);
    void leItens(Fonte& fonte);
    // `sqlDaPassagem`: the statement of its postings pass (empty when the
    // items are their own postings).
    void soma(Grupo& g, const Fonte& fonte, const QString& sqlDaPassagem);
    // What one postings pass answers for the shapes that share it.
    struct Passagem {
        Meses meses{13, 0}; // none yet
        std::set<int64_t> usadas;
        // The items' sources of its shapes, each with how many items it read.
        std::vector<std::pair<const Etapas*, size_t>> fontes;
    };
    size_t itensSelecionados(const Grupo& g, const Fonte& fonte, Passagem& passagem);
    // The whole pass when this run holds it already; only the postings of the
    // items selected when they are few and the table is indexed by its item;
    // else every item's, in the months asked.
    QString textoPara(const Lancamentos& l, const Passagem& p);
    bool indexada(const QString& tabela, const QString& coluna);
    size_t itensDaTabela(const Etapas& e, size_t lidos);
    void agrupa(Grupo& g);
    void agrupaLote(Grupo& g, const std::vector<int>& lote, const QStringList& colunas);
    void respondeCom(Grupo& g, Condicao& c, Acumulado& a, const std::vector<int>& escalas);
    void paraLiteral(Condicao& c);
    void respondeLiterais();
    Moeda valorLiteral(const QString& sql);
    // The reserve condition a statement takes out of its fixed conditions: `r` when
    // the reserve commitments' keys could be read, else none (the database then
    // evaluates it as written).
    std::optional<Reserva> usada(const std::optional<Reserva>& r);
    const ChavesDaReserva* chavesPara(const std::optional<Reserva>& r) const {
        return r ? &*chavesDaReserva_ : nullptr;
    }

    Pedidos& pedidos_;
    Leitura& leitura_;
    TCRSQLConnection& conexao_;
    QHash<QString, AnaliseDeCondicao> analises_;
    bool colacaoBinaria(const fb::Coluna& c);
    std::optional<ChavesDaReserva> chavesDaReserva_;
    QHash<QString, QSet<QString>> binarias_; // per table: its columns of byte collation
    QHash<QString, bool> indexadas_;         // per "table.column"
    QHash<QString, size_t> itensDaTabela_;   // per items' FROM
    bool reservaLida_ = false;
    std::vector<int> paraLiterais_;
    int literais_ = 0;
    int comandos_ = 0;
    qint64 linhas_ = 0;
};

} // namespace nq::plano
