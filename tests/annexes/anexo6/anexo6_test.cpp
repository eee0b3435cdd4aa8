#include "apoio_anexos.h"
#include "restos_esperados.h"

#include "annexes/anexo6/anexo6.h"
#include "annexes/common/estrada_anexo.h"
#include "report/despejo.h"

#include <QDir>
#include <QFile>
#include <QPushButton>

using apoio::figura;
using nq::Moeda;

namespace {

// The printed columns of both tables and the field of the expected figures each shows.
const std::pair<const char*, Moeda Restos::*> ColunasDosRestos[] = {
    {"RP_ANT", &Restos::rpAnt},        {"RP_EXER", &Restos::rpExer},
    {"NP_EXER", &Restos::npExer},      {"RP_CANC_BIM", &Restos::cancBim},
    {"RP_CANC_ACU", &Restos::cancAcu}, {"RP_PAGO_BIM", &Restos::pagoBim},
    {"RP_PAGO_ACU", &Restos::pagoAcu}, {"DIS_FIN", &Restos::disFin}};
const std::pair<const char*, Moeda Restos::*> ColunasDaDestinacao[] = {
    {"RP_ANT", &Restos::rpAnt},
    {"RP_EXER", &Restos::rpExer},
    {"NP_EXER", &Restos::npExer},
    {"DIS_FIN", &Restos::disFin},
    {"N_INSCR", &Restos::nInscr}};

struct Execucao {
    apoio::SaidaCapturada saida;
    std::vector<nq::MensagemMostrada> mensagens;
};

class Anexo6 : public apoio::BancoDeAnexo {
protected:
    std::unique_ptr<Execucao> roda(int bimestre, std::vector<bool> respostas = {}) {
        escolheBimestre(bimestre);
        auto r = std::make_unique<Execucao>();
        nq::MensagensDeTeste msgs;
        for (bool resposta : respostas)
            msgs->enfileiraResposta(resposta);
        nq::SaidaInstalada instalada(r->saida);
        nq::TImpAnexo6 janela;
        janela.BtnImprimir->click();
        r->mensagens = msgs->registro();
        return r;
    }
    static RestosEsperados esperados(int bimestre) {
        const auto [inicio, fim] = nq::diasDoBimestre(exercicio().ano, bimestre);
        return RestosEsperados(exercicio(), inicio, fim);
    }
    static QString nomeDoPoder(const char* poder) {
        for (const auto& p : exercicio().poderes)
            if (p.poder == QLatin1String(poder))
                return p.nome;
        return {};
    }
    // The lines the report prints, by NOME, as the accounts give them: the
    // direct administration, its two powers, then each indirect entity.
    static std::vector<std::pair<QString, Restos>> linhas(const RestosEsperados& e) {
        std::vector<std::pair<QString, Restos>> l = {
            {"ADMINISTRAÇÃO DIRETA", e.dasEntidades([](auto* x) { return x->adm == "D"; })},
            {nomeDoPoder("01"),
             e.dasEntidades([](auto* x) { return x->adm == "D" && x->tipo == "2"; })},
            {nomeDoPoder("02"),
             e.dasEntidades([](auto* x) { return x->adm == "D" && x->tipo != "2"; })}};
        for (const auto& ent : exercicio().entidades)
            if (ent.adm == QLatin1String("I"))
                l.push_back({ent.nome, e.dasEntidades([&](auto* x) { return x == &ent; })});
        return l;
    }
};

class Anexo6PorBimestre : public Anexo6, public ::testing::WithParamInterface<int> {};

TEST_P(Anexo6PorBimestre, FigurasIguaisAsDasContasDoExercicio) {
    const int b = GetParam();
    const auto r = roda(b);
    ASSERT_EQ(r->saida.impressoes, 1);
    const RestosEsperados e = esperados(b);

    QStringList impressas;
    for (const auto& linha : r->saida.tabelas.at("ppDBPipeline2"))
        impressas << linha.at("NOME").asString();
    QStringList nomes;
    for (const auto& [nome, restos] : linhas(e)) {
        nomes << nome;
        SCOPED_TRACE(nome.toStdString());
        for (const auto& [coluna, campo] : ColunasDosRestos)
            EXPECT_EQ(figura(r->saida.figuras, "cdsRestos", nome, coluna), (restos.*campo).texto(2))
                << coluna;
    }
    EXPECT_EQ(impressas, nomes);
    // The year's end is where commitments go uncovered; the report has figures to show.
    EXPECT_FALSE(linhas(e).front().second.rpExer.ehZero());

    // The destination table prints in the sixth bimester only, one line per linkage with figures.
    int destinacoes = 0;
    for (const auto& [chave, restos] : e.porVinculo()) {
        if (restos.vazio())
            continue;
        ++destinacoes;
        QString grupo, nome;
        for (const auto& g : exercicio().grupos)
            if (g.grupo == chave.first)
                grupo = g.nome;
        for (const auto& v : exercicio().vinculos)
            if (v.grupo == chave.first && v.codigo == chave.second)
                nome = v.nome;
        for (const auto& [coluna, campo] : ColunasDaDestinacao)
            EXPECT_EQ(figura(r->saida.figuras, "cdsRestos_Vinc", grupo, coluna, nome),
                      b == 6 ? (restos.*campo).texto(2) : "<ausente>")
                << nome.toStdString() << ' ' << coluna;
    }
    int impressasDaDestinacao = 0;
    for (const auto& f : r->saida.figuras)
        impressasDaDestinacao += f.quadro == "cdsRestos_Vinc";
    EXPECT_EQ(impressasDaDestinacao, b == 6 ? 5 * destinacoes : 0);
    EXPECT_TRUE(
        nq::despejo(r->saida.documento).contains(QStringLiteral("%1º BIMESTRE DE 2008").arg(b)));
}

INSTANTIATE_TEST_SUITE_P(Bimestres, Anexo6PorBimestre, ::testing::Values(1, 6));

TEST_F(Anexo6, SemPoderLegislativoADiretaVaiInteiraParaOExecutivo) {
    executa("UPDATE TABPODER SET NOME = 'CAMARA DOS VEREADORES' WHERE PODER = '01'");
    const auto r = roda(2);
    executa("UPDATE TABPODER SET NOME = 'PODER LEGISLATIVO' WHERE PODER = '01'");
    QStringList impressas;
    for (const auto& linha : r->saida.tabelas.at("ppDBPipeline2"))
        impressas << linha.at("ADM").asString().trimmed();
    EXPECT_EQ(impressas, QStringList({"D", "D02", "I", "I", "I", "I"}));
    const Restos direta = linhas(esperados(2)).front().second;
    for (const auto& [coluna, campo] : ColunasDosRestos)
        EXPECT_EQ(figura(r->saida.figuras, "cdsRestos", nomeDoPoder("02"), coluna),
                  (direta.*campo).texto(2))
            << coluna;
}

TEST_F(Anexo6, PaginasIguaisAsDeReferenciaECsvIgualAoPdf) {
    const auto r = roda(6);
    apoio::comparaComGolden("anexo6", "anexo6_bim6", nq::despejo(r->saida.documento));
    QStringList csv;
    for (const nq::Figura& f : r->saida.figuras)
        csv << f.valor;
    EXPECT_EQ(csv, apoio::figurasDoPdf(r->saida.documento, dados() + "anexo6.pdf"));
}

TEST_F(Anexo6, CopiaDeTrabalhoSaiEArquivoDigitadoFica) {
    roda(1);
    const QStringList arquivos = QDir(dados()).entryList(QDir::Files);
    EXPECT_EQ(arquivos, QStringList({"NQ404_Anexo6.xml"}));
}

TEST_F(Anexo6, PlanilhaRecebeAsLinhasPeloTipoDeAdministracao) {
    apoio::Pasta pasta;
    const QString arquivo = dados() + "tce.xls";
    QFile f(arquivo);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("planilha");
    f.close();
    valores.definePlanilha(arquivo);
    valores.defineFabricaDePlanilha(
        [&pasta] { return std::make_unique<apoio::PlanilhaEmMemoria>(pasta); });
    pasta.folhas["mod 6"]["A21"] = nq::ValorCelula::deTexto("sobra de outro ano");
    pasta.folhas["mod 6"]["A23"] = nq::ValorCelula::deTexto("fora das três linhas");

    roda(3, {true});
    ASSERT_EQ(pasta.aberta, arquivo);
    EXPECT_TRUE(pasta.mostrada);
    auto& folha = pasta.folhas["mod 6"];
    const auto l = linhas(esperados(3));
    const Restos& direta = l[0].second;
    const Restos& legislativo = l[1].second;
    const Restos& executivo = l[2].second;
    EXPECT_DOUBLE_EQ(folha["C14"].numero, legislativo.rpExer.paraDouble());
    EXPECT_DOUBLE_EQ(folha["H14"].numero, legislativo.pagoAcu.paraDouble());
    EXPECT_EQ(folha.count("B14"), 0u);
    // The executive's own earlier years are 0 here: it takes the direct administration's.
    ASSERT_TRUE(executivo.rpAnt.ehZero());
    EXPECT_DOUBLE_EQ(folha["B16"].numero, direta.rpAnt.paraDouble());
    EXPECT_DOUBLE_EQ(folha["F16"].numero, executivo.cancAcu.paraDouble());
    // From 2006 on, column J only where the executive has no cash of its own.
    EXPECT_EQ(folha.count("J16"), executivo.disFin.ehZero() ? 1u : 0u);
    EXPECT_EQ(folha.count("I16"), 0u);
    // Indirect entities from row 19 on, named; the three rows are cleared first.
    EXPECT_EQ(folha["A19"].texto, l[3].first);
    EXPECT_DOUBLE_EQ(folha["D19"].numero, l[3].second.npExer.paraDouble());
    EXPECT_EQ(folha["A22"].texto, l[6].first);
    EXPECT_DOUBLE_EQ(folha["G22"].numero, l[6].second.pagoBim.paraDouble());
    EXPECT_EQ(folha["A23"].texto, "fora das três linhas");
}

TEST(PeriodoDoBimestre, PrimeiroEUltimoDia) {
    EXPECT_EQ(nq::diasDoBimestre(2008, 1), std::make_pair(QDate(2008, 1, 1), QDate(2008, 2, 29)));
    EXPECT_EQ(nq::diasDoBimestre(2005, 1).second, QDate(2005, 2, 28));
    EXPECT_EQ(nq::diasDoBimestre(2005, 2), std::make_pair(QDate(2005, 3, 1), QDate(2005, 4, 30)));
    EXPECT_EQ(nq::diasDoBimestre(2005, 6), std::make_pair(QDate(2005, 11, 1), QDate(2005, 12, 31)));
}

} // namespace
