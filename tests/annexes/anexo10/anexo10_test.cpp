#include "annexes/anexo10/anexo10.h"
#include "annexes/common/plano_figuras.h"
#include "apoio/falha_de_gravacao.h"
#include "apoio_anexos.h"
#include "app/lote.h"
#include "core/configuracao.h"
#include "core/erro.h"
#include "core/gravacao_atomica.h"
#include "entry/catalogo.h"
#include "entry/preparacoes.h"
#include "esperado_anexo10.h"
#include "report/despejo.h"
#include "tables/clientdataset.h"

#include <QComboBox>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <array>

using nq::Moeda;

namespace {

QString valor(int i) {
    return QStringLiteral("VALOR%1").arg(i);
}

// Every line's 24 month columns, the way the annex adds them up.
using Colunas = std::map<QString, std::array<Moeda, 25>>;

const QStringList ValoresDaPagina1 = {"00020", "00030", "00040", "00050", "00060", "00070",
                                      "00080", "00090", "00120", "00130", "00140", "00150"};
const QStringList ValoresDaPagina2 = {"00190", "00200", "00210", "00240"};

// The month columns of each value line from the generated exercises (the
// previous year's only when given), and the totals built from them.
Colunas esperadas(const Esperado10* anterior, const Esperado10& atual) {
    Colunas c;
    for (const QString& id : ValoresDaPagina1 + ValoresDaPagina2)
        for (int i = 1; i <= 12; ++i) {
            c[id][i] = anterior ? anterior->doMes(id, i) : Moeda();
            c[id][12 + i] = atual.doMes(id, i);
        }
    for (int i = 1; i <= 24; ++i) {
        for (const QString& id : ValoresDaPagina1)
            c[id < "00100" ? "00100" : "00160"][i] += c[id][i];
        c["00170"][i] = c["00100"][i] - c["00160"][i];
        c["00044"][i] = c["00190"][i] + c["00200"][i] + c["00210"][i];
        c["00250"][i] = c["00044"][i] - c["00240"][i];
    }
    return c;
}

// The printed twelve months ending with `mes`, and their total, of each line.
void confereImpresso(const Resultado& r, const Colunas& c, int mes) {
    for (const auto& [id, colunas] : c) {
        const QString quadro =
            ValoresDaPagina2.contains(id) || id >= "00250" || id == "00044" ? "cdsDP2" : "cdsDP1";
        Moeda total;
        for (int i = mes + 1; i <= mes + 12; ++i) {
            EXPECT_EQ(r.figura(quadro, id, valor(i)), colunas[i].texto(2)) << id.toStdString() << i;
            total += colunas[i];
        }
        EXPECT_EQ(r.figura(quadro, id, quadro == "cdsDP1" ? "Totais" : "ppVariable1"),
                  total.texto(2))
            << id.toStdString();
    }
}

QByteArray resumo(const QString& arquivo) {
    QFile f(arquivo);
    return f.open(QIODevice::ReadOnly)
               ? QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha1)
               : QByteArray();
}

class Anexo10Base : public BancoDeAnexos {
protected:
    explicit Anexo10Base(bool proprio = false) : BancoDeAnexos(proprio) {}
    Resultado roda10(int mes, std::vector<bool> respostas = {}) {
        return rodaJanela<nq::TImpAnexo10>(
            [mes](nq::TImpAnexo10& j) { j.combomes->setCurrentIndex(mes - 1); },
            std::move(respostas));
    }
    QString dp(int mes) const { return nq::TImpAnexo10::arquivoDp(dados(), mes); }
    QString digitado() const { return nq::caminhoArquivo(dados(), nq::ArquivoDigitado::Anexo10); }
    // Types `campos` on the line `id` of the typed file.
    void digita(const QString& id, const std::map<QString, nq::Value>& campos) {
        ::digita(digitado(), nq::ArquivoDigitado::Anexo10, nq::Value(id), campos);
    }
};

class Anexo10 : public Anexo10Base {};
class Anexo10ComBancoProprio : public Anexo10Base {
protected:
    Anexo10ComBancoProprio() : Anexo10Base(true) {}
};
class Anexo10PorMes : public Anexo10Base,
                      public ::testing::WithParamInterface<std::tuple<int, bool>> {};

// A month of the first bimester (the twelve months cross into the year
// before) and December, with and without the previous year's database.
TEST_P(Anexo10PorMes, CadaFiguraIgualAsSomasDosExerciciosEArquivoDpIgualAoImpresso) {
    const auto [mes, comAnterior] = GetParam();
    if (comAnterior)
        abreAnoAnterior();
    const Esperado10 atual(demo().exercicios.atual, true);
    const Esperado10 anterior(demo().exercicios.anterior, true);
    const Colunas c = esperadas(comAnterior ? &anterior : nullptr, atual);

    nq::defineFigurasLiterais(false);
    const Resultado r = roda10(mes);
    confereImpresso(r, c, mes);
    EXPECT_NE(c.at("00170")[mes + 12], Moeda());
    // Title lines hold nothing: no month figure, a total of zero.
    EXPECT_EQ(r.figurasDaLinha("cdsDP1", "00010"), 1);
    EXPECT_EQ(r.figura("cdsDP2", "00180", "ppVariable1"), "0.00");
    EXPECT_TRUE(nq::despejo(r.documento)
                    .contains(mes == 2 ? "PODER EXECUTIVO MUNICIPAL - Março/2007 a Fevereiro/2008"
                                       : "PODER EXECUTIVO MUNICIPAL - Janeiro/2008 a "
                                         "Dezembro/2008"));

    // The DP file has the typed file's columns and every line; what it holds is what printed.
    EXPECT_FALSE(QFile::exists(nq::TImpAnexo10::arquivoCalculado(dados())));
    nq::ClientDataSet lido;
    lido.loadFromFile(dp(mes));
    QStringList colunas;
    for (const nq::FieldDef& f : nq::descricao(nq::ArquivoDigitado::Anexo10).colunas)
        colunas << f.name;
    EXPECT_EQ(lido.fieldNames(), colunas);
    EXPECT_EQ(lido.recordCount(), 25);
    int conferidas = 0;
    for (const nq::Figura& f : r.figuras) {
        if (!f.coluna.startsWith("VALOR"))
            continue;
        ASSERT_TRUE(lido.locate("ID", nq::Value(f.id)));
        EXPECT_EQ(lido.fieldByName(f.coluna).asCurrency().texto(2), f.valor);
        ++conferidas;
    }
    EXPECT_EQ(conferidas, 12 * 21); // every line but the four headings

    // Figures answered one statement at a time are the same.
    nq::defineFigurasLiterais(true);
    const Resultado literal = roda10(mes);
    nq::defineFigurasLiterais(false);
    ASSERT_EQ(literal.figuras.size(), r.figuras.size());
    for (size_t i = 0; i < r.figuras.size(); ++i)
        EXPECT_EQ(literal.figuras[i].valor, r.figuras[i].valor) << i;
}

INSTANTIATE_TEST_SUITE_P(Meses, Anexo10PorMes,
                         ::testing::Combine(::testing::Values(2, 12), ::testing::Bool()));

// A chamber: no entity left out. Typed figures add to the month; subtotals keep
// theirs; a line of an older file (SEQ 0) and a revenue line among the
// deductions count by their SEQ; a typed heading prints.
TEST_F(Anexo10ComBancoProprio, CamaraDigitadosELinhasAntigasSomamPelasFaixasDeSeq) {
    executa("UPDATE CADCLI SET CLNT1 = 'Câmara Municipal de São Bento da Serra'");
    nq::PreparaAnexo10(dados());
    const auto m = [](int reais) { return nq::Value(Moeda::deInteiro(reais)); };
    digita("00020", {{valor(16), m(100)}});
    digita("00100", {{valor(16), m(7)}});
    digita("00110", {{valor(16), m(3)}});
    digita("00095", {{"NOME", nq::Value("  Outras variáveis")},
                     {"TITULO", nq::Value("VA")},
                     {"SEQ", nq::Value(0)},
                     {"FILTRO", nq::Value("H.CATEC LIKE '3.1.__.16%'")}});
    digita("00125", {{"NOME", nq::Value("  Contribuição do servidor")},
                     {"TITULO", nq::Value("VC")},
                     {"SEQ", nq::Value(13)},
                     {"FILTRO", nq::Value("AND CODRE LIKE '1210.29.07%'")}});
    const QByteArray antes = resumo(digitado());
    Pasta pasta;
    usaPlanilhaNaMemoria(pasta);

    const Resultado r = roda10(4, {true});
    const auto& ex = exercicio();
    const Esperado10 e(ex, false);
    Moeda variaveis, contribuicao;
    for (const auto& em : ex.empenhos)
        if (em.catec == "3.1.90.16" && em.data.month() == 4)
            variaveis += centavos(em.valor);
    for (const auto& rec : ex.receitas)
        if (ex.fichasReceita.at(rec.ficha - 1).codre.startsWith("1210.29.07") &&
            rec.lancamento.month() == 4)
            contribuicao += centavos(rec.valor);
    ASSERT_NE(variaveis, Moeda());
    Moeda subtotal = Moeda::deInteiro(107) + variaveis, deducoes = contribuicao;
    for (const QString& id : ValoresDaPagina1)
        (id < "00100" ? subtotal : deducoes) += e.doMes(id, 4);
    EXPECT_EQ(r.figura("cdsDP1", "00020", valor(16)),
              (e.doMes("00020", 4) + Moeda::deInteiro(100)).texto(2));
    EXPECT_EQ(r.figura("cdsDP1", "00095", valor(16)), variaveis.texto(2));
    EXPECT_EQ(r.figura("cdsDP1", "00125", valor(16)), contribuicao.texto(2));
    EXPECT_EQ(r.figura("cdsDP1", "00100", valor(16)), subtotal.texto(2));
    EXPECT_EQ(r.figura("cdsDP1", "00160", valor(16)), deducoes.texto(2));
    EXPECT_EQ(r.figura("cdsDP1", "00170", valor(16)), (subtotal - deducoes).texto(2));
    EXPECT_EQ(r.figura("cdsDP1", "00110", valor(16)), "3.00");
    EXPECT_EQ(r.figura("cdsDP1", "00110", valor(15)), "<ausente>");
    EXPECT_EQ(r.figura("cdsDP2", "00250", valor(16)), (e.doMes("00190", 4) + e.doMes("00200", 4) +
                                                       e.doMes("00210", 4) - e.doMes("00240", 4))
                                                          .texto(2));
    EXPECT_TRUE(
        nq::despejo(r.documento).contains("PODER LEGISLATIVO MUNICIPAL - Maio/2007 a Abril/2008"));
    EXPECT_EQ(resumo(digitado()), antes);

    // The chamber's rows of page 1; page 2 is the executive's only.
    ASSERT_TRUE(pasta.mostrada);
    EXPECT_EQ(pasta.folhas["Com"]["AR6"].texto, "2008");
    EXPECT_EQ(pasta.folhas["Com"]["AH6"].texto, "2");
    EXPECT_EQ(pasta.folhas["Com"]["AJ6"].texto, "4");
    EXPECT_DOUBLE_EQ(pasta.numero("Anexo1mod10", "M11"),
                     (e.doMes("00020", 4) + Moeda::deInteiro(100)).paraDouble());
    EXPECT_DOUBLE_EQ(pasta.numero("Anexo1mod10", "M24"), e.doMes("00150", 4).paraDouble());
    EXPECT_EQ(pasta.folhas["Anexo1mod10"].count("B29"), 0u);

    // An odd month: no DP file and no workbook.
    const Resultado marco = roda10(3, {true});
    EXPECT_FALSE(marco.documento.paginas.empty());
    EXPECT_FALSE(QFile::exists(dp(3)));
    EXPECT_FALSE(marco.perguntou("Deseja Exportar os Dados para a Planilha do TCE ?"));
    EXPECT_FALSE(QFile::exists(nq::TImpAnexo10::arquivoCalculado(dados())));
}

TEST_F(Anexo10, PlanilhaDoExecutivoRecebeAsDuasPaginasDoMaisAntigoAoMesDeReferencia) {
    Pasta pasta;
    usaPlanilhaNaMemoria(pasta);
    const Resultado r = roda10(4, {true});
    const auto numero = [&](const QString& id, int i) {
        return r.tabelas.at(id >= "00180" && id != "00044" ? "ppDBPipeline2" : "ppDBPipeline1")
            .at(id)
            .at(valor(i))
            .asCurrency()
            .paraDouble();
    };
    const std::pair<const char*, int> linhas[] = {
        {"00020", 10}, {"00150", 23}, {"00190", 29}, {"00240", 34}};
    for (const auto& [id, linha] : linhas)
        for (int k = 0; k < 12; ++k)
            EXPECT_DOUBLE_EQ(pasta.numero("Anexo1mod10", QChar('B' + k) + QString::number(linha)),
                             numero(id, 5 + k))
                << id << k;
    EXPECT_EQ(pasta.folhas["Anexo1mod10"].count("B19"), 0u); // a subtotal
}

TEST_F(Anexo10, SemMesOuSemCopiaDoArquivoNadaEhImpresso) {
    const Resultado semMes = rodaJanela<nq::TImpAnexo10>([](nq::TImpAnexo10&) {}, {});
    EXPECT_TRUE(semMes.perguntou("Especifique o Mês!"));
    EXPECT_TRUE(semMes.documento.paginas.empty());

    // The computed file cannot be written: a directory holds its name.
    ASSERT_TRUE(QDir(dados()).mkdir("nq404_anx10c.xml"));
    const Resultado r = roda10(4);
    EXPECT_TRUE(r.perguntou("Erro ao Gerar o Relatorio!!!! Tente Novamente, persistindo o Erro "
                            "entre em Contato com o Suporte da Marandu"));
    EXPECT_TRUE(r.documento.paginas.empty());
    EXPECT_FALSE(QFile::exists(dp(4)));
}

// The DP file is kept as the preview closes: a full disk keeps the earlier one
// whole and says so; an interrupted run leaves no computed file behind.
TEST_F(Anexo10, DpGuardadoInteiroOuNaoGuardadoECalculadoNuncaFica) {
    roda10(4);
    const QByteArray anterior = resumo(dp(4));
    ASSERT_FALSE(anterior.isEmpty());
    digita("00020", {{valor(16), nq::Value(Moeda::deInteiro(5))}});
    {
        GravacaoQueFalha cheio(nq::PassoDaGravacao::Escreve, ENOSPC, "DP04");
        try {
            roda10(4);
            ADD_FAILURE() << "a full disk went unnoticed";
        } catch (const nq::Erro& e) {
            EXPECT_TRUE(e.texto().contains("disco cheio")) << e.texto().toStdString();
        }
    }
    EXPECT_EQ(resumo(dp(4)), anterior);
    const QString calculado = nq::TImpAnexo10::arquivoCalculado(dados());
    EXPECT_FALSE(QFile::exists(calculado));

    // The disk is full when the totals are saved, after the copy was made.
    int gravacoes = 0;
    nq::FalhaDeGravacao antes =
        nq::injetaFalhaDeGravacao([&](nq::PassoDaGravacao passo, const QString& destino) {
            const bool doCalculado = passo == nq::PassoDaGravacao::Cria &&
                                     destino.endsWith("NQ404_ANX10C.XML", Qt::CaseInsensitive);
            return doCalculado && ++gravacoes == 2 ? ENOSPC : 0;
        });
    EXPECT_THROW(roda10(4), nq::Erro);
    nq::injetaFalhaDeGravacao(antes);
    EXPECT_EQ(gravacoes, 2);
    EXPECT_FALSE(QFile::exists(calculado));

    // A signal while the preview is open: what a batch run's handler does.
    bool calculadoFicou = true;
    antes = nq::injetaFalhaDeGravacao([&](nq::PassoDaGravacao passo, const QString& destino) {
        if (passo == nq::PassoDaGravacao::Cria && destino.contains("DP04")) {
            nq::removeArquivosPendentes();
            calculadoFicou = QFile::exists(calculado);
        }
        return 0;
    });
    roda10(4);
    nq::injetaFalhaDeGravacao(antes);
    EXPECT_FALSE(calculadoFicou);
    EXPECT_NE(resumo(dp(4)), anterior);
}

TEST_F(Anexo10, PaginasDeReferenciaECsvIgualAoPdf) {
    const Resultado r = roda10(4);
    ASSERT_EQ(r.documento.paginas.size(), 2u);
    comparaComGoldenDoAnexo("anexo10", "anexo10_mes04", nq::despejo(r.documento));
    EXPECT_EQ(valoresDoCsv(r.figuras), figurasImpressas(r.documento, dados() + "anexo10.pdf"));
}

} // namespace

namespace {

QString erroDasOpcoes(const QStringList& argumentos) {
    try {
        const nq::OpcoesDoLote o = nq::leOpcoesDoLote(QStringList{"nq404"} + argumentos);
        nq::verificaLote(o, {{"ImpAnexo1", {}}, {"ImpAnexo10", {}}});
    } catch (const nq::Erro& e) {
        return e.texto();
    }
    return {};
}

// A batch run ends as closing the preview does: an even month leaves its DP file.
TEST(Anexo10EmLote, MesDaListaPdfCsvEArquivoDp) {
    EXPECT_EQ(erroDasOpcoes({"--anexo", "10", "--mes", "13"}), "Mês inválido: \"13\" (de 1 a 12).");
    EXPECT_EQ(erroDasOpcoes({"--anexo", "10"}), "Indique o mês com --mes (de 1 a 12).");
    EXPECT_EQ(erroDasOpcoes({"--anexo", "1", "--bimestre", "2", "--mes", "4"}),
              "A opção --mes é só do anexo 10.");

    garanteAplicacao();
    QTemporaryDir tmp;
    const nq::demo::Demonstracao demo = nq::demo::criaBancoDeTeste(tmp.filePath("banco"));
    nq::OpcoesDoLote o;
    o.anexo = "10";
    o.mes = 4;
    o.ini = demo.ini;
    o.pdf = tmp.filePath("anexo10.pdf");
    o.csv = tmp.filePath("anexo10.csv");
    const int status = nq::executaLote(
        o, {{"ImpAnexo10", [](QWidget* dono) -> QWidget* { return new nq::TImpAnexo10(dono); }}});
    nq::defineCaminhoVexoIni({});
    ASSERT_EQ(status, 0);

    const QStringList valores = valoresDoCsv(nq::leFigurasCsv(o.csv));
    // Twelve months on every line but the headings, and every line's total.
    EXPECT_EQ(valores.size(), 21 * 12 + 25);
    EXPECT_EQ(valores, figurasDoPdf(o.pdf));
    EXPECT_TRUE(QFile::exists(nq::TImpAnexo10::arquivoDp(demo.raiz + "ARQ2008/", 4)));
}

} // namespace
