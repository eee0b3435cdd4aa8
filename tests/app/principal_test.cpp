#include "../rotulos_legiveis.h"
#include "apoio/aplicacao.h"
#include "app/aplicacao.h"
#include "app/inicio.h"
#include "app/principal.h"
#include "app/versao.h"
#include "core/configuracao.h"
#include "core/mensagens.h"
#include "entry/janela/digitacao.h"
#include "entry/janela/modelo_grade.h"
#include "tables/clientdataset.h"

#include <QComboBox>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QUrl>
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

TEST_F(Principal, SairEEscapeFechamAFilhaDepoisOPrograma) {
    janela->btnAnexosClick();
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(janela.get(), &esc); // Escape only closes with no child
    EXPECT_TRUE(janela->isVisible());
    janela->btnSairClick();
    EXPECT_FALSE(lancador);
    EXPECT_EQ(filhas(), 0);
    EXPECT_TRUE(janela->isVisible());
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

// The main window with the real data-entry window on a data directory of its own.
class PrincipalComDigitacao : public ::testing::Test {
protected:
    static void SetUpTestSuite() { garanteAplicacao(); }

    PrincipalComDigitacao() {
        dados = dir.path() + "/ARQ2008/";
        QDir().mkpath(dados);
        janelas.digitacao = [this](const QString& titulo) {
            digitacao = new TFrmDigitacao(titulo, {dados, nullptr, nullptr});
            return digitacao.data();
        };
        janelas.lancador = [this] {
            lancador = new QLabel(QStringLiteral("lançador"));
            return lancador.data();
        };
        janela = std::make_unique<TFrmPrincipalNQ404>(janelas);
    }

    void mostra(QSize tamanho) {
        janela->resize(tamanho);
        janela->show();
        QApplication::setActiveWindow(janela.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(janela.get()));
    }

    // Annex 1's receipt file open for typing, with one value typed and confirmed.
    void digitaAnexo1() {
        janela->ExecucaoOrcamentaria1Click();
        ASSERT_TRUE(digitacao);
        digitacao->cmbAnexos->setCurrentIndex(0);
        digitacao->comboTipo->setCurrentIndex(digitacao->comboTipo->findText("RECEITA"));
        QTest::mouseClick(digitacao->btnmes, Qt::LeftButton);
        ASSERT_TRUE(digitacao->cdsDig.active());
        digitacao->DBGrid->setFocus();
        digitacao->DBGrid->setCurrentIndex(
            digitacao->modelo()->index(3, digitacao->cdsDig.fieldIndex("REALIZADO_BIM1")));
        QTest::keyClicks(QApplication::focusWidget(), "5");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        ASSERT_TRUE(digitacao->temAlteracoes());
    }

    QString arquivo() const { return dados + "NQ404_Anexo1_Receita.xml"; }
    QByteArray conteudo() const {
        QFile f(arquivo());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QTemporaryDir dir;
    QString dados;
    MensagensDeTeste msgs;
    JanelasDoPrincipal janelas;
    QPointer<TFrmDigitacao> digitacao;
    QPointer<QLabel> lancador;
    std::unique_ptr<TFrmPrincipalNQ404> janela;
};

TEST_F(PrincipalComDigitacao, DigitacaoNaoSePerdeAoAbrirOutraJanelaOuSair) {
    mostra({1024, 768});
    digitaAnexo1();
    const QByteArray antes = conteudo();
    const QString pergunta = "Deseja gravar as alterações?";

    // The launcher, "Sair", Escape and closing the frame each ask; "Cancelar" keeps all.
    msgs->enfileiraResposta(Resposta::Cancelar);
    janela->btnAnexosClick();
    msgs->enfileiraResposta(Resposta::Cancelar);
    janela->btnSairClick();
    msgs->enfileiraResposta(Resposta::Cancelar);
    EXPECT_FALSE(janela->close());
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(janela.get(), &esc);
    EXPECT_EQ(msgs->textos(), QStringList({pergunta, pergunta, pergunta}));
    EXPECT_TRUE(janela->isVisible());
    ASSERT_TRUE(digitacao);
    EXPECT_TRUE(digitacao->cdsDig.active());
    EXPECT_FALSE(lancador);
    EXPECT_EQ(conteudo(), antes);

    // "Não" lets the launcher in and leaves the file as it was.
    msgs->enfileiraResposta(Resposta::Nao);
    janela->btnAnexosClick();
    EXPECT_FALSE(digitacao);
    EXPECT_TRUE(lancador);
    EXPECT_EQ(conteudo(), antes);

    // "Sim" saves before the program ends.
    digitaAnexo1();
    msgs->limpa();
    msgs->enfileiraResposta(Resposta::Sim);
    EXPECT_TRUE(janela->close());
    EXPECT_EQ(msgs->textos(), QStringList{pergunta});
    EXPECT_FALSE(janela->isVisible());
    EXPECT_NE(conteudo(), antes);
}

TEST_F(PrincipalComDigitacao, JanelasCabemEm800Por600) {
    mostra({800, 600});
    ASSERT_LE(janela->width(), 800);
    ASSERT_LE(janela->height(), 600);
    EXPECT_EQ(textosCortados(*janela), QStringList());

    janela->ExecucaoOrcamentaria1Click();
    ASSERT_TRUE(digitacao);
    // Before an annex is chosen the heading sits at the top.
    EXPECT_LT(digitacao->cmbAnexos->mapTo(digitacao, QPoint(0, 0)).y(), 100);
    digitaAnexo1();
    QApplication::processEvents();
    const QRect visivel = janela->rect();
    for (QWidget* w :
         {static_cast<QWidget*>(digitacao->btnok), static_cast<QWidget*>(digitacao->btncancel),
          static_cast<QWidget*>(digitacao->DBGrid)}) {
        const QRect onde(w->mapTo(janela.get(), QPoint(0, 0)), w->size());
        EXPECT_TRUE(visivel.contains(onde)) << w->objectName().toStdString();
    }
    EXPECT_EQ(textosCortados(*janela), QStringList());
    // Titles fit their columns, descriptions get room.
    auto* cabecalho = digitacao->DBGrid->horizontalHeader();
    for (int c = 0; c < digitacao->modelo()->columnCount(); ++c) {
        if (digitacao->DBGrid->isColumnHidden(c))
            continue;
        const QString titulo =
            digitacao->modelo()->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
        const QSize precisa = cabecalho->fontMetrics().size(0, titulo);
        EXPECT_LE(precisa.width(), cabecalho->sectionSize(c)) << titulo.toStdString();
        EXPECT_LE(precisa.height(), cabecalho->height()) << titulo.toStdString();
    }
    msgs->enfileiraResposta(Resposta::Nao);
}

// Stands for the desktop's viewer.
class Visualizador : public QObject {
    Q_OBJECT
public:
    QList<QUrl> abertos;
public slots:
    void abre(const QUrl& url) { abertos << url; }
};

TEST_F(Principal, AjudaEmHtmlAbertaPeloVisualizadorDoDesktop) {
    QTemporaryDir dir;
    const QString ini = dir.filePath("Vexo.ini");
    QFile v(ini);
    ASSERT_TRUE(v.open(QIODevice::WriteOnly));
    v.write(QStringLiteral("[VEXO]\nAno=2008\nCaminho_Base_Dados=%1/VEXO_8/\n")
                .arg(dir.path())
                .toUtf8());
    v.close();
    defineCaminhoVexoIni(ini);
    // Without the file the user is told where to get it.
    janela->btnAjudaClick();
    ASSERT_EQ(msgs->registro().size(), 1u);
    EXPECT_TRUE(msgs->registro()[0].texto.contains("\"TABDEF - Definição da Base de Dados\""));
    msgs->limpa();

    QDir().mkpath(dir.filePath("VEXO_8/TABDEF"));
    const QString html = dir.filePath("VEXO_8/TABDEF/MTCE.html");
    QFile f(html);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("<html><body>Instruções</body></html>");
    f.close();
    Visualizador visualizador;
    QDesktopServices::setUrlHandler("file", &visualizador, "abre");
    janela->btnAjudaClick();
    QDesktopServices::unsetUrlHandler("file");
    EXPECT_EQ(visualizador.abertos, QList<QUrl>{QUrl::fromLocalFile(html)});
    EXPECT_TRUE(msgs->registro().empty());

    // No program to open it: the user is told which file it is.
    janela->btnAjudaClick();
    defineCaminhoVexoIni({});
    ASSERT_EQ(msgs->registro().size(), 1u);
    EXPECT_TRUE(msgs->registro()[0].texto.contains(html)) << msgs->textos()[0].toStdString();
}

TEST(Traducoes, DialogosDoQtEmPortugues) {
    garanteAplicacao();
    ASSERT_TRUE(instalaTraducoesDoQt(*qApp));
    QFileDialog dialogo;
    dialogo.setOption(QFileDialog::DontUseNativeDialog);
    dialogo.setAcceptMode(QFileDialog::AcceptSave);
    QStringList botoes;
    for (QAbstractButton* b : dialogo.findChild<QDialogButtonBox*>()->buttons())
        botoes << b->text().remove(u'&');
    EXPECT_TRUE(botoes.contains("Salvar")) << botoes.join('|').toStdString();
    EXPECT_TRUE(botoes.contains("Cancelar")) << botoes.join('|').toStdString();
    EXPECT_TRUE(
        QCoreApplication::translate("QFileDialog", "%1 already exists.\nDo you want to replace it?")
            .contains(QStringLiteral("já existe")));
}

TEST_F(Principal, MenusDaAlturaDeSeusItens) {
    for (QAction* a : janela->menuBar()->actions()) {
        QMenu* menu = a->menu();
        if (!menu)
            continue;
        menu->ensurePolished();
        const int porItem = menu->fontMetrics().height() + 14;
        EXPECT_LE(menu->sizeHint().height(), menu->actions().size() * porItem + 6)
            << a->text().toStdString();
    }
}

TEST_F(Principal, LegendaDeAnexosLegivelAoPressionar) {
    QToolButton* anexos = janela->findChild<QToolButton*>("btnAnexos");
    ASSERT_TRUE(anexos);
    anexos->setDown(true);
    const QImage imagem = anexos->grab().toImage();
    anexos->setDown(false);
    // White caption on the pressed button's background: the background must be dark.
    const QColor fundo = imagem.pixelColor(4, imagem.height() - 4);
    EXPECT_LT(qGray(fundo.rgb()), 128) << fundo.name().toStdString();
}

} // namespace

#include "principal_test.moc"
