#include "apoio/aplicacao.h"
#include "apoio/falha_de_gravacao.h"
#include "app/planilha_tce.h"
#include "core/erro.h"
#include "core/mensagens.h"
#include "workbook/libreoffice.h"
#include "workbook/localiza_libreoffice.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace nq;

namespace {

QByteArray conteudo(const QString& caminho) {
    QFile f(caminho);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void grava(const QString& caminho, const QByteArray& bytes) {
    QFile f(caminho);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

class Corfoco : public ::testing::Test {
protected:
    void SetUp() override { defineCaminhoCorfocoIni(dir.filePath("corfoco.ini")); }
    void TearDown() override { defineCaminhoCorfocoIni({}); }
    QString ini() const { return dir.filePath("corfoco.ini"); }
    QTemporaryDir dir;
};

TEST_F(Corfoco, SemArquivoVazioEGravarCria) {
    EXPECT_EQ(lePlanilhaCorfoco(), "");
    gravaPlanilhaCorfoco("C:\\TCE\\Anexos, versão 2008.xls");
    EXPECT_EQ(conteudo(ini()), "[TCE]\r\nPLANILHA=C:\\TCE\\Anexos, versão 2008.xls\r\n");
    EXPECT_EQ(lePlanilhaCorfoco(), "C:\\TCE\\Anexos, versão 2008.xls");
}

TEST_F(Corfoco, OutrasLinhasFicam) {
    grava(ini(), "; ajustes\r\n[Geral]\r\nPlanilha=outra\r\n[tce]\r\nplanilha = /velha.xls\r\n"
                 "Outra=1\r\n");
    EXPECT_EQ(lePlanilhaCorfoco(), "/velha.xls");
    gravaPlanilhaCorfoco("/nova.xls");
    EXPECT_EQ(
        conteudo(ini()),
        "; ajustes\r\n[Geral]\r\nPlanilha=outra\r\n[tce]\r\nPLANILHA=/nova.xls\r\nOutra=1\r\n");

    // A section without the key gets it at its end, before the next section.
    grava(ini(), "[TCE]\nVersao=2\n\n[Outra]\nA=1\n");
    EXPECT_EQ(lePlanilhaCorfoco(), "");
    gravaPlanilhaCorfoco("/p.xls");
    EXPECT_EQ(conteudo(ini()), "[TCE]\r\nVersao=2\r\nPLANILHA=/p.xls\r\n\r\n[Outra]\r\nA=1\r\n");

    // A full disk: the file stays as it was and the message says which and why.
    {
        const GravacaoQueFalha falha(PassoDaGravacao::Escreve, ENOSPC);
        const QByteArray antes = conteudo(ini());
        try {
            gravaPlanilhaCorfoco("/outra.xls");
            ADD_FAILURE() << "gravou com o disco cheio";
        } catch (const Erro& e) {
            EXPECT_EQ(e.texto(),
                      QString("Não foi possível gravar o arquivo \"%1\": disco cheio.").arg(ini()));
        }
        EXPECT_EQ(conteudo(ini()), antes);
    }

    // Text written by a Windows program in its single-byte code page.
    grava(ini(), "[TCE]\r\nPLANILHA=C:\\Planilhas\\Ger\xeancia.xls\r\n");
    EXPECT_EQ(lePlanilhaCorfoco(), "C:\\Planilhas\\Gerência.xls");
}

TEST(VerificacaoDaPlanilha, RegrasSemAbrirNada) {
    EXPECT_EQ(celulaDaVersao(2005), "A51");
    EXPECT_EQ(celulaDaVersao(2006), "A53");
    EXPECT_TRUE(camaraNaVerificacao("CAMARA MUNICIPAL"));
    EXPECT_TRUE(camaraNaVerificacao("Camara Municipal"));
    EXPECT_TRUE(camaraNaVerificacao("CÂMARA MUNICIPAL"));
    // Only a to z are raised: "Câmara" becomes "CâM", neither form.
    EXPECT_FALSE(camaraNaVerificacao("Câmara Municipal"));
    EXPECT_FALSE(camaraNaVerificacao("Prefeitura"));

    // An empty path, a missing file and a chamber leave everything alone.
    MensagensDeTeste msgs;
    QTemporaryDir dir;
    const QString existente = dir.filePath("p.xls");
    grava(existente, "x");
    int aberturas = 0;
    const FabricaDePlanilha fabrica = [&]() -> std::unique_ptr<Planilha> {
        ++aberturas;
        return nullptr;
    };
    EXPECT_EQ(verificaPlanilha("", 2008, "Prefeitura", fabrica),
              ResultadoVerificacao::NaoVerificada);
    EXPECT_EQ(verificaPlanilha(dir.filePath("nao.xls"), 2008, "Prefeitura", fabrica),
              ResultadoVerificacao::NaoVerificada);
    EXPECT_EQ(verificaPlanilha(existente, 2008, "CAMARA MUNICIPAL", fabrica),
              ResultadoVerificacao::NaoVerificada);
    EXPECT_EQ(aberturas, 0);
    EXPECT_TRUE(msgs->registro().empty());
}

// The check against LibreOffice, with workbooks the tests make.
class VerificacaoNoLibreOffice : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        garanteAplicacao();
        office_ = new LibreOffice();
    }
    static void TearDownTestSuite() {
        delete office_;
        office_ = nullptr;
    }
    void SetUp() override {
        if (!libreOfficeInstalado())
            GTEST_SKIP() << "LibreOffice não instalado";
    }

    // A workbook with sheet "mod 5" (or another name) holding `a51` and `a53`.
    QString criaPasta(const QString& nome, const QString& a51, const QString& a53,
                      const QString& folha = "mod 5") {
        auto p = office_->novaPlanilha();
        p->criaNova({"Com", folha});
        p->selecionaFolha(folha);
        p->escreveTexto("A51", a51);
        p->escreveTexto("A53", a53);
        p->salvaComo(dir.filePath(nome));
        p->fecha();
        return dir.filePath(nome);
    }
    ResultadoVerificacao verifica(const QString& caminho, int exercicio) {
        msgs->limpa();
        const QByteArray antes = conteudo(caminho);
        const ResultadoVerificacao r = verificaPlanilha(caminho, exercicio, "Prefeitura Municipal",
                                                        [] { return office_->novaPlanilha(); });
        EXPECT_EQ(conteudo(caminho), antes) << "a verificação alterou o arquivo";
        return r;
    }

    static inline LibreOffice* office_ = nullptr;
    QTemporaryDir dir;
    MensagensDeTeste msgs;
};

const QString Abrindo = "A planilha será aberta para verificação da versão!";
const QString Compativel =
    "Versão da Planilha compativel para exportação dos dados. Calcule os anexos!";
const QString VersaoErrada = "A Planilha selecionada não está na versão Correta! Faça o download "
                             "da versão atualizada no site \"www.tce.sp.gov.br\" !";
const QString FalhaAoAbrir = "Ocorreu um Erro ao tentar abrir a Planilha selecionada!  Faça o "
                             "download da versão atualizada no site \"www.tce.sp.gov.br\" ! Erro: ";

TEST_F(VerificacaoNoLibreOffice, CelulaDaVersaoPorExercicio) {
    const QString ate2005 = criaPasta("v2005.xls", "Versão 2005", "Outra coisa");
    EXPECT_EQ(verifica(ate2005, 2005), ResultadoVerificacao::Compativel);
    EXPECT_EQ(msgs->textos(), QStringList({Abrindo, Compativel}));
    EXPECT_EQ(verifica(ate2005, 2006), ResultadoVerificacao::Incompativel);

    const QString desde2006 = criaPasta("v2006.xls", "", "versão 2006");
    EXPECT_EQ(verifica(desde2006, 2006), ResultadoVerificacao::Compativel);
    EXPECT_EQ(verifica(desde2006, 2005), ResultadoVerificacao::Incompativel);
    ASSERT_EQ(msgs->registro().size(), 2u);
    EXPECT_EQ(msgs->registro()[1].texto, VersaoErrada);
    EXPECT_EQ(msgs->registro()[1].titulo, "Operação Cancelada.");
    EXPECT_EQ(msgs->registro()[1].icone, Icone::Erro);
}

TEST_F(VerificacaoNoLibreOffice, ArquivoDanificadoOuSemFolha) {
    const QString danificado = dir.filePath("danificado.xls");
    QByteArray lixo("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1");
    lixo.append(4000, '\x5a');
    grava(danificado, lixo);
    EXPECT_EQ(verifica(danificado, 2008), ResultadoVerificacao::Falhou);
    ASSERT_EQ(msgs->registro().size(), 2u);
    EXPECT_TRUE(msgs->registro()[1].texto.startsWith(FalhaAoAbrir));
    EXPECT_GT(msgs->registro()[1].texto.size(), FalhaAoAbrir.size());
    EXPECT_EQ(msgs->registro()[1].titulo, "Operação Cancelada.");

    // A text file is not taken for a workbook through the text import.
    const QString texto = dir.filePath("texto.xls");
    grava(texto, "V;Versão 2008\nisto não é uma planilha\n");
    EXPECT_EQ(verifica(texto, 2008), ResultadoVerificacao::Falhou);

    const QString semFolha = criaPasta("sem_mod5.xls", "V", "V", "mod 4");
    EXPECT_EQ(verifica(semFolha, 2008), ResultadoVerificacao::Falhou);
    ASSERT_EQ(msgs->registro().size(), 2u);
    EXPECT_TRUE(msgs->registro()[1].texto.startsWith(FalhaAoAbrir));
    EXPECT_TRUE(msgs->registro()[1].texto.contains("mod 5"));

    // The office stays usable after the failures.
    EXPECT_EQ(verifica(criaPasta("boa.xls", "", "V2008"), 2008), ResultadoVerificacao::Compativel);
}

} // namespace
