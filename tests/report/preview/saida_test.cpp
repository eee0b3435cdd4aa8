#include "report/preview/saida.h"

#include "core/mensagens.h"
#include "relatorio_de_teste.h"
#include "report/devices/texto.h"
#include "report/preview/dialogos.h"
#include "report/preview/preview.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

using namespace nq;
using teste::RelatorioDeTeste;

namespace {

// Watches the windows while Print runs its own event loops: `passo` runs every few
// milliseconds; after ten seconds every modal window is rejected, so that a window that
// fails to close fails the test instead of hanging it.
class Vigia {
public:
    explicit Vigia(std::function<void()> passo) : passo_(std::move(passo)) {
        relogio_.start();
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (relogio_.elapsed() < 10000) {
                passo_();
                return;
            }
            estourou_ = true;
            if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                d->done(QDialog::Rejected);
        });
        timer_.start();
    }
    bool estourou() const { return estourou_; }

private:
    std::function<void()> passo_;
    QElapsedTimer relogio_;
    QTimer timer_;
    bool estourou_ = false;
};

QStatusBar* status(JanelaDePreview& j) {
    return j.findChild<QStatusBar*>();
}

QString botaoFechar(JanelaDePreview& j) {
    return j.findChild<QPushButton*>(QStringLiteral("fechar"))->text();
}

int paginasGeradas(TppReport& r) {
    return static_cast<int>(TppEngine(&r).geraDocumento().paginas.size());
}

QString leTexto(const QString& arquivo) {
    QFile f(arquivo);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

class SaidaDoPrint : public ::testing::Test {
protected:
    SaidaDoPrint() : relatorio(r_.relatorio) {
        relatorio.PreviewFormSettings.WindowState = TWindowState::wsNormal;
    }

    RelatorioDeTeste r_{150};
    TppReport& relatorio;
    QTemporaryDir pasta_;
};

} // namespace

TEST_F(SaidaDoPrint, PreviewAbreAntesDeGerarEMostraAsPaginasDuranteAGeracao) {
    const int total = paginasGeradas(relatorio);
    ASSERT_GT(total, 2);
    QStringList eventos;
    int criacoes = 0;
    bool geradoAntesDeCriar = false;
    int paginasVistasDuranteAGeracao = 0;
    QStringList estadoDuranteAGeracao;
    relatorio.OnPreviewFormCreate = [&] {
        ++criacoes;
        JanelaDePreview* j = PreviewForm(relatorio);
        ASSERT_NE(j, nullptr);
        EXPECT_TRUE(j->gerando());
        EXPECT_EQ(j->quantidadeDePaginas(), 0);
        eventos << QStringLiteral("criou");
    };
    relatorio.banda(TppBandType::btDetail)->BeforePrint = [&] {
        geradoAntesDeCriar |= criacoes == 0;
    };
    relatorio.OnStartPage = [&] {
        JanelaDePreview* j = PreviewForm(relatorio);
        if (!j) {
            estadoDuranteAGeracao << QStringLiteral("sem janela");
            return;
        }
        paginasVistasDuranteAGeracao = j->quantidadeDePaginas();
        estadoDuranteAGeracao << botaoFechar(*j) + QLatin1Char('|') +
                                     status(*j)->currentMessage().section(QLatin1Char(' '), 0, 2);
    };
    relatorio.OnPreviewFormClose = [&] {
        JanelaDePreview* j = PreviewForm(relatorio);
        eventos
            << QStringLiteral("fechou:%1:%2").arg(botaoFechar(*j)).arg(j->quantidadeDePaginas());
    };
    relatorio.OnPrintingComplete = [&] { eventos << QStringLiteral("completou"); };

    SaidaParaPreview saida;
    SaidaInstalada instalada(saida);
    // The user closes the preview once the run has ended.
    Vigia vigia([&] {
        if (JanelaDePreview* j = PreviewForm(relatorio); j && j->isVisible() && !j->gerando())
            j->findChild<QPushButton*>(QStringLiteral("fechar"))->click();
    });
    relatorio.Print();

    EXPECT_FALSE(vigia.estourou());
    EXPECT_EQ(eventos,
              (QStringList{QStringLiteral("criou"), QStringLiteral("fechou:Fechar:%1").arg(total),
                           QStringLiteral("completou")}));
    EXPECT_FALSE(geradoAntesDeCriar);
    EXPECT_GT(paginasVistasDuranteAGeracao, 0) << "pages shown only after the run";
    EXPECT_EQ(estadoDuranteAGeracao.size(), total);
    estadoDuranteAGeracao.removeDuplicates();
    EXPECT_EQ(estadoDuranteAGeracao, QStringList{QStringLiteral("Cancelar|Calculando a página")});
    EXPECT_EQ(PreviewForm(relatorio), nullptr);
}

TEST_F(SaidaDoPrint, FecharDuranteAGeracaoParaORelatorioEPrintRetorna) {
    const int total = paginasGeradas(relatorio);
    int paginasIniciadas = 0;
    int fechamentos = 0;
    int paginasMostradas = -1;
    relatorio.OnStartPage = [&] {
        // The user closes the window while the second page is calculated.
        if (++paginasIniciadas == 2)
            if (JanelaDePreview* j = PreviewForm(relatorio))
                QTimer::singleShot(0, j, [j] { j->close(); });
    };
    relatorio.OnPreviewFormClose = [&] {
        ++fechamentos;
        paginasMostradas = PreviewForm(relatorio)->quantidadeDePaginas();
    };
    SaidaParaPreview saida;
    SaidaInstalada instalada(saida);
    Vigia vigia([] {});
    relatorio.Print();
    EXPECT_FALSE(vigia.estourou());
    EXPECT_EQ(fechamentos, 1);
    EXPECT_LT(paginasIniciadas, total);
    EXPECT_GE(paginasMostradas, 1);
    EXPECT_LT(paginasMostradas, total);
}

TEST_F(SaidaDoPrint, ArquivoTextoSoComOsDadosDoDetalhe) {
    const auto grava = [&](int tipo) {
        OpcoesDeArquivo opcoes;
        opcoes.tipoArquivoTexto = tipo;
        const QString arquivo = pasta_.filePath(QStringLiteral("tipo%1.txt").arg(tipo));
        SaidaParaArquivo saida(QStringLiteral("TextFile"), arquivo, opcoes);
        SaidaInstalada instalada(saida);
        relatorio.Print();
        QStringList linhas = leTexto(arquivo).split(QStringLiteral("\r\n"));
        EXPECT_EQ(linhas.takeLast(), QString()) << "every line ends in CR LF";
        return linhas;
    };
    ASSERT_GT(paginasGeradas(relatorio), 2);

    // Only the data of the detail band: no title, caption or total.
    const QStringList virgula = grava(0);
    ASSERT_EQ(virgula.size(), 150);
    EXPECT_EQ(virgula[0], QStringLiteral("Linha 1,\"1.234,56\""));
    EXPECT_EQ(virgula[149], QStringLiteral("Linha 150,\"185.184,00\""));
}

// In the program the no-data dialog tells it, over the preview or before printing; batch
// runs and tests record the same message through mensagens().
TEST(SemDados, DialogoNoProgramaMensagemNoLote) {
    RelatorioDeTeste r(0);
    TppReport& relatorio = r.relatorio;
    relatorio.PreviewFormSettings.WindowState = TWindowState::wsNormal;
    relatorio.DataPipeline->SkipWhenNoRecords = true;
    relatorio.NoDataBehaviors = {TppNoDataBehavior::ndMessageDialog};
    int criacoes = 0;
    int fechamentos = 0;
    relatorio.OnPreviewFormCreate = [&] { ++criacoes; };
    relatorio.OnPreviewFormClose = [&] { ++fechamentos; };
    MensagensDeTeste mensagens;

    for (const QString& tipo : {QStringLiteral("Screen"), QStringLiteral("Printer")}) {
        SCOPED_TRACE(tipo.toStdString());
        relatorio.DeviceType = tipo;
        criacoes = fechamentos = 0;
        QStringList dialogos;
        SaidaParaPreview saida;
        SaidaInstalada instalada(saida);
        Vigia vigia([&] {
            if (auto* d = qobject_cast<TppNoDataDialog*>(QApplication::activeModalWidget())) {
                dialogos << d->windowTitle() + QLatin1Char('|') + d->findChild<QLabel*>()->text();
                d->accept();
            }
        });
        relatorio.Print();
        EXPECT_FALSE(vigia.estourou()) << "a window did not close";
        EXPECT_EQ(dialogos, QStringList{QStringLiteral(
                                "Nenhum Dado Encontrado|Não há dados para este relatório.")});
        EXPECT_EQ(criacoes, 1);
        EXPECT_EQ(fechamentos, 1);
    }
    EXPECT_TRUE(mensagens->registro().empty());

    QTemporaryDir pasta;
    SaidaParaArquivo arquivo(QStringLiteral("TextFile"), pasta.filePath(QStringLiteral("r.txt")));
    SaidaInstalada instalada(arquivo);
    Vigia vigia([] {});
    relatorio.Print();
    EXPECT_FALSE(vigia.estourou());
    ASSERT_EQ(mensagens->textos(),
              QStringList{QStringLiteral("Não há dados para este relatório.")});
    EXPECT_EQ(mensagens->registro()[0].titulo, QStringLiteral("Nenhum Dado Encontrado"));
    EXPECT_TRUE(QFile::exists(pasta.filePath(QStringLiteral("r.txt"))));
}
