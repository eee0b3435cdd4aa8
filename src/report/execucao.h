#pragma once

#include "report/modelo.h"

#include <QDateTime>
#include <unordered_map>
#include <vector>

namespace nq {

// The state of one run of a report: the pipelines' positions, the variables' and
// aggregates' values, the page being produced. Tables are only read.
class Execucao {
public:
    explicit Execucao(TppReport& relatorio);
    ~Execucao();
    Execucao(const Execucao&) = delete;
    Execucao& operator=(const Execucao&) = delete;

    TppReport& relatorio() const { return relatorio_; }
    const QDateTime& inicio() const { return inicio_; }

    // Positions (0-based visible rows) a pipeline walks, in order.
    std::vector<int> registros(const TppDBPipeline& p) const;
    // The current row of a pipeline; -1 reads every field as null. The table follows, so
    // that event handlers read the row being printed; it goes back to where it was when
    // the run ends.
    void posiciona(const TppDBPipeline& p, int registro);
    int posicao(const TppDBPipeline& p) const;
    Value valor(const TppDBPipeline* p, const QString& campo) const;

    // The pipeline a data-aware component reads: the one it names, whatever band it is in;
    // without one, its band's report's when `doPai` (ParentDataPipeline).
    static TppDBPipeline* pipelineDe(const TppComponent& c, TppDBPipeline* proprio, bool doPai);

    // The text a text component prints now (OnGetText applied).
    QString texto(TppCustomText& c);

    // Variables of a band, in calculation order.
    void calcula(const TppBand& banda);
    // A group starts or ends: resets of its variables and aggregates.
    void grupoComeca(const TppGroup& g);
    void grupoAntesDoRodape(const TppGroup& g);
    void grupoTermina(const TppGroup& g);
    // The master record of `r` moved: aggregates of its bands add the new record.
    void acumula(const TppCustomReport& r);

    int paginaAbsoluta = 0;
    int paginaRelativa = 0;

    // While it lives, every pipeline (and its table) stands where a finished run leaves it:
    // on the record it stood on when the run began. Page bands are generated so, as when
    // they came after the whole body, even while the body is still being walked.
    class PosicoesDoFim {
    public:
        explicit PosicoesDoFim(Execucao& ex);
        ~PosicoesDoFim();
        PosicoesDoFim(const PosicoesDoFim&) = delete;
        PosicoesDoFim& operator=(const PosicoesDoFim&) = delete;

    private:
        struct Posicao {
            const TppDBPipeline* pipeline;
            int registro;
            int linhaDaTabela; // the table's recNo, 0 when closed
        };
        Execucao& ex_;
        std::vector<Posicao> atuais_;
    };

private:
    struct Agregado {
        Value soma;
        Value minimo;
        Value maximo;
        int quantidade = 0;
    };
    void abrePipelines();
    void fechaPipelines();
    void verificaVariaveis(const TppCustomReport& r, bool bandasDePagina);
    void zera(TppVariable& v);
    Value valorDoAgregado(const TppDBCalc& c) const;
    QString textoDeSistema(const TppSystemVariable& v) const;
    int indiceDoCampo(const TppDBPipeline& p, const QString& campo) const;

    // What a text component is and, for a data text, the column it reads: found at its
    // first print and kept for the run, each cell of a long report passes here.
    struct TextoResolvido {
        enum class Tipo { Rotulo, Agregado, Dados, Variavel, Sistema, Outro } tipo;
        const TppDBPipeline* pipeline = nullptr;
        QString campo;
        int indice = -1; // in the pipeline's table; -1 not yet looked up
    };
    TextoResolvido& resolvido(TppCustomText& c);
    // A band's variables in calculation order, with the orders they were sorted by: a
    // handler that changes one sorts them again.
    struct VariaveisDaBanda {
        std::vector<TppVariable*> variaveis;
        std::vector<int> ordens;
        std::size_t componentes = 0; // the band's, when sorted
        bool ordenadas = false;
    };

    TppReport& relatorio_;
    QDateTime inicio_;
    std::vector<TppDBPipeline*> abertos_;
    std::unordered_map<const TppDBPipeline*, int> marcadores_; // the tables' rows at the start
    std::unordered_map<const TppDBPipeline*, int> atual_;
    std::unordered_map<const TppDBPipeline*, int> inicial_; // where each stood when opened
    std::unordered_map<const TppDBCalc*, Agregado> agregados_;
    std::unordered_map<const TppDBText*, QString> ultimoTexto_;
    std::vector<TppVariable*> variaveis_;
    std::unordered_map<const TppCustomText*, TextoResolvido> textos_;
    std::unordered_map<const TppBand*, VariaveisDaBanda> variaveisDasBandas_;
    std::vector<TppDBCalc*> calculos_;
};

} // namespace nq
