#include "apoio_anexos.h"

#include "app/anexos_do_programa.h"
#include "app/lote.h"
#include "core/configuracao.h"
#include "core/erro.h"
#include "entry/catalogo.h"
#include "tables/clientdataset.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>

namespace {

QStringList linhasDe(const QString& arquivo) {
    QFile f(arquivo);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts);
}

QString textoDoPdf(const QString& pdf) {
    QProcess p;
    p.start("pdftotext", {"-layout", pdf, "-"});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// Annexes 6, 7 and 8 as the bimester's close runs them, through the program's own launcher.
class LoteDosAnexos : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        apoio::garanteAplicacao();
        tmp_ = new QTemporaryDir;
        demo_ = new nq::demo::Demonstracao(nq::demo::criaBancoDeTeste(tmp_->path() + "/banco"));
    }
    static void TearDownTestSuite() {
        nq::defineCaminhoVexoIni({});
        delete demo_;
        delete tmp_;
    }
    nq::OpcoesDoLote opcoes(const QString& anexo, int bimestre) const {
        nq::OpcoesDoLote o;
        o.anexo = anexo;
        o.bimestre = bimestre;
        o.ini = demo_->ini;
        o.pdf = saida.filePath("anexo.pdf");
        o.csv = saida.filePath("anexo.csv");
        return o;
    }
    static QString dados() { return demo_->raiz + "ARQ2008/"; }

    QTemporaryDir saida;
    static inline QTemporaryDir* tmp_ = nullptr;
    static inline nq::demo::Demonstracao* demo_ = nullptr;
};

TEST_F(LoteDosAnexos, JustificativaDaLinhaDeComando) {
    EXPECT_EQ(nq::leOpcoesDoLote({"nq404", "--justificativa", "Texto curto"}).justificativa,
              std::optional<QString>("Texto curto"));
    EXPECT_FALSE(nq::leOpcoesDoLote({"nq404", "--anexo", "7"}).justificativa);
    EXPECT_THROW(nq::leOpcoesDoLote({"nq404", "--justificativa", QString(701, 'x')}), nq::Erro);
    EXPECT_TRUE(nq::ajudaDoLote().contains("--justificativa TEXTO"));

    // Operations typed for the prefecture that no capital expenditure covers.
    const nq::DescricaoArquivo& d = nq::descricao(nq::ArquivoDigitado::Anexo7);
    nq::ClientDataSet digitado;
    for (const nq::FieldDef& c : d.colunas)
        digitado.addField(c.name, c.kind, c.size);
    digitado.createDataSet();
    digitado.append();
    digitado.fieldByName("DESPESA").setAsString("0200.00.00");
    digitado.fieldByName("OPE_CRE_EXR").setAsCurrency(nq::Moeda::deInteiro(900000000));
    digitado.post();
    digitado.saveToFile(dados() + d.nome());

    nq::OpcoesDoLote o = opcoes("7", 2);
    o.justificativa = "Operações de crédito acima da despesa de capital: obra em andamento.";
    ASSERT_EQ(nq::executaLote(o, nq::anexosDoPrograma()), 0);
    EXPECT_TRUE(textoDoPdf(o.pdf).contains("obra em andamento"));
    const QStringList csv = linhasDe(o.csv);
    ASSERT_GT(csv.size(), 1);
    EXPECT_TRUE(csv[1].startsWith("cdsPrint;00010;PREFEITURA MUNICIPAL;PREV_INICIAL;"));

    // Without the option the dialog closes unsaved and the run goes on.
    o.justificativa.reset();
    o.pdf = saida.filePath("sem.pdf");
    ASSERT_EQ(nq::executaLote(o, nq::anexosDoPrograma()), 0);
    EXPECT_TRUE(textoDoPdf(o.pdf).contains("obra em andamento"));
}

TEST_F(LoteDosAnexos, AnexoOitoSemBimestre) {
    const nq::OpcoesDoLote o = opcoes("8", 0);
    ASSERT_EQ(nq::executaLote(o, nq::anexosDoPrograma()), 0);
    const QStringList csv = linhasDe(o.csv);
    ASSERT_EQ(csv.size(), 1 + 3 * 35);
    EXPECT_EQ(csv[1], "cdsProjecao;2008;;RECEITA;0.00");
    EXPECT_EQ(csv.last(), "cdsProjecao;2042;;RESULTADO;0.00");
    EXPECT_TRUE(textoDoPdf(o.pdf).contains("ANO DE 2008"));
}

TEST_F(LoteDosAnexos, AnexoSeisNoSextoBimestreComAsDuasTabelas) {
    const nq::OpcoesDoLote o = opcoes("6", 6);
    ASSERT_EQ(nq::executaLote(o, nq::anexosDoPrograma()), 0);
    const QStringList csv = linhasDe(o.csv);
    EXPECT_TRUE(csv.contains(QRegularExpression(
        "^cdsRestos;ADMINISTRAÇÃO DIRETA;ADMINISTRAÇÃO DIRETA;RP_EXER;\\d+\\.\\d\\d$")));
    EXPECT_TRUE(csv.contains(QRegularExpression(
        "^cdsRestos_Vinc;RECURSOS ORDINÁRIOS;Tesouro Municipal;DIS_FIN;-?\\d+\\.\\d\\d$")));
    EXPECT_TRUE(textoDoPdf(o.pdf).contains("DESTINAÇÃO DE RECURSOS"));
}

} // namespace
