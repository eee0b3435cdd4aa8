#include "apoio_anexos.h"

#include "annexes/anexo7/anexo7.h"
#include "annexes/common/estrada_anexo.h"
#include "annexes/common/justificativa.h"
#include "entry/preparacoes.h"
#include "report/despejo.h"

#include <QFile>
#include <set>

using nq::Moeda;

namespace {

// The database's share of the prefecture's line, from the generated rows:
// credit-operation revenue (codes 21) forecast for the year, changed and
// realised up to the bimester's end; capital expenditure (category 4)
// liquidated in the bimester, and of it the deductible kinds of items I and II.
struct Credito {
    Moeda previsao, alteracao, realizado, liquidado, incisoI, incisoII;
    Moeda liquida() const { return liquidado - incisoI - incisoII; }
};

Credito esperado(const nq::demo::Exercicio& e, int b) {
    const auto [inicio, fim] = nq::diasDoBimestre(e.ano, b);
    Credito c;
    std::set<int> operacoes;
    for (const auto& f : e.fichasReceita)
        if (f.codre.startsWith(QLatin1String("21"))) {
            operacoes.insert(f.ficha);
            c.previsao += centavos(f.totor);
        }
    for (const auto& a : e.alteracoesReceita)
        if (operacoes.count(a.ficha) && a.data <= fim)
            c.alteracao += centavos(a.valor);
    for (const auto& r : e.receitas)
        if (operacoes.count(r.ficha) && r.lancamento <= fim)
            c.realizado += centavos(r.valor);
    std::map<int, const nq::demo::Empenho*> empenhos;
    for (const auto& em : e.empenhos)
        empenhos[em.pkemp] = &em;
    for (const auto& l : e.liquidacoes) {
        const auto& em = *empenhos.at(l.pkemp);
        if (l.data < inicio || l.data > fim || !em.catec.startsWith(QLatin1String("4")))
            continue;
        c.liquidado += centavos(l.valor);
        const bool dedutivel = em.catec.startsWith(QLatin1String("4.4.50")) ||
                               em.catec.startsWith(QLatin1String("4.4.60")) ||
                               em.catec.startsWith(QLatin1String("4.5.50"));
        if (dedutivel && em.tipo == QLatin1String("IC"))
            c.incisoI += centavos(l.valor);
        if (dedutivel && em.tipo == QLatin1String("IF"))
            c.incisoII += centavos(l.valor);
    }
    return c;
}

nq::Value reais(int64_t v) {
    return nq::Value(Moeda::deInteiro(v));
}

class Anexo7 : public BancoDeAnexos {
protected:
    QString digitado() const { return nq::caminhoArquivo(dados(), nq::ArquivoDigitado::Anexo7); }
    void digita(const char* chave, const std::map<QString, nq::Value>& valores) {
        nq::PreparaAnexo7(dados(), nq::dm().cdsAux2);
        ::digita(digitado(), nq::ArquivoDigitado::Anexo7, nq::Value(chave), valores);
    }
    // Runs the annex with the justification dialog answered `justificativa`
    // (none: closed unsaved); `pedidas` counts the dialogs opened.
    Resultado roda(int bimestre, std::optional<QString> justificativa = {},
                   std::vector<bool> respostas = {}) {
        nq::JustificativaDada dada(justificativa);
        nq::RespostaDeJustificativa* anterior = nq::instalaRespostaDeJustificativa(&dada);
        Resultado r = BancoDeAnexos::roda<nq::TImpAnexo7>(bimestre, respostas);
        nq::instalaRespostaDeJustificativa(anterior);
        pedidas = dada.respondidas();
        return r;
    }
    int pedidas = 0;
};

class Anexo7Figuras : public Anexo7, public ::testing::WithParamInterface<std::tuple<int, bool>> {
    void TearDown() override {
        nq::defineFigurasLiterais(false);
        Anexo7::TearDown();
    }
};

TEST_P(Anexo7Figuras, PrefeituraSomaOBancoAoDigitadoETotalSegueAsLinhas) {
    const auto [b, literais] = GetParam();
    nq::defineFigurasLiterais(literais);
    digita("0200.00.00", {{"PREV_INICIAL", reais(1000)},
                          {"DC_LIQUIDADA", reais(100)},
                          {"DEDU_INC_I", reais(10)},
                          {"DEDU_INC_II", reais(5)},
                          {"DC_LIQUIDAS", reais(999999)}});
    digita("0202.01.03", {{"PREV_INICIAL", reais(500)}, {"OPE_CRE_EXR", reais(20)}});
    QFile arquivo(digitado());
    ASSERT_TRUE(arquivo.open(QIODevice::ReadOnly));
    const QByteArray antes = arquivo.readAll();
    arquivo.close();

    const Resultado r = roda(b);
    const Credito c = esperado(exercicio(), b);
    ASSERT_FALSE(c.liquidado.ehZero() || c.realizado.ehZero());
    const Moeda liquidada = Moeda::deInteiro(100) + c.liquidado;
    const std::map<QString, Moeda> prefeitura = {
        {"PREV_INICIAL", Moeda::deInteiro(1000) + c.previsao},
        {"PREV_ATUAL", c.previsao + c.alteracao},
        {"DC_LIQUIDADA", liquidada},
        {"DEDU_INC_I", Moeda::deInteiro(10) + c.incisoI},
        {"DEDU_INC_II", Moeda::deInteiro(5) + c.incisoII},
        {"DC_LIQUIDAS", Moeda::deInteiro(85) + c.liquida()},
        {"OPE_CRE_EXR", c.realizado}};
    const std::map<QString, Moeda> entidade = {{"PREV_INICIAL", Moeda::deInteiro(500)},
                                               {"OPE_CRE_EXR", Moeda::deInteiro(20)}};
    for (const auto& [coluna, valor] : prefeitura) {
        EXPECT_EQ(r.figura("cdsPrint", "00010", coluna), valor.texto(2)) << coluna.toStdString();
        const auto digitada = entidade.find(coluna);
        const Moeda daEntidade = digitada == entidade.end() ? Moeda() : digitada->second;
        EXPECT_EQ(r.figura("cdsPrint", "00053", coluna),
                  digitada == entidade.end() ? "<ausente>" : daEntidade.texto(2));
        EXPECT_EQ(r.figura("cdsPrint", "00900", coluna), (valor + daEntidade).texto(2));
    }
    ASSERT_TRUE(arquivo.open(QIODevice::ReadOnly));
    EXPECT_EQ(arquivo.readAll(), antes);
    EXPECT_TRUE(QFile::exists(nq::TImpAnexo7::arquivoDaCopia(dados())));
}

INSTANTIATE_TEST_SUITE_P(BimestresECaminhos, Anexo7Figuras,
                         ::testing::Combine(::testing::Values(3, 6), ::testing::Bool()));

TEST_F(Anexo7, JustificativaPedidaQuandoAsOperacoesPassamADespesaLiquida) {
    const Credito c = esperado(exercicio(), 2);
    const QString texto = "Medidas adotadas: contenção de despesas de custeio.";
    digita("0200.00.00",
           {{"OPE_CRE_EXR", nq::Value(c.liquida() - c.realizado + Moeda::deDezMilesimos(100))}});
    const Resultado r = roda(2, texto);
    EXPECT_TRUE(r.mostrou("O montante das operações de crédito ultrapassou as despesas de "
                          "capital líquidas. Deverá ser apresentado uma justificativa."));
    EXPECT_EQ(pedidas, 1);
    EXPECT_TRUE(nq::despejo(r.documento).contains(texto));
    // Closed without saving: the text stays as it was and still prints.
    EXPECT_TRUE(nq::despejo(roda(2).documento).contains(texto));
    EXPECT_EQ(pedidas, 1);

    // Net capital expenditure equal to the operations asks for nothing.
    digita("0200.00.00", {{"OPE_CRE_EXR", nq::Value(c.liquida() - c.realizado)}});
    const Resultado coberta = roda(2, QString("não deve ser gravada"));
    EXPECT_FALSE(coberta.mostrou("O montante das operações"));
    EXPECT_EQ(pedidas, 0);
    EXPECT_EQ(coberta.figura("cdsPrint", "00010", "DC_LIQUIDAS"),
              coberta.figura("cdsPrint", "00010", "OPE_CRE_EXR"));
}

TEST_F(Anexo7, PaginasDeReferenciaECsvIgualAoPdf) {
    const Resultado r = roda(3, QString("Justificativa das operações de crédito do 3º bimestre."));
    comparaComGoldenDoAnexo("anexo7", "anexo7_bim3", nq::despejo(r.documento));
    EXPECT_EQ(valoresDoCsv(r.figuras), figurasImpressas(r.documento, dados() + "anexo7.pdf"));
}

TEST_F(Anexo7, ArquivoDigitadoDanificadoParaComAMensagemEFicaComoEstava) {
    const QByteArray danificado = "<?xml version=\"1.0\"?><DATAPACKET Version=\"2.0\"><METADATA>";
    QFile f(dados() + "NQ404_Anexo7.xml");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(danificado);
    f.close();
    const Resultado r = roda(3);
    EXPECT_TRUE(r.mostrou("O seguinte erro ocorreu!\rErro: "));
    EXPECT_TRUE(r.documento.paginas.empty());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), danificado);
}

TEST_F(Anexo7, CamaraSoEhReconhecidaSemAcento) {
    Pasta pasta;
    usaPlanilhaNaMemoria(pasta);
    const auto doBimestre3 = [&] { return roda(3, {}, {false}); };
    EXPECT_TRUE(perguntaPlanilhaCom("Câmara Municipal de Vila Nova", doBimestre3));
    EXPECT_FALSE(perguntaPlanilhaCom("CAMARA MUNICIPAL DE VILA NOVA", doBimestre3));
}

TEST_F(Anexo7, PlanilhaRecebeAsLinhasMenosOTotal) {
    Pasta pasta;
    usaPlanilhaNaMemoria(pasta);
    auto& folha = pasta.folhas["mod 7"];
    folha["A15"] = nq::ValorCelula::deTexto("Prefeitura (da planilha)");
    digita("0202.01.01", {{"OPE_CRE_EXR", reais(3)}});
    const Resultado r = roda(3, {}, {true});
    EXPECT_EQ(pasta.folhas["Com"]["AR6"].texto, "2008");
    EXPECT_EQ(pasta.folhas["Com"]["AJ6"].texto, "6");
    EXPECT_EQ(folha["A15"].texto, "Prefeitura (da planilha)");
    EXPECT_EQ(QString::number(folha["H15"].numero, 'f', 2),
              r.figura("cdsPrint", "00010", "OPE_CRE_EXR"));
    EXPECT_EQ(folha["A16"].texto, "  Orgãos e Entidades");
    // The file keeps 45 characters of a name.
    EXPECT_EQ(folha["A17"].texto, ("    " + exercicio().entidades.front().nome).left(45));
    EXPECT_DOUBLE_EQ(folha["H17"].numero, 3);
    EXPECT_EQ(folha.count("G17"), 0u);
    // Every line but the TOTAL, from row 15 on.
    const int linhas = static_cast<int>(r.tabelas.at("ppDBPipeline1").size());
    EXPECT_EQ(folha.count(QString("B%1").arg(13 + linhas)), 1u);
    EXPECT_EQ(folha.count(QString("B%1").arg(14 + linhas)), 0u);
}

} // namespace
