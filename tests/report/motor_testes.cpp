#include "apoio.h"
#include "core/erro.h"
#include "core/mensagens.h"
#include "report/despejo.h"
#include "report/motor.h"

#include <gtest/gtest.h>

namespace nq {
namespace {

using Motor = teste::TesteDeMotor;
using teste::campo;
using teste::papelPequeno;
using teste::poe;

using teste::comparaComGolden;
using teste::layout;
using teste::linhas;
using teste::tabela;

// The running total adds the value of the row being printed; the summary shows it.
void acumulaValor(TppReport& r, ClientDataSet& t) {
    r.exige<TppVariable>("ppAcumulado").OnCalc = [&t](TppVariable&, Value& v) {
        v = Value(v.asCurrency() + t.fieldByName("VALOR").asCurrency());
    };
    r.exige<TppVariable>("ppTotal").OnCalc = [&r](TppVariable&, Value& v) {
        v = r.exige<TppVariable>("ppAcumulado").value;
    };
}

TEST_F(Motor, OrdemDasBandasComCabecalhoTituloGruposEResumo) {
    auto r = layout("ordem_das_bandas");
    auto t = tabela("cdsTeste", linhas(15, 5));
    r->ligaTabela("ppDBPipeline1", *t);
    acumulaValor(*r, *t);
    comparaComGolden("ordem_das_bandas", gera(*r));
    EXPECT_EQ(t->recNo(), 1) << "a tabela volta à linha em que estava";
}

TEST_F(Motor, RodapeOcultoNaoOcupaEspacoNaPagina) {
    auto r = layout("ordem_das_bandas");
    auto t = tabela("cdsTeste", linhas(30));
    r->ligaTabela("ppDBPipeline1", *t);
    acumulaValor(*r, *t);
    gera(*r);
    const auto comRodape = textos(2).filter("Item ").size();
    r->banda(TppBandType::btFooter)->Visible = false;
    comparaComGolden("rodape_oculto", gera(*r));
    const auto semRodape = textos(2).filter("Item ").size();
    EXPECT_FALSE(textos(2).contains("RODAPÉ"));
    // 5 mm more of body hold one more 4 mm detail.
    EXPECT_EQ(semRodape, comRodape + 1);
}

TEST_F(Motor, BandaDinamicaEncolheEmVoltaDosComponentesOcultos) {
    TppReport r;
    papelPequeno(r);
    auto t = tabela("cdsTeste", linhas(6));
    r.DataPipeline = &r.criaPipeline("ppDBPipeline1");
    r.ligaTabela("ppDBPipeline1", *t);
    auto& d = r.criaBanda<TppDetailBand>();
    d.PrintHeight = TppPrintHeightType::phDynamic;
    d.mmHeight = 12000;
    campo(d, "NOME", 0, 0);
    auto& meio = poe(d, "meio", 0, 4000);
    auto& fim = poe(d, "fim", 0, 8000);
    d.BeforePrint = [&] {
        // Odd rows show all three lines; even rows only the name.
        meio.Visible = fim.Visible = t->recNo() % 2 == 1;
    };
    comparaComGolden("banda_dinamica", gera(r));
    EXPECT_EQ(topos(1, "Item 03"), std::vector<int>{21000});
    d.PrintHeight = TppPrintHeightType::phStatic;
    gera(r);
    EXPECT_EQ(topos(1, "Item 02"), std::vector<int>{17000});
    EXPECT_EQ(topos(1, "Item 03"), std::vector<int>{29000}) << "estática: altura inteira";
}

TEST_F(Motor, DetalheEstaticoMaiorQueAPaginaParaNaQuartaTentativa) {
    TppReport r;
    papelPequeno(r);
    auto t = tabela("cdsTeste", linhas(2));
    r.DataPipeline = &r.criaPipeline("ppDBPipeline1");
    r.ligaTabela("ppDBPipeline1", *t);
    auto& cabecalho = r.criaBanda<TppHeaderBand>();
    cabecalho.mmHeight = 10000;
    poe(cabecalho, "CABEÇALHO", 0, 0);
    auto& rodape = r.criaBanda<TppFooterBand>();
    rodape.mmHeight = 10000;
    poe(rodape, "RODAPÉ", 0, 0);
    auto& d = r.criaBanda<TppDetailBand>();
    d.mmHeight = 55000; // 50 mm are left between header and footer
    campo(d, "NOME", 0, 0);
    QString erro;
    comparaComGolden("detalhe_alto", gera(r, &erro));
    EXPECT_EQ(erro, "Static height detail band cannot fit on page");
    EXPECT_EQ(paginas, 4);
    EXPECT_FALSE(textos(1).contains("Item 01"));

    // A dynamic band of the same height is cut through instead.
    d.PrintHeight = TppPrintHeightType::phDynamic;
    poe(d, "fundo", 0, 51000);
    erro.clear();
    gera(r, &erro);
    EXPECT_TRUE(erro.isEmpty());
    EXPECT_TRUE(textos(1).contains("Item 01"));
}

TEST_F(Motor, ResumoComTresSubrelatoriosContinuaNasPaginasSeguintes) {
    TppReport r;
    papelPequeno(r);
    r.Name = QStringLiteral("relatorioSub");
    auto mestre = tabela("cdsMestre", linhas(1));
    std::vector<std::unique_ptr<ClientDataSet>> tabelas;
    r.DataPipeline = &r.criaPipeline("ppMestre");
    r.ligaTabela("ppMestre", *mestre);
    auto& cabecalho = r.criaBanda<TppHeaderBand>();
    cabecalho.mmHeight = 6000;
    poe(cabecalho, "CABEÇALHO", 0, 1000);
    auto& detalhe = r.criaBanda<TppDetailBand>();
    detalhe.mmHeight = 4000;
    campo(detalhe, "NOME", 0, 0);
    auto& resumo = r.criaBanda<TppSummaryBand>();
    resumo.PrintHeight = TppPrintHeightType::phDynamic;
    resumo.mmHeight = 20000;
    for (int i = 0; i < 3; ++i) {
        const QString nome = QStringLiteral("ppTabela%1").arg(i + 1);
        tabelas.push_back(tabela(nome, linhas(8 + 2 * i)));
        r.criaPipeline(nome);
        r.ligaTabela(nome, *tabelas.back());
        auto& sub = poe<TppSubReport>(resumo, QStringLiteral("ppSubReport%1").arg(i + 1), 0,
                                      1000 + i * 6000, 110000, 5027);
        TppChildReport& filho = sub.Report();
        filho.DataPipeline = r.pipeline(nome);
        auto& titulo = filho.criaBanda<TppTitleBand>();
        titulo.mmHeight = 5000;
        poe(titulo, QStringLiteral("TABELA %1").arg(i + 1), 0, 500);
        auto& det = filho.criaBanda<TppDetailBand>();
        det.mmHeight = 4000;
        campo(det, "NOME", 2000, 0);
        campo(det, "VALOR", 40000, 0);
        filho.criaBanda<TppSummaryBand>().mmHeight = 2000;
    }
    comparaComGolden("resumo_tres_subrelatorios", gera(r));
    ASSERT_EQ(paginas, 3);
    EXPECT_EQ(textos(2).first(), "CABEÇALHO") << "a página seguinte recomeça pelo cabeçalho";
}

TEST_F(Motor, GruposMantidosJuntosEReimpressaoDoCabecalho) {
    auto r = layout("ordem_das_bandas");
    std::vector<teste::Linha> ls;
    const std::pair<const char*, int> grupos[] = {{"G1", 3}, {"G2", 6}, {"G3", 14}};
    for (auto [g, n] : grupos)
        for (int i = 1; i <= n; ++i)
            ls.push_back({QStringLiteral("%1 item %2").arg(g).arg(i), g, Moeda::deInteiro(i)});
    auto t = tabela("cdsTeste", ls);
    r->ligaTabela("ppDBPipeline1", *t);
    acumulaValor(*r, *t);
    r->grupo("ppGroup1")->KeepTogether = true;
    comparaComGolden("grupos_juntos", gera(*r));
    // G2 would not fit under G1: the whole group moves to page 2.
    EXPECT_FALSE(textos(1).contains("G2"));
    r->grupo("ppGroup1")->KeepTogether = false;
    gera(*r);
    EXPECT_TRUE(textos(1).contains("G2")) << "sem KeepTogether o grupo começa onde há espaço";
}

TEST_F(Motor, PipelineVazioImprimeUmaVezOuPula) {
    TppReport r;
    papelPequeno(r);
    auto vaziaA = tabela("cdsA", {});
    auto vaziaB = tabela("cdsB", {});
    auto& detalhe = r.criaBanda<TppDetailBand>();
    detalhe.mmHeight = 4000;
    poe(detalhe, "CORPO", 0, 0);
    auto& resumo = r.criaBanda<TppSummaryBand>();
    resumo.PrintHeight = TppPrintHeightType::phDynamic;
    const std::pair<QString, bool> subs[] = {{"A", false}, {"B", true}};
    for (int i = 0; i < 2; ++i) {
        const QString& n = subs[i].first;
        TppDBPipeline& p = r.criaPipeline("pp" + n);
        p.SkipWhenNoRecords = subs[i].second;
        r.ligaTabela("pp" + n, i == 0 ? *vaziaA : *vaziaB);
        auto& sub = poe<TppSubReport>(resumo, "ppSub" + n, 0, i * 6000, 110000, 5000);
        sub.Report().DataPipeline = &p;
        auto& titulo = sub.Report().criaBanda<TppTitleBand>();
        titulo.mmHeight = 4000;
        poe(titulo, "TABELA " + n, 0, 0);
        auto& det = sub.Report().criaBanda<TppDetailBand>();
        det.mmHeight = 4000;
        poe(det, "linha " + n, 0, 0);
        campo(det, "VALOR", 40000, 0);
    }
    comparaComGolden("pipeline_vazio", gera(r));
}

TEST_F(Motor, SemDadosSegueNoDataBehaviors) {
    TppReport r;
    papelPequeno(r);
    auto vazia = tabela("cdsVazia", {});
    r.DataPipeline = &r.criaPipeline("ppDBPipeline1");
    r.ligaTabela("ppDBPipeline1", *vazia);
    auto& cabecalho = r.criaBanda<TppHeaderBand>();
    cabecalho.mmHeight = 5000;
    poe(cabecalho, "CABEÇALHO", 0, 0);
    campo(r.criaBanda<TppDetailBand>(), "NOME", 0, 0);

    gera(r); // default: a blank page
    ASSERT_EQ(paginas, 1);
    EXPECT_TRUE(documento.paginas[0].comandos.empty());

    r.NoDataBehaviors = {TppNoDataBehavior::ndMessageOnPage};
    gera(r);
    ASSERT_EQ(textos(1), QStringList{"Nenhum Dado Encontrado"});
    const auto& aviso = std::get<ComandoTexto>(documento.paginas[0].comandos[0]);
    EXPECT_EQ(aviso.fonte.nome, "Arial");
    EXPECT_EQ(aviso.fonte.tamanho, 12);
    const int largura = MedidorDeTexto::instancia().largura(aviso.fonte, "Nenhum Dado Encontrado");
    EXPECT_NEAR(aviso.trechos[0].x + largura / 2, 60000, 1);

    MensagensDeTeste mensagens;
    r.NoDataBehaviors = {TppNoDataBehavior::ndMessageDialog};
    gera(r);
    EXPECT_EQ(paginas, 0);
    EXPECT_EQ(mensagens->textos(), QStringList{"Não há dados para este relatório."});
    EXPECT_EQ(mensagens->registro()[0].titulo, "Nenhum Dado Encontrado");

    r.NoDataBehaviors = {TppNoDataBehavior::ndBlankReport};
    gera(r);
    EXPECT_EQ(textos(1), QStringList{"CABEÇALHO"});
}

// The text-file device writes one line per master record from the data components of the
// main detail band; every other text must stay out of it.
TEST_F(Motor, SoOsDadosDoDetalhePrincipalLevamONumeroDoRegistro) {
    TppReport r;
    papelPequeno(r);
    auto mestre = tabela("cdsMestre", linhas(3));
    auto filha = tabela("cdsFilha", linhas(2));
    r.DataPipeline = &r.criaPipeline("ppMestre");
    r.ligaTabela("ppMestre", *mestre);
    r.criaPipeline("ppFilha");
    r.ligaTabela("ppFilha", *filha);
    auto& cabecalho = r.criaBanda<TppHeaderBand>();
    cabecalho.mmHeight = 5000;
    campo(cabecalho, "GRP", 0, 0);
    auto& detalhe = r.criaBanda<TppDetailBand>();
    detalhe.PrintHeight = TppPrintHeightType::phDynamic;
    detalhe.mmHeight = 5000;
    campo(detalhe, "NOME", 0, 0);
    poe(detalhe, "ROTULO", 32000, 0);
    auto& variavel = poe<TppVariable>(detalhe, "ppVariavel", 64000, 0);
    variavel.OnCalc = [](TppVariable&, Value& v) { v = Value(QStringLiteral("calculado")); };
    poe<TppSystemVariable>(detalhe, "ppData", 90000, 0, 20000).VarType = TppVarType::vtDate;
    auto& sub = poe<TppSubReport>(detalhe, "ppSub", 0, 4500, 110000, 500);
    sub.Report().DataPipeline = r.pipeline("ppFilha");
    auto& detalheFilho = sub.Report().criaBanda<TppDetailBand>();
    detalheFilho.mmHeight = 4000;
    campo(detalheFilho, "VALOR", 40000, 0);
    auto& resumo = r.criaBanda<TppSummaryBand>();
    resumo.mmHeight = 5000;
    campo(resumo, "VALOR", 40000, 0);
    gera(r);

    QStringList numerados;
    int semNumero = 0;
    for (const Pagina& p : documento.paginas)
        for (const ComandoDeDesenho& c : p.comandos)
            if (auto* t = std::get_if<ComandoTexto>(&c)) {
                const QString texto = t->trechos.empty() ? QString() : t->trechos[0].texto;
                if (t->registro >= 0)
                    numerados << QStringLiteral("%1:%2").arg(t->registro).arg(texto);
                else
                    ++semNumero;
            }
    EXPECT_EQ(numerados, (QStringList{"0:Item 01", "0:calculado", "1:Item 02", "1:calculado",
                                      "2:Item 03", "2:calculado"}));
    // Per page header, per record caption, date and two child rows, and the total.
    EXPECT_EQ(semNumero, paginas + 3 * 4 + 1);
}

TEST_F(Motor, ErrosDeFonteDeDadosEDeRelatorioAusente) {
    QString erro;
    try {
        TppEngine().gera([](Pagina&&) {});
    } catch (const Erro& e) {
        erro = e.texto();
    }
    EXPECT_EQ(erro, "TppEngine.GetPageBottom: No Report assigned to this engine.");

    TppReport r;
    papelPequeno(r);
    TppDBPipeline& p = r.criaPipeline("ppDBPipeline1");
    r.DataPipeline = &p;
    campo(r.criaBanda<TppDetailBand>(), "NOME", 0, 0);
    auto esperaErro = [&](const QString& texto) {
        QString e;
        gera(r, &e);
        EXPECT_EQ(e, texto);
    };
    esperaErro("Não foi possível abrir a Fonte de Dados.: ppDBPipeline1"); // no table

    auto t = tabela("cdsTeste", linhas(3));
    t->close();
    r.ligaTabela("ppDBPipeline1", *t);
    p.OpenDataSource = false;
    esperaErro("Não foi possível abrir a Fonte de Dados.: ppDBPipeline1"); // closed, not opened

    p.OpenDataSource = true;
    p.CloseDataSource = true;
    esperaErro(QString());
    EXPECT_FALSE(t->active()) << "CloseDataSource fecha a tabela no fim";

    r.exige<TppDBText>("ppNOME").DataField = QStringLiteral("NAO_EXISTE");
    esperaErro("O campo \"NAO_EXISTE\" não existe na fonte de dados \"ppDBPipeline1\".");
}

TEST_F(Motor, PipelineRespeitaFiltroEIndiceSemMudarATabela) {
    TppReport r;
    papelPequeno(r);
    std::vector<teste::Linha> ls = linhas(6);
    std::reverse(ls.begin(), ls.end());
    auto t = tabela("cdsTeste", ls);
    t->setFilter(QStringLiteral("VALOR > 4"));
    t->setFiltered(true);
    t->setIndexFieldNames(QStringLiteral("NOME"));
    t->setRecNo(2);
    r.DataPipeline = &r.criaPipeline("ppDBPipeline1");
    r.ligaTabela("ppDBPipeline1", *t);
    auto& d = r.criaBanda<TppDetailBand>();
    d.mmHeight = 4000;
    campo(d, "NOME", 0, 0);
    QStringList vistosPeloEvento;
    d.BeforePrint = [&] { vistosPeloEvento << t->fieldByName("NOME").asString(); };
    gera(r);
    const QStringList esperado{"Item 03", "Item 04", "Item 05", "Item 06"};
    EXPECT_EQ(textos(1), esperado);
    EXPECT_EQ(vistosPeloEvento, esperado) << "os eventos leem a linha que está sendo impressa";
    EXPECT_EQ(t->recNo(), 2);
}

TEST_F(Motor, MemoLongoContinuaNaPaginaSeguinte) {
    TppReport r;
    papelPequeno(r);
    auto& cabecalho = r.criaBanda<TppHeaderBand>();
    cabecalho.mmHeight = 5000;
    poe(cabecalho, "CABEÇALHO", 0, 0);
    auto& d = r.criaBanda<TppDetailBand>();
    d.PrintHeight = TppPrintHeightType::phDynamic;
    poe(d, "antes", 0, 0);
    auto& memo = poe<TppMemo>(d, "ppMemo1", 0, 4000, 60000, 4000);
    memo.Font.nome = QStringLiteral("Draft 10cpi");
    for (int i = 1; i <= 30; ++i)
        memo.Lines << QStringLiteral("linha %1 do memo").arg(i);
    poe(d, "depois", 0, 8000);
    comparaComGolden("memo_longo", gera(r));
    ASSERT_EQ(paginas, 2);
    EXPECT_EQ(textos(2).last(), "depois") << "o que está abaixo do memo desce com ele";
}

// A long report is paged while its body is generated: the first page is handed over
// long before the last record is read. Page bands still read the pipelines where a finished
// run leaves them (on their first record), as when they came after the whole body.
TEST_F(Motor, PaginasSaemEnquantoOCorpoEhGerado) {
    TppReport r;
    papelPequeno(r);
    auto t = tabela("cdsTeste", linhas(100));
    r.DataPipeline = &r.criaPipeline("ppDBPipeline1");
    r.ligaTabela("ppDBPipeline1", *t);
    auto& cabecalho = r.criaBanda<TppHeaderBand>();
    cabecalho.mmHeight = 5000;
    campo(cabecalho, "NOME", 0, 0);
    auto& d = r.criaBanda<TppDetailBand>();
    d.mmHeight = 4000;
    campo(d, "VALOR", 40000, 0);
    int lidos = 0;
    d.BeforePrint = [&] { ++lidos; };
    std::vector<int> lidosPorPagina;
    QStringList cabecalhos;
    TppEngine(&r).gera([&](Pagina&& p) {
        lidosPorPagina.push_back(lidos);
        cabecalhos << std::get<ComandoTexto>(p.comandos.at(0)).trechos.at(0).texto;
    });
    ASSERT_EQ(lidosPorPagina.size(), 7u) << "16 linhas por página";
    EXPECT_LT(lidosPorPagina[0], 50) << "a primeira página sai antes do fim dos registros";
    EXPECT_EQ(lidosPorPagina.back(), 100);
    EXPECT_EQ(cabecalhos, QStringList(7, "Item 01"));
    EXPECT_EQ(t->recNo(), 1);
}

TEST_F(Motor, OQueUmEventoMudaNaBandaValeDaProximaVezEmDiante) {
    // A band's components, its variables' order and the columns its fields read are found
    // once for the run: what a handler changes must still be obeyed from then on.
    TppReport r;
    papelPequeno(r);
    auto t = tabela("cdsTeste", linhas(3));
    r.DataPipeline = &r.criaPipeline("ppDBPipeline1");
    r.ligaTabela("ppDBPipeline1", *t);
    auto& d = r.criaBanda<TppDetailBand>();
    d.mmHeight = 5000;
    auto& rotulo = poe(d, "ROTULO", 0, 1000);
    auto& dado = campo(d, "NOME", 30000, 0);
    auto& primeira = poe<TppVariable>(d, "ppPrimeira", 60000, 0);
    auto& segunda = poe<TppVariable>(d, "ppSegunda", 90000, 0);
    primeira.CalcOrder = 0;
    segunda.CalcOrder = 1;
    int calculos = 0;
    primeira.OnCalc = [&](TppVariable&, Value& v) { v = Value(QString("a%1").arg(++calculos)); };
    segunda.OnCalc = [&](TppVariable&, Value& v) { v = Value(QString("b%1").arg(++calculos)); };
    d.AfterPrint = [&] {
        primeira.CalcOrder = 2;
        dado.DataField = QStringLiteral("VALOR");
        rotulo.mmTop = 0;
    };
    gera(r);
    ASSERT_EQ(paginas, 1);
    EXPECT_EQ(textos(1), (QStringList{"Item 01", "a1", "b2", "ROTULO", //
                                      "ROTULO", "3", "a4", "b3",       //
                                      "ROTULO", "4,5", "a6", "b5"}));
}

class SaidaDeTeste : public SaidaDeRelatorios {
public:
    void apresenta(TppReport& r, const Documento& d) override {
        nomes << r.Name;
        paginas += static_cast<int>(d.paginas.size());
        trabalho = d.trabalho;
        for (const ComandoDeDesenho& c : d.paginas.at(0).comandos)
            if (auto* t = std::get_if<ComandoTexto>(&c))
                for (const TrechoDeTexto& r : t->trechos)
                    textos << r.texto;
    }
    QStringList nomes;
    QStringList textos;
    int paginas = 0;
    TrabalhoDeImpressao trabalho;
};

TEST_F(Motor, PrintEntregaAsPaginasASaidaInstalada) {
    auto r = layout("ordem_das_bandas");
    auto t = tabela("cdsTeste", linhas(3));
    r->ligaTabela("ppDBPipeline1", *t);
    EXPECT_THROW(r->Print(), Erro);
    SaidaDeTeste saida;
    SaidaDeRelatorios* anterior = instalaSaidaDeRelatorios(&saida);
    bool completo = false;
    r->OnPrintingComplete = [&] { completo = true; };
    // The annex rebinds a field when the preview is created, before the pages exist.
    r->OnPreviewFormCreate = [&] { r->exige<TppDBText>("ppNOME").DataField = "GRP"; };
    r->Print();
    instalaSaidaDeRelatorios(anterior);
    EXPECT_EQ(saida.nomes, QStringList{"relatorioTeste"});
    EXPECT_EQ(saida.paginas, 1);
    EXPECT_EQ(saida.textos.count("G1"), 4) << "group header and the three rebound details";
    EXPECT_EQ(saida.trabalho.nomeDocumento, "TESTE");
    EXPECT_TRUE(saida.trabalho.permiteImprimirParaArquivo);
    EXPECT_TRUE(completo);
}

} // namespace
} // namespace nq
