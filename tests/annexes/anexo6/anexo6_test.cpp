#include "apoio_anexos.h"
#include "restos_esperados.h"

#include "annexes/anexo6/anexo6.h"
#include "annexes/common/estrada_anexo.h"
#include "report/despejo.h"

using nq::Moeda;

namespace {

// The printed columns of the two tables and the expected figure each shows.
const std::pair<const char*, Moeda Restos::*> Colunas[] = {
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

class Anexo6 : public BancoDeAnexos, public ::testing::WithParamInterface<int> {
protected:
    RestosEsperados esperados(int bimestre) const {
        const auto [inicio, fim] = nq::diasDoBimestre(exercicio().ano, bimestre);
        return RestosEsperados(exercicio(), inicio, fim);
    }
    // The lines as the accounts give them, by NOME: the direct administration,
    // its two powers (the legislative only when `legislativo`), each indirect entity.
    std::vector<std::pair<QString, Restos>> linhas(int bimestre, bool legislativo = true) const {
        const RestosEsperados e = esperados(bimestre);
        std::vector<std::pair<QString, Restos>> l = {
            {"ADMINISTRAÇÃO DIRETA", e.dasEntidades([](auto* x) { return x->adm == "D"; })},
            {exercicio().poderes[0].nome,
             e.dasEntidades([](auto* x) { return x->adm == "D" && x->tipo == "2"; })},
            {exercicio().poderes[1].nome, e.dasEntidades([&](auto* x) {
                 return x->adm == "D" && (x->tipo != "2" || !legislativo);
             })}};
        if (!legislativo)
            l.erase(l.begin() + 1);
        for (const auto& ent : exercicio().entidades)
            if (ent.adm == QLatin1String("I"))
                l.push_back({ent.nome, e.dasEntidades([&](auto* x) { return x == &ent; })});
        return l;
    }
    static void confere(const Resultado& r, const std::vector<std::pair<QString, Restos>>& l) {
        QStringList nomes;
        for (const auto& [nome, restos] : l) {
            nomes << nome;
            for (const auto& [coluna, campo] : Colunas)
                EXPECT_EQ(r.figura("cdsRestos", nome, coluna), (restos.*campo).texto(2))
                    << nome.toStdString() << ' ' << coluna;
        }
        EXPECT_EQ(r.linhas("cdsRestos", "RP_ANT"), nomes);
    }
    // A figure of the destination table, whose lines share the group as id.
    static QString destinacao(const Resultado& r, const QString& nome, const char* coluna) {
        for (const nq::Figura& f : r.figuras)
            if (f.quadro == "cdsRestos_Vinc" && f.descricao == nome && f.coluna == coluna)
                return f.valor;
        return "<ausente>";
    }
};

TEST_P(Anexo6, FigurasIguaisAsDasContasDoExercicio) {
    const int b = GetParam();
    const Resultado r = roda<nq::TImpAnexo6>(b);
    confere(r, linhas(b));
    EXPECT_FALSE(linhas(b)[0].second.rpExer.ehZero());
    EXPECT_TRUE(nq::despejo(r.documento).contains(QStringLiteral("%1º BIMESTRE DE 2008").arg(b)));

    // The destination table prints in the sixth bimester only: a line per linkage with figures.
    const RestosEsperados e = esperados(b);
    int destinacoes = 0;
    for (const auto& [chave, restos] : e.porVinculo()) {
        if (restos.vazio())
            continue;
        ++destinacoes;
        const auto& v = *std::find_if(exercicio().vinculos.begin(), exercicio().vinculos.end(),
                                      [&](auto& x) { return x.codigo == chave.second; });
        for (const auto& [coluna, campo] : ColunasDaDestinacao)
            EXPECT_EQ(destinacao(r, v.nome, coluna),
                      b == 6 ? (restos.*campo).texto(2) : "<ausente>")
                << v.nome.toStdString() << ' ' << coluna;
    }
    EXPECT_EQ(r.linhas("cdsRestos_Vinc", "N_INSCR").size(), b == 6 ? destinacoes : 0);
}

INSTANTIATE_TEST_SUITE_P(Bimestres, Anexo6, ::testing::Values(1, 6));

TEST_F(Anexo6, SemPoderLegislativoADiretaVaiInteiraParaOExecutivo) {
    executa("UPDATE TABPODER SET NOME = 'CAMARA DOS VEREADORES' WHERE PODER = '01'");
    const Resultado r = roda<nq::TImpAnexo6>(2);
    executa("UPDATE TABPODER SET NOME = 'PODER LEGISLATIVO' WHERE PODER = '01'");
    confere(r, linhas(2, false));
}

TEST_F(Anexo6, PaginasDeReferenciaECsvIgualAoPdf) {
    const Resultado r = roda<nq::TImpAnexo6>(6);
    comparaComGoldenDoAnexo("anexo6", "anexo6_bim6", nq::despejo(r.documento));
    EXPECT_EQ(valoresDoCsv(r.figuras), figurasImpressas(r.documento, dados() + "anexo6.pdf"));
}

TEST_F(Anexo6, PlanilhaRecebeAsLinhasPeloTipoDeAdministracao) {
    Pasta pasta;
    usaPlanilhaNaMemoria(pasta);
    auto& folha = pasta.folhas["mod 6"];
    folha["A21"] = nq::ValorCelula::deTexto("sobra de outro ano");
    roda<nq::TImpAnexo6>(3, {true});
    const auto l = linhas(3);
    EXPECT_DOUBLE_EQ(folha["C14"].numero, l[1].second.rpExer.paraDouble());
    EXPECT_EQ(folha.count("B14"), 0u);
    // The executive has no earlier years of its own here: it takes the direct administration's.
    ASSERT_TRUE(l[2].second.rpAnt.ehZero());
    EXPECT_DOUBLE_EQ(folha["B16"].numero, l[0].second.rpAnt.paraDouble());
    EXPECT_DOUBLE_EQ(folha["H16"].numero, l[2].second.pagoAcu.paraDouble());
    EXPECT_EQ(folha.count("J16") + folha.count("I16"), 0u);
    for (int i = 3; i < 7; ++i) {
        EXPECT_EQ(folha[QString("A%1").arg(16 + i)].texto, l[i].first);
        EXPECT_DOUBLE_EQ(folha[QString("E%1").arg(16 + i)].numero,
                         l[i].second.cancBim.paraDouble());
    }
}

} // namespace
