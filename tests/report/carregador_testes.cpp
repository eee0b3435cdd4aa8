#include "apoio.h"
#include "core/erro.h"
#include "report/carregador.h"

#include <gtest/gtest.h>

namespace nq {
namespace {

QString erroAoLer(const QByteArray& json) {
    try {
        leLayout(json, QStringLiteral("teste.json"));
    } catch (const Erro& e) {
        return e.texto();
    }
    return {};
}

TEST(Carregador, LeOModeloComOsPadroesDoQueNaoFoiEscrito) {
    teste::garanteAplicacao();
    auto r = teste::layout("ordem_das_bandas");
    EXPECT_EQ(r->Name, "relatorioTeste");
    EXPECT_EQ(r->PrinterSetup.mmPaperWidth, 120000);
    EXPECT_EQ(r->PrinterSetup.Orientation, TppPrinterOrientation::poLandscape);
    EXPECT_TRUE(r->AllowPrintToFile);
    EXPECT_EQ(r->NoDataBehaviors, std::set<TppNoDataBehavior>{TppNoDataBehavior::ndBlankPage});
    ASSERT_EQ(r->DataPipeline, r->pipeline("ppDBPipeline1"));
    EXPECT_FALSE(r->DataPipeline->OpenDataSource);
    EXPECT_FALSE(r->DataPipeline->SkipWhenNoRecords);

    auto& titulo = r->exige<TppLabel>("ppTitulo");
    EXPECT_EQ(titulo.BandType(), TppBandType::btHeader);
    EXPECT_TRUE(titulo.AutoSize) << "TppLabel: AutoSize é True por padrão";
    auto& soma = r->exige<TppDBCalc>("ppSomaGrupo");
    EXPECT_EQ(soma.ResetGroup, r->grupo("ppGroup1"));
    EXPECT_EQ(soma.GroupNo(), 0);
    auto& var = r->exige<TppVariable>("ppAcumulado");
    EXPECT_EQ(var.CalcType, TppVarEventType::veTraversal);
    EXPECT_EQ(var.ResetType, TppVarEventType::veReportEnd);
    EXPECT_EQ(var.CalcOrder, -1);
    auto& linha = r->exige<TppLine>("ppLinhaCabecalho");
    EXPECT_EQ(linha.Pen.Style, TPenStyle::psDot);
    EXPECT_EQ(linha.Position, TppLinePosition::lpBottom);

    // Found by name, changed at run time.
    titulo.Caption = QStringLiteral("MUNICIPIO: TESTE");
    EXPECT_EQ(r->componente<TppLabel>("ppTitulo")->Caption, "MUNICIPIO: TESTE");
    EXPECT_EQ(r->componente("naoExiste"), nullptr);
    EXPECT_THROW(r->exige<TppDBText>("ppTitulo"), Erro) << "existe, mas de outra classe";
}

TEST(Carregador, SubrelatoriosEReferenciasPorNome) {
    const QByteArray json = R"({
      "Name": "r",
      "Pipelines": [{"Name": "p1"}, {"Name": "p2"}],
      "DataPipeline": "p1",
      "Bands": [{"Type": "Summary", "PrintHeight": "phDynamic", "Components": [
        {"Class": "TppSubReport", "Name": "sub1", "mmTop": 0, "mmHeight": 5027,
         "Report": {"DataPipeline": "p2", "Bands": [{"Type": "Detail", "Components": [
           {"Class": "TppDBText", "Name": "ppNOME", "DataField": "NOME", "ParentDataPipeline": true}]}]}},
        {"Class": "TppSubReport", "Name": "sub2", "mmTop": 6000, "ShiftRelativeTo": "sub1",
         "PrintBehavior": "pbSection", "Report": {}},
        {"Class": "TppMemo", "Name": "memo", "Lines": ["a", "b"], "CharWrap": true,
         "Font": {"Color": "#ff0000"}, "Border": {"BorderPositions": ["bpTop"], "Visible": true}}
      ]}]
    })";
    auto r = leLayout(json, "teste.json");
    auto& sub1 = r->exige<TppSubReport>("sub1");
    EXPECT_EQ(sub1.Report().DataPipeline, r->pipeline("p2"));
    EXPECT_EQ(r->exige<TppDBText>("ppNOME").Band()->Report(), &sub1.Report());
    auto& sub2 = r->exige<TppSubReport>("sub2");
    EXPECT_EQ(sub2.ShiftRelativeTo, &sub1);
    EXPECT_EQ(sub2.PrintBehavior, TppPrintBehavior::pbSection);
    auto& memo = r->exige<TppMemo>("memo");
    EXPECT_EQ(memo.Lines, QStringList({"a", "b"}));
    EXPECT_EQ(memo.Font.cor, QColor(255, 0, 0));
    EXPECT_TRUE(memo.Border.bpTop && memo.Border.Visible && !memo.Border.bpLeft);
}

TEST(Carregador, ErrosNomeiamArquivoEChave) {
    EXPECT_EQ(erroAoLer("{"),
              "Layout \"teste.json\": JSON inválido na posição 1 (unterminated object).");
    EXPECT_EQ(erroAoLer(R"({"Bands": [{"Type": "Detail", "mmHeigth": 10}]})"),
              "Layout \"teste.json\", chave \"Bands[0].mmHeigth\": chave desconhecida.");
    EXPECT_EQ(erroAoLer(R"({"Bands": [{"Type": "Detail", "PrintHeight": "dinamica"}]})"),
              "Layout \"teste.json\", chave \"Bands[0].PrintHeight\": valor desconhecido "
              "\"dinamica\" (aceita: phStatic, phDynamic).");
    EXPECT_EQ(erroAoLer(R"({"DataPipeline": "ppX"})"),
              "Layout \"teste.json\", chave \"DataPipeline\": fonte de dados \"ppX\" não "
              "declarada em Pipelines.");
    EXPECT_EQ(erroAoLer(R"({"Bands": [{"Type": "Detail"}, {"Type": "Detail"}]})"),
              "Layout \"teste.json\", chave \"Bands[1].Type\": banda \"Detail\" repetida.");
    EXPECT_EQ(erroAoLer(R"({"Bands": [{"Type": "Detail", "Components": [{"Class": "TppX"}]}]})"),
              "Layout \"teste.json\", chave \"Bands[0].Components[0].Class\": classe de "
              "componente desconhecida \"TppX\".");
    EXPECT_EQ(erroAoLer(R"({"Bands": [{"Type": "Detail", "Components": [
                 {"Class": "TppDBText", "ResetGroup": "g9"}]}]})"),
              "Layout \"teste.json\", chave \"Bands[0].Components[0].ResetGroup\": grupo \"g9\" "
              "inexistente.");
    EXPECT_EQ(erroAoLer(R"({"Bands": [{"Type": "Header", "mmHeight": 1.5}]})"),
              "Layout \"teste.json\", chave \"Bands[0].mmHeight\": esperava um número inteiro.");
    EXPECT_THROW(carregaLayout("/nao/existe.json"), Erro);
}

} // namespace
} // namespace nq
