#include "report/preview/preview.h"

#include "core/erro.h"
#include "core/mensagens.h"
#include "paginas.h"
#include "report/preview/saida.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace nq;

namespace {

class Preview : public ::testing::Test {
protected:
    static ConfiguracaoDaPreview configuracao() {
        ConfiguracaoDaPreview c;
        c.estado = TWindowState::wsNormal;
        c.trabalho.nomeDocumento = QStringLiteral("Teste");
        return c;
    }
    static void alimenta(JanelaDePreview& j, int paginas) {
        for (Pagina& p : teste::documento(paginas).paginas)
            j.recebePagina(std::move(p));
        j.terminaGeracao();
    }
    static QAction* acao(JanelaDePreview& j, const char* nome) {
        return j.findChild<QAction*>(QString::fromLatin1(nome));
    }
    static QString botaoFechar(JanelaDePreview& j) {
        return j.findChild<QPushButton*>(QStringLiteral("fechar"))->text();
    }
    // first, prior, next, last
    static std::vector<bool> navegacao(JanelaDePreview& j) {
        return {acao(j, "primeira")->isEnabled(), acao(j, "anterior")->isEnabled(),
                acao(j, "proxima")->isEnabled(), acao(j, "ultima")->isEnabled()};
    }
};

} // namespace

TEST_F(Preview, BotaoFecharCancelaEnquantoGera) {
    JanelaDePreview j(configuracao());
    EXPECT_EQ(botaoFechar(j), QStringLiteral("Cancelar"));
    Documento d = teste::documento(2);
    j.recebePagina(std::move(d.paginas[0]));
    EXPECT_EQ(botaoFechar(j), QStringLiteral("Cancelar"));
    EXPECT_FALSE(acao(j, "imprimir")->isEnabled());
    j.show();
    // While the run goes on, the button stops it and the window stays.
    j.findChild<QPushButton*>(QStringLiteral("fechar"))->click();
    EXPECT_TRUE(j.cancelada());
    EXPECT_TRUE(j.isVisible());
    j.recebePagina(std::move(d.paginas[1]));
    j.terminaGeracao();
    EXPECT_EQ(botaoFechar(j), QStringLiteral("Fechar"));
    EXPECT_TRUE(acao(j, "imprimir")->isEnabled());
    j.findChild<QPushButton*>(QStringLiteral("fechar"))->click();
    EXPECT_FALSE(j.isVisible());
}

TEST_F(Preview, NavegacaoNaPrimeiraENaUltimaPagina) {
    JanelaDePreview j(configuracao());
    alimenta(j, 3);
    EXPECT_EQ(j.paginaAtual(), 1);
    EXPECT_EQ(navegacao(j), (std::vector<bool>{false, false, true, true}));
    acao(j, "ultima")->trigger();
    EXPECT_EQ(j.paginaAtual(), 3);
    EXPECT_EQ(navegacao(j), (std::vector<bool>{true, true, false, false}));
    acao(j, "anterior")->trigger();
    EXPECT_EQ(navegacao(j), (std::vector<bool>{true, true, true, true}));
    auto* campo = j.findChild<QLineEdit*>(QStringLiteral("pagina"));
    EXPECT_EQ(campo->text(), QStringLiteral("2"));
    campo->setText(QStringLiteral("1"));
    emit campo->editingFinished();
    EXPECT_EQ(j.paginaAtual(), 1);
    campo->setText(QStringLiteral("40"));
    emit campo->editingFinished();
    EXPECT_EQ(j.paginaAtual(), 3);

    JanelaDePreview uma(configuracao());
    alimenta(uma, 1);
    EXPECT_EQ(navegacao(uma), (std::vector<bool>{false, false, false, false}));
}

TEST_F(Preview, ZoomMostraOBotaoPressionadoEOPercentual) {
    JanelaDePreview j(configuracao());
    alimenta(j, 1);
    j.resize(1000, 800);
    j.show();
    QApplication::processEvents();
    EXPECT_TRUE(acao(j, "larguraDaPagina")->isChecked());
    // At page width the page fills the window's width without a horizontal scroll.
    auto* rolagem = j.findChild<QScrollArea*>();
    EXPECT_LE(rolagem->widget()->width(), rolagem->viewport()->width());
    EXPECT_GT(rolagem->widget()->width(), rolagem->viewport()->width() - 40);

    auto* zoom = j.findChild<QLineEdit*>(QStringLiteral("zoom"));
    zoom->setText(QStringLiteral("80"));
    emit zoom->editingFinished();
    EXPECT_EQ(j.modoDeZoom(), TppZoomSetting::zsPercentage);
    EXPECT_EQ(zoom->text(), QStringLiteral("80%"));
    for (const char* nome : {"paginaInteira", "larguraDaPagina", "cem"})
        EXPECT_FALSE(acao(j, nome)->isChecked()) << nome;

    acao(j, "paginaInteira")->trigger();
    EXPECT_LE(rolagem->widget()->height(), rolagem->viewport()->height());
    // Leaving the zoom field untouched keeps the whole page, pressed.
    emit zoom->editingFinished();
    EXPECT_EQ(j.modoDeZoom(), TppZoomSetting::zsWholePage);
    EXPECT_TRUE(acao(j, "paginaInteira")->isChecked());
}

TEST_F(Preview, EnterNosCamposAplicaOValorEAJanelaFica) {
    JanelaDePreview j(configuracao());
    alimenta(j, 3);
    j.resize(1000, 800);
    j.show();
    QApplication::setActiveWindow(&j);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&j));
    auto* zoom = j.findChild<QLineEdit*>(QStringLiteral("zoom"));
    zoom->setFocus();
    zoom->selectAll();
    QTest::keyClicks(zoom, QStringLiteral("80"));
    QTest::keyClick(zoom, Qt::Key_Return);
    EXPECT_TRUE(j.isVisible());
    EXPECT_EQ(j.percentual(), 80);
    auto* pagina = j.findChild<QLineEdit*>(QStringLiteral("pagina"));
    pagina->setFocus();
    pagina->selectAll();
    QTest::keyClicks(pagina, QStringLiteral("3"));
    QTest::keyClick(pagina, Qt::Key_Enter);
    EXPECT_TRUE(j.isVisible());
    EXPECT_EQ(j.paginaAtual(), 3);
}

TEST_F(Preview, EventosDaJanelaCercamAExibicao) {
    TppReport relatorio;
    relatorio.PrinterSetup.DocumentName = QStringLiteral("Anexo");
    QStringList ordem;
    relatorio.OnPreviewFormCreate = [&] {
        JanelaDePreview* janela = PreviewForm(relatorio);
        ASSERT_NE(janela, nullptr);
        janela->setWindowTitle(QStringLiteral("Anexo 1"));
        janela->definePercentual(80);
        ordem << QStringLiteral("criou");
        QTimer::singleShot(0, janela, [janela, &ordem] {
            ordem << QStringLiteral("exibida:") + janela->windowTitle() +
                         QString::number(janela->percentual());
            janela->accept();
        });
    };
    relatorio.OnPreviewFormClose = [&] { ordem << QStringLiteral("fechou"); };
    mostraPreview(relatorio, teste::documento(2));
    ordem << QStringLiteral("depois");
    EXPECT_EQ(ordem, (QStringList{QStringLiteral("criou"), QStringLiteral("exibida:Anexo 180"),
                                  QStringLiteral("fechou"), QStringLiteral("depois")}));
    EXPECT_EQ(PreviewForm(relatorio), nullptr);
}

TEST_F(Preview, ErroDaGeracaoChegaAoChamadorDepoisDeFechar) {
    MensagensDeTeste mensagens;
    JanelaDePreview j(configuracao());
    j.falhaGeracao(std::make_exception_ptr(Erro(QStringLiteral("Falhou"))));
    EXPECT_EQ(botaoFechar(j), QStringLiteral("Fechar"));
    ASSERT_TRUE(j.erro());
    EXPECT_THROW(std::rethrow_exception(j.erro()), Erro);
}
