#include "core/erro.h"
#include "core/mensagens.h"
#include "processos.h"
#include "workbook/libreoffice.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>
#include <memory>

namespace nq {
namespace {

QByteArray conteudo(const QString& caminho) {
    QFile f(caminho);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The text of the nq::Erro that `f` throws; fails the test when it throws none.
template <typename F> QString erroDe(F&& f) {
    try {
        f();
    } catch (const Erro& e) {
        return e.texto();
    }
    ADD_FAILURE() << "nenhum erro";
    return {};
}

// One office for the whole suite: starting it is the slow part.
class PlanilhaTeste : public ::testing::Test {
protected:
    static void SetUpTestSuite() { office_ = new LibreOffice(); }
    static void TearDownTestSuite() {
        const pid_t grupo = office_->processo();
        delete office_;
        if (grupo > 0 && grupoVivo(grupo))
            ADD_FAILURE() << "o LibreOffice sobreviveu ao fim da suíte";
        office_ = nullptr;
    }

    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        office_->defineArquivoSaida({});
    }

    QString caminho(const QString& nome) const { return dir_.filePath(nome); }

    // A workbook shaped like the Court of Accounts' one, stored as ".xls".
    QString criaPasta(const QString& nome) {
        auto p = office_->novaPlanilha();
        p->criaNova({"mod 5", "Com", "mod1 6b"});
        p->selecionaFolha("mod 5");
        p->escreveTexto("A53", "Versão 2006");
        p->selecionaFolha("mod1 6b");
        p->escreveTexto("A26", "(-)Contas Redutoras");
        p->salvaComo(caminho(nome));
        return caminho(nome);
    }

    static LibreOffice* office_;
    QTemporaryDir dir_;
};

LibreOffice* PlanilhaTeste::office_ = nullptr;

TEST_F(PlanilhaTeste, CelulasEscritasVoltamComSeusTiposAntesEDepoisDeGravar) {
    ASSERT_TRUE(QDir(dir_.path()).mkdir("Planilhas TCE"));
    const QString origem = criaPasta("Planilhas TCE/exportação #1.xls");
    auto p = office_->novaPlanilha();
    p->abre(origem);
    p->selecionaFolha("mod 5");
    EXPECT_EQ(p->leTexto("A53"), "Versão 2006");

    p->selecionaFolha("Com");
    p->escreveTexto("AR6", "6");
    p->escreveNumero("AH6", 3);
    p->escreveMoeda("B14", Moeda::deDezMilesimos(-12345678912345));
    p->escreveTexto("C14", "0123");
    p->escreveTexto("D14", "=1+1");
    p->escreveNumero("E14", 2004);
    p->escreveTexto("E14", "");

    auto confere = [](Planilha& q) {
        const auto ano = q.le("AR6");
        EXPECT_EQ(ano.tipo, ValorCelula::Tipo::Texto);
        EXPECT_EQ(ano.texto, "6");
        const auto bim = q.le("AH6");
        EXPECT_EQ(bim.tipo, ValorCelula::Tipo::Numero);
        EXPECT_EQ(q.leTexto("AH6"), "3");
        const auto valor = q.le("B14");
        EXPECT_EQ(valor.tipo, ValorCelula::Tipo::Numero);
        EXPECT_DOUBLE_EQ(valor.numero, -1234567891.2345);
        EXPECT_EQ(q.le("C14").tipo, ValorCelula::Tipo::Texto);
        EXPECT_EQ(q.leTexto("C14"), "0123");
        EXPECT_EQ(q.leTexto("D14"), "=1+1");
        EXPECT_EQ(q.le("E14").tipo, ValorCelula::Tipo::Vazio);
        EXPECT_EQ(q.leTexto("Z99"), "");
    };
    confere(*p);

    const QString saida = caminho("Planilhas TCE/saída 100%.xls");
    p->salvaComo(saida);
    p->fecha();
    p->abre(saida);
    p->selecionaFolha("Com");
    confere(*p);
    p->selecionaFolha("mod1 6b");
    EXPECT_EQ(p->leTexto("A26").left(3), "(-)");
}

TEST_F(PlanilhaTeste, EnderecosEFolhasInvalidosDaoErroComTexto) {
    auto p = office_->novaPlanilha();
    EXPECT_EQ(erroDe([&] { p->selecionaFolha("mod 5"); }), "Nenhuma planilha está aberta.");
    p->abre(criaPasta("tce.xls"));
    EXPECT_EQ(erroDe([&] { p->leTexto("A1"); }), "Nenhuma folha da planilha foi selecionada.");
    EXPECT_EQ(erroDe([&] { p->selecionaFolha("mod 9"); }),
              "A folha \"mod 9\" não existe na planilha.");
    p->selecionaFolha("Com");
    for (const char* endereco : {"", "A0", "6AR", "A 1", "ZZZZ1", "A1:B2"})
        EXPECT_FALSE(erroDe([&] { p->escreveNumero(endereco, 1); }).isEmpty()) << endereco;
    EXPECT_FALSE(erroDe([&] { p->escreveNumero("A1", std::nan("")); }).isEmpty());
    EXPECT_FALSE(erroDe([&] { p->criaNova({"Com", "Com"}); }).isEmpty());

    // The office's own first sheet may be asked for by name, and no other is left.
    p->criaNova({"Com", "Sheet1"});
    p->selecionaFolha("Sheet1");
    p->escreveNumero("A1", 1);
    p->salvaComo(caminho("duas.xls"));
    p->abre(caminho("duas.xls"));
    p->selecionaFolha("Com");
    EXPECT_FALSE(erroDe([&] { p->selecionaFolha("Sheet2"); }).isEmpty());
    p->selecionaFolha("Sheet1");
    EXPECT_EQ(p->leTexto("A1"), "1");
}

TEST_F(PlanilhaTeste, ArquivoAusenteOuQueNaoEhPlanilhaEhRecusadoSemSerTocado) {
    auto p = office_->novaPlanilha();
    EXPECT_TRUE(erroDe([&] { p->abre(caminho("nao_existe.xls")); }).contains("não existe"));

    const QString texto = caminho("notas.xls");
    QFile f(texto);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("isto nao e uma planilha;1;2\nlinha;3;4\n");
    f.close();
    const QByteArray antes = conteudo(texto);
    EXPECT_EQ(erroDe([&] { p->abre(texto); }),
              QString("O arquivo %1 não é uma planilha do Excel.").arg(texto));
    EXPECT_EQ(conteudo(texto), antes);
    EXPECT_EQ(erroDe([&] { p->selecionaFolha("Com"); }), "Nenhuma planilha está aberta.");
}

TEST_F(PlanilhaTeste, PlanilhaPreenchidaVaiParaOArquivoDeSaidaSemTocarNoOriginal) {
    const QString origem = criaPasta("tce.xls");
    const QByteArray antes = conteudo(origem);
    const QString saida = caminho("preenchida.xls");

    auto p = office_->novaPlanilha();
    p->abre(origem);
    p->selecionaFolha("Com");
    p->escreveNumero("AH6", 4);
    EXPECT_FALSE(erroDe([&] { p->mostra(); }).isEmpty()) << "sem arquivo de saída";
    EXPECT_TRUE(erroDe([&] { p->salvaComo(origem); }).contains("original"));

    office_->defineArquivoSaida(saida);
    auto q = office_->novaPlanilha();
    q->abre(origem);
    q->selecionaFolha("Com");
    q->escreveNumero("AH6", 4);
    q->mostra();
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList({"preenchida.xls", "tce.xls"}))
        << "nada além da saída, nem arquivo de trava, enquanto a planilha está aberta";
    q->fecha();
    p.reset();
    q.reset();

    EXPECT_EQ(conteudo(origem), antes);
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList({"preenchida.xls", "tce.xls"}));
    auto r = office_->novaPlanilha();
    r->abre(saida);
    r->selecionaFolha("Com");
    EXPECT_EQ(r->leTexto("AH6"), "4");
}

// Where Calc cannot be shown, the program keeps the filled workbook beside the
// original, says where, and leaves the original as it was.
TEST(PlanilhaSemJanelas, CopiaPreenchidaAoLadoDoOriginal) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    OpcoesLibreOffice opcoes;
    opcoes.copiaAoLadoDaOrigem = true;
    LibreOffice office(opcoes);
    const QString origem = dir.filePath("TCE 2008.xls");
    {
        auto p = office.novaPlanilha();
        p->criaNova({"Com"});
        p->salvaComo(origem);
    }
    const QByteArray antes = conteudo(origem);
    MensagensDeTeste registro;

    auto p = office.novaPlanilha();
    p->abre(origem);
    p->selecionaFolha("Com");
    p->escreveNumero("AH6", 4);
    p->mostra();
    p->fecha();

    const QString copia = dir.filePath("TCE 2008 - preenchida.xls");
    EXPECT_EQ(conteudo(origem), antes);
    ASSERT_EQ(registro->registro().size(), 1u);
    EXPECT_TRUE(registro->registro()[0].texto.contains(copia));
    auto q = office.novaPlanilha();
    q->abre(copia);
    q->selecionaFolha("Com");
    EXPECT_EQ(q->leTexto("AH6"), "4");
}

TEST(LibreOfficeAusente, DizQueNaoFoiEncontrado) {
    OpcoesLibreOffice opcoes;
    opcoes.programa = "/nao/existe/soffice.bin";
    LibreOffice office(opcoes);
    EXPECT_TRUE(erroDe([&] {
                    office.novaPlanilha();
                }).startsWith("O LibreOffice indicado na configuração"));
    EXPECT_EQ(office.processo(), 0);
}

} // namespace
} // namespace nq
