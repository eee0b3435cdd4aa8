#include "apoio_anexo1.h"

#include "annexes/anexo1/anexo1.h"
#include "app/lote.h"
#include "core/configuracao.h"
#include "core/erro.h"
#include "demo/demo.h"
#include "workbook/libreoffice.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QString erroDe(const QStringList& argumentos) {
    try {
        nq::leOpcoesDoLote(QStringList{"nq404"} + argumentos);
    } catch (const nq::Erro& e) {
        return e.texto();
    }
    return {};
}

QStringList linhasDe(const QString& arquivo) {
    QFile f(arquivo);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts);
}

QByteArray conteudo(const QString& arquivo) {
    QFile f(arquivo);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(LoteOpcoes, EntradaRuimDizOQueEstaErrado) {
    EXPECT_EQ(erroDe({"--anexo", "9"}),
              "Anexo desconhecido: \"9\". Use 1, 1b, 2, 3, 4, 5, 6, 7, 8, 10 ou rgf.");
    EXPECT_EQ(erroDe({"--bimestre", "7"}), "Bimestre inválido: \"7\" (de 1 a 6).");
    EXPECT_EQ(erroDe({"--bimestre=0"}), "Bimestre inválido: \"0\" (de 1 a 6).");
    EXPECT_EQ(erroDe({"--bimestre", "três"}), "Bimestre inválido: \"três\" (de 1 a 6).");
    EXPECT_EQ(erroDe({"--responder", "talvez"}), "Resposta inválida: \"talvez\" (sim ou nao).");
    EXPECT_EQ(erroDe({"--formato", "x"}), "Opção desconhecida: --formato.");
    EXPECT_EQ(erroDe({"--pdf"}), "Falta o valor da opção --pdf.");
    EXPECT_EQ(erroDe({"anexo1.pdf"}), "Argumento inesperado: \"anexo1.pdf\".");

    const nq::OpcoesDoLote o = nq::leOpcoesDoLote(
        {"nq404", "--anexo", "1B", "--bimestre=3", "--responder", "sim", "--pdf", "a.pdf"});
    EXPECT_EQ(o.anexo, "1b");
    EXPECT_EQ(o.bimestre, 3);
    EXPECT_TRUE(o.responde);
    EXPECT_EQ(o.pdf, "a.pdf");
    EXPECT_TRUE(nq::leOpcoesDoLote({"nq404", "--help"}).ajuda);
    EXPECT_TRUE(nq::ajudaDoLote().contains("--planilha-saida"));
    EXPECT_TRUE(nq::leOpcoesDoLote({"nq404", "--lista-anexos"}).listaAnexos);
    EXPECT_EQ(nq::listaDeAnexos({{"Form101", {}}, {"ImpAnexo1", {}}}), QStringList({"1", "rgf"}));
}

class Lote : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        garanteAplicacao();
        tmp_ = new QTemporaryDir;
        demo_ = new nq::demo::Demonstracao(nq::demo::criaBancoDeTeste(tmp_->path() + "/banco"));
    }
    static void TearDownTestSuite() {
        nq::defineCaminhoVexoIni({});
        delete demo_;
        delete tmp_;
    }

    nq::OpcoesDoLote opcoes(int bimestre) const {
        nq::OpcoesDoLote o;
        o.anexo = "1";
        o.bimestre = bimestre;
        o.ini = demo_->ini;
        o.pdf = saida.filePath("anexo1.pdf");
        o.csv = saida.filePath("anexo1.csv");
        return o;
    }
    int executa(const nq::OpcoesDoLote& o) const { return nq::executaLote(o, anexos); }

    // A workbook of the Court of Accounts' layout, with the deductions line's caption.
    QString planilha(const QString& legenda) const {
        nq::LibreOffice office;
        auto p = office.novaPlanilha();
        p->criaNova({"Com", "mod1 6b"});
        p->selecionaFolha("mod1 6b");
        p->escreveTexto("A26", legenda);
        const QString arquivo = saida.filePath("tce.xls");
        p->salvaComo(arquivo);
        p->fecha();
        return arquivo;
    }

    nq::AnexosDisponiveis anexos{
        {"ImpAnexo1", [](QWidget* dono) -> QWidget* { return new nq::TImpAnexo1(dono); }}};
    QTemporaryDir saida;
    static inline QTemporaryDir* tmp_ = nullptr;
    static inline nq::demo::Demonstracao* demo_ = nullptr;
};

TEST_F(Lote, EntradaRuimTerminaComStatusDoisSemDeixarArquivos) {
    nq::OpcoesDoLote o = opcoes(3);
    o.anexo = "2";
    EXPECT_EQ(executa(o), 2); // not in this build
    o = opcoes(3);
    o.ini = saida.filePath("nao-existe/Vexo.ini");
    EXPECT_EQ(executa(o), 2);
    o = opcoes(3);
    o.csv = saida.filePath("sem-diretorio/anexo1.csv");
    EXPECT_EQ(executa(o), 2);
    o = opcoes(3);
    o.pdf = saida.path(); // a directory
    EXPECT_EQ(executa(o), 2);
    o = opcoes(0);
    EXPECT_EQ(executa(o), 2);
    o = opcoes(3);
    o.planilha = saida.filePath("nao-existe.xls");
    o.planilhaSaida = saida.filePath("preenchida.xls");
    EXPECT_EQ(executa(o), 2);
    EXPECT_EQ(QDir(saida.path()).entryList(QDir::Files | QDir::NoDotAndDotDot), QStringList());
}

TEST_F(Lote, PdfECsvDoTerceiroBimestre) {
    const nq::OpcoesDoLote o = opcoes(3);
    ASSERT_EQ(executa(o), 0);
    const QStringList csv = linhasDe(o.csv);
    ASSERT_GT(csv.size(), 1);
    EXPECT_EQ(csv.first(), "quadro;id;descricao;coluna;valor");
    EXPECT_TRUE(csv.contains("cdsRec;00010;Receitas Correntes (A);PREVISTO_BIM3;0.00"));

    QProcess p;
    p.start("pdftotext", {"-layout", o.pdf, "-"});
    ASSERT_TRUE(p.waitForFinished(30000));
    const QString texto = QString::fromUtf8(p.readAllStandardOutput());
    EXPECT_TRUE(texto.contains("3º BIMESTRE DE 2008"));
    EXPECT_TRUE(texto.contains("SUPERÁVIT/DÉFICIT (A+B-C-D)"));
}

TEST_F(Lote, PlanilhaDeOutraVersaoFicaIntactaESemCopia) {
    const QString tce = planilha("Deduções");
    const QByteArray antes = conteudo(tce);
    nq::OpcoesDoLote o = opcoes(2);
    o.planilha = tce;
    o.planilhaSaida = saida.filePath("preenchida.xls");
    o.responde = true;
    EXPECT_EQ(executa(o), 1);
    EXPECT_EQ(conteudo(tce), antes);
    EXPECT_FALSE(QFile::exists(o.planilhaSaida));
}

TEST_F(Lote, PlanilhaRecebeARedutoraComSinalInvertido) {
    nq::OpcoesDoLote o = opcoes(2);
    o.planilha = planilha("(-) Contas Redutoras");
    o.planilhaSaida = saida.filePath("preenchida.xls");
    o.responde = true;
    ASSERT_EQ(executa(o), 0);

    QString realizado;
    for (const QString& l : linhasDe(o.csv))
        if (l.startsWith("cdsRec;00145;") && l.section(';', 3, 3) == "REALIZADO_BIM2")
            realizado = l.section(';', 4);
    ASSERT_TRUE(realizado.startsWith('-')) << realizado.toStdString();

    nq::LibreOffice office;
    auto p = office.novaPlanilha();
    p->abre(o.planilhaSaida);
    p->selecionaFolha("mod1 6b");
    EXPECT_EQ(p->le("G26").numero, -realizado.toDouble());
    p->selecionaFolha("Com");
    EXPECT_EQ(p->le("AH6").numero, 2);
    p->fecha();
}

} // namespace
