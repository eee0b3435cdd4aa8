#include "../common/apoio_execucao.h"
#include "../common/somas_do_exercicio.h"

#include "annexes/anexo5/anexo5.h"
#include "core/configuracao.h"
#include "core/erro.h"
#include "entry/catalogo.h"
#include "entry/preparacoes.h"
#include "report/despejo.h"
#include "tables/clientdataset.h"

#include <QDir>
#include <QFile>
#include <array>

using nq::Moeda;
namespace demo = nq::demo;

namespace {

QString bim(const char* campo, int k) {
    return QString::fromLatin1(campo) + QString::number(k);
}

// One line's money columns: forecast or appropriation (initial, updated), the
// previous exercise and, per bimester, realised revenue or liquidation.
struct Colunas {
    Moeda anual, atualizada, anterior;
    std::array<Moeda, 7> bim{}; // 1 to 6

    Colunas operator+(const Colunas& o) const { return combina(o, false); }
    Colunas operator-(const Colunas& o) const { return combina(o, true); }

private:
    Colunas combina(const Colunas& o, bool subtrai) const {
        const auto f = [subtrai](Moeda a, Moeda b) { return subtrai ? a - b : a + b; };
        Colunas c{f(anual, o.anual), f(atualizada, o.atualizada), f(anterior, o.anterior)};
        for (int k = 1; k <= 6; ++k)
            c.bim[k] = f(bim[k], o.bim[k]);
        return c;
    }
};

// The debt columns: 0 the previous exercise, 1 to 6 the bimesters.
using Divida = std::array<Moeda, 7>;

struct Esperado {
    std::map<QString, Colunas> receita, despesa;
    std::map<QString, Divida> divida;
};

SomasDoExercicio::Receita codigos(QStringList prefixos) {
    return [prefixos](const demo::FichaReceita& f) { return comoAlgum(f.codre, prefixos); };
}

// Every line of annex 5 computed from the generated rows of the exercise and,
// when given, of the previous one (its database connected).
Esperado calcula(const SomasDoExercicio& s, const SomasDoExercicio* anterior, int b,
                 bool comReserva) {
    const int ano = s.exercicio().ano;
    const bool depoisDe2005 = ano > 2005;
    Esperado e;
    std::vector<std::pair<QString, QStringList>> receitas = {
        {"00010", {"1%", "97%", "95%"}},
        {"00020", {"2%"}},
        {"00040", depoisDe2005 ? QStringList{"21%", "1325%", "23%", "22%"}
                               : QStringList{"21%", "1325%", "23%"}},
        {"00050", {"21%"}},
        {"00060", {"1325%"}},
        {"00070", {"23%"}}};
    if (depoisDe2005)
        receitas.push_back({"00075", {"22%"}});
    for (const auto& [id, prefixos] : receitas) {
        const auto r = codigos(prefixos);
        Colunas c;
        c.anual = s.previsao(r);
        c.atualizada =
            c.anual + s.alteracoesDaPrevisao(r, +1, 2 * b) + s.alteracoesDaPrevisao(r, -1, 2 * b);
        for (int k = 1; k <= b; ++k)
            c.bim[k] = s.arrecadado(r, 2 * k - 1, 2 * k);
        if (anterior)
            c.anterior = anterior->arrecadado(r, 1, 2 * b);
        e.receita[id] = c;
    }
    auto& rec = e.receita;
    rec["00030"] = rec["00010"] + rec["00020"];
    rec["00080"] = rec["00050"] + rec["00060"] + rec["00070"];
    if (depoisDe2005)
        rec["00080"] = rec["00080"] + rec["00075"];
    rec["00090"] = rec["00030"] - rec["00080"];

    std::vector<std::pair<QString, QStringList>> despesas = {
        {"00010", {"3%"}},   {"00020", {"3.2%"}},       {"00040", {"4%"}},
        {"00060", {"4.6%"}}, {"00070", {"4.5.__.66%"}}, {"00080", {"4.5.__.64%"}}};
    if (depoisDe2005)
        despesas.push_back({"00100", {"9.9.%"}});
    for (const auto& [id, categorias] : despesas) {
        const auto dotacao = [&](const demo::FichaDespesa& f) {
            return comoAlgum(f.catec, categorias);
        };
        const auto execucao = [&](const demo::Empenho& x, const demo::FichaDespesa&) {
            return comoAlgum(x.catec, categorias);
        };
        Colunas c;
        c.anual = s.dotacao(dotacao);
        c.atualizada = c.anual + s.alteracoesDaDotacao(dotacao, 1, 2 * b);
        for (int k = 1; k <= b; ++k)
            c.bim[k] = s.liquidado(execucao, 2 * k - 1, 2 * k, comReserva);
        if (anterior)
            c.anterior = anterior->liquidado(execucao, 1, 2 * b, comReserva);
        e.despesa[id] = c;
    }
    auto& des = e.despesa;
    des["00030"] = des["00010"] - des["00020"];
    des["00050"] = des["00060"] + des["00070"] + des["00080"];
    des["00090"] = des["00040"] - des["00050"];
    if (depoisDe2005) {
        des["00110"] = des["00030"] + des["00090"];
    } else {
        des["00100"] = des["00030"] + des["00090"];
        // Appropriations opened from earlier years' balances.
        const auto todas = [](const demo::FichaDespesa&) { return true; };
        Colunas c;
        c.atualizada = s.alteracoesDaDotacao(todas, 1, 2 * b, 3, true);
        for (int k = 1; k <= b; ++k)
            c.bim[k] = s.alteracoesDaDotacao(todas, 2 * k - 1, 2 * k, 3, true);
        if (anterior)
            c.anterior = anterior->alteracoesDaDotacao(todas, 1, 2 * b, 3, true);
        des["00110"] = c;
    }
    const Colunas x = des["00110"] - des["00100"];
    des["00120"] = depoisDe2005 ? rec["00090"] - x : rec["00090"] + x;

    const auto diario = [](QStringList balcos, bool abertura) {
        return [balcos, abertura](const demo::LancamentoDiario& l) {
            return comoAlgum(l.balco, balcos) && (!abertura || (l.ie >= 1 && l.ie <= 3));
        };
    };
    const QStringList consolidada{"341%", "3421%", "3422%"};
    const auto privatizacao = [](const demo::FichaReceita& f) { return f.tipo == "PV"; };
    const auto restos = [](const demo::FichaDespesa& f) { return como(f.balco, "3211%"); };
    auto& d = e.divida;
    d["00010"][0] = anterior ? anterior->diario(diario(consolidada, false)) : Moeda();
    d["00030"][0] = s.saldoInicial([](const demo::Conta&) { return true; });
    d["00040"][0] = -s.diario(diario({"313%"}, true));
    d["00050"][0] = s.diario(diario({"3211%"}, true));
    d["00070"][0] = anterior ? anterior->arrecadado(privatizacao, 1, 12) : Moeda();
    d["00080"][0] = anterior ? anterior->diario(diario({"8888"}, true)) : Moeda();
    for (int i = 1; i <= 6; ++i) {
        d["00010"][i] = s.diario(diario(consolidada, false), 2 * i);
        d["00030"][i] = s.movimento([](const demo::Conta&) { return true; }, 2 * i);
        d["00040"][i] = -s.diario(diario({"313%"}, false), 2 * i);
        d["00050"][i] = s.aPagar(QDate(ano, 2 * i, 1).addMonths(1).addDays(-1), restos);
        d["00070"][i] = s.arrecadado(privatizacao, 1, 2 * i, true);
        d["00080"][i] = s.diario(diario({"8888%"}, false), 2 * i);
    }
    for (int c = 0; c <= 6; ++c) {
        const Moeda soma = d["00030"][c] + d["00040"][c] - d["00050"][c];
        const bool deduz = soma >= Moeda();
        d["00020"][c] = deduz ? soma : Moeda();
        d["00060"][c] = deduz ? d["00010"][c] - soma : d["00010"][c];
        d["00090"][c] = d["00060"][c] + d["00070"][c] - d["00080"][c];
    }
    return e;
}

Moeda sexto(Moeda v) {
    const int64_t d = v.dezMilesimos();
    return Moeda::deDezMilesimos((2 * d + (d < 0 ? -6 : 6)) / 12);
}

// What the report prints of the lines.
Figuras impressasDe(const Esperado& e, int b) {
    Figuras f;
    const auto espalha = [&](const char* quadro, const QString& id, const Colunas& c,
                             std::array<const char*, 6> colunas) {
        Moeda ate;
        for (int k = 1; k <= b; ++k)
            ate += c.bim[k];
        const Moeda s = sexto(c.atualizada);
        const std::array<Moeda, 6> valores = {
            c.atualizada, s,   Moeda::deDezMilesimos(b * s.dezMilesimos()),
            c.bim[b],     ate, c.anterior};
        for (size_t i = 0; i < colunas.size(); ++i)
            f[{quadro, id, colunas[i]}] = valores[i];
    };
    for (const auto& [id, c] : e.receita)
        espalha("cdsRec", id, c,
                {"PREVISAO_ATUALIZADA", "PRE_DO_BIM", "PRE_ATE_BIM", "REA_DO_BIM", "REA_ATE_BIM",
                 "EXERCICIO_ANTERIOR"});
    for (const auto& [id, c] : e.despesa)
        espalha("cdsDes", id, c,
                {"DOTACAO_ATUALIZADA", "DOT_DO_BIM", "DOT_ATE_BIM", "LIQ_DO_BIM", "LIQ_ATE_BIM",
                 "EXERCICIO_ANTERIOR"});
    for (const auto& [id, d] : e.divida) {
        const Moeda ant = d[b - 1]; // the previous exercise in bimester 1
        f[{"cdsEsp", id, "EXERCICIO_ANTERIOR"}] = d[0];
        f[{"cdsEsp", id, "BIM_ANT"}] = ant;
        f[{"cdsEsp", id, "BIM_ATU"}] = d[b];
        if (id == "00090") {
            f[{"cdsEsp", id, "NO_BIM"}] = d[b] - ant;
            f[{"cdsEsp", id, "ATE_BIM"}] = d[b] - d[0];
        }
    }
    return f;
}

class Anexo5 : public BancoDosAnexos {
protected:
    Execucao roda5(int bimestre, bool resposta = false) {
        return roda([] { return std::make_unique<nq::TImpAnexo5>(); }, bimestre, resposta);
    }
    Esperado esperado(int ano, int b, bool comAnterior, bool comReserva) const {
        const SomasDoExercicio atual(demo(ano).exercicios.atual);
        const SomasDoExercicio anterior(demo(ano).exercicios.anterior);
        return calcula(atual, comAnterior ? &anterior : nullptr, b, comReserva);
    }
    QString arquivo(nq::ArquivoDigitado a, const char* ano) const {
        return nq::caminhoArquivo(dados(), a, QString::fromLatin1(ano));
    }
};

// Bimester, previous year's database connected, reserve commitments shown.
class Anexo5PorCaso : public Anexo5,
                      public ::testing::WithParamInterface<std::tuple<int, bool, bool>> {};

TEST_P(Anexo5PorCaso, CadaFiguraImpressaIgualASomaDosExerciciosGerados) {
    const auto [b, comAnterior, comReserva] = GetParam();
    usaExercicio(2008, comAnterior);
    valores.defineFiltroReserva(comReserva);
    const Figuras e = impressasDe(esperado(2008, b, comAnterior, comReserva), b);
    for (const bool literais : {true, false}) {
        SCOPED_TRACE(literais ? "uma instrução por figura" : "plano de figuras");
        const PlanoDoTeste plano(literais);
        confere(roda5(b).impressas(), e);
    }
}

INSTANTIATE_TEST_SUITE_P(Casos, Anexo5PorCaso,
                         ::testing::Values(std::tuple{1, true, false}, std::tuple{3, true, true},
                                           std::tuple{6, true, false}, std::tuple{1, false, true},
                                           std::tuple{3, false, false},
                                           std::tuple{6, false, true}));

TEST_F(Anexo5, ExercicioAte2005TemOutroResultadoPrimario) {
    usaExercicio(2005, true);
    const Esperado e = esperado(2005, 6, true, true);
    // Without the 2006 lines: no "Alienação de Ativos", and the saldos line has figures.
    EXPECT_EQ(e.receita.count("00075"), 0u);
    EXPECT_FALSE(e.despesa.at("00110").atualizada.ehZero());
    confere(roda5(6).impressas(), impressasDe(e, 6));
}

TEST_F(Anexo5, ArquivoDaDividaGuardaOExercicioAnteriorEOsSeisBimestresCalculados) {
    const Execucao r = roda5(3);
    const QString trabalho = dados() + nq::TImpAnexo5::arquivoDeTrabalho(
                                           nq::ArquivoDigitado::Anexo5Especificacao, "2008");
    ASSERT_TRUE(trabalho.endsWith("NQ404_Anexo5_Especificacao_2008_2.xml"));
    nq::ClientDataSet t;
    t.loadFromFile(trabalho);
    EXPECT_EQ(t.fieldNames(),
              QStringList({"DESPESA", "NOME", "TIPO", "EXERCICIO_ANTERIOR", "BIM1", "BIM2", "BIM3",
                           "BIM4", "BIM5", "BIM6", "TITULO", "ID", "FILTRO"}));
    const Esperado e = esperado(2008, 3, true, true);
    int linhas = 0;
    for (t.first(); !t.eof(); t.next(), ++linhas) {
        const QString id = t.fieldByName("ID").asString();
        const Divida& d = e.divida.at(id);
        EXPECT_EQ(t.fieldByName("EXERCICIO_ANTERIOR").asCurrency(), d[0]) << id.toStdString();
        for (int k = 1; k <= 6; ++k)
            EXPECT_EQ(t.fieldByName(bim("BIM", k)).asCurrency(), d[k])
                << id.toStdString() << ' ' << k;
        // What the report printed is what the file holds.
        EXPECT_EQ(r.figura("cdsEsp", id, "BIM_ATU"), t.fieldByName("BIM3").asCurrency().texto(2));
        EXPECT_EQ(r.figura("cdsEsp", id, "BIM_ANT"), t.fieldByName("BIM2").asCurrency().texto(2));
    }
    EXPECT_EQ(linhas, 9);
    // The other work files stay too, with the computed figures.
    nq::ClientDataSet receitas;
    receitas.loadFromFile(
        dados() + nq::TImpAnexo5::arquivoDeTrabalho(nq::ArquivoDigitado::Anexo5Receita, "2008"));
    ASSERT_TRUE(receitas.locate("ID", nq::Value("00090")));
    EXPECT_EQ(receitas.fieldByName("REALIZADO_BIM3").asCurrency(), e.receita.at("00090").bim[3]);
}

TEST_F(Anexo5, CalculoQueFalhaDeixaOsArquivosDeTrabalhoDoUltimoCalculoConcluido) {
    const std::array<QString, 3> trabalhos = {
        dados() + nq::TImpAnexo5::arquivoDeTrabalho(nq::ArquivoDigitado::Anexo5Receita, "2008"),
        dados() + nq::TImpAnexo5::arquivoDeTrabalho(nq::ArquivoDigitado::Anexo5Despesa, "2008"),
        dados() +
            nq::TImpAnexo5::arquivoDeTrabalho(nq::ArquivoDigitado::Anexo5Especificacao, "2008")};
    const auto conteudos = [&] {
        std::vector<std::map<QString, QStringList>> c;
        for (const QString& t : trabalhos)
            c.push_back(conteudoDoArquivo(t));
        return c;
    };
    roda5(3);
    const auto calculados = conteudos();
    ASSERT_FALSE(calculados[2].at("00060")[6].isEmpty()); // BIM3 of the net consolidated debt

    // A legacy line whose condition the database rejects stops the next run.
    const QString des = arquivo(nq::ArquivoDigitado::Anexo5Despesa, "2008");
    ::digita(des, nq::ArquivoDigitado::Anexo5Despesa, nq::Value(QStringLiteral("4.9.99.99")),
             {{"NOME", nq::Value(QStringLiteral("  Antiga"))},
              {"TITULO", nq::Value(QStringLiteral("VA"))},
              {"ID", nq::Value(QStringLiteral("00085"))},
              {"FILTRO", nq::Value(QStringLiteral("(catec like and)"))}});
    // The fiscal-management report reads the debt file: it must still hold the
    // last finished computation, not the typed figures the failed run copied.
    EXPECT_THROW(roda5(3), nq::Erro);
    EXPECT_EQ(conteudos(), calculados);

    // Without an earlier computation, a failed run leaves no work file behind,
    // so that report asks for annex 5 to be computed.
    for (const QString& t : trabalhos)
        QFile::remove(t);
    EXPECT_THROW(roda5(3), nq::Erro);
    for (const QString& t : trabalhos)
        EXPECT_FALSE(QFile::exists(t)) << t.toStdString();
}

TEST_F(Anexo5, SemOBancoAnteriorOExercicioAnteriorVemDosArquivosDigitadosDoAnoAnterior) {
    for (const char* ano : {"2007", "2008"})
        nq::PreparaAnexo5(dados(), ano);
    digita(arquivo(nq::ArquivoDigitado::Anexo5Receita, "2007"), "00010",
           {{"REALIZADO_BIM1", Moeda::deInteiro(100)},
            {"REALIZADO_BIM2", Moeda::deInteiro(20)},
            {"REALIZADO_BIM4", Moeda::deInteiro(7)}});
    digita(arquivo(nq::ArquivoDigitado::Anexo5Despesa, "2007"), "00040",
           {{"LIQUIDADO_BIM3", Moeda::deInteiro(30)}});
    std::map<QString, Moeda> bimestres;
    for (int k = 1; k <= 6; ++k)
        bimestres[bim("BIM", k)] = Moeda::deInteiro(k);
    digita(arquivo(nq::ArquivoDigitado::Anexo5Especificacao, "2007"), "00010", bimestres);
    digita(arquivo(nq::ArquivoDigitado::Anexo5Especificacao, "2007"), "00030",
           {{"BIM6", Moeda::deInteiro(1000)}});

    for (const bool comAnterior : {false, true}) {
        SCOPED_TRACE(comAnterior ? "com o banco anterior" : "sem o banco anterior");
        usaExercicio(2008, comAnterior);
        const Execucao r = roda5(3);
        const Esperado e = esperado(2008, 3, comAnterior, true);
        // The typed previous year replaces the previous database's revenue and
        // liquidation; the debt always adds the typed bimesters up.
        const Moeda receita = comAnterior ? Moeda() : Moeda::deInteiro(120);
        const Moeda despesa = comAnterior ? Moeda() : Moeda::deInteiro(30);
        EXPECT_EQ(r.valor("cdsRec", "00010", "EXERCICIO_ANTERIOR"),
                  e.receita.at("00010").anterior + receita);
        EXPECT_EQ(r.valor("cdsRec", "00090", "EXERCICIO_ANTERIOR"),
                  e.receita.at("00090").anterior + receita);
        EXPECT_EQ(r.valor("cdsDes", "00040", "EXERCICIO_ANTERIOR"),
                  e.despesa.at("00040").anterior + despesa);
        EXPECT_EQ(r.valor("cdsDes", "00120", "EXERCICIO_ANTERIOR"),
                  e.despesa.at("00120").anterior + receita - despesa);
        EXPECT_EQ(r.valor("cdsEsp", "00010", "EXERCICIO_ANTERIOR"),
                  e.divida.at("00010")[0] + Moeda::deInteiro(21));
        EXPECT_EQ(r.valor("cdsEsp", "00030", "EXERCICIO_ANTERIOR"),
                  e.divida.at("00030")[0] + Moeda::deInteiro(1000));
        // Lines 00030 to 00050 read the current database either way.
        EXPECT_FALSE(e.divida.at("00030")[0].ehZero());
        EXPECT_FALSE(e.divida.at("00050")[0].ehZero());
    }
}

TEST_F(Anexo5, DigitadosELinhasDeArquivoAntigoEntramPeloIdSemMudarOsArquivos) {
    nq::PreparaAnexo5(dados(), "2008");
    const QString rec = arquivo(nq::ArquivoDigitado::Anexo5Receita, "2008");
    const QString des = arquivo(nq::ArquivoDigitado::Anexo5Despesa, "2008");
    const QString esp = arquivo(nq::ArquivoDigitado::Anexo5Especificacao, "2008");
    digita(rec, "00020",
           {{"PREVISAO_ANUAL", Moeda::deInteiro(1000)},
            {"PREVISAO_ATUALIZADA", Moeda::deInteiro(777)}});
    digita(des, "00010", {{"DOTACAO_ATUALIZADA", Moeda::deInteiro(50)}});
    digita(esp, "00010", {{"BIM3", Moeda::deInteiro(500)}});
    digita(esp, "00030", {{"BIM3", Moeda::deInteiro(999)}});
    {
        // Appended at the end of an old file, inside the deductions' range: a
        // value line with a condition and a title line with one.
        nq::ClientDataSet t;
        t.loadFromFile(rec);
        for (const auto& [id, titulo] : {std::pair{"00072", "VA"}, std::pair{"00073", "TI"}}) {
            t.append();
            t.fieldByName("RECEITA").setAsString(QStringLiteral("24%1.00.00").arg(id));
            t.fieldByName("NOME").setAsString(QStringLiteral("  Antiga ") + id);
            t.fieldByName("TITULO").setAsString(titulo);
            t.fieldByName("ID").setAsString(id);
            t.fieldByName("FILTRO").setAsString("(codre like '24%')");
            t.fieldByName("PREVISAO_ANUAL").setAsCurrency(Moeda::deInteiro(3));
            t.post();
        }
        t.saveToFile(rec);
    }
    const auto antes =
        std::tuple{conteudoDoArquivo(rec), conteudoDoArquivo(des), conteudoDoArquivo(esp)};

    const Execucao r = roda5(3);
    const Esperado e = esperado(2008, 3, true, true);
    const SomasDoExercicio s(demo().exercicios.atual);
    const Moeda transferencias = s.previsao(codigos({"24%"}));
    // The typed updated forecast gives way to the initial one; the typed updated
    // appropriation adds to the database's.
    EXPECT_EQ(r.valor("cdsRec", "00020", "PREVISAO_ATUALIZADA"),
              e.receita.at("00020").atualizada + Moeda::deInteiro(1000));
    EXPECT_EQ(r.valor("cdsDes", "00010", "DOTACAO_ATUALIZADA"),
              e.despesa.at("00010").atualizada + Moeda::deInteiro(50));
    // Only the value line is computed; both enter the deductions by their IDs.
    EXPECT_EQ(r.valor("cdsRec", "00072", "PREVISAO_ANUAL"), transferencias + Moeda::deInteiro(3));
    EXPECT_EQ(r.valor("cdsRec", "00073", "PREVISAO_ANUAL"), Moeda::deInteiro(3));
    EXPECT_EQ(r.valor("cdsRec", "00080", "PREVISAO_ANUAL"),
              e.receita.at("00080").anual + transferencias + Moeda::deInteiro(6));
    EXPECT_EQ(r.valor("cdsRec", "00090", "PREVISAO_ANUAL"),
              e.receita.at("00090").anual + Moeda::deInteiro(1000) - transferencias -
                  Moeda::deInteiro(6));
    // The debt adds to typed consolidated debt and replaces typed cash.
    EXPECT_EQ(r.valor("cdsEsp", "00010", "BIM3"), e.divida.at("00010")[3] + Moeda::deInteiro(500));
    EXPECT_EQ(r.valor("cdsEsp", "00030", "BIM3"), e.divida.at("00030")[3]);

    EXPECT_EQ(antes,
              (std::tuple{conteudoDoArquivo(rec), conteudoDoArquivo(des), conteudoDoArquivo(esp)}));
}

TEST_F(Anexo5, PaginasDoTerceiroBimestreIguaisAsDeReferenciaECsvIgualAoPdf) {
    const Execucao r = roda5(3);
    ASSERT_FALSE(r.documento.paginas.empty());
    comparaComGoldenDoAnexo("anexo5", "anexo5_bim3", nq::despejo(r.documento));
    EXPECT_EQ(valoresDoCsv(r.figuras), figurasImpressas(r.documento, dados() + "anexo5.pdf"));
}

TEST_F(Anexo5, PlanilhaRecebeAsLinhasNasCelulasDoModelo5) {
    const QString tce = dados() + "tce.xls";
    QFile(tce).open(QIODevice::WriteOnly);
    valores.definePlanilha(tce);
    Celulas celulas;
    valores.defineFabricaDePlanilha([&] { return planilhaEmMemoria(celulas); });
    const Execucao r = roda5(2, true);
    const auto celula = [&](const char* endereco) {
        const auto& f = celulas["mod 5"];
        const auto c = f.find(endereco);
        return c == f.end() ? QStringLiteral("<vazia>") : QString::number(c->second, 'f', 2);
    };
    const auto de = [&](const char* quadro, const char* id, const QString& campo) {
        return QString::number(r.valor(quadro, id, campo).paraDouble(), 'f', 2);
    };
    EXPECT_EQ(celulas["Com"]["AH6"], 2);
    // Revenues after 2005: the previous exercise everywhere, the whole row on 19 and 21.
    EXPECT_EQ(celula("H12"), de("cdsRec", "00010", "EXERCICIO_ANTERIOR"));
    EXPECT_EQ(celula("C12"), "<vazia>");
    EXPECT_EQ(celula("F21"), de("cdsRec", "00075", "REALIZADO_BIM2"));
    // Expenditures: the spread appropriation on 28, 29, 31; the typed forecast on 33 to 35.
    EXPECT_EQ(celula("E31"), de("cdsDes", "00040", "DOT_ATE_BIM"));
    EXPECT_EQ(celula("F31"), "<vazia>");
    EXPECT_EQ(celula("F35"), de("cdsDes", "00080", "EMPENHADO_BIM2"));
    EXPECT_EQ(celula("C33"), "<vazia>");
    EXPECT_EQ(celula("H33"), de("cdsDes", "00060", "EXERCICIO_ANTERIOR"));
    // The debt: previous exercise, previous bimester and this one.
    EXPECT_EQ(celula("C53"), de("cdsEsp", "00080", "BIM1"));
    EXPECT_EQ(celula("D50"), de("cdsEsp", "00050", "BIM2"));
    EXPECT_EQ(celulas["mod 5"].size(), 6u + 2u * 5 + 3u * 3 + 2u * 6 + 3u + 6u * 3);
}

} // namespace
