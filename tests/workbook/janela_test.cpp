// The office that shows the filled workbook to the user, under a real display
// (xvfb-run): it must outlive the program with the workbook as it was filled,
// never be killed, and be ended only when it shows nothing.

#include "core/erro.h"
#include "processos.h"
#include "workbook/canal_uno.h"
#include "workbook/libreoffice.h"
#include "workbook/processo_libreoffice.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QUrl>
#include <com/sun/star/awt/XWindow2.hpp>
#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/table/XCellRange.hpp>
#include <com/sun/star/util/XModifiable.hpp>
#include <csignal>
#include <gtest/gtest.h>
#include <optional>

namespace nq {
namespace {

using namespace std::chrono_literals;
namespace uno = css::uno;

const char* const ArgumentoDoFilho = "--programa-que-exporta";

OpcoesLibreOffice visivel(int segundosPorChamada = 60) {
    OpcoesLibreOffice o;
    o.modo = ModoPlanilha::Visivel;
    o.segundosPorChamada = segundosPorChamada;
    return o;
}

QByteArray conteudo(const QString& caminho) {
    QFile f(caminho);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The pipe an office listens on, from its command line.
QString pipeDe(pid_t office) {
    QFile f(QString("/proc/%1/cmdline").arg(office));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    for (const QByteArray& arg : f.readAll().split('\0'))
        if (arg.startsWith("--accept=pipe,name="))
            return QString::fromUtf8(arg.mid(19, arg.indexOf(';') - 19));
    return {};
}

// What an office holds of `arquivo`: the number in sheet "Com", `celula`, whether it
// has changes not saved and is shown; nothing when the workbook is not open there.
struct Aberta {
    double valor;
    bool modificada;
    bool visivel;
};
std::optional<Aberta> abertaNoOffice(lo::CanalUno& canal, const QString& arquivo,
                                     const char* celula) {
    return canal.chama("", [&]() -> std::optional<Aberta> {
        const auto url = lo::ou(QUrl::fromLocalFile(arquivo).toString(QUrl::FullyEncoded));
        const auto docs = canal.desktop()->getComponents()->createEnumeration();
        while (docs->hasMoreElements()) {
            uno::Reference<css::frame::XModel> modelo(docs->nextElement(), uno::UNO_QUERY);
            if (!modelo.is() || modelo->getURL() != url)
                continue;
            uno::Reference<css::sheet::XSpreadsheetDocument> planilha(modelo, uno::UNO_QUERY_THROW);
            uno::Reference<css::sheet::XSpreadsheet> folha(planilha->getSheets()->getByName("Com"),
                                                           uno::UNO_QUERY_THROW);
            const double v = folha->getCellRangeByName(rtl::OUString::createFromAscii(celula))
                                 ->getCellByPosition(0, 0)
                                 ->getValue();
            uno::Reference<css::util::XModifiable> m(modelo, uno::UNO_QUERY_THROW);
            uno::Reference<css::awt::XWindow2> janela(
                modelo->getCurrentController()->getFrame()->getContainerWindow(),
                uno::UNO_QUERY_THROW);
            return Aberta{v, static_cast<bool>(m->isModified()),
                          static_cast<bool>(janela->isVisible())};
        }
        return std::nullopt;
    });
}

// Run as a program of its own: the application object, the office filling the
// workbook and shown to the user, then the end of main, as the program does on "Sair".
int programaQueExporta(int argc, char** argv, const QString& arquivo, const QString& saida) {
    QApplication app(argc, argv);
    LibreOffice office(visivel());
    {
        auto p = office.novaPlanilha();
        p->abre(arquivo);
        p->selecionaFolha("Com");
        p->escreveNumero("AH6", 4);
        p->mostra();
    }
    QFile f(saida);
    if (!f.open(QIODevice::WriteOnly))
        return 3;
    f.write(QByteArray::number(office.processo()));
    return 0;
}

class OfficeVisivel : public ::testing::Test {
protected:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            GTEST_SKIP() << "sem tela (DISPLAY): rode sob xvfb-run";
        if (!LibreOffice::podeMostrarJanelas())
            GTEST_SKIP() << "o LibreOffice instalado não mostra janelas (pacotes -nogui, sem "
                            "plugin de tela): a planilha preenchida é gravada ao lado da original";
        ASSERT_TRUE(dir_.isValid());
        arquivo_ = dir_.filePath("TCE 2008.xls");
        LibreOffice oculto;
        auto p = oculto.novaPlanilha();
        p->criaNova({"Com"});
        p->salvaComo(arquivo_);
    }
    void TearDown() override {
        for (pid_t office : deixados_) {
            kill(-office, SIGCONT);
            kill(-office, SIGKILL);
            EXPECT_TRUE(grupoMorreEm(office, 10s));
        }
        ProcessoLibreOffice::limpaRestos();
    }

    QTemporaryDir dir_;
    QString arquivo_;
    std::vector<pid_t> deixados_; // offices the test ends itself
};

TEST_F(OfficeVisivel, SobreviveAoProgramaComAPlanilhaPreenchidaSemGravar) {
    const QByteArray original = conteudo(arquivo_);
    const QString saida = dir_.filePath("office.pid");
    QProcess programa;
    programa.setProcessChannelMode(QProcess::ForwardedChannels);
    programa.start(QFileInfo("/proc/self/exe").symLinkTarget(),
                   {ArgumentoDoFilho, arquivo_, saida});
    ASSERT_TRUE(programa.waitForFinished(120000));
    EXPECT_EQ(programa.exitStatus(), QProcess::NormalExit) << "o programa caiu ao sair";
    EXPECT_EQ(programa.exitCode(), 0);
    const pid_t office = conteudo(saida).toInt();
    ASSERT_GT(office, 0);
    deixados_.push_back(office);

    lo::CanalUno canal(10s, nullptr, "");
    ASSERT_TRUE(canal.conecta(pipeDe(office))) << "o LibreOffice morreu com o programa";
    std::this_thread::sleep_for(2s);
    ASSERT_TRUE(grupoVivo(office)) << "o LibreOffice morreu depois do programa";
    const auto aberta = abertaNoOffice(canal, arquivo_, "AH6");
    ASSERT_TRUE(aberta.has_value()) << "a planilha não está mais aberta no LibreOffice";
    EXPECT_EQ(aberta->valor, 4);
    EXPECT_TRUE(aberta->modificada);
    EXPECT_TRUE(aberta->visivel);
    EXPECT_EQ(conteudo(arquivo_), original) << "a planilha foi gravada sem o usuário pedir";
    EXPECT_TRUE(QFile::exists(dir_.filePath(".~lock.TCE 2008.xls#")));

    // A later start of the program leaves that office alone.
    ProcessoLibreOffice::limpaRestos();
    EXPECT_TRUE(abertaNoOffice(canal, arquivo_, "AH6").has_value());
}

TEST_F(OfficeVisivel, SemRespostaEhDeixadoAbertoComMensagemClara) {
    pid_t office = 0;
    {
        LibreOffice lo(visivel(15)); // showing the first window takes seconds
        auto p = lo.novaPlanilha();
        p->abre(arquivo_);
        p->selecionaFolha("Com");
        p->escreveNumero("AH6", 4);
        p->mostra();
        office = lo.processo();
        deixados_.push_back(office);
        ASSERT_TRUE(para(office));
        try {
            p->escreveNumero("AH7", 5);
            ADD_FAILURE() << "um LibreOffice parado respondeu";
        } catch (const Erro& e) {
            EXPECT_TRUE(e.texto().endsWith(": o LibreOffice não respondeu em 15 segundos e foi "
                                           "deixado aberto como está."))
                << e.what();
        }
    }
    ASSERT_TRUE(grupoVivo(office)) << "o LibreOffice visível foi encerrado";
    kill(office, SIGCONT);
    lo::CanalUno canal(10s, nullptr, "");
    ASSERT_TRUE(canal.conecta(pipeDe(office)));
    const auto aberta = abertaNoOffice(canal, arquivo_, "AH6");
    ASSERT_TRUE(aberta.has_value());
    EXPECT_EQ(aberta->valor, 4);
}

// The workbook still open, unsaved, in the office an earlier run left: the new
// office cannot open it, and says why.
TEST_F(OfficeVisivel, PlanilhaAbertaEmOutroOfficeDizPorQue) {
    QFile trava(dir_.filePath(".~lock.TCE 2008.xls#"));
    ASSERT_TRUE(trava.open(QIODevice::WriteOnly));
    trava.write(",root,estacao,07.12.2026 04:32,file:///tmp/nq404-libreoffice-1-x;");
    trava.close();
    LibreOffice lo(visivel());
    auto p = lo.novaPlanilha();
    try {
        p->abre(arquivo_);
        ADD_FAILURE() << "abriu uma planilha em uso";
    } catch (const Erro& e) {
        EXPECT_TRUE(e.texto().contains("já está aberta em outra janela do LibreOffice"))
            << e.what();
    }
}

TEST_F(OfficeVisivel, QueNaoMostraNadaEhEncerrado) {
    LibreOffice lo(visivel());
    auto p = lo.novaPlanilha();
    p->abre(arquivo_); // as the version check does: opened, read and closed
    p->selecionaFolha("Com");
    p->leTexto("A1");
    p->fecha();
    const pid_t office = lo.processo();
    lo.encerra();
    EXPECT_TRUE(grupoMorreEm(office, 10s));
    EXPECT_FALSE(QFile::exists(dir_.filePath(".~lock.TCE 2008.xls#")));
}

} // namespace
} // namespace nq

int main(int argc, char** argv) {
    if (argc == 4 && qstrcmp(argv[1], nq::ArgumentoDoFilho) == 0)
        return nq::programaQueExporta(argc, argv, QString::fromLocal8Bit(argv[2]),
                                      QString::fromLocal8Bit(argv[3]));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
