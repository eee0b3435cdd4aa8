#include "apoio.h"
#include "report/texto_rico.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

namespace nq {
namespace {

using TextoRico = teste::TesteDeMotor;
using teste::campo;
using teste::papelPequeno;
using teste::poe;
using teste::tabela;

TrechoRico simples(const QString& t) {
    return {t};
}

TEST_F(TextoRico, LeEstilosEAlinhamentoDeRtfEHtml) {
    const auto rtf =
        leTextoRico(R"({\rtf1\ansi{\fonttbl{\f0 Arial;}}{\colortbl;\red0\green0\blue0;}\f0\fs20 )"
                    R"(\qc Medidas: d\'e9ficit \b grave\b0  e {\i urgente}\par)"
                    R"(\pard\qj segunda {\ul linha\ulnone}\line terceira\par})");
    ASSERT_EQ(rtf.size(), 3u);
    EXPECT_EQ(rtf[0].alinhamento, Alinhamento::Centro);
    EXPECT_EQ(rtf[0].trechos,
              (std::vector<TrechoRico>{
                  {"Medidas: déficit "}, {"grave", true}, {" e "}, {"urgente", false, true}}));
    EXPECT_EQ(rtf[1].alinhamento, Alinhamento::Justificado) << "\\pard limpa o \\qc";
    EXPECT_EQ(rtf[1].trechos,
              (std::vector<TrechoRico>{{"segunda "}, {"linha", false, false, true}}));
    EXPECT_EQ(rtf[2].trechos, std::vector<TrechoRico>{simples("terceira")});

    const auto html = leTextoRico("<p align=\"right\">um <b>dois</b></p><p><i>três</i></p>");
    ASSERT_EQ(html.size(), 2u);
    EXPECT_EQ(html[0].alinhamento, Alinhamento::Direita);
    EXPECT_EQ(html[0].trechos, (std::vector<TrechoRico>{{"um "}, {"dois", true}}));
    EXPECT_EQ(html[1].alinhamento, std::nullopt);
    EXPECT_EQ(html[1].trechos, (std::vector<TrechoRico>{{"três", false, true}}));

    Fonte negrito;
    negrito.negrito = true;
    const auto texto = leTextoRico("linha 1\r\nlinha 2", negrito);
    ASSERT_EQ(texto.size(), 2u);
    EXPECT_EQ(texto[1].trechos, (std::vector<TrechoRico>{{"linha 2", true}}));
    EXPECT_EQ(textoSemFormato(rtf), "Medidas: déficit grave e urgente\nsegunda linha\nterceira");
}

// The justification of annex 7 and of the fiscal-management report: a formatted text in the
// static summary band of the main report, read from a pipeline of its own, longer than the
// band and than the page, with a signature block below it.
TEST_F(TextoRico, TextoRicoEmBandaEstaticaSaiInteiroEEmpurraOQueVemAbaixo) {
    TppReport r;
    papelPequeno(r);
    auto mestre = tabela("cdsMestre", teste::linhas(2));
    r.DataPipeline = &r.criaPipeline("ppDBPipeline1");
    r.ligaTabela("ppDBPipeline1", *mestre);
    auto justificativa = std::make_unique<ClientDataSet>("cdsJustif");
    justificativa->addField("CODIGO", FieldKind::Integer);
    justificativa->addField("DESCRICAO", FieldKind::FormattedMemo);
    justificativa->createDataSet();
    QString rtf = R"({\rtf1\ansi{\fonttbl{\f0 Arial;}}\f0 )";
    for (int i = 1; i <= 25; ++i)
        rtf += QStringLiteral(R"(\pard Medida %1 \b adotada\b0\par )").arg(i);
    rtf += R"(\pard\qc {\i centrada}\par\pard\qr direita\par})";
    justificativa->appendRecord({Value(int32_t{1}), Value(rtf)});
    r.criaPipeline("ppDBPipeline2");
    r.ligaTabela("ppDBPipeline2", *justificativa);

    auto& cabecalho = r.criaBanda<TppHeaderBand>();
    cabecalho.mmHeight = 5000;
    poe(cabecalho, "CABEÇALHO", 0, 0);
    auto& detalhe = r.criaBanda<TppDetailBand>();
    detalhe.mmHeight = 4000;
    campo(detalhe, "NOME", 0, 0);
    auto& resumo = r.criaBanda<TppSummaryBand>(); // static, as in the annexes
    resumo.mmHeight = 20000;
    poe(resumo, "JUSTIFICATIVA:", 0, 0);
    // Both name their pipeline and leave ParentDataPipeline as designed.
    campo(resumo, "CODIGO", 60000, 0).DataPipeline = r.pipeline("ppDBPipeline2");
    auto& memo = poe<TppDBRichText>(resumo, "MemoJus", 0, 4000, 100000, 8000);
    memo.DataPipeline = r.pipeline("ppDBPipeline2");
    memo.DataField = "DESCRICAO";
    poe(resumo, "Prefeito Municipal", 0, 14000);

    teste::comparaComGolden("texto_rico", gera(r));
    ASSERT_GE(paginas, 2);
    EXPECT_EQ(textos(2).first(), "CABEÇALHO");
    EXPECT_EQ(textos(paginas).last(), "Prefeito Municipal") << "a assinatura vem depois do texto";

    std::map<QString, const ComandoTexto*> porTexto;
    for (const Pagina& p : documento.paginas)
        for (const ComandoDeDesenho& c : p.comandos)
            if (auto* t = std::get_if<ComandoTexto>(&c))
                for (const TrechoDeTexto& trecho : t->trechos)
                    porTexto[trecho.texto] = t;
    EXPECT_TRUE(porTexto.at("adotada")->fonte.negrito);
    EXPECT_FALSE(porTexto.at("Medida 3")->fonte.negrito);
    EXPECT_TRUE(porTexto.at("centrada")->fonte.italico);
    const MedidorDeTexto& m = MedidorDeTexto::instancia();
    const ComandoTexto& centrada = *porTexto.at("centrada");
    EXPECT_NEAR(centrada.trechos[0].x + m.largura(centrada.fonte, "centrada") / 2, 5000 + 50000, 1);
    const ComandoTexto& direita = *porTexto.at("direita");
    EXPECT_EQ(direita.trechos[0].x + m.largura(direita.fonte, "direita"), 5000 + 100000);
}

TEST_F(TextoRico, PalavrasQuebramNaLarguraEJustificadasVaoAsDuasBordas) {
    TppDBRichText t;
    t.Font = {"Draft 10cpi", 8}; // ten characters to the inch
    t.Transparent = true;
    const auto ps = leTextoRico(R"({\rtf1\qj aa {\b bb} cc dd abcdefghijklmnopqrstuvwxyz\par})");
    const std::vector<ComandoTexto> cs = linhasRicas(t, ps, {1000, 0, 22860, 4000});
    // Nine characters to a line: "aa bb cc" spread to both edges, "dd", then the long word
    // broken in pieces; "bb" in bold between two runs of the regular font.
    std::vector<std::pair<int, QString>> linhas;
    for (const ComandoTexto& c : cs)
        for (const TrechoDeTexto& trecho : c.trechos)
            linhas.emplace_back(trecho.linhaDeBase, trecho.texto);
    ASSERT_EQ(linhas.size(), 7u);
    EXPECT_EQ(linhas[1].second, "bb");
    EXPECT_TRUE(cs[1].fonte.negrito);
    EXPECT_EQ(cs[0].trechos[0].x, 1000);
    EXPECT_EQ(cs[2].trechos[0].x + 2 * 2540, 1000 + 22860) << "justificada até a borda";
    EXPECT_EQ(linhas[3].second, "dd");
    EXPECT_GT(linhas[3].first, linhas[2].first);
    EXPECT_EQ(linhas[4].second, "abcdefghi");
    EXPECT_EQ(linhas[6].second, "stuvwxyz");
}

} // namespace
} // namespace nq
