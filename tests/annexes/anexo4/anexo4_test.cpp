#include "../common/apoio_execucao.h"
#include "../common/somas_do_exercicio.h"

#include "annexes/anexo4/anexo4.h"
#include "core/configuracao.h"
#include "db/modulodados.h"
#include "entry/catalogo.h"
#include "entry/preparacoes.h"
#include "report/despejo.h"
#include "tables/clientdataset.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>

using nq::Moeda;
namespace demo = nq::demo;

namespace {

QString bim(const char* campo, int k) {
    return QString::fromLatin1(campo) + QString::number(k);
}

bool pr(const QString& tipo) {
    return tipo == QLatin1String("PR");
}

// The revenue lines by their stored conditions (the exercise is after 2004).
const std::vector<std::pair<QString, SomasDoExercicio::Receita>>& receitas() {
    static const std::vector<std::pair<QString, SomasDoExercicio::Receita>> r = {
        {"00010", [](const demo::FichaReceita& f) { return como(f.balco, "3236%"); }},
        {"00020", [](const demo::FichaReceita& f) { return como(f.codre, "1210.29.07%"); }},
        {"00030", [](const demo::FichaReceita& f) { return como(f.codre, "1210.29.09%"); }},
        {"00040",
         [](const demo::FichaReceita& f) {
             return comoAlgum(f.codre, {"1210.29.11%", "1210.29.12%"});
         }},
        {"00050", [](const demo::FichaReceita& f) { return como(f.codre, "13%") && pr(f.tipo); }},
        {"00060", [](const demo::FichaReceita& f) { return como(f.codre, "1210.46%"); }},
        {"00070", [](const demo::FichaReceita& f) { return como(f.codre, "22%") && pr(f.tipo); }},
        // "Outras": the line's TIPO with the seven exclusions, whatever its stored condition.
        {"00080",
         [](const demo::FichaReceita& f) {
             return pr(f.tipo) && !comoAlgum(f.codre, {"1210.29.01%", "1210.29.02%", "1210.29.03%",
                                                       "13%", "22%", "9%", "1210.46%"});
         }},
    };
    return r;
}

// The expenditure lines: the appropriation's category for the appropriations,
// the commitment's for commitments and liquidations; the item's TIPO.
struct LinhaDeDespesa {
    QString id;
    std::function<bool(const QString& catec)> categoria;
};
const std::vector<LinhaDeDespesa>& despesas() {
    static const std::vector<LinhaDeDespesa> d = {
        {"00010", [](const QString& c) { return como(c, "3.1.90.01%"); }},
        {"00020", [](const QString& c) { return como(c, "3.1.90.03%"); }},
        {"00030", [](const QString& c) { return como(c, "3.1.90.05%"); }},
        {"00040",
         [](const QString& c) {
             return !c.isEmpty() && !comoAlgum(c, {"3.1.90.01%", "3.1.90.03%", "3.1.90.05%"});
         }},
    };
    return d;
}

// Every figure annex 4 prints, computed from the generated rows.
Figuras esperadas(const SomasDoExercicio& s, int b, bool comReserva) {
    Figuras f;
    const auto poe = [&](const char* quadro, const QString& id, const QString& coluna, Moeda v) {
        f[{QString::fromLatin1(quadro), id, coluna}] = v;
    };
    struct Colunas {
        Moeda inicial, atualizada;
        std::array<Moeda, 7> r{}, e{}, l{};
    } tr, td;
    const auto linhaDeReceita = [&](const QString& id, const Colunas& c) {
        Moeda acumulado;
        for (int k = 1; k <= b; ++k)
            acumulado += c.r[k];
        poe("cdsRec", id, "PREVISAO_ANUAL", c.inicial);
        poe("cdsRec", id, "PREVISAO_ATUALIZADA", c.atualizada);
        poe("cdsRec", id, bim("REALIZADO_BIM", b), c.r[b]);
        poe("cdsRec", id, "ACUMULADO", acumulado);
        poe("cdsRec", id, "AREALIZAR", c.atualizada - acumulado);
    };
    for (const auto& [id, r] : receitas()) {
        Colunas c;
        c.inicial = s.previsao(r);
        c.atualizada =
            c.inicial + s.alteracoesDaPrevisao(r, +1, 2 * b) + s.alteracoesDaPrevisao(r, -1, 2 * b);
        for (int k = 1; k <= b; ++k)
            c.r[k] = s.arrecadado(r, 2 * k - 1, 2 * k);
        linhaDeReceita(id, c);
        tr.inicial += c.inicial;
        tr.atualizada += c.atualizada;
        for (int k = 1; k <= b; ++k)
            tr.r[k] += c.r[k];
    }
    linhaDeReceita("00090", tr);

    const auto linhaDeDespesa = [&](const QString& id, const Colunas& c) {
        Moeda empenhado, liquidado;
        for (int k = 1; k <= b; ++k) {
            empenhado += c.e[k];
            liquidado += c.l[k];
        }
        poe("cdsDes", id, "DOTACAO_ANUAL", c.inicial);
        poe("cdsDes", id, "DOTACAO_ATUALIZADA", c.atualizada);
        poe("cdsDes", id, bim("EMPENHADO_BIM", b), c.e[b]);
        poe("cdsDes", id, "EMPACU", empenhado);
        poe("cdsDes", id, bim("LIQUIDADO_BIM", b), c.l[b]);
        poe("cdsDes", id, "LIQACU", liquidado);
        poe("cdsDes", id, "AEMPENHAR", c.atualizada - empenhado);
    };
    for (const LinhaDeDespesa& l : despesas()) {
        const auto dotacao = [&](const demo::FichaDespesa& x) {
            return l.categoria(x.catec) && pr(x.tipo);
        };
        const auto execucao = [&](const demo::Empenho& e, const demo::FichaDespesa& x) {
            return l.categoria(e.catec) && pr(x.tipo);
        };
        Colunas c;
        c.inicial = s.dotacao(dotacao);
        c.atualizada = c.inicial + s.alteracoesDaDotacao(dotacao, 1, 2 * b);
        for (int k = 1; k <= b; ++k) {
            c.e[k] = s.empenhado(execucao, 2 * k - 1, 2 * k, comReserva);
            c.l[k] = s.liquidado(execucao, 2 * k - 1, 2 * k, comReserva);
        }
        linhaDeDespesa(l.id, c);
        td.inicial += c.inicial;
        td.atualizada += c.atualizada;
        for (int k = 1; k <= b; ++k) {
            td.e[k] += c.e[k];
            td.l[k] += c.l[k];
        }
    }
    linhaDeDespesa("00050", td);
    Colunas resultado;
    resultado.inicial = tr.inicial - td.inicial;
    resultado.atualizada = tr.atualizada - td.atualizada;
    for (int k = 1; k <= b; ++k) {
        resultado.e[k] = tr.r[k] - td.e[k];
        resultado.l[k] = tr.r[k] - td.l[k];
    }
    linhaDeDespesa("00060", resultado);

    // Financial availability, each up to the bimester's last month.
    const auto ficha = [](bool extra) {
        return [extra](const demo::FichaReceita& x) { return x.extra == extra && pr(x.tipo); };
    };
    const auto conta = [](std::function<bool(const QString&)> balco) {
        return [balco](const demo::Conta& c) { return pr(c.tipo) && balco(c.balco); };
    };
    const auto caixa = [](const QString& b) { return como(b, "31110%"); };
    const auto bancos = [](const QString& b) { return !como(b, "31110%") && !como(b, "3114%"); };
    const auto aplicacoes = [](const QString& b) { return como(b, "3114%"); };
    const QString recebido = bim("REALIZADO_BIM", b);
    const Moeda orcamentarias = s.arrecadado(
        [](const demo::FichaReceita& x) {
            return como(x.codre, "121%") || (pr(x.tipo) && !x.extra);
        },
        1, 2 * b);
    const Moeda extra = s.arrecadado(ficha(true), 1, 2 * b);
    const std::array<Moeda, 3> saldos = {s.saldoInicial(conta(caixa)),
                                         s.saldoInicial(conta(bancos)),
                                         s.saldoInicial(conta(aplicacoes))};
    poe("cdsRecFin", "00010", recebido, orcamentarias);
    poe("cdsRecFin", "00020", recebido, extra);
    poe("cdsRecFin", "00030", recebido, saldos[0] + saldos[1] + saldos[2]);
    poe("cdsRecFin", "00040", recebido, saldos[0]);
    poe("cdsRecFin", "00050", recebido, saldos[1]);
    poe("cdsRecFin", "00060", recebido, saldos[2]);
    poe("cdsRecFin", "00070", recebido, orcamentarias + extra + saldos[0] + saldos[1] + saldos[2]);

    const auto despesa = [](bool extra) {
        return [extra](const demo::FichaDespesa& x) { return x.extra == extra && pr(x.tipo); };
    };
    const QString pago = bim("REALIZADA_BIM", b);
    const Moeda pagas = s.pago(despesa(false), 2 * b);
    const Moeda extraPagas = s.pago(despesa(true), 2 * b);
    const Moeda inscricao =
        b == 6 ? s.aPagar(QDate(s.exercicio().ano, 12, 31), despesa(false)) : Moeda();
    const std::array<Moeda, 3> atuais = {s.movimento(conta(caixa), 2 * b),
                                         s.movimento(conta(bancos), 2 * b),
                                         s.movimento(conta(aplicacoes), 2 * b)};
    poe("cdsDesFin", "00010", pago, pagas);
    poe("cdsDesFin", "00020", pago, extraPagas);
    poe("cdsDesFin", "00030", pago, inscricao);
    poe("cdsDesFin", "00040", pago, atuais[0] + atuais[1] + atuais[2]);
    poe("cdsDesFin", "00050", pago, atuais[0]);
    poe("cdsDesFin", "00060", pago, atuais[1]);
    poe("cdsDesFin", "00070", pago, atuais[2]);
    poe("cdsDesFin", "00080", pago,
        pagas + extraPagas + inscricao + atuais[0] + atuais[1] + atuais[2]);
    return f;
}

class Anexo4 : public BancoDosAnexos {
protected:
    Execucao roda4(int bimestre, bool resposta = false) {
        return roda([] { return std::make_unique<nq::TImpAnexo4>(); }, bimestre, resposta);
    }
    QString arquivo(nq::ArquivoDigitado a) const { return nq::caminhoArquivo(dados(), a); }
};

class Anexo4PorBimestre : public Anexo4,
                          public ::testing::WithParamInterface<std::tuple<int, bool>> {};

TEST_P(Anexo4PorBimestre, CadaFiguraImpressaIgualASomaDoExercicioGerado) {
    const auto [b, comReserva] = GetParam();
    valores.defineFiltroReserva(comReserva);
    const Figuras esperado = esperadas(SomasDoExercicio(demo().exercicios.atual), b, comReserva);
    for (const bool literais : {true, false}) {
        SCOPED_TRACE(literais ? "uma instrução por figura" : "plano de figuras");
        const PlanoDoTeste plano(literais);
        const Execucao r = roda4(b);
        confere(r.impressas(), esperado);
        // The regime exists, so the notice stays blank.
        EXPECT_FALSE(nq::despejo(r.documento).contains("NÃO POSSUI REGIME"));
    }
}

INSTANTIATE_TEST_SUITE_P(Bimestres, Anexo4PorBimestre,
                         ::testing::Combine(::testing::Values(1, 3, 6), ::testing::Bool()));

TEST_F(Anexo4, EmpenhoDeReservaDoRegimeEOQueORefereSoEntramQuandoMostrados) {
    // The generated regime has no reserve commitment: add one on an item of the
    // "Inativos" line, liquidated in part, and a commitment drawing on it.
    const demo::FichaDespesa* ficha = nullptr;
    for (const auto& f : demo().exercicios.atual.fichasDespesa)
        if (pr(f.tipo) && como(f.catec, "3.1.90.01%"))
            ficha = &f;
    ASSERT_TRUE(ficha);
    const QString comum = QStringLiteral(", %1, '%2', %3, %4)")
                              .arg(ficha->ficha)
                              .arg(ficha->catec)
                              .arg(ficha->grupo)
                              .arg(ficha->vinculo);
    executa("INSERT INTO DESPES (PKEMP, PKEMPA, NEMPG, DATAE, VADEM, TPEM, FICHA, CATEC, "
            "VINGRUPO, VINCODIGO) VALUES (990001, NULL, 990001, '2008-01-15', 1000, 'RD'" +
            comum);
    executa("INSERT INTO DESPES (PKEMP, PKEMPA, NEMPG, DATAE, VADEM, TPEM, FICHA, CATEC, "
            "VINGRUPO, VINCODIGO) VALUES (990002, 990001, 990002, '2008-04-05', 250, 'OR'" +
            comum);
    executa("INSERT INTO DESLIQ (NUMLIQ, PKEMP, DTLIQ, VALIQ) VALUES (990001, 990001, "
            "'2008-03-10', 400)");
    const auto repoe = qScopeGuard([&] {
        executa("DELETE FROM DESLIQ WHERE NUMLIQ=990001");
        executa("DELETE FROM DESPES WHERE PKEMP IN (990002, 990001)");
    });
    const Figuras base = esperadas(SomasDoExercicio(demo().exercicios.atual), 2, true);

    valores.defineFiltroReserva(false);
    confere(roda4(2).impressas(), base);

    valores.defineFiltroReserva(true);
    Figuras com = base;
    for (const char* id : {"00010", "00050"}) {
        com[{"cdsDes", id, "EMPENHADO_BIM2"}] += Moeda::deInteiro(250);
        com[{"cdsDes", id, "EMPACU"}] += Moeda::deInteiro(1250);
        com[{"cdsDes", id, "AEMPENHAR"}] -= Moeda::deInteiro(1250);
        com[{"cdsDes", id, "LIQUIDADO_BIM2"}] += Moeda::deInteiro(400);
        com[{"cdsDes", id, "LIQACU"}] += Moeda::deInteiro(400);
    }
    com[{"cdsDes", "00060", "EMPENHADO_BIM2"}] -= Moeda::deInteiro(250);
    com[{"cdsDes", "00060", "EMPACU"}] -= Moeda::deInteiro(1250);
    com[{"cdsDes", "00060", "AEMPENHAR"}] += Moeda::deInteiro(1250);
    com[{"cdsDes", "00060", "LIQUIDADO_BIM2"}] -= Moeda::deInteiro(400);
    com[{"cdsDes", "00060", "LIQACU"}] -= Moeda::deInteiro(400);
    confere(roda4(2).impressas(), com);
}

TEST_F(Anexo4, DigitadosELinhasDeArquivoAntigoEntramComoAsDoArquivoSemMudarOArquivo) {
    nq::PreparaAnexo4(dados(), nq::dm().qrCliente);
    const QString rec = arquivo(nq::ArquivoDigitado::Anexo4Receita);
    const QString des = arquivo(nq::ArquivoDigitado::Anexo4Despesa);
    const QString recFin = arquivo(nq::ArquivoDigitado::Anexo4ReceitaFin);
    digita(rec, "00020",
           {{"PREVISAO_ANUAL", Moeda::deInteiro(1000)},
            {"PREVISAO_ATUALIZADA", Moeda::deInteiro(777)},
            {"REALIZADO_BIM1", *Moeda::deTexto("12.34")},
            {"REALIZADO_BIM5", Moeda::deInteiro(5)}});
    digita(des, "00010",
           {{"DOTACAO_ATUALIZADA", Moeda::deInteiro(50)}, {"EMPENHADO_BIM2", Moeda::deInteiro(7)}});
    digita(recFin, "00010",
           {{"REALIZADO_BIM3", Moeda::deInteiro(99)}, {"REALIZADO_BIM2", Moeda::deInteiro(4)}});
    {
        // A legacy file's extra lines: one keyed as "Outras" with a condition of
        // its own, one whose condition is only blanks.
        nq::ClientDataSet t;
        t.loadFromFile(rec);
        for (const auto& [chave, id, filtro] :
             {std::tuple{"2810.00.00", "00085", "(codre like '99%')"},
              std::tuple{"2950.00.00", "00095", "   "}}) {
            t.append();
            t.fieldByName("RECEITA").setAsString(chave);
            t.fieldByName("NOME").setAsString("Antiga " + QString::fromLatin1(id));
            t.fieldByName("TIPO").setAsString("PR");
            t.fieldByName("TITULO").setAsString("TI");
            t.fieldByName("ID").setAsString(id);
            t.fieldByName("FILTRO").setAsString(filtro);
            t.fieldByName("PREVISAO_ANUAL").setAsCurrency(Moeda::deInteiro(5));
            t.post();
        }
        t.saveToFile(rec);
    }
    const auto antes =
        std::tuple{conteudoDoArquivo(rec), conteudoDoArquivo(des), conteudoDoArquivo(recFin)};

    const Execucao r = roda4(3);
    const SomasDoExercicio s(demo().exercicios.atual);
    const Figuras base = esperadas(s, 3, false);
    const auto e = [&](const char* quadro, const char* id, const QString& coluna) {
        return base.at({quadro, id, coluna});
    };
    // The typed updated forecast gives way to the initial one; the others add up.
    EXPECT_EQ(r.valor("cdsRec", "00020", "PREVISAO_ANUAL"),
              e("cdsRec", "00020", "PREVISAO_ANUAL") + Moeda::deInteiro(1000));
    EXPECT_EQ(r.valor("cdsRec", "00020", "PREVISAO_ATUALIZADA"),
              e("cdsRec", "00020", "PREVISAO_ATUALIZADA") + Moeda::deInteiro(1000));
    EXPECT_EQ(r.valor("cdsRec", "00020", "ACUMULADO"),
              e("cdsRec", "00020", "ACUMULADO") + *Moeda::deTexto("12.34"));
    EXPECT_EQ(r.valor("cdsRec", "00020", "REALIZADO_BIM5"), Moeda::deInteiro(5));
    EXPECT_EQ(r.valor("cdsDes", "00010", "DOTACAO_ATUALIZADA"),
              e("cdsDes", "00010", "DOTACAO_ATUALIZADA") + Moeda::deInteiro(50));
    EXPECT_EQ(r.valor("cdsDes", "00010", "EMPACU"),
              e("cdsDes", "00010", "EMPACU") + Moeda::deInteiro(7));
    // The extra "Outras" line takes the TIPO condition; the blank one keeps its typed
    // figures; every line with a condition enters the total and the result.
    EXPECT_EQ(r.valor("cdsRec", "00085", "PREVISAO_ANUAL"),
              e("cdsRec", "00080", "PREVISAO_ANUAL") + Moeda::deInteiro(5));
    EXPECT_EQ(r.valor("cdsRec", "00085", "ACUMULADO"), e("cdsRec", "00080", "ACUMULADO"));
    EXPECT_EQ(r.valor("cdsRec", "00095", "PREVISAO_ANUAL"), Moeda::deInteiro(5));
    EXPECT_EQ(r.valor("cdsRec", "00095", "PREVISAO_ATUALIZADA"), Moeda());
    const Moeda extras =
        Moeda::deInteiro(1000) + e("cdsRec", "00080", "PREVISAO_ANUAL") + Moeda::deInteiro(5);
    EXPECT_EQ(r.valor("cdsRec", "00090", "PREVISAO_ANUAL"),
              e("cdsRec", "00090", "PREVISAO_ANUAL") + extras);
    EXPECT_EQ(r.valor("cdsRec", "00090", "REALIZADO_BIM5"), Moeda()); // after the bimester
    EXPECT_EQ(r.valor("cdsDes", "00060", "DOTACAO_ANUAL"),
              e("cdsDes", "00060", "DOTACAO_ANUAL") + extras);
    EXPECT_EQ(r.valor("cdsDes", "00060", "EMPACU"),
              e("cdsDes", "00060", "EMPACU") + *Moeda::deTexto("12.34") +
                  e("cdsRec", "00080", "ACUMULADO") - Moeda::deInteiro(7));
    // A financial value replaces the bimester's typed one.
    EXPECT_EQ(r.valor("cdsRecFin", "00010", "REALIZADO_BIM3"),
              e("cdsRecFin", "00010", "REALIZADO_BIM3"));
    EXPECT_EQ(r.valor("cdsRecFin", "00010", "REALIZADO_BIM2"), Moeda::deInteiro(4));

    EXPECT_EQ(antes, (std::tuple{conteudoDoArquivo(rec), conteudoDoArquivo(des),
                                 conteudoDoArquivo(recFin)}));
    const QStringList sobras = QDir(dados()).entryList({"*2.xml"}, QDir::Files);
    EXPECT_TRUE(sobras.isEmpty()) << sobras.join(' ').toStdString();
}

TEST_F(Anexo4, SemItensDoRegimeProprioOAvisoEhImpresso) {
    executa("UPDATE RECDIS SET TIPO='P9' WHERE TIPO='PR'");
    executa("UPDATE DESDIS SET TIPO='P9' WHERE TIPO='PR'");
    const auto repoe = qScopeGuard([&] {
        executa("UPDATE RECDIS SET TIPO='PR' WHERE TIPO='P9'");
        executa("UPDATE DESDIS SET TIPO='PR' WHERE TIPO='P9'");
    });
    const Execucao r = roda4(2);
    EXPECT_TRUE(nq::despejo(r.documento).contains("NÃO POSSUI REGIME PRÓPRIO DE PREVIDÊNCIA!"));
}

TEST_F(Anexo4, PaginasDoSextoBimestreIguaisAsDeReferenciaECsvIgualAoPdf) {
    const Execucao r = roda4(6);
    ASSERT_FALSE(r.documento.paginas.empty());
    comparaComGoldenDoAnexo("anexo4", "anexo4_bim6", nq::despejo(r.documento));
    // The two financial halves print side by side, so the PDF's reading order
    // interleaves them: compare as collections.
    QStringList csv = valoresDoCsv(r.figuras);
    QStringList pdf = figurasImpressas(r.documento, dados() + "anexo4.pdf");
    csv.sort();
    pdf.sort();
    EXPECT_EQ(csv, pdf);
}

TEST_F(Anexo4, PlanilhaRecebeAsLinhasDeValorNasCelulasDoModelo4) {
    const QString tce = dados() + "tce.xls";
    QFile(tce).open(QIODevice::WriteOnly);
    valores.definePlanilha(tce);
    Celulas celulas;
    valores.defineFabricaDePlanilha([&] { return planilhaEmMemoria(celulas); });
    const Execucao r = roda4(3, true);
    const auto celula = [&](const char* folha, const char* endereco) {
        const auto& f = celulas[folha];
        const auto c = f.find(endereco);
        return c == f.end() ? QStringLiteral("<vazia>") : QString::number(c->second, 'f', 2);
    };
    const auto de = [&](const char* quadro, const char* id, const QString& campo) {
        return QString::number(r.valor(quadro, id, campo).paraDouble(), 'f', 2);
    };
    EXPECT_EQ(celula("Com", "AR6"), "8.00");
    EXPECT_EQ(celula("Com", "AH6"), "3.00");
    EXPECT_EQ(celula("Com", "AJ6"), "6.00");
    EXPECT_EQ(celula("mod 4", "C12"), de("cdsRec", "00010", "PREVISAO_ANUAL"));
    EXPECT_EQ(celula("mod 4", "F13"), de("cdsRec", "00020", "ACUMULADO")); // six bimesters, 3 run
    EXPECT_EQ(celula("mod 4", "G24"), de("cdsDes", "00010", "LIQACU"));
    EXPECT_EQ(celula("mod 4", "C40"), de("cdsRecFin", "00040", "REALIZADO_BIM3"));
    EXPECT_EQ(celula("mod 4", "G42"), de("cdsDesFin", "00070", "REALIZADA_BIM3"));
    // Totals, result and balances are the workbook's own.
    EXPECT_EQ(celula("mod 4", "C20"), "<vazia>");
    EXPECT_EQ(celula("mod 4", "B28"), "<vazia>");
    EXPECT_EQ(celulas["mod 4"].size(), 8u * 4 + 4u * 6 + 5u + 5u);
}

} // namespace
