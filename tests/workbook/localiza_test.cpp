#include "core/erro.h"
#include "workbook/localiza_libreoffice.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace nq {
namespace {

// Fake installations: what the search looks at is files, links and their permissions.
class LocalizaLibreOffice : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }

    QString caminho(const QString& relativo) const { return dir_.filePath(relativo); }

    // An installation with program/soffice (the launcher) and program/soffice.bin.
    QString instala(const QString& relativo, bool comBinario = true) {
        const QString programa = caminho(relativo + "/program");
        EXPECT_TRUE(QDir().mkpath(programa));
        cria(programa + "/soffice");
        if (comBinario)
            cria(programa + "/soffice.bin");
        return programa + "/soffice.bin";
    }

    static void cria(const QString& arquivo, bool executavel = true) {
        QFile f(arquivo);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("#!/bin/sh\n");
        f.close();
        if (executavel)
            f.setPermissions(f.permissions() | QFile::ExeOwner);
    }

    static QString erroDe(const QString& indicado, const LugaresDoLibreOffice& onde) {
        try {
            localizaLibreOffice(indicado, onde);
        } catch (const Erro& e) {
            return e.texto();
        }
        return {};
    }

    QTemporaryDir dir_;
};

TEST_F(LocalizaLibreOffice, IndicadoPeloProgramaPeloLancadorOuPelaPasta) {
    const QString bin = instala("opt/libreoffice7.6");
    ASSERT_TRUE(QDir().mkpath(caminho("bin")));
    ASSERT_TRUE(QFile::link(caminho("opt/libreoffice7.6/program/soffice"), caminho("bin/lo")));
    const LugaresDoLibreOffice nenhum;
    for (const QString& indicado :
         {bin, caminho("opt/libreoffice7.6/program/soffice"), caminho("bin/lo"),
          caminho("opt/libreoffice7.6/program"), caminho("opt/libreoffice7.6") + "/ "})
        EXPECT_EQ(localizaLibreOffice(indicado, nenhum).toStdString(), bin.toStdString());

    // A wrong setting is reported as such, even with an office installed elsewhere.
    LugaresDoLibreOffice onde;
    onde.instalacoes = {caminho("opt/libreoffice7.6")};
    const QString erro = erroDe(caminho("nao/existe"), onde);
    EXPECT_TRUE(erro.contains(caminho("nao/existe"))) << erro.toStdString();
    EXPECT_TRUE(erro.contains("LIBREOFFICE")) << erro.toStdString();
}

TEST_F(LocalizaLibreOffice, PathAntesDasInstalacoesEVersaoMaisNovaPrimeiro) {
    const QString novo = instala("opt/libreoffice24.2");
    const QString velho = instala("opt/libreoffice7.6");
    instala("opt/libreoffice25.2", false); // launcher without the program: skipped
    const QString debian = instala("usr/lib/libreoffice");

    LugaresDoLibreOffice onde;
    onde.path = {caminho("nada"), caminho("bin")};
    onde.instalacoes = {caminho("usr/lib/libreoffice"), caminho("opt/libreoffice*")};
    EXPECT_EQ(localizaLibreOffice({}, onde).toStdString(), debian.toStdString());
    onde.instalacoes = {caminho("usr/lib64/libreoffice"), caminho("opt/libreoffice*")};
    EXPECT_EQ(localizaLibreOffice({}, onde).toStdString(), novo.toStdString());

    // A versioned launcher on PATH (as the upstream packages install it) wins.
    ASSERT_TRUE(QDir().mkpath(caminho("bin")));
    ASSERT_TRUE(
        QFile::link(caminho("opt/libreoffice7.6/program/soffice"), caminho("bin/libreoffice7.6")));
    EXPECT_EQ(localizaLibreOffice({}, onde).toStdString(), velho.toStdString());
    // A file named like a launcher that leads nowhere does not stop the search.
    cria(caminho("bin/soffice"));
    EXPECT_EQ(localizaLibreOffice({}, onde).toStdString(), velho.toStdString());
}

TEST_F(LocalizaLibreOffice, NenhumDizOndeProcurou) {
    instala("opt/libreoffice7.6", false);
    cria(caminho("opt/libreoffice7.6/program/soffice.bin"), false); // not executable
    LugaresDoLibreOffice onde;
    onde.path = {caminho("bin")};
    onde.instalacoes = {caminho("usr/lib/libreoffice"), caminho("opt/libreoffice*")};
    const QString erro = erroDe({}, onde);
    EXPECT_TRUE(erro.startsWith("O LibreOffice não foi encontrado.")) << erro.toStdString();
    for (const QString& lugar : {caminho("bin"), caminho("usr/lib/libreoffice"),
                                 caminho("opt/libreoffice*"), QString("LIBREOFFICE")})
        EXPECT_TRUE(erro.contains(lugar)) << lugar.toStdString() << "\n" << erro.toStdString();
}

} // namespace
} // namespace nq
