#include "annexes/anexo5/anexo5.h"

#include "annexes/anexo5/formas_anexo5.h"
#include "annexes/anexo5/planilha_anexo5.h"
#include "annexes/common/aguarde.h"
#include "annexes/common/lancador.h"
#include "annexes/common/somas_do_orcamento.h"
#include "core/erro.h"
#include "core/globais.h"
#include "db/consultas.h"
#include "db/modulodados.h"
#include "entry/preparacoes.h"
#include "report/carregador.h"
#include "report/modelo.h"
#include "workbook/planilha.h"

#include <QDate>
#include <QProgressBar>
#include <QPushButton>
#include <array>
#include <functional>
#include <optional>

namespace nq {

using namespace anexo5;

namespace {

const QString Id = QStringLiteral("ID");
const QString Anterior = QStringLiteral("EXERCICIO_ANTERIOR");

QString bim(const char* prefixo, int k) {
    return campoDoBimestre(QString::fromLatin1(prefixo), k);
}

Moeda valorDe(ClientDataSet& t, const QString& campo) {
    return t.fieldByName(campo).asCurrency();
}

void soma(ClientDataSet& t, const QString& campo, Moeda v) {
    Field f = t.fieldByName(campo);
    f.setAsCurrency(f.asCurrency() + v);
}

// The value of `campo` on the line `id` of `t`, 0 when the table has no such line.
Moeda daLinha(const ClientDataSet& t, const QString& id, const QString& campo) {
    const int linha = linhaDoId(t, id);
    return linha < 0 ? Moeda() : t.valueAt(linha, t.fieldIndex(campo)).asCurrency();
}

// The previous exercise from the year before's typed file: the line of the
// same ID in `anterior`, its `prefixo` fields of bimesters 1 to `ate`.
Moeda digitadoNoAnoAnterior(ClientDataSet& t, const ClientDataSet& anterior, const char* prefixo,
                            int ate) {
    const QString id = t.fieldByName(Id).asString();
    Moeda total;
    for (int k = 1; k <= ate; ++k)
        total += daLinha(anterior, id, bim(prefixo, k));
    return total;
}

// Line arithmetic over `colunas`: the lines whose ID lies from `primeiro` to
// `segundo` (empty `operador`), or `primeiro` plus or minus `segundo`, into
// the line `alvo`. A line the table lacks counts nothing; without `alvo`
// nothing changes.
void totaliza(ClientDataSet& t, const QStringList& colunas, const QString& alvo,
              const QString& primeiro, const QString& segundo, const QString& operador) {
    std::vector<Moeda> resultado(colunas.size());
    const auto acumula = [&](int linha, bool subtrai) {
        for (qsizetype c = 0; c < colunas.size(); ++c) {
            const Moeda v = t.valueAt(linha, t.fieldIndex(colunas[c])).asCurrency();
            resultado[c] = subtrai ? resultado[c] - v : resultado[c] + v;
        }
    };
    if (operador.isEmpty()) {
        const int campoId = t.fieldIndex(Id);
        for (int i = 0; i < t.recordCount(); ++i) {
            const QString id = t.valueAt(i, campoId).asString();
            if (id >= primeiro && id <= segundo)
                acumula(i, false);
        }
    } else {
        if (const int l = linhaDoId(t, primeiro); l >= 0)
            acumula(l, false);
        if (const int l = linhaDoId(t, segundo); l >= 0)
            acumula(l, operador == QLatin1String("-"));
    }
    if (!t.locate(Id, Value(alvo)))
        return;
    t.edit();
    for (qsizetype c = 0; c < colunas.size(); ++c)
        t.fieldByName(colunas[c]).setAsCurrency(resultado[c]);
    t.post();
}

const QStringList& colunasDaReceita() {
    static const QStringList c = [] {
        QStringList l{QStringLiteral("PREVISAO_ANUAL"), QStringLiteral("PREVISAO_ATUALIZADA"),
                      Anterior};
        for (int k = 1; k <= 6; ++k)
            l << bim("REALIZADO_BIM", k);
        return l;
    }();
    return c;
}

const QStringList& colunasDaDespesa() {
    static const QStringList c = [] {
        QStringList l{QStringLiteral("DOTACAO_ANUAL"), QStringLiteral("DOTACAO_ATUALIZADA"),
                      Anterior};
        for (int k = 1; k <= 6; ++k)
            l << bim("PREVISTO_BIM", k) << bim("EMPENHADO_BIM", k) << bim("LIQUIDADO_BIM", k);
        return l;
    }();
    return c;
}

// The columns of the debt table: the previous exercise and the six bimesters.
const std::array<QString, 7>& colunasDaDivida() {
    static const std::array<QString, 7> c = {Anterior,
                                             QStringLiteral("BIM1"),
                                             QStringLiteral("BIM2"),
                                             QStringLiteral("BIM3"),
                                             QStringLiteral("BIM4"),
                                             QStringLiteral("BIM5"),
                                             QStringLiteral("BIM6")};
    return c;
}

// How one line of the debt table is computed: its previous-exercise statement
// and whether that needs the previous year's database, and its balance at the
// end of bimester i, added to the typed one or in its place.
struct LinhaDaDivida {
    QString id;
    std::function<const FormaDaSoma&()> anterior;
    bool noAnoAnterior;
    QString condicaoAnterior;
    std::function<FormaDaSoma(int bimestre)> noBimestre;
    QString condicao;
    bool somaAoDigitado;
};

} // namespace

TImpAnexo5::TImpAnexo5(QWidget* dono)
    : QWidget(dono), relatorio6_(carregaLayout(QStringLiteral(":/anexo5/relatorio6.json"))) {
    btncalcula = criaBotaoCalcula(*this, QStringLiteral("ImpAnexo5"));
    connect(btncalcula, &QPushButton::clicked, this, &TImpAnexo5::btncalculaClick);

    for (const char* campo : {"PRE_DO_BIM", "PRE_ATE_BIM", "REA_DO_BIM", "REA_ATE_BIM"})
        cdsRec.addCalculatedField(QString::fromLatin1(campo), FieldKind::Money);
    for (const char* campo : {"DOT_DO_BIM", "DOT_ATE_BIM", "LIQ_DO_BIM", "LIQ_ATE_BIM"})
        cdsDes.addCalculatedField(QString::fromLatin1(campo), FieldKind::Money);
    for (const char* campo : {"BIM_ANT", "BIM_ATU", "NO_BIM", "ATE_BIM"})
        cdsEsp.addCalculatedField(QString::fromLatin1(campo), FieldKind::Money);
    cdsRec.setOnCalcFields([this](ClientDataSet& t) { cdsRecCalcFields(t); });
    cdsDes.setOnCalcFields([this](ClientDataSet& t) { cdsDesCalcFields(t); });
    cdsEsp.setOnCalcFields([this](ClientDataSet& t) { cdsEspCalcFields(t); });

    TppReport& r = *relatorio6_;
    r.ligaTabela(QStringLiteral("ppDBPipeline10"), cdsRec);
    r.ligaTabela(QStringLiteral("ppDBPipeline11"), cdsDes);
    r.ligaTabela(QStringLiteral("ppDBPipeline12"), cdsEsp);
    r.exige<TppSubReport>(QStringLiteral("ppSubReport7"))
        .Report()
        .banda(TppBandType::btDetail)
        ->BeforePrint = [this] { ppDetailBand12BeforePrint(); };
}

TImpAnexo5::~TImpAnexo5() = default;

QString TImpAnexo5::arquivoDeTrabalho(ArquivoDigitado arquivo, const QString& ano) {
    QString nome = nomeArquivo(arquivo, ano);
    nome.chop(4); // ".xml"
    return nome + QStringLiteral("_2.xml");
}

void TImpAnexo5::btncalculaClick() {
    bimestre_ = lancador().bimestre();
    const CadastroDoCliente cliente = leCadastroDoCliente();
    ano_ = anoDoArquivo(cliente.exercicio);

    // The work files keep the computed figures: the fiscal-management report
    // reads the debt one. A run that fails leaves them as the last finished one did.
    EstradaDoAnexo estrada(diretorioDados(), dm().Conexao, EstradaDoAnexo::AoSair::RestauraCopias);
    {
        AguardeRelatorio aguarde(this, 0);
        gera_receita_despesa_V(estrada, &aguarde);
        TOTALIZA_V(estrada);
    }
    comandos_ = estrada.comandos();
    for (ClientDataSet* t : {&cdsRec, &cdsDes, &cdsEsp})
        t->saveToFile();
    estrada.conclui();

    TppReport& r = *relatorio6_;
    r.exige<TppLabel>(QStringLiteral("ppCLI6")).Caption = cliente.nome;
    r.exige<TppLabel>(QStringLiteral("PPMUNI6")).Caption =
        QStringLiteral("MUNICIPIO: ") + cliente.cidade;
    r.exige<TppLabel>(QStringLiteral("PERI6")).Caption =
        lancador().digitoBimestre() + QStringLiteral("º BIMESTRE DE ") + cliente.exercicio;
    r.Print();

    if (EstradaDoAnexo::perguntaPlanilha(camaraSemAcento(cliente.nome)) ==
        EstradaDoAnexo::Planilha::Exporta) {
        const std::unique_ptr<Planilha> planilha = lancador().novaPlanilha();
        exportaAnexo5(*planilha, lancador().caminhoPlanilha(), {cdsRec, cdsDes, cdsEsp}, bimestre_,
                      cliente.exercicio);
    }
}

void TImpAnexo5::gera_receita_despesa_V(EstradaDoAnexo& estrada, AguardeRelatorio* aguarde) {
    const QString dir = diretorioDados();
    const QString ano = QString::number(ano_);
    const QString anoAnterior = QString::number(ano_ - 1);
    PreparaAnexo5(dir, ano);
    PreparaAnexo5(dir, anoAnterior);
    const std::array<std::pair<ClientDataSet*, ArquivoDigitado>, 3> tabelas = {
        std::pair{&cdsRec, ArquivoDigitado::Anexo5Receita},
        std::pair{&cdsDes, ArquivoDigitado::Anexo5Despesa},
        std::pair{&cdsEsp, ArquivoDigitado::Anexo5Especificacao}};
    for (const auto& [tabela, arquivo] : tabelas)
        estrada.carrega(*tabela, arquivo, arquivoDeTrabalho(arquivo, ano), ano);
    for (ClientDataSet* t : {&cdsRec, &cdsDes}) {
        t->addIndex(QStringLiteral("INDICE"), Id);
        t->setIndexName(QStringLiteral("INDICE"));
    }
    // The previous year's typed files themselves, read only.
    cdsRecAnt.loadFromFile(caminhoArquivo(dir, ArquivoDigitado::Anexo5Receita, anoAnterior));
    cdsDesAnt.loadFromFile(caminhoArquivo(dir, ArquivoDigitado::Anexo5Despesa, anoAnterior));
    cdsEspAnt.loadFromFile(caminhoArquivo(dir, ArquivoDigitado::Anexo5Especificacao, anoAnterior));

    if (FrmAguarde)
        FrmAguarde->gauge1->setMaximum(cdsRec.recordCount() + cdsDes.recordCount());
    receitas(estrada, aguarde);
    despesas(estrada, aguarde);
    saldosDeExerciciosAnteriores(estrada);
}

void TImpAnexo5::receitas(EstradaDoAnexo& estrada, AguardeRelatorio* aguarde) {
    const int b = bimestre_;
    const bool comAnterior = dm().ConexaoAnt.Connected();
    PlanoDeFiguras* anterior = comAnterior ? &estrada.plano(dm().ConexaoAnt) : nullptr;
    static const FormaDaSoma mais = atualizacaoDaPrevisao(QLatin1Char('>'));
    static const FormaDaSoma menos = atualizacaoDaPrevisao(QLatin1Char('<'));
    // Only the value lines are computed; title and total lines follow from them.
    const auto ehValor = [this] {
        return cdsRec.fieldByName(QStringLiteral("TITULO")).asString() == QLatin1String("VA");
    };
    estrada.percorre(
        cdsRec, aguarde,
        [&](FigurasDaLinha& linha, const QString&) {
            if (!ehValor())
                return;
            linha.soma(QStringLiteral("PREVISAO_ANUAL"), previsaoInicial());
            // The typed updated forecast gives way to the initial one.
            linha.copia(QStringLiteral("PREVISAO_ANUAL"), QStringLiteral("PREVISAO_ATUALIZADA"));
            linha.soma(QStringLiteral("PREVISAO_ATUALIZADA"), mais, ateOBimestre(b));
            linha.soma(QStringLiteral("PREVISAO_ATUALIZADA"), menos, ateOBimestre(b));
            for (int k = b; k >= 1; --k)
                linha.soma(bim("REALIZADO_BIM", k), arrecadadoNoBimestre(), doBimestre(k));
            if (anterior)
                for (int k = b; k >= 1; --k)
                    linha.soma(*anterior, Anterior, arrecadadoNoBimestre(), doBimestre(k));
        },
        [&](const QString&) {
            if (ehValor() && !comAnterior)
                soma(cdsRec, Anterior,
                     digitadoNoAnoAnterior(cdsRec, cdsRecAnt, "REALIZADO_BIM", b));
        });
}

void TImpAnexo5::despesas(EstradaDoAnexo& estrada, AguardeRelatorio* aguarde) {
    const int b = bimestre_;
    const bool comAnterior = dm().ConexaoAnt.Connected();
    PlanoDeFiguras* anterior = comAnterior ? &estrada.plano(dm().ConexaoAnt) : nullptr;
    const QString& rf = lancador().filtroReserva();
    const FormaDaSoma liquidado = liquidadoNoBimestre(rf, QStringLiteral("empliqbimestre"));
    const FormaDaSoma liquidadoAnterior = liquidadoNoBimestre(rf, QStringLiteral("bimestre"));
    const FormaDaSoma empenhado = empenhadoNoBimestre(rf);
    estrada.percorre(
        cdsDes, aguarde,
        [&](FigurasDaLinha& linha, const QString&) {
            linha.soma(QStringLiteral("DOTACAO_ANUAL"), dotacaoInicial());
            linha.soma(QStringLiteral("DOTACAO_ATUALIZADA"), dotacaoInicial());
            linha.soma(QStringLiteral("DOTACAO_ATUALIZADA"), alteracaoDaDotacao(), ateOBimestre(b));
            for (int k = b; k >= 1; --k) {
                linha.soma(bim("LIQUIDADO_BIM", k), liquidado, doBimestre(k));
                linha.soma(bim("EMPENHADO_BIM", k), empenhado, doBimestre(k));
            }
            if (anterior)
                for (int k = b; k >= 1; --k)
                    linha.soma(*anterior, Anterior, liquidadoAnterior, doBimestre(k));
        },
        [&](const QString&) {
            if (!comAnterior)
                soma(cdsDes, Anterior,
                     digitadoNoAnoAnterior(cdsDes, cdsDesAnt, "LIQUIDADO_BIM", b));
        });
}

// Line 00110 receives the appropriations opened from earlier years' balances.
void TImpAnexo5::saldosDeExerciciosAnteriores(EstradaDoAnexo& estrada) {
    if (linhaDoId(cdsDes, QStringLiteral("00110")) < 0)
        return;
    const int b = bimestre_;
    const QString ie = QStringLiteral("IE=3");
    PlanoDeFiguras& plano = estrada.plano();
    const auto credito = plano.pede(creditosAteOMes(), ie, ateOBimestre(b));
    std::array<PlanoDeFiguras::Figura, 7> noBimestre{};
    for (int k = b; k >= 1; --k)
        noBimestre[k] = plano.pede(creditosNoBimestre(), ie, doBimestre(k));
    std::optional<PlanoDeFiguras::Figura> anterior;
    PlanoDeFiguras* planoAnterior =
        dm().ConexaoAnt.Connected() ? &estrada.plano(dm().ConexaoAnt) : nullptr;
    if (planoAnterior)
        anterior = planoAnterior->pede(creditosAteOMes(), ie, ateOBimestre(b));
    plano.resolve();
    if (planoAnterior)
        planoAnterior->resolve();

    cdsDes.locate(Id, Value(QStringLiteral("00110")));
    cdsDes.edit();
    soma(cdsDes, QStringLiteral("DOTACAO_ATUALIZADA"), plano.valor(credito));
    for (int k = b; k >= 1; --k) {
        const Moeda t = plano.valor(noBimestre[k]);
        soma(cdsDes, bim("EMPENHADO_BIM", k), t);
        soma(cdsDes, bim("LIQUIDADO_BIM", k), t);
    }
    if (anterior)
        soma(cdsDes, Anterior, planoAnterior->valor(*anterior));
    cdsDes.post();
}

void TImpAnexo5::TOTALIZA_RECEITA(const QString& alvo, const QString& primeiro,
                                  const QString& segundo, const QString& operador) {
    totaliza(cdsRec, colunasDaReceita(), alvo, primeiro, segundo, operador);
}

void TImpAnexo5::TOTALIZA_DESPESA(const QString& alvo, const QString& primeiro,
                                  const QString& segundo, const QString& operador) {
    totaliza(cdsDes, colunasDaDespesa(), alvo, primeiro, segundo, operador);
}

void TImpAnexo5::TOTALIZA_V(EstradaDoAnexo& estrada) {
    const QString menos = QStringLiteral("-");
    const QString mais = QStringLiteral("+");
    TOTALIZA_RECEITA(QStringLiteral("00030"), QStringLiteral("00010"), QStringLiteral("00020"));
    TOTALIZA_RECEITA(QStringLiteral("00080"), QStringLiteral("00050"),
                     leiaute2006() ? QStringLiteral("00075") : QStringLiteral("00070"));
    TOTALIZA_RECEITA(QStringLiteral("00090"), QStringLiteral("00030"), QStringLiteral("00080"),
                     menos);
    TOTALIZA_DESPESA(QStringLiteral("00030"), QStringLiteral("00010"), QStringLiteral("00020"),
                     menos);
    TOTALIZA_DESPESA(QStringLiteral("00050"), QStringLiteral("00060"), QStringLiteral("00080"));
    TOTALIZA_DESPESA(QStringLiteral("00090"), QStringLiteral("00040"), QStringLiteral("00050"),
                     menos);
    TOTALIZA_DESPESA(leiaute2006() ? QStringLiteral("00110") : QStringLiteral("00100"),
                     QStringLiteral("00030"), QStringLiteral("00090"), mais);
    resultadoPrimario();
    dividaFiscalLiquida(estrada);
}

// Line 00120 from the net fiscal revenues (I) and expenditure lines 00100 and
// 00110: I + (00110 − 00100) up to 2005, I − (00110 − 00100) after.
void TImpAnexo5::resultadoPrimario() {
    if (!cdsDes.locate(Id, Value(QStringLiteral("00120"))))
        return;
    const auto resultado = [&](const QString& receita, const QString& despesa) {
        const Moeda x = daLinha(cdsDes, QStringLiteral("00110"), despesa) -
                        daLinha(cdsDes, QStringLiteral("00100"), despesa);
        const Moeda i = daLinha(cdsRec, QStringLiteral("00090"), receita);
        return leiaute2006() ? i - x : i + x;
    };
    cdsDes.edit();
    const auto define = [&](const QString& receita, const QString& despesa) {
        cdsDes.fieldByName(despesa).setAsCurrency(resultado(receita, despesa));
    };
    define(QStringLiteral("PREVISAO_ANUAL"), QStringLiteral("DOTACAO_ANUAL"));
    define(QStringLiteral("PREVISAO_ATUALIZADA"), QStringLiteral("DOTACAO_ATUALIZADA"));
    for (int k = 1; k <= 6; ++k)
        define(bim("REALIZADO_BIM", k), bim("LIQUIDADO_BIM", k));
    define(Anterior, Anterior);
    cdsDes.post();
}

void TImpAnexo5::dividaFiscalLiquida(EstradaDoAnexo& estrada) {
    const auto ultimoDia = [this](int k) {
        return dataSql(QDate(ano_, 2 * k, 1).addMonths(1).addDays(-1));
    };
    const auto fixa = [](const FormaDaSoma& (*f)()) { return [f](int) { return f(); }; };
    const QString consolidada =
        QStringLiteral("balco LIKE '341%' OR (balco LIKE '3421%' or balco like '3422%')");
    const std::vector<LinhaDaDivida> linhas = {
        {QStringLiteral("00010"), dividaConsolidadaAnterior, true, consolidada,
         fixa(dividaConsolidada),
         QStringLiteral("(balco like '341%' OR (balco like '3421%' or balco like '3422%'))"), true},
        {QStringLiteral("00030"),
         saldoInicialDasContas,
         false,
         {},
         fixa(saldoDasContas),
         {},
         false},
        {QStringLiteral("00040"), haveresAnteriores, false, QStringLiteral("(BALCO LIKE '313%')"),
         fixa(haveres), QStringLiteral("BALCO LIKE '313%'"), false},
        {QStringLiteral("00050"), restosProcessadosAnteriores, false,
         QStringLiteral("(BALCO LIKE '3211%')"),
         [&](int k) { return restosProcessados(ultimoDia(k)); },
         QStringLiteral("BALCO LIKE '3211%'"), false},
        {QStringLiteral("00070"), privatizacoesAnteriores, true, QStringLiteral("RECDIS.TIPO='PV'"),
         fixa(privatizacoes), QStringLiteral("RECDIS.TIPO='PV'"), true},
        {QStringLiteral("00080"), passivosAnteriores, true, QStringLiteral("balco like '8888'"),
         fixa(passivos), QStringLiteral("balco like '8888%'"), false},
    };

    PlanoDeFiguras& plano = estrada.plano();
    PlanoDeFiguras* planoAnterior =
        dm().ConexaoAnt.Connected() ? &estrada.plano(dm().ConexaoAnt) : nullptr;
    struct Pedido {
        const LinhaDaDivida* linha;
        PlanoDeFiguras* planoDoAnterior = nullptr;
        PlanoDeFiguras::Figura anterior = 0;
        std::array<PlanoDeFiguras::Figura, 7> bimestre{};
    };
    std::vector<Pedido> pedidos;
    for (const LinhaDaDivida& l : linhas) {
        if (linhaDoId(cdsEsp, l.id) < 0)
            continue;
        Pedido p{&l};
        p.planoDoAnterior = l.noAnoAnterior ? planoAnterior : &plano;
        if (p.planoDoAnterior)
            p.anterior = p.planoDoAnterior->pede(l.anterior(), l.condicaoAnterior);
        for (int k = 1; k <= 6; ++k)
            p.bimestre[k] = plano.pede(l.noBimestre(k), l.condicao, ateOBimestre(k));
        pedidos.push_back(p);
    }
    plano.resolve();
    if (planoAnterior)
        planoAnterior->resolve();

    for (const Pedido& p : pedidos) {
        cdsEsp.locate(Id, Value(p.linha->id));
        cdsEsp.edit();
        if (p.planoDoAnterior)
            soma(cdsEsp, Anterior, p.planoDoAnterior->valor(p.anterior));
        soma(cdsEsp, Anterior, digitadoNoAnoAnterior(cdsEsp, cdsEspAnt, "BIM", 6));
        for (int k = 1; k <= 6; ++k) {
            const QString campo = bim("BIM", k);
            const Moeda v = plano.valor(p.bimestre[k]);
            cdsEsp.fieldByName(campo).setAsCurrency(
                p.linha->somaAoDigitado ? valorDe(cdsEsp, campo) + v : v);
        }
        cdsEsp.post();
    }

    // The deductions count only when they are positive.
    for (const QString& coluna : colunasDaDivida()) {
        const auto v = [&](const char* id) {
            return daLinha(cdsEsp, QString::fromLatin1(id), coluna);
        };
        const Moeda s = v("00030") + v("00040") - v("00050");
        const bool deduz = s >= Moeda();
        const Moeda liquida = deduz ? v("00010") - s : v("00010");
        const auto define = [&](const char* id, Moeda valor) {
            if (cdsEsp.locate(Id, Value(QString::fromLatin1(id)))) {
                cdsEsp.edit();
                cdsEsp.fieldByName(coluna).setAsCurrency(valor);
                cdsEsp.post();
            }
        };
        define("00020", deduz ? s : Moeda());
        define("00060", liquida);
        define("00090", liquida + v("00070") - v("00080"));
    }
}

void TImpAnexo5::cdsRecCalcFields(ClientDataSet& t) {
    const int n = bimestre_;
    const Moeda sexto = sextoDe(valorDe(t, QStringLiteral("PREVISAO_ATUALIZADA")));
    t.fieldByName(QStringLiteral("PRE_DO_BIM")).setAsCurrency(sexto);
    t.fieldByName(QStringLiteral("PRE_ATE_BIM"))
        .setAsCurrency(Moeda::deDezMilesimos(n * sexto.dezMilesimos()));
    t.fieldByName(QStringLiteral("REA_DO_BIM"))
        .setAsCurrency(n > 0 ? valorDe(t, bim("REALIZADO_BIM", n)) : Moeda());
    t.fieldByName(QStringLiteral("REA_ATE_BIM"))
        .setAsCurrency(somaDosBimestres(t, QStringLiteral("REALIZADO_BIM"), n));
}

void TImpAnexo5::cdsDesCalcFields(ClientDataSet& t) {
    const int n = bimestre_;
    const Moeda sexto = sextoDe(valorDe(t, QStringLiteral("DOTACAO_ATUALIZADA")));
    t.fieldByName(QStringLiteral("DOT_DO_BIM")).setAsCurrency(sexto);
    t.fieldByName(QStringLiteral("DOT_ATE_BIM"))
        .setAsCurrency(Moeda::deDezMilesimos(n * sexto.dezMilesimos()));
    t.fieldByName(QStringLiteral("LIQ_DO_BIM"))
        .setAsCurrency(n > 0 ? valorDe(t, bim("LIQUIDADO_BIM", n)) : Moeda());
    t.fieldByName(QStringLiteral("LIQ_ATE_BIM"))
        .setAsCurrency(somaDosBimestres(t, QStringLiteral("LIQUIDADO_BIM"), n));
}

void TImpAnexo5::cdsEspCalcFields(ClientDataSet& t) {
    const int n = bimestre_;
    if (n < 1)
        return;
    const Moeda anterior = valorDe(t, Anterior);
    const Moeda ant = n == 1 ? anterior : valorDe(t, bim("BIM", n - 1));
    const Moeda atu = valorDe(t, bim("BIM", n));
    t.fieldByName(QStringLiteral("BIM_ANT")).setAsCurrency(ant);
    t.fieldByName(QStringLiteral("BIM_ATU")).setAsCurrency(atu);
    t.fieldByName(QStringLiteral("NO_BIM")).setAsCurrency(atu - ant);
    t.fieldByName(QStringLiteral("ATE_BIM")).setAsCurrency(atu - anterior);
}

// The nominal result is printed on the fiscal net debt line only.
void TImpAnexo5::ppDetailBand12BeforePrint() {
    const bool divida = cdsEsp.fieldByName(QStringLiteral("NOME"))
                            .asString()
                            .contains(QStringLiteral("DÍVIDA FISCAL LÍQUIDA"));
    TppReport& r = *relatorio6_;
    r.exige<TppDBText>(QStringLiteral("ppNoBim")).Visible = divida;
    r.exige<TppDBText>(QStringLiteral("ppAteBim")).Visible = divida;
}

} // namespace nq
