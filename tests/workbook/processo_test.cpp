#include "core/erro.h"
#include "processos.h"
#include "workbook/libreoffice.h"
#include "workbook/processo_libreoffice.h"

#include <QDir>
#include <QFile>
#include <csignal>
#include <cstdlib>
#include <gtest/gtest.h>
#include <sys/wait.h>
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

// A hidden office that stops answering is ended, and the call says why instead of
// holding the program; the next workbook gets a new office.
TEST(ProcessoLibreOffice, ChamadaSemRespostaEncerraOOfficeOculto) {
    OpcoesLibreOffice opcoes;
    opcoes.segundosPorChamada = 2;
    LibreOffice office(opcoes);
    auto p = office.novaPlanilha();
    p->criaNova({"Com"});
    const pid_t parado = office.processo();
    ASSERT_TRUE(para(parado));
    const auto inicio = std::chrono::steady_clock::now();
    try {
        p->selecionaFolha("Com");
        ADD_FAILURE() << "um LibreOffice parado respondeu";
    } catch (const Erro& e) {
        EXPECT_EQ(e.texto(), "Não foi possível selecionar a folha \"Com\": o LibreOffice não "
                             "respondeu em 2 segundos e foi encerrado.");
    }
    EXPECT_LT(std::chrono::steady_clock::now() - inicio, std::chrono::seconds(10));
    EXPECT_TRUE(grupoMorreEm(parado, std::chrono::seconds(5)));
    EXPECT_THROW(p->escreveNumero("A1", 1), Erro);
    p.reset();

    auto q = office.novaPlanilha();
    q->criaNova({"Com"});
    q->selecionaFolha("Com");
    EXPECT_NE(office.processo(), parado);
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

// What a program left for an office that still runs (a visible one, with the
// user's workbook) stays; what it left for one that ended goes.
TEST(ProcessoLibreOffice, RestosDeUmOfficeQueAindaRodaFicam) {
    const pid_t programa = fork();
    if (programa == 0)
        _exit(0);
    ASSERT_GT(programa, 0);
    waitpid(programa, nullptr, 0); // a program that is gone

    const QDir temp = QDir::temp();
    const auto restos = [&](const QString& sufixo, pid_t office) {
        const QString perfil =
            temp.filePath(QString("nq404-libreoffice-%1-%2").arg(programa).arg(sufixo));
        EXPECT_TRUE(QDir().mkpath(perfil + "/user"));
        QFile pid(perfil + "/nq404-office.pid");
        EXPECT_TRUE(pid.open(QIODevice::WriteOnly));
        pid.write(QByteArray::number(office));
        const QString pipe =
            QString("/tmp/OSL_PIPE_%1_nq404_%2_%3").arg(getuid()).arg(programa).arg(sufixo);
        QFile f(pipe);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        return std::pair{perfil, pipe};
    };
    const auto [perfilVivo, pipeVivo] = restos("Vivo01", getpid());
    const auto [perfilMorto, pipeMorto] = restos("Morto1", programa);

    ProcessoLibreOffice::limpaRestos();
    EXPECT_TRUE(QDir(perfilVivo).exists());
    EXPECT_TRUE(QFile::exists(pipeVivo));
    EXPECT_FALSE(QDir(perfilMorto).exists());
    EXPECT_FALSE(QFile::exists(pipeMorto));
    QDir(perfilVivo).removeRecursively();
    QFile::remove(pipeVivo);
}

} // namespace
} // namespace nq
