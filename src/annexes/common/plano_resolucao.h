#pragma once

#include "annexes/common/plano_interno.h"

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

private:
    bool cabeEmPassagem(const PlanoDeFiguras::Pedido& p);
    const AnaliseDeCondicao& analise(const QString& w);
    void validaLiterais(Grupo& g);
    void duasEtapas(std::vector<Grupo>& grupos);
    void agrupa(Grupo& g);
    void agrupaLote(Grupo& g, const std::vector<int>& lote, const QStringList& colunas);
    void respondeCom(Grupo& g, Condicao& c, Acumulado& a, const std::vector<int>& escalas);
    void paraLiteral(Condicao& c);
    void respondeLiterais();
    Moeda valorLiteral(const QString& sql);

    Pedidos& pedidos_;
    Leitura& leitura_;
    TCRSQLConnection& conexao_;
    QHash<QString, AnaliseDeCondicao> analises_;
    std::vector<int> paraLiterais_;
    int literais_ = 0;
    int comandos_ = 0;
    qint64 linhas_ = 0;
};

} // namespace nq::plano
