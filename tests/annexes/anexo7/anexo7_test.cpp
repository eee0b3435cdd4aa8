#include "apoio_anexos.h"

#include "annexes/anexo7/anexo7.h"
#include "annexes/common/estrada_anexo.h"
#include "annexes/common/justificativa.h"
#include "core/globais.h"
#include "entry/catalogo.h"
#include "entry/preparacoes.h"
#include "report/despejo.h"
#include "tables/clientdataset.h"

#include <QFile>
#include <QPushButton>

using apoio::emMoeda;
using apoio::figura;
using nq::Moeda;

namespace {

// The database's share of the prefecture's line, from the generated rows:
// credit-operation revenue (codes 21) forecast for the year, changed and
// realised up to the bimester's end; capital expenditure (category 4)
// liquidated in the bimester, and of it the deductible kinds of items I and II.
struct Credito {
    Moeda previsao, alteracao, realizado, liquidado, incisoI, incisoII;
};

Credito esperado(const nq::demo::Exercicio& e, int b) {
    const auto [inicio, fim] = nq::diasDoBimestre(e.ano, b);
    Credito c;
    std::set<int> operacoes;
    for (const auto& f : e.fichasReceita)
        if (f.codre.startsWith(QLatin1String("21"))) {
            operacoes.insert(f.ficha);
            c.previsao += emMoeda(f.totor);
        }
    for (const auto& a : e.alteracoesReceita)
        if (operacoes.count(a.ficha) && a.data <= fim)
            c.alteracao += emMoeda(a.valor);
    for (const auto& r : e.receitas)
        if (operacoes.count(r.ficha) && r.lancamento <= fim)
            c.realizado += emMoeda(r.valor);
    std::map<int, const nq::demo::Empenho*> empenhos;
    for (const auto& em : e.empenhos)
        empenhos[em.pkemp] = &em;
    for (const auto& l : e.liquidacoes) {
        const auto& em = *empenhos.at(l.pkemp);
        if (l.data < inicio || l.data > fim || !em.catec.startsWith(QLatin1String("4")))
            continue;
        c.liquidado += emMoeda(l.valor);
        const bool dedutivel = em.catec.startsWith(QLatin1String("4.4.50")) ||
                               em.catec.startsWith(QLatin1String("4.4.60")) ||
                               em.catec.startsWith(QLatin1String("4.5.50"));
        if (dedutivel && em.tipo == QLatin1String("IC"))
            c.incisoI += emMoeda(l.valor);
        if (dedutivel && em.tipo == QLatin1String("IF"))
            c.incisoII += emMoeda(l.valor);
    }
    return c;
}

Moeda reais(int64_t v) {
    return Moeda::deInteiro(v);
}

struct Execucao {
    apoio::SaidaCapturada saida;
    std::vector<nq::MensagemMostrada> mensagens;
    int justificativas = 0;
};

class Anexo7 : public apoio::BancoDeAnexo {
protected:
    QString digitado() const { return nq::caminhoArquivo(dados(), nq::ArquivoDigitado::Anexo7); }
    // Types figures on the line `chave` of the typed file, as the data entry would.
    void digita(const QString& chave, const std::map<QString, Moeda>& valores) {
        nq::PreparaAnexo7(dados(), nq::dm().cdsAux2);
        nq::ClientDataSet t;
        t.loadFromFile(digitado());
        ASSERT_TRUE(t.locate("DESPESA", nq::Value(chave))) << chave.toStdString();
        t.edit();
        for (const auto& [campo, valor] : valores)
            t.fieldByName(campo).setAsCurrency(valor);
        t.post();
        t.saveToFile(digitado());
    }
    std::unique_ptr<Execucao> roda(int bimestre, std::optional<QString> justificativa = {},
                                   std::vector<bool> respostas = {}) {
        escolheBimestre(bimestre);
        auto r = std::make_unique<Execucao>();
        nq::MensagensDeTeste msgs;
        for (bool resposta : respostas)
            msgs->enfileiraResposta(resposta);
        nq::JustificativaDada dada(justificativa);
        nq::RespostaDeJustificativa* anterior = nq::instalaRespostaDeJustificativa(&dada);
        {
            nq::SaidaInstalada instalada(r->saida);
            nq::TImpAnexo7 janela;
            janela.BtnImprimir->click();
        }
        nq::instalaRespostaDeJustificativa(anterior);
        r->mensagens = msgs->registro();
        r->justificativas = dada.respondidas();
        return r;
    }
    static bool mostrou(const Execucao& r, const QString& inicio) {
        for (const auto& m : r.mensagens)
            if (m.texto.startsWith(inicio))
                return true;
        return false;
    }
    static QString valor(const Execucao& r, const char* id, const char* coluna) {
        return figura(r.saida.figuras, "cdsPrint", id, coluna);
    }
};

class Anexo7Figuras : public Anexo7, public ::testing::WithParamInterface<std::tuple<int, bool>> {
protected:
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

    const auto r = roda(b);
    ASSERT_EQ(r->saida.impressoes, 1);
    const Credito c = esperado(exercicio(), b);
    const Moeda liquidada = reais(100) + c.liquidado;
    const Moeda liquidas = liquidada - reais(10) - c.incisoI - reais(5) - c.incisoII;
    const std::map<QString, Moeda> prefeitura = {{"PREV_INICIAL", reais(1000) + c.previsao},
                                                 {"PREV_ATUAL", c.previsao + c.alteracao},
                                                 {"DC_LIQUIDADA", liquidada},
                                                 {"DEDU_INC_I", reais(10) + c.incisoI},
                                                 {"DEDU_INC_II", reais(5) + c.incisoII},
                                                 {"DC_LIQUIDAS", liquidas},
                                                 {"OPE_CRE_EXR", c.realizado}};
    for (const auto& [coluna, esperada] : prefeitura) {
        EXPECT_EQ(valor(*r, "00010", qPrintable(coluna)), esperada.texto(2))
            << coluna.toStdString();
        // The entity adds its typed figures; its empty ones add nothing.
        const Moeda entidade = coluna == "PREV_INICIAL"  ? reais(500)
                               : coluna == "OPE_CRE_EXR" ? reais(20)
                                                         : Moeda();
        EXPECT_EQ(valor(*r, "00900", qPrintable(coluna)), (esperada + entidade).texto(2))
            << coluna.toStdString();
    }
    EXPECT_FALSE(c.liquidado.ehZero());
    EXPECT_FALSE(c.realizado.ehZero());
    // An entity's line prints as typed: an empty amount prints nothing.
    EXPECT_EQ(valor(*r, "00053", "PREV_INICIAL"), "500.00");
    EXPECT_EQ(valor(*r, "00053", "DC_LIQUIDADA"), "<ausente>");
    EXPECT_EQ(valor(*r, "00020", "PREV_INICIAL"), "<ausente>");

    ASSERT_TRUE(arquivo.open(QIODevice::ReadOnly));
    EXPECT_EQ(arquivo.readAll(), antes);
    EXPECT_TRUE(QFile::exists(nq::TImpAnexo7::arquivoDaCopia(dados())));
}

INSTANTIATE_TEST_SUITE_P(BimestresECaminhos, Anexo7Figuras,
                         ::testing::Combine(::testing::Values(3, 6), ::testing::Bool()));

TEST_F(Anexo7, OperacoesAlemDaDespesaLiquidaPedemJustificativaQueSaiNoRodape) {
    const Credito c = esperado(exercicio(), 2);
    // Typed operations that pass the net capital expenditure by one cent.
    digita("0200.00.00", {{"OPE_CRE_EXR", c.liquidado - c.incisoI - c.incisoII - c.realizado +
                                              Moeda::deDezMilesimos(100)}});
    const QString texto = "Medidas adotadas: contenção de despesas de custeio.";
    const auto r = roda(2, texto);
    EXPECT_TRUE(mostrou(*r, "O montante das operações de crédito ultrapassou as despesas de "
                            "capital líquidas. Deverá ser apresentado uma justificativa."));
    EXPECT_EQ(r->justificativas, 1);
    EXPECT_TRUE(nq::despejo(r->saida.documento).contains(texto));
    EXPECT_EQ(r->saida.tabelas.at("ppDBPipeline2").size(), 1u);

    // Closed without saving: the text stays as it was and still prints.
    const auto semTexto = roda(2);
    EXPECT_EQ(semTexto->justificativas, 1);
    EXPECT_TRUE(nq::despejo(semTexto->saida.documento).contains(texto));
}

TEST_F(Anexo7, DespesaLiquidaQueCobreAsOperacoesNaoPedeJustificativa) {
    const Credito c = esperado(exercicio(), 2);
    // Typed liquidated expenditure that leaves the net exactly equal to the operations.
    digita("0200.00.00", {{"DC_LIQUIDADA", c.realizado - c.liquidado + c.incisoI + c.incisoII}});
    const auto r = roda(2, QString("não deve ser gravada"));
    EXPECT_EQ(valor(*r, "00010", "DC_LIQUIDAS"), valor(*r, "00010", "OPE_CRE_EXR"));
    EXPECT_FALSE(mostrou(*r, "O montante das operações"));
    EXPECT_EQ(r->justificativas, 0);
    EXPECT_FALSE(QFile::exists(nq::caminhoArquivo(dados(), nq::ArquivoDigitado::Justificativas)));
    EXPECT_EQ(r->saida.impressoes, 1);
}

TEST_F(Anexo7, PaginasIguaisAsDeReferenciaECsvIgualAoPdf) {
    const auto r = roda(3, QString("Justificativa das operações de crédito do 3º bimestre."));
    apoio::comparaComGolden("anexo7", "anexo7_bim3", nq::despejo(r->saida.documento));
    QStringList csv;
    for (const nq::Figura& f : r->saida.figuras)
        csv << f.valor;
    EXPECT_EQ(csv, apoio::figurasDoPdf(r->saida.documento, dados() + "anexo7.pdf"));
}

TEST_F(Anexo7, ArquivoDigitadoDanificadoParaComAMensagemEFicaComoEstava) {
    nq::PreparaAnexo7(dados(), nq::dm().cdsAux2);
    QFile f(digitado());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write("<?xml version=\"1.0\"?><DATAPACKET Version=\"2.0\"><METADATA>");
    f.close();
    const auto r = roda(3);
    EXPECT_TRUE(mostrou(*r, "O seguinte erro ocorreu!\rErro: "));
    EXPECT_EQ(r->saida.impressoes, 0);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), "<?xml version=\"1.0\"?><DATAPACKET Version=\"2.0\"><METADATA>");
}

TEST_F(Anexo7, PlanilhaRecebeAsLinhasMenosOTotal) {
    apoio::Pasta pasta;
    const QString arquivo = dados() + "tce.xls";
    QFile f(arquivo);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("planilha");
    f.close();
    valores.definePlanilha(arquivo);
    valores.defineFabricaDePlanilha(
        [&pasta] { return std::make_unique<apoio::PlanilhaEmMemoria>(pasta); });
    pasta.folhas["mod 7"]["A15"] = nq::ValorCelula::deTexto("Prefeitura (da planilha)");
    pasta.folhas["mod 7"]["A18"] = nq::ValorCelula::deTexto("sobra");
    digita("0202.01.01", {{"DC_LIQUIDAS", reais(7)}, {"OPE_CRE_EXR", reais(3)}});

    const auto r = roda(3, {}, {true});
    ASSERT_TRUE(pasta.mostrada);
    EXPECT_EQ(pasta.folhas["Com"]["AR6"].texto, "2008");
    EXPECT_EQ(pasta.folhas["Com"]["AH6"].texto, "3");
    EXPECT_EQ(pasta.folhas["Com"]["AJ6"].texto, "6");
    auto& folha = pasta.folhas["mod 7"];
    EXPECT_EQ(folha["A15"].texto, "Prefeitura (da planilha)");
    EXPECT_EQ(QString::number(folha["H15"].numero, 'f', 2), valor(*r, "00010", "OPE_CRE_EXR"));
    EXPECT_EQ(folha["A16"].texto, "  Orgãos e Entidades");
    // The file keeps 45 characters of a name.
    EXPECT_EQ(folha["A17"].texto, ("    " + exercicio().entidades.front().nome).left(45));
    EXPECT_DOUBLE_EQ(folha["H17"].numero, 3);
    EXPECT_EQ(folha.count("G17"), 0u);
    const int linhas = static_cast<int>(r->saida.tabelas.at("ppDBPipeline1").size());
    // Every line but the TOTAL, the prefecture on row 15.
    EXPECT_EQ(folha.count(QString("B%1").arg(15 + linhas - 2)), 1u);
    EXPECT_EQ(folha.count(QString("B%1").arg(15 + linhas - 1)), 0u);
    EXPECT_EQ(folha["A18"].texto, ("    " + exercicio().entidades[1].nome).left(45));
}

} // namespace
