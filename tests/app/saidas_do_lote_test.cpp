#include "app/interrupcao_do_lote.h"
#include "app/saidas_do_lote.h"

#include "core/erro.h"
#include "core/gravacao_atomica.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using nq::ArquivoDoLote;

QString recusa(const std::vector<ArquivoDoLote>& entradas, const std::vector<ArquivoDoLote>& saidas,
               const QString& dados = {}) {
    try {
        nq::verificaSaidas(entradas, saidas, dados);
    } catch (const nq::Erro& e) {
        return e.texto();
    }
    return {};
}

void cria(const QString& arquivo, const QByteArray& dados = "x") {
    QFile f(arquivo);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(dados);
}

class SaidasDoLote : public ::testing::Test {
protected:
    void SetUp() override {
        QDir(tmp.path()).mkdir("ARQ2008");
        cria(banco);
        cria(digitado);
    }
    QString p(const QString& nome) const { return tmp.filePath(nome); }

    QTemporaryDir tmp;
    const QString dados = tmp.filePath("ARQ2008");
    const QString banco = tmp.filePath("ARQ2008/VEXO2008.FDB");
    const QString digitado = tmp.filePath("ARQ2008/NQ404_Anexo1_Receita.xml");
    std::vector<ArquivoDoLote> entradas{{"o banco de dados do ano", banco},
                                        {"um arquivo da pasta de dados", digitado}};
};

TEST_F(SaidasDoLote, SaidaQueEhUmaEntradaPorQualquerCaminhoERecusada) {
    EXPECT_EQ(recusa(entradas, {{"--pdf", banco}}),
              QString("Saída recusada: --pdf (%1) é o banco de dados do ano, que esta execução "
                      "lê ou grava.")
                  .arg(banco));
    // Through "..", a symbolic link and a hard link.
    EXPECT_FALSE(recusa(entradas, {{"--csv", dados + "/../ARQ2008/VEXO2008.FDB"}}).isEmpty());
    ASSERT_TRUE(QFile::link(digitado, p("atalho.xml")));
    EXPECT_TRUE(recusa(entradas, {{"--csv", p("atalho.xml")}}).contains("um arquivo da pasta"));
    ASSERT_EQ(
        ::link(QFile::encodeName(banco).constData(), QFile::encodeName(p("duro")).constData()), 0);
    EXPECT_FALSE(recusa(entradas, {{"--pdf", p("duro")}}).isEmpty());
    // A typed file the run has not created yet is the program's all the same.
    EXPECT_TRUE(recusa(entradas, {{"--csv", dados + "/nq404_anexo3_2008.XML"}}, dados)
                    .contains("nome de um arquivo do próprio programa na pasta de dados"));
    EXPECT_EQ(recusa(entradas, {{"--csv", dados + "/anexo1.csv"}}, dados), "");
}

TEST_F(SaidasDoLote, SaidasDistintasEArquivosComunsOuNovos) {
    EXPECT_EQ(recusa(entradas, {{"--pdf", p("a")}, {"--csv", p("./a")}}),
              QString("Saída recusada: --csv (%1) é o mesmo arquivo que --pdf; cada saída "
                      "precisa de um arquivo seu.")
                  .arg(p("./a")));
    cria(p("existe.pdf"));
    EXPECT_FALSE(
        recusa(entradas, {{"--pdf", p("existe.pdf")}, {"--csv", p("existe.pdf")}}).isEmpty());

    ASSERT_EQ(::mkfifo(QFile::encodeName(p("fila")).constData(), 0600), 0);
    EXPECT_TRUE(recusa(entradas, {{"--csv", p("fila")}})
                    .endsWith("é um FIFO (pipe com nome), não um arquivo comum."));
    EXPECT_TRUE(recusa(entradas, {{"--csv", "/dev/null"}})
                    .endsWith("é um dispositivo, não um arquivo comum."));
    EXPECT_TRUE(recusa(entradas, {{"--pdf", tmp.path()}}).endsWith("é uma pasta."));
    ASSERT_TRUE(QFile::link(p("nada"), p("quebrado")));
    EXPECT_TRUE(recusa(entradas, {{"--pdf", p("quebrado")}})
                    .endsWith("atalho para um arquivo que não existe."));
    EXPECT_TRUE(
        recusa(entradas, {{"--pdf", p("sem/a.pdf")}}).endsWith("está numa pasta que não existe."));
    EXPECT_EQ(
        recusa(entradas,
               {{"--pdf", p("existe.pdf")}, {"--csv", p("novo.csv")}, {"--planilha-saida", ""}}),
        "");
    EXPECT_EQ(QFileInfo(p("fila")).isFile(), false);
}

TEST_F(SaidasDoLote, SaidasProvisoriasSoAparecemNoFim) {
    cria(p("anexo1.pdf"), "anterior");
    {
        nq::SaidasProvisorias s;
        const QString pdf = s.reserva(p("anexo1.pdf"));
        const QString csv = s.reserva(p("anexo1.csv"));
        EXPECT_EQ(QFileInfo(pdf).absolutePath(), tmp.path());
        nq::gravaArquivoAtomico(pdf, "novo");
        EXPECT_TRUE(s.escrita(p("anexo1.pdf")));
        EXPECT_FALSE(s.escrita(p("anexo1.csv")));
        EXPECT_EQ(s.semNomesProvisorios("falha em " + csv), "falha em " + p("anexo1.csv"));
        // The run failed: nothing of it stays, the earlier file is untouched.
    }
    QFile f(p("anexo1.pdf"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), "anterior");
    f.close();
    EXPECT_EQ(QDir(tmp.path()).entryList(QDir::Files | QDir::Hidden).join(','), "anexo1.pdf");

    nq::SaidasProvisorias s;
    nq::gravaArquivoAtomico(s.reserva(p("anexo1.pdf")), "novo");
    nq::gravaArquivoAtomico(s.reserva(p("anexo1.csv")), "csv");
    s.confirma();
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), "novo");
    QStringList nomes = QDir(tmp.path()).entryList(QDir::Files | QDir::Hidden);
    std::sort(nomes.begin(), nomes.end());
    EXPECT_EQ(nomes.join(','), "anexo1.csv,anexo1.pdf");
}

// A signal while the outputs are put in place waits for them to be complete.
TEST(InterrupcaoDoLote, SinalDuranteAConfirmacaoEsperaAsSaidas) {
    QTemporaryDir tmp;
    const QString pdf = tmp.filePath("anexo1.pdf");
    EXPECT_EXIT(
        {
            nq::InterrupcaoDoLote interrupcao;
            interrupcao.adiaDurante([&] {
                std::raise(SIGTERM);
                nq::gravaArquivoAtomico(pdf, "completo");
            });
        },
        testing::ExitedWithCode(143), "depois de gravar os arquivos de saída");
    QFile f(pdf);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), "completo");
}

} // namespace
