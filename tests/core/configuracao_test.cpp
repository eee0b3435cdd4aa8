#include "core/configuracao.h"
#include "core/erro.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace nq;

namespace {

class Configuracao : public ::testing::Test {
protected:
    void TearDown() override { defineCaminhoVexoIni({}); }

    // Writes Vexo.ini with the given raw bytes and points the reader at it.
    void escreveIni(const QByteArray& conteudo) {
        const QString caminho = dir.filePath("Vexo.ini");
        QFile f(caminho);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(conteudo);
        f.close();
        defineCaminhoVexoIni(caminho);
    }

    QTemporaryDir dir;
};

TEST_F(Configuracao, LeituraSemDistinguirCaixaComPadroes) {
    escreveIni("; comentario\r\n"
               "[OUTRA]\r\nAno=1999\r\n"
               "[vexo]\r\n"
               "  ano = 2008 \r\n"
               "Servidor=\r\n"
               "caminho_base_dados=C:\\VEXO_8\\\r\n"
               "DLL=\"fbclient.dll\"\r\n"
               "Ano=2010\r\n");
    EXPECT_EQ(leVexoIni("ANO"), "2008"); // the first occurrence wins, other sections ignored
    EXPECT_EQ(leVexoIni("Caminho_Base_Dados"), "C:\\VEXO_8\\");
    EXPECT_EQ(leVexoIni("Servidor", "x"), ""); // present but empty is not absent
    EXPECT_EQ(leVexoIni("SO_Servidor", "WINDOWS"), "WINDOWS");
    EXPECT_EQ(leVexoIni("DLL"), "fbclient.dll");
    EXPECT_EQ(anoVexoIni(), 2008);
}

TEST_F(Configuracao, TextoEmWindows1252OuUtf8) {
    escreveIni("[VEXO]\nCaminho_Base_Dados=/dados/Muni\xE7\xE3o\x96VEXO_8/\n");
    EXPECT_EQ(leVexoIni("Caminho_Base_Dados"), QString::fromUtf8("/dados/Munição–VEXO_8/"));
    escreveIni("\xEF\xBB\xBF[VEXO]\nCaminho_Base_Dados=/dados/Munic\xC3\xADpio/\n");
    EXPECT_EQ(leVexoIni("Caminho_Base_Dados"), QString::fromUtf8("/dados/Município/"));
}

TEST_F(Configuracao, ArquivoAusenteIlegivelOuAnoInvalido) {
    defineCaminhoVexoIni(dir.filePath("nada/Vexo.ini"));
    try {
        leVexoIni("Ano");
        FAIL();
    } catch (const Erro& e) {
        EXPECT_TRUE(e.texto().startsWith("Arquivo de configuração não encontrado: "));
    }
    EXPECT_THROW(CaminhoDiretorio("D"), Erro);

    escreveIni("[VEXO]\nAno=2008\n");
    if (::geteuid() != 0) { // root reads anything
        QFile::setPermissions(dir.filePath("Vexo.ini"), QFileDevice::WriteOwner);
        EXPECT_THROW(leVexoIni("Ano"), Erro);
    }
    defineCaminhoVexoIni(dir.path()); // a directory is not a readable file
    EXPECT_THROW(leVexoIni("Ano"), Erro);

    escreveIni("[VEXO]\nAno=dois mil\nCaminho_Base_Dados=/x/\n");
    try {
        anoVexoIni();
        FAIL();
    } catch (const Erro& e) {
        EXPECT_TRUE(e.texto().contains("\"dois mil\""));
    }
    EXPECT_THROW(CaminhoDiretorio("DA"), Erro);
    escreveIni("[VEXO]\nAno=2008\nCaminho_Base_Dados=/x/\n");
    EXPECT_THROW(CaminhoDiretorio("DAX"), Erro);
}

TEST_F(Configuracao, ModoLocalEstiloWindows) {
    escreveIni("[VEXO]\nAno=2008\nServidor=\nCaminho_Base_Dados=C:\\VEXO_8\\\n");
    EXPECT_EQ(CaminhoDiretorio("B"), "C:\\VEXO_8\\ARQ2008\\");
    EXPECT_EQ(CaminhoDiretorio("d"), "C:\\VEXO_8\\ARQ2008\\");
    EXPECT_EQ(CaminhoDiretorio("BA"), "C:\\VEXO_8\\ARQ2007\\");
    EXPECT_EQ(CaminhoDiretorio("DA2"), "C:\\VEXO_8\\ARQ2006\\");
    EXPECT_EQ(CaminhoDiretorio("TD"), "C:\\VEXO_8\\TABDEF\\");
    EXPECT_EQ(CaminhoDiretorio("XYZ"), "C:\\VEXO_8\\TABDEF\\");
    EXPECT_EQ(CaminhoDiretorio("AP"), "C:\\VEXO_8\\");
    // A Windows directory cannot be created here: reported, nothing created in the working dir.
    try {
        CaminhoDiretorio("TPD");
        FAIL();
    } catch (const Erro& e) {
        EXPECT_EQ(e.texto(), "Não é possível criar o diretório: C:\\VEXO_8\\ARQ2008\\TEMP\\");
    }
}

TEST_F(Configuracao, RaizCortadaNoPrimeiroVexo8) {
    EXPECT_EQ(raizVexo("C:\\Dados\\vexo_8\\ARQ\\"), "C:\\Dados\\VEXO_8");
    EXPECT_EQ(raizVexo("/a/Vexo_8/b/VEXO_8/c/"), "/a/VEXO_8");
    EXPECT_EQ(raizVexo("/sem/raiz/"), "/sem/raiz/");
    escreveIni("[VEXO]\nAno=2008\nCaminho_Base_Dados=D:\\Dados\\vexo_8\\ARQ\\\n");
    EXPECT_EQ(CaminhoDiretorio("TD"), "D:\\Dados\\VEXO_8\\TABDEF\\");
    EXPECT_EQ(CaminhoDiretorio("D"), "D:\\Dados\\vexo_8\\ARQ\\ARQ2008\\");
    escreveIni("[VEXO]\nAno=2008\nCaminho_Base_Dados=/sem/raiz/\n");
    EXPECT_EQ(CaminhoDiretorio("TD"), "/sem/raiz/TABDEF/");
}

TEST_F(Configuracao, ModoServidorLinux) {
    escreveIni("[VEXO]\nAno=2008\nServidor=srv\nSO_Servidor=LINUX\n"
               "Caminho_Base_Dados=/dados/VEXO_8/\nDiretorio_Servidor=F:\\VEXO_8\\\n");
    EXPECT_EQ(CaminhoDiretorio("B"), "srv:/dados/VEXO_8/ARQ2008/");
    EXPECT_EQ(CaminhoDiretorio("D"), "F:\\VEXO_8\\ARQ2008\\");
    EXPECT_EQ(CaminhoDiretorio("BA2"), "srv:/dados/VEXO_8/ARQ2006/");
    EXPECT_EQ(CaminhoDiretorio("BK"), "/dados/VEXO_8/ARQ2008/");
    EXPECT_EQ(CaminhoDiretorio("TD"), "F:\\VEXO_8\\TABDEF\\");
    EXPECT_EQ(CaminhoDiretorio("TB"), "srv:/dados/VEXO_8/TABDEF/");
    EXPECT_EQ(CaminhoDiretorio("AP"), "F:\\VEXO_8\\");
    EXPECT_EQ(CaminhoDiretorio("XYZ"), "");
    EXPECT_THROW(CaminhoDiretorio("BKAB"), Erro); // creates F:\VEXO_8\ARQ2008\BCK\ first
}

TEST_F(Configuracao, SoServidorSoEmMaiusculasSelecionaBarra) {
    escreveIni("[VEXO]\nAno=2008\nServidor=srv\nServidorTABDEF=tab\nSO_Servidor=linux\n"
               "Caminho_Base_Dados=/dados/VEXO_8/\nDiretorio_Servidor=F:\\VEXO_8\\\n"
               "Caminho_Base_Dados_TABDEF=E:\\TAB\\\n");
    EXPECT_EQ(CaminhoDiretorio("B"), "srv:/dados/VEXO_8/ARQ2008\\");
    EXPECT_EQ(CaminhoDiretorio("TB"), "tab:E:\\TAB\\TABDEF\\");
}

TEST_F(Configuracao, ModoServidorComDiretorioMontadoAqui) {
    const QString montado = dir.filePath("montado/VEXO_8") + "/";
    escreveIni(QStringLiteral("[VEXO]\nAno=2010\nServidor=srv\nSO_Servidor=LINUX\n"
                              "Caminho_Base_Dados=/srv/VEXO_8/\nDiretorio_Servidor=%1\n")
                   .arg(montado)
                   .toUtf8());
    EXPECT_EQ(CaminhoDiretorio("D"), montado + "ARQ2010/");
    EXPECT_EQ(CaminhoDiretorio("BKAB"), "/srv/VEXO_8/ARQ2010/BCK/");
    EXPECT_TRUE(QDir(montado + "ARQ2010/BCK").exists());
    EXPECT_EQ(CaminhoDiretorio("TPB"), "/srv/VEXO_8/ARQ2010/TEMP/");
    EXPECT_TRUE(QDir(montado + "ARQ2010/TEMP").exists());
    EXPECT_EQ(CaminhoDiretorio("RTM"), montado + "RTM/");
    EXPECT_TRUE(QDir(montado + "RTM").exists());
}

TEST_F(Configuracao, ModoLocalComBarraCriaDiretorios) {
    const QString base = dir.path() + "/VEXO_8/";
    escreveIni(QStringLiteral("[VEXO]\nAno=2009\nCaminho_Base_Dados=%1\n").arg(base).toUtf8());
    EXPECT_EQ(CaminhoDiretorio("D"), base + "ARQ2009/");
    EXPECT_EQ(CaminhoDiretorio("TD"), base + "TABDEF/");
    for (const char* codigo : {"BKAD", "TPB", "DE", "DI"})
        EXPECT_TRUE(QDir(CaminhoDiretorio(codigo)).exists()) << codigo;
    EXPECT_EQ(CaminhoDiretorio("DE"), base + "ARQ2009/EXPORTA/");

    // A file where the directory should be: it cannot be created.
    QFile bloqueio(base + "RTM");
    ASSERT_TRUE(bloqueio.open(QIODevice::WriteOnly));
    bloqueio.close();
    try {
        CaminhoDiretorio("RTM");
        FAIL();
    } catch (const Erro& e) {
        EXPECT_EQ(e.texto(), "Não é possível criar o diretório: " + base + "RTM/");
    }
}

TEST_F(Configuracao, ArquivoEncontradoEmQualquerCaixa) {
    const QString d = dir.path() + "/";
    QFile f(d + "NQ404_ANEXO1.XML");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    EXPECT_EQ(arquivoNoDiretorio(d, "NQ404_Anexo1.xml"), d + "NQ404_ANEXO1.XML");
    EXPECT_EQ(arquivoNoDiretorio(dir.path(), "nq404_anexo1.xml"), d + "NQ404_ANEXO1.XML");
    EXPECT_EQ(arquivoNoDiretorio(d, "NQ404_Novo.xml"), d + "NQ404_Novo.xml");
    EXPECT_TRUE(diretorioDoExecutavel().endsWith('/'));
    EXPECT_TRUE(QDir(diretorioDoExecutavel()).exists());
}

} // namespace
