#include "aplicacao_teste.h"
#include "app/inicio.h"
#include "app/principal.h"
#include "app/versao.h"
#include "core/configuracao.h"
#include "core/mensagens.h"

#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPointer>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace nq;

namespace {

// A child window that may refuse to close, as one with unsaved typing does.
class Filha : public QLabel {
public:
    using QLabel::QLabel;
    bool recusa = false;

protected:
    void closeEvent(QCloseEvent* e) override {
        if (recusa)
            e->ignore();
    }
};

class Principal : public ::testing::Test {
protected:
    static void SetUpTestSuite() { garanteAplicacao(); }

    Principal() {
        janelas.lancador = [this] {
            lancador = new Filha(QStringLiteral("lançador"));
            return lancador.data();
        };
        janelas.digitacao = [this](const QString& titulo) {
            digitacao = new Filha(titulo);
            return digitacao.data();
        };
        janela = std::make_unique<TFrmPrincipalNQ404>(janelas);
        janela->show();
    }

    QToolButton* botao(const QString& texto) {
        for (auto* b : janela->findChildren<QToolButton*>())
            if (b->text() == texto)
                return b;
        return nullptr;
    }
    int filhas() const { return static_cast<int>(janela->areaFilhas()->subWindowList().size()); }

    MensagensDeTeste msgs;
    JanelasDoPrincipal janelas;
    QPointer<Filha> lancador;
    QPointer<Filha> digitacao;
    std::unique_ptr<TFrmPrincipalNQ404> janela;
};

TEST_F(Principal, TituloComVersaoSoComOProgramaAoLado) {
    QTemporaryDir dir;
    EXPECT_EQ(tituloPrincipal(dir.path()), "NORMA QUADRO 404");
    QFile programa(dir.filePath("nq404"));
    ASSERT_TRUE(programa.open(QIODevice::WriteOnly));
    programa.close();
    EXPECT_EQ(tituloPrincipal(dir.path()),
              "VEXO 8.0 - MÓDULO Norma Quadro 404 - Versão " + VersaoArquivo());
    EXPECT_TRUE(
        QRegularExpression("^\\d+\\.\\d+\\.\\d+\\.\\d+$").match(VersaoArquivo()).hasMatch());
}

TEST_F(Principal, MenusEStatusComoOUsuarioVe) {
    QStringList menus;
    for (QAction* a : janela->menuBar()->actions())
        menus << a->text();
    EXPECT_EQ(menus, QStringList({"Digitação Adm Indireta      ", "Relatórios     ",
                                  "Configuração   ", "Sair     ", "?"}));
    EXPECT_EQ(janela->painelStatus(2), "Contabilidade - Marandu S/C Ltda. Software");
    ResultadoInicio r;
    r.ano = "2008";
    r.municipio = "MUNICÍPIO DE TESTE";
    janela->aplicaInicio(r);
    EXPECT_EQ(janela->painelStatus(0), "Exercício 2008");
    EXPECT_EQ(janela->painelStatus(1), "MUNICÍPIO DE TESTE");
}

TEST_F(Principal, UmaFilhaPorVez) {
    janela->btnAnexosClick();
    ASSERT_TRUE(lancador);
    EXPECT_EQ(filhas(), 1);
    EXPECT_TRUE(janela->filhaAtiva()->isMaximized());

    // Opening the data entry closes and frees the launcher first.
    janela->GestaoFiscal1Click();
    EXPECT_FALSE(lancador);
    ASSERT_TRUE(digitacao);
    EXPECT_EQ(digitacao->text(), "2- Relatório de Gestão Fiscal");
    EXPECT_EQ(filhas(), 1);
    EXPECT_FALSE(janela->Barra()->isVisible());

    // And the other way round; the shortcut bar comes back with the data entry gone.
    janela->btnAnexosClick();
    EXPECT_FALSE(digitacao);
    EXPECT_TRUE(lancador);
    EXPECT_EQ(filhas(), 1);
    EXPECT_TRUE(janela->Barra()->isVisible());

    janela->ExecucaoOrcamentaria1Click();
    EXPECT_EQ(digitacao->text(), "1- Relatório Resumido da Execução Orçamentária");
    janela->ExecucaoOrcamentaria1Click(); // a second one replaces the first
    EXPECT_EQ(filhas(), 1);
}

TEST_F(Principal, FilhaQueRecusaFecharFica) {
    janela->ExecucaoOrcamentaria1Click();
    digitacao->recusa = true;
    janela->btnAnexosClick();
    EXPECT_TRUE(digitacao);
    EXPECT_FALSE(lancador);
    janela->btnSairClick();
    EXPECT_TRUE(digitacao);
    EXPECT_TRUE(janela->isVisible());
}

TEST_F(Principal, FilhaQueSeFechaLevaAMoldura) {
    janela->btnAnexosClick();
    lancador->close();
    QApplication::processEvents();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QApplication::processEvents();
    EXPECT_FALSE(lancador);
    EXPECT_EQ(filhas(), 0);
    EXPECT_TRUE(janela->isVisible());
}

TEST_F(Principal, SairFechaAFilhaDepoisOPrograma) {
    janela->btnAnexosClick();
    janela->btnSairClick();
    EXPECT_FALSE(lancador);
    EXPECT_EQ(filhas(), 0);
    EXPECT_TRUE(janela->isVisible());
    janela->btnSairClick();
    EXPECT_FALSE(janela->isVisible());
}

TEST_F(Principal, EscapeSoFechaSemFilha) {
    janela->btnAnexosClick();
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(janela.get(), &esc);
    EXPECT_TRUE(janela->isVisible());
    janela->btnSairClick();
    QApplication::sendEvent(janela.get(), &esc);
    EXPECT_FALSE(janela->isVisible());
}

TEST_F(Principal, BotoesDeAtalhoTrocamDeLugar) {
    QToolButton* ocultar = botao("Ocultar Botões de Atalho");
    QToolButton* exibir = botao("Exibir Botões de Atalho");
    ASSERT_TRUE(ocultar && exibir);
    EXPECT_TRUE(ocultar->isVisible());
    EXPECT_FALSE(exibir->isVisible());
    ocultar->click();
    EXPECT_FALSE(janela->Barra()->isVisible());
    EXPECT_FALSE(ocultar->isVisible());
    EXPECT_TRUE(exibir->isVisible());

    // The data entry hides the bar too, and leaves it as the user had it.
    janela->GestaoFiscal1Click();
    janela->btnSairClick();
    EXPECT_FALSE(janela->Barra()->isVisible());

    exibir->click();
    EXPECT_TRUE(janela->Barra()->isVisible());
    EXPECT_TRUE(ocultar->isVisible());
    EXPECT_FALSE(exibir->isVisible());
}

TEST_F(Principal, JanelasAindaAusentesAvisam) {
    TFrmPrincipalNQ404 vazia({});
    vazia.btnAnexosClick();
    vazia.GestaoFiscal1Click();
    vazia.EmpenhosReserva1Click();
    EXPECT_EQ(vazia.areaFilhas()->subWindowList().size(), 0);
    ASSERT_EQ(msgs->registro().size(), 3u);
    EXPECT_EQ(msgs->registro()[0].texto, "Esta opção ainda não está disponível nesta versão.");
}

TEST_F(Principal, AjudaAusenteDizOndeObter) {
    QTemporaryDir dir;
    const QString ini = dir.filePath("Vexo.ini");
    QFile f(ini);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QStringLiteral("[VEXO]\nAno=2008\nCaminho_Base_Dados=%1/VEXO_8/\n")
                .arg(dir.path())
                .toUtf8());
    f.close();
    defineCaminhoVexoIni(ini);
    janela->btnAjudaClick();
    defineCaminhoVexoIni({});
    ASSERT_EQ(msgs->registro().size(), 1u);
    EXPECT_EQ(msgs->registro()[0].titulo, "Atenção");
    EXPECT_TRUE(msgs->registro()[0].texto.startsWith(
        "O arquivo sobre as instruções das classificações especiais não foi encontrado!\n"));
    EXPECT_TRUE(msgs->registro()[0].texto.contains("\"TABDEF - Definição da Base de Dados\""));
}

} // namespace
