#include "core/erro.h"
#include "processos.h"
#include "workbook/libreoffice.h"
#include "workbook/processo_libreoffice.h"

#include <QDir>
#include <QFile>
#include <csignal>
#include <cstdlib>
#include <gtest/gtest.h>
#include <unistd.h>

namespace nq {
namespace {

TEST(ProcessoLibreOffice, EncerraLevaOGrupoTodoEUmaNovaPlanilhaReiniciaOOffice) {
    pid_t segundo = 0;
    {
        LibreOffice office;
        office.novaPlanilha()->criaNova({"Com"});
        const pid_t primeiro = office.processo();
        ASSERT_GT(primeiro, 0);
        EXPECT_TRUE(grupoVivo(primeiro));
        office.encerra();
        EXPECT_EQ(office.processo(), 0);
        EXPECT_FALSE(grupoVivo(primeiro));

        auto p = office.novaPlanilha();
        p->criaNova({"Com"});
        p->selecionaFolha("Com");
        p->escreveNumero("A1", 1);
        EXPECT_NE(office.processo(), primeiro);

        // An office that dies under a workbook: a clear error, then a fresh start.
        const pid_t morto = office.processo();
        kill(morto, SIGKILL);
        try {
            p->escreveNumero("A2", 2);
            ADD_FAILURE() << "escreveu num LibreOffice morto";
        } catch (const Erro& e) {
            EXPECT_TRUE(e.texto().endsWith(": o LibreOffice foi encerrado inesperadamente."))
                << e.texto().toStdString();
        }
        p.reset();
        office.novaPlanilha()->criaNova({"Com"});
        segundo = office.processo();
        EXPECT_NE(segundo, morto);
        EXPECT_TRUE(grupoVivo(segundo));
    }
    EXPECT_FALSE(grupoVivo(segundo));
}

// The office must not outlive a program that dies without cleaning up, and what
// it leaves behind is swept away later.
TEST(ProcessoLibreOfficeDeathTest, MorreComOProgramaQueOIniciou) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // The dying child is this program run again, so it finds the file by its parent's id.
    const auto arquivoPid = [](pid_t teste) {
        return QDir::temp().filePath(QString("nq404-morte-%1").arg(teste));
    };
    EXPECT_DEATH(
        {
            LibreOffice office;
            office.novaPlanilha();
            QFile f(arquivoPid(getppid()));
            if (f.open(QIODevice::WriteOnly))
                f.write(QByteArray::number(office.processo()) + ' ' + QByteArray::number(getpid()));
            f.close();
            std::abort();
        },
        "");
    QFile f(arquivoPid(getpid()));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const auto pids = f.readAll().split(' ');
    f.remove();
    ASSERT_EQ(pids.size(), 2);
    const pid_t office = pids[0].toInt(), programa = pids[1].toInt();
    ASSERT_GT(office, 0);
    EXPECT_TRUE(grupoMorreEm(office, std::chrono::seconds(10)));

    const auto restos = [&] {
        return QDir::temp()
                   .entryList({QString("nq404-libreoffice-%1-*").arg(programa)}, QDir::Dirs)
                   .size() +
               QDir("/tmp")
                   .entryList({QString("OSL_PIPE_%1_nq404_%2_*").arg(getuid()).arg(programa)},
                              QDir::System | QDir::Files)
                   .size();
    };
    EXPECT_GT(restos(), 0);
    ProcessoLibreOffice::limpaRestos();
    EXPECT_EQ(restos(), 0);
}

} // namespace
} // namespace nq
