#include "demo/gravador.h"

#include "core/erro.h"
#include "db/firebird.h"
#include "demo/roteiro.h"

#include <QFile>
#include <optional>

// Resources of a static library are registered by hand, outside any namespace.
static void registraEsquema() {
    Q_INIT_RESOURCE(esquema);
}

namespace nq::demo {

namespace {

using fb::Banco;
using fb::Comando;
using fb::Transacao;

std::optional<QString> texto(const QString& s) {
    return s.isEmpty() ? std::nullopt : std::optional<QString>(s);
}
std::optional<QDate> data(const QDate& d) {
    return d.isValid() ? std::optional<QDate>(d) : std::nullopt;
}
std::optional<int> chave(int v) {
    return v == 0 ? std::nullopt : std::optional<int>(v);
}
Moeda valor(Centavos c) {
    return Moeda::deDezMilesimos(c * 100);
}

QString leRecurso(const QString& nome) {
    QFile f(QStringLiteral(":/esquema/") + nome);
    if (!f.open(QIODevice::ReadOnly))
        throw Erro(QStringLiteral("Roteiro do esquema não encontrado: %1").arg(nome));
    return QString::fromUtf8(f.readAll());
}

void executaRoteiro(Banco& banco, const QString& nome) {
    Transacao t = banco.inicia();
    for (const QString& comando : divideRoteiro(leRecurso(nome)))
        banco.executa(t, comando);
    t.confirma();
}

// Inserts the rows of one table, committing every so many rows so that no
// transaction grows without bound.
class Carga {
public:
    Carga(Banco& banco, const QString& tabela, const QStringList& colunas)
        : banco_(banco), t_(banco.inicia()),
          sql_(
              QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                  .arg(
                      tabela, colunas.join(QStringLiteral(", ")),
                      QStringList(colunas.size(), QStringLiteral("?")).join(QStringLiteral(", ")))),
          cmd_(banco.prepara(t_, sql_)) {}

    template <class... A> void linha(const A&... valores) {
        cmd_.executa(t_, valores...);
        if (++linhas_ % 100000 == 0) {
            t_.confirma();
            t_ = banco_.inicia();
            cmd_ = banco_.prepara(t_, sql_);
        }
    }
    void conclui() { t_.confirma(); }

private:
    Banco& banco_;
    Transacao t_;
    QString sql_;
    Comando cmd_;
    long linhas_ = 0;
};

void cadastros(Banco& banco, const Exercicio& e) {
    const Cliente& c = e.cliente;
    Carga cli(banco, QStringLiteral("CADCLI"),
              {"CODIGO", "CLNT1", "CID", "UF", "CNPJ", "MEXER", "PREN", "PRE", "CONN", "CON",
               "TESN", "TES"});
    cli.linha(1, c.nome, c.cidade, c.uf, c.cnpj, QString::number(e.ano), c.prefeito,
              c.tituloPrefeito, c.contador, c.tituloContador, c.controle, c.tituloControle);
    cli.conclui();
    Carga par(banco, QStringLiteral("PARAMEDU"), {"CODIGO", "RD"});
    par.linha(1, e.reservaVisivel);
    par.conclui();
    Carga emp(banco, QStringLiteral("TABEMPRESA"), {"EMPRESA", "NOME", "ADM", "TIPO"});
    for (const Entidade& x : e.entidades)
        emp.linha(x.empresa, x.nome, x.adm, x.tipo);
    emp.conclui();
    Carga pod(banco, QStringLiteral("TABPODER"), {"PODER", "NOME"});
    for (const Poder& x : e.poderes)
        pod.linha(x.poder, x.nome);
    pod.conclui();
    Carga fun(banco, QStringLiteral("TABFUNCAO"), {"FUNCAO", "NOME"});
    for (const Funcao& x : e.funcoes)
        fun.linha(x.codigo, x.nome);
    fun.conclui();
    Carga sub(banco, QStringLiteral("TABSUBFUNCAO"), {"SUBFUNCAO", "NOME"});
    for (const Funcao& x : e.subfuncoes)
        sub.linha(x.codigo, x.nome);
    sub.conclui();
    Carga gru(banco, QStringLiteral("VINGRUPO"), {"VINGRUPO", "NOME"});
    for (const GrupoVinculo& x : e.grupos)
        gru.linha(x.grupo, x.nome);
    gru.conclui();
    Carga vin(banco, QStringLiteral("VINCODIGO"),
              {"VINGRUPO", "VINCODIGO", "NOME", "CLASSE", "EMPRESA"});
    for (const Vinculo& x : e.vinculos)
        vin.linha(x.grupo, x.codigo, x.nome, texto(x.classe), x.empresa);
    vin.conclui();
    Carga con(banco, QStringLiteral("DESCON"),
              {"CONTA", "NOME", "BALCO", "TIPO", "SALDOINICIAL", "VINGRUPO", "VINCODIGO"});
    for (const Conta& x : e.contas)
        con.linha(x.conta, x.nome, x.balco, texto(x.tipo), valor(x.saldoInicial), x.grupo,
                  x.vinculo);
    con.conclui();
}

void receitas(Banco& banco, const Exercicio& e) {
    Carga fic(banco, QStringLiteral("RECDIS"),
              {"FICHA", "CODRE", "NOME", "TIPO", "EXTRA", "EMPRESA", "TOTOR", "VINGRUPO",
               "VINCODIGO", "BALCO"});
    for (const FichaReceita& x : e.fichasReceita)
        fic.linha(x.ficha, x.codre, x.nome, texto(x.tipo), QString(x.extra ? "S" : "N"), x.empresa,
                  valor(x.totor), x.grupo, x.vinculo, texto(x.balco));
    fic.conclui();
    Carga rec(banco, QStringLiteral("RECEIT"), {"NUMREC", "FICHA", "DTLAN", "DTREC", "VAREC"});
    for (const Receita& x : e.receitas)
        rec.linha(x.numero, x.ficha, x.lancamento, x.recebimento, valor(x.valor));
    rec.conclui();
    Carga alt(banco, QStringLiteral("RECALP"), {"NUMALT", "FICHA", "DTLAN", "VALOR"});
    for (const AlteracaoReceita& x : e.alteracoesReceita)
        alt.linha(x.numero, x.ficha, x.data, valor(x.valor));
    alt.conclui();
}

void despesas(Banco& banco, const Exercicio& e) {
    Carga fic(banco, QStringLiteral("DESDIS"),
              {"FICHA", "NOME", "DOTAC", "FUNCAO", "SUBFUNCAO", "CATEC", "TIPO", "EXTRA", "BALCO",
               "EMPRESA", "VINGRUPO", "VINCODIGO", "CFPRO", "CODLO"});
    for (const FichaDespesa& x : e.fichasDespesa)
        fic.linha(x.ficha, x.nome, valor(x.dotacao), texto(x.funcao), texto(x.subfuncao),
                  texto(x.catec), texto(x.tipo), QString(x.extra ? "S" : "N"), texto(x.balco),
                  x.empresa, x.grupo, x.vinculo, texto(x.programa), texto(x.local));
    fic.conclui();
    Carga alt(banco, QStringLiteral("DESALD"), {"NUMALD", "FICHA", "DTLAN", "VALOR", "IE"});
    for (const AlteracaoDespesa& x : e.alteracoesDespesa)
        alt.linha(x.numero, x.ficha, x.data, valor(x.valor), x.ie);
    alt.conclui();
    Carga emp(banco, QStringLiteral("DESPES"),
              {"PKEMP",    "PKEMPA",    "NEMPG",    "FICHA",     "DATAE",     "VADEM",
               "VAPAG",    "CATEC",     "ELEMENTO", "CATEGORIA", "TPEM",      "TIPO",
               "VINGRUPO", "VINCODIGO", "EVGRUPO",  "EVCODIGO",  "CREDOR",    "HISTO",
               "DOCUM",    "VENCI",     "PRODU",    "IE",        "DTLIQ",     "LICIT",
               "PROC",     "REQUI",     "NUMLIC",   "CODLO_ANT", "CFPRO_ANT", "CATEC_ANT"});
    for (const Empenho& x : e.empenhos)
        emp.linha(x.pkemp, chave(x.pkempa), x.nempg, x.ficha, x.data, valor(x.valor), valor(x.pago),
                  texto(x.catec), texto(x.elemento), texto(x.categoria), x.tpem, texto(x.tipo),
                  x.grupo, x.vinculo, x.evGrupo, x.evCodigo, texto(x.credor), texto(x.historico),
                  texto(x.documento), data(x.vencimento), texto(x.produto), 1, data(x.liquidacao),
                  texto(x.licitacao), texto(x.processo), texto(x.requisicao),
                  texto(x.numeroLicitacao), texto(x.localAnterior), texto(x.programaAnterior),
                  texto(x.catecAnterior));
    emp.conclui();
    Carga liq(banco, QStringLiteral("DESLIQ"), {"NUMLIQ", "PKEMP", "DTLIQ", "VALIQ"});
    for (const Liquidacao& x : e.liquidacoes)
        liq.linha(x.numero, x.pkemp, x.data, valor(x.valor));
    liq.conclui();
    Carga pag(banco, QStringLiteral("DESPAG"), {"NUMPAG", "PKEMP", "DTPAG", "VALOR", "CONTA"});
    for (const Pagamento& x : e.pagamentos)
        pag.linha(x.numero, x.pkemp, x.data, valor(x.valor), x.conta);
    pag.conclui();
}

void contabilidade(Banco& banco, const Exercicio& e) {
    Carga ord(banco, QStringLiteral("ORDCAI"), {"NUMORD", "CONTA", "DTLAN", "CREDI", "DEBIT"});
    for (const MovimentoCaixa& x : e.movimentos)
        ord.linha(x.numero, x.conta, x.data, valor(x.credito), valor(x.debito));
    ord.conclui();
    Carga dia(banco, QStringLiteral("CONDIA"),
              {"NUMDIA", "BALCO", "DATAE", "CREDI", "DEBIT", "IE", "HISTO"});
    for (const LancamentoDiario& x : e.diario)
        dia.linha(x.numero, x.balco, x.data, valor(x.credito), valor(x.debito), x.ie, x.historico);
    dia.conclui();
}

} // namespace

void gravaExercicio(const Exercicio& exercicio, const QString& caminho) {
    registraEsquema();
    fb::ParametrosConexao conexao;
    conexao.usuario = QStringLiteral("SYSDBA");
    conexao.senha = QStringLiteral("masterkey");
    conexao.conjuntoCaracteres = QStringLiteral("WIN1252");
    fb::ParametrosCriacao criacao;
    criacao.tamanhoPagina = 16384;
    criacao.gravacaoForcada = false; // a generated file: rebuilt, never repaired
    auto banco = Banco::cria(caminho, conexao, criacao);
    executaRoteiro(*banco, QStringLiteral("01_tabelas.sql"));
    cadastros(*banco, exercicio);
    receitas(*banco, exercicio);
    despesas(*banco, exercicio);
    contabilidade(*banco, exercicio);
    for (const char* roteiro :
         {"02_chaves.sql", "03_visoes.sql", "04_procedimentos.sql", "05_permissoes.sql"})
        executaRoteiro(*banco, QString::fromLatin1(roteiro));
    banco->desconecta();
}

} // namespace nq::demo
