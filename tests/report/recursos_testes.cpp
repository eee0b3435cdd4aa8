#include "apoio.h"

#include <functional>
#include <gtest/gtest.h>
#include <map>

namespace nq {
namespace {

using Recursos = teste::TesteDeMotor;
using teste::campo;
using teste::comparaComGolden;
using teste::linhas;
using teste::papelPequeno;
using teste::poe;
using teste::tabela;

// A report over `t` with a detail band of 4 mm.
struct Relatorio {
    explicit Relatorio(ClientDataSet& t) {
        papelPequeno(r);
        r.DataPipeline = &r.criaPipeline("ppDBPipeline1");
        r.ligaTabela("ppDBPipeline1", t);
        detalhe.mmHeight = 4000;
    }
    TppReport r;
    TppDetailBand& detalhe = r.criaBanda<TppDetailBand>();
};

TEST_F(Recursos, VariaveisNaOrdemDeCalculoEReinicioPorGrupo) {
    auto t = tabela("cdsTeste", linhas(6, 3));
    Relatorio rel(*t);
    TppGroup& g = rel.r.adicionaGrupo();
    g.BreakName = "GRP";
    // Declared in the band before the variable it reads: CalcOrder decides.
    auto& dobro = poe<TppVariable>(rel.detalhe, "dobro", 0, 0);
    auto& valor = poe<TppVariable>(rel.detalhe, "valor", 30000, 0);
    auto& doGrupo = poe<TppVariable>(rel.detalhe, "doGrupo", 60000, 0);
    for (TppVariable* v : {&dobro, &valor, &doGrupo}) {
        v->DataType = TppDataType::dtCurrency;
        v->DisplayFormat = "#,0.00";
    }
    dobro.CalcOrder = 2;
    valor.CalcOrder = 1;
    valor.OnCalc = [&](TppVariable&, Value& v) { v = t->fieldByName("VALOR").value(); };
    dobro.OnCalc = [&](TppVariable&, Value& v) { v = Value(valor.value.asCurrency() * 2.0); };
    doGrupo.ResetType = TppVarEventType::veGroupStart;
    doGrupo.ResetComponent = &g;
    doGrupo.OnCalc = [&](TppVariable&, Value& v) {
        v = Value(v.asCurrency() + t->fieldByName("VALOR").asCurrency());
    };
    gera(rel.r);
    EXPECT_EQ(textos(1).mid(0, 3), QStringList({"3,00", "1,50", "1,50"}));
    // Values 1.5 .. 9: the second group starts again from its own first row.
    EXPECT_EQ(textos(1).mid(6, 3), QStringList({"9,00", "4,50", "9,00"}));
    EXPECT_EQ(textos(1).mid(9, 3), QStringList({"12,00", "6,00", "6,00"}));
    EXPECT_EQ(textos(1).last(), "22,50");

    doGrupo.ResetType = TppVarEventType::vePageStart;
    QString erro;
    gera(rel.r, &erro);
    EXPECT_EQ(erro, "O componente \"doGrupo\" usa um recurso que o gerador de relatórios não "
                    "oferece: reinício por página, coluna ou grupo não indicado.");
}

TEST_F(Recursos, NumeroDePaginaSoNasBandasDePagina) {
    auto t = tabela("cdsTeste", linhas(2));
    Relatorio rel(*t);
    auto& pagina = poe<TppSystemVariable>(rel.detalhe, "ppPagina", 0, 0);
    pagina.VarType = TppVarType::vtPageNo;
    QString erro;
    gera(rel.r, &erro);
    EXPECT_TRUE(erro.contains("número da página fora do cabeçalho e do rodapé"))
        << qPrintable(erro);
    pagina.VarType = TppVarType::vtPageCount;
    gera(rel.r, &erro);
    EXPECT_TRUE(erro.contains("total de páginas")) << qPrintable(erro);
}

// What the band engine does not lay out stops the run before any page, naming the property,
// rather than print pages that look right and are not.
TEST_F(Recursos, PropriedadesQueOMotorNaoDiagramaSaoRecusadasPeloNome) {
    auto t = tabela("cdsTeste", linhas(4, 2));
    const std::pair<QString, std::function<void(Relatorio&)>> casos[] = {
        {"PassSetting", [](Relatorio& rel) { rel.r.PassSetting = TppPassSetting::psTwoPass; }},
        {"Columns", [](Relatorio& rel) { rel.r.Columns = 2; }},
        {"MasterDataPipeline",
         [](Relatorio& rel) {
             rel.r.criaPipeline("ppDetalhe").MasterDataPipeline = rel.r.DataPipeline;
         }},
        {"MasterFieldLinks",
         [](Relatorio& rel) { rel.r.DataPipeline->MasterFieldLinks = "GRP=GRP"; }},
        {"StartOnOddPage", [](Relatorio& rel) { rel.r.grupos()[0]->StartOnOddPage = true; }},
        {"ResetPageNo", [](Relatorio& rel) { rel.r.grupos()[0]->ResetPageNo = true; }},
        {"KeepTogether",
         [](Relatorio& rel) { poe<TppMemo>(rel.detalhe, "ppMemo", 0, 0).KeepTogether = true; }},
        {"Columns",
         [](Relatorio& rel) {
             auto& sub = poe<TppSubReport>(rel.detalhe, "ppSub", 0, 0);
             sub.Report().Columns = 3;
         }},
    };
    for (const auto& [propriedade, define] : casos) {
        Relatorio rel(*t);
        TppGroup& g = rel.r.adicionaGrupo();
        g.Name = "ppGroup1";
        g.BreakName = "GRP";
        campo(rel.detalhe, "NOME", 0, 0);
        gera(rel.r);
        EXPECT_EQ(paginas, 1) << "sem a propriedade o relatório sai";
        define(rel);
        QString erro;
        gera(rel.r, &erro);
        EXPECT_TRUE(erro.contains(propriedade) &&
                    erro.contains("recurso que o gerador de relatórios não oferece"))
            << qPrintable(propriedade) << ": " << qPrintable(erro);
        EXPECT_EQ(paginas, 0) << qPrintable(propriedade);
    }
}

TEST_F(Recursos, SubrelatorioEmSecaoTemPaginasProprias) {
    auto t = tabela("cdsTeste", linhas(2));
    auto filha = tabela("cdsFilha", linhas(20));
    Relatorio rel(*t);
    auto& cabecalho = rel.r.criaBanda<TppHeaderBand>();
    cabecalho.mmHeight = 5000;
    poe(cabecalho, "PRINCIPAL", 0, 0);
    campo(rel.detalhe, "NOME", 0, 0);
    auto& resumo = rel.r.criaBanda<TppSummaryBand>();
    resumo.mmHeight = 4000;
    poe(resumo, "FIM", 0, 0);
    auto& sub = poe<TppSubReport>(resumo, "ppSecao", 0, 0, 110000, 4000);
    sub.PrintBehavior = TppPrintBehavior::pbSection;
    TppDBPipeline& p = rel.r.criaPipeline("ppFilha");
    rel.r.ligaTabela("ppFilha", *filha);
    sub.Report().DataPipeline = &p;
    auto& cabecalhoDaSecao = sub.Report().criaBanda<TppHeaderBand>();
    cabecalhoDaSecao.mmHeight = 5000;
    poe(cabecalhoDaSecao, "SEÇÃO", 0, 0);
    poe<TppSystemVariable>(cabecalhoDaSecao, "ppPagina", 40000, 0).VarType =
        TppVarType::vtPageNoDesc;
    auto& det = sub.Report().criaBanda<TppDetailBand>();
    det.mmHeight = 4000;
    campo(det, "NOME", 0, 0);
    comparaComGolden("secao", gera(rel.r));
    EXPECT_EQ(documento.paginas[2].numero, 3);
    EXPECT_EQ(documento.paginas[2].numeroRelativo, 2);
}

// Two page blocks over two tables, as in the monthly personnel report: the
// first block's summary holds a child report whose summary holds the second
// block as a section with its own heading. The second block starts a page of
// its own and the first block's page heading is never printed above it.
TEST_F(Recursos, SecaoDentroDeSubrelatorioNaoRepeteOCabecalhoDaPrimeiraPagina) {
    auto pagina1 = tabela("cdsDP1", linhas(12));
    auto pagina2 = tabela("cdsDP2", linhas(20));
    Relatorio rel(*pagina1);
    auto& cabecalho = rel.r.criaBanda<TppHeaderBand>();
    cabecalho.mmHeight = 10000;
    poe(cabecalho, "Página 01 de 02", 0, 0);
    campo(rel.detalhe, "NOME", 0, 0);
    auto& resumo = rel.r.criaBanda<TppSummaryBand>();
    resumo.PrintHeight = TppPrintHeightType::phDynamic;
    auto& metade = poe<TppSubReport>(resumo, "ppSubReport1", 0, 0, 110000, 5027);
    metade.Report().DataPipeline = rel.r.DataPipeline;
    auto& tituloDaMetade = metade.Report().criaBanda<TppTitleBand>();
    tituloDaMetade.mmHeight = 4000;
    poe(tituloDaMetade, "meses 5 a 1", 0, 0);
    auto& detalheDaMetade = metade.Report().criaBanda<TppDetailBand>();
    detalheDaMetade.mmHeight = 4000;
    campo(detalheDaMetade, "VALOR", 0, 0);
    auto& resumoDaMetade = metade.Report().criaBanda<TppSummaryBand>();
    resumoDaMetade.PrintHeight = TppPrintHeightType::phDynamic;
    auto& bloco2 = poe<TppSubReport>(resumoDaMetade, "ppSubReport2", 0, 0, 110000, 5027);
    bloco2.PrintBehavior = TppPrintBehavior::pbSection;
    TppDBPipeline& p2 = rel.r.criaPipeline("ppDBPipeline2");
    rel.r.ligaTabela("ppDBPipeline2", *pagina2);
    bloco2.Report().DataPipeline = &p2;
    auto& titulo2 = bloco2.Report().criaBanda<TppTitleBand>();
    titulo2.mmHeight = 10000;
    poe(titulo2, "Página 02 de 02", 0, 0);
    auto& detalhe2 = bloco2.Report().criaBanda<TppDetailBand>();
    detalhe2.mmHeight = 4000;
    campo(detalhe2, "NOME", 0, 0);
    gera(rel.r);

    int inicioDoBloco2 = 0;
    for (int p = 1; p <= paginas; ++p)
        if (textos(p).contains("Página 02 de 02"))
            inicioDoBloco2 = p;
    ASSERT_GT(inicioDoBloco2, 1);
    EXPECT_EQ(textos(inicioDoBloco2).first(), "Página 02 de 02") << "o bloco começa a página";
    ASSERT_LT(inicioDoBloco2, paginas) << "o bloco 2 ocupa mais de uma página";
    for (int p = 1; p <= paginas; ++p)
        EXPECT_EQ(textos(p).contains("Página 01 de 02"), p < inicioDoBloco2) << "página " << p;
    EXPECT_TRUE(textos(inicioDoBloco2 - 1).contains("18,00")) << "a metade do bloco 1 vem antes";
    EXPECT_TRUE(textos(paginas).contains("Item 20"));
}

// The financial tables of the social-security annex: a child report in the summary whose
// own summary holds two half-width subreports side by side, each over its own table. Both
// print whole, in their own halves, from the same line, across a page break.
TEST_F(Recursos, SubrelatoriosLadoALadoDentroDeOutro) {
    auto t = tabela("cdsRec", linhas(3));
    auto receitas = tabela("cdsRecFin", linhas(22));
    auto despesas = tabela("cdsDesFin", linhas(9));
    Relatorio rel(*t);
    campo(rel.detalhe, "NOME", 0, 0);
    auto& resumo = rel.r.criaBanda<TppSummaryBand>();
    resumo.PrintHeight = TppPrintHeightType::phDynamic;
    auto& filho = poe<TppSubReport>(resumo, "ppSubReport3", 0, 0, 110000, 5027);
    filho.Report().DataPipeline = rel.r.DataPipeline;
    auto& resumoDoFilho = filho.Report().criaBanda<TppSummaryBand>();
    resumoDoFilho.PrintHeight = TppPrintHeightType::phDynamic;
    poe(resumoDoFilho, "IV - DISPONIBILIDADES", 0, 0);
    const std::pair<QString, ClientDataSet*> metades[] = {{"RECEITAS", receitas.get()},
                                                          {"DESPESAS", despesas.get()}};
    for (int i = 0; i < 2; ++i) {
        const QString nome = QStringLiteral("ppMetade%1").arg(i);
        rel.r.criaPipeline(nome);
        rel.r.ligaTabela(nome, *metades[i].second);
        auto& sub = poe<TppSubReport>(resumoDoFilho, nome, i * 55000, 5000, 54000, 5027);
        sub.ParentWidth = false;
        sub.Report().DataPipeline = rel.r.pipeline(nome);
        auto& titulo = sub.Report().criaBanda<TppTitleBand>();
        titulo.mmHeight = 4000;
        poe(titulo, metades[i].first, 0, 0);
        auto& det = sub.Report().criaBanda<TppDetailBand>();
        det.mmHeight = 4000;
        campo(det, "VALOR", 0, 0);
    }
    gera(rel.r);
    ASSERT_EQ(paginas, 2);
    // Below the summary's caption on page 1, then the whole of page 2.
    const int inicio = topos(1, "IV - DISPONIBILIDADES").at(0);
    std::map<int, QStringList> porMetade;
    for (const Pagina& p : documento.paginas)
        for (const ComandoDeDesenho& c : p.comandos)
            if (auto* texto = std::get_if<ComandoTexto>(&c);
                texto && (p.numero == 2 || texto->caixa.topo > inicio))
                porMetade[texto->caixa.esquerda >= 60000] << texto->trechos[0].texto;
    QStringList esquerda{"RECEITAS"}, direita{"DESPESAS"};
    for (int n = 1; n <= 22; ++n)
        esquerda << QString::number(n * 1.5, 'f', 2).replace('.', ',');
    for (int n = 1; n <= 9; ++n)
        direita << QString::number(n * 1.5, 'f', 2).replace('.', ',');
    EXPECT_EQ(porMetade[0], esquerda);
    EXPECT_EQ(porMetade[1], direita);
    EXPECT_EQ(topos(1, "RECEITAS"), topos(1, "DESPESAS")) << "lado a lado";
}

TEST_F(Recursos, ResumoAlinhadoAoFundoNovaPaginaPorGrupoELimiteDePaginas) {
    auto t = tabela("cdsTeste", linhas(6, 2));
    Relatorio rel(*t);
    campo(rel.detalhe, "NOME", 0, 0);
    auto& resumo = rel.r.criaBanda<TppSummaryBand>();
    resumo.mmHeight = 6000;
    resumo.AlignToBottom = true;
    poe(resumo, "RESUMO", 0, 0);
    gera(rel.r);
    EXPECT_EQ(topos(1, "RESUMO"), std::vector<int>{75000 - 6000});

    TppGroup& g = rel.r.adicionaGrupo();
    g.BreakName = "GRP";
    g.NewPage = true;
    gera(rel.r);
    ASSERT_EQ(paginas, 3);
    EXPECT_EQ(textos(2), QStringList({"Item 03", "Item 04"}));

    rel.r.PageLimit = 2;
    gera(rel.r);
    EXPECT_EQ(paginas, 2);
}

TEST_F(Recursos, LinhaQueSegueABandaSeDivideEntreAsPaginas) {
    auto t = tabela("cdsTeste", linhas(1));
    Relatorio rel(*t);
    rel.detalhe.PrintHeight = TppPrintHeightType::phDynamic;
    auto& memo = poe<TppMemo>(rel.detalhe, "ppMemo", 5000, 0, 60000, 4000);
    for (int i = 0; i < 30; ++i)
        memo.Lines << QStringLiteral("linha %1").arg(i);
    auto& margem = poe<TppLine>(rel.detalhe, "ppMargem", 0, 0, 1000, 4000);
    margem.Position = TppLinePosition::lpLeft;
    margem.ParentHeight = true;
    margem.Style = TppLineStyle::lsDouble;
    gera(rel.r);
    ASSERT_EQ(paginas, 2);
    auto linhasDa = [&](int n) {
        std::vector<ComandoLinha> ls;
        for (const ComandoDeDesenho& c : documento.paginas[n - 1].comandos)
            if (auto* l = std::get_if<ComandoLinha>(&c))
                ls.push_back(*l);
        return ls;
    };
    const auto p1 = linhasDa(1);
    const auto p2 = linhasDa(2);
    ASSERT_EQ(p1.size(), 2u) << "linha dupla: dois traços";
    ASSERT_EQ(p2.size(), 2u);
    EXPECT_EQ(p1[0].y1, 5000);
    EXPECT_GT(p1[0].y2, 70000) << "vai até o fim do que coube na página 1";
    EXPECT_EQ(p2[0].y1, 5000) << "continua do topo do corpo na página 2";
    EXPECT_GT(p1[1].x1, p1[0].x1);
}

TEST_F(Recursos, SuprimeRepetidosEBrancoQuandoZero) {
    std::vector<teste::Linha> ls = linhas(4, 2);
    ls[1].valor = Moeda();
    auto t = tabela("cdsTeste", ls);
    Relatorio rel(*t);
    campo(rel.detalhe, "GRP", 0, 0).SuppressRepeatedValues = true;
    campo(rel.detalhe, "VALOR", 40000, 0).BlankWhenZero = true;
    gera(rel.r);
    EXPECT_EQ(textos(1), QStringList({"G1", "1,50", "", "", "G2", "4,50", "", "6,00"}));
}

} // namespace
} // namespace nq
