#include "../rotulos_legiveis.h"
#include "apoio/golden.h"
#include "app/imprime.h"
#include "app/janelas.h"
#include "app/paramedu.h"
#include "app/planilha_tce.h"
#include "app/principal.h"
#include "banco_lancador.h"
#include "core/erro.h"
#include "report/despejo.h"
#include "report/motor.h"
#include "report/preview/preview.h"
#include "report/preview/saida.h"
#include "workbook/libreoffice.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QFileInfo>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QPushButton>
#include <QSemaphore>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <optional>

using namespace nq;

namespace {

// What an annex window saw each time the launcher pressed it or showed it.
struct Registro {
    int criacoes = 0;
    int execucoes = 0;
    int bimestre = -1;
    QString filtro;
    QString titulo;               // of a report the annex prints under its own default name
    std::optional<QString> falha; // the error its button raises
};

// An annex window as the launcher meets it: hidden, with the button it presses.
class AnexoDeTeste : public QWidget {
public:
    AnexoDeTeste(QWidget* dono, const QString& botao, Registro& r) : QWidget(dono) {
        auto* b = new QPushButton(this);
        b->setObjectName(botao);
        QObject::connect(b, &QPushButton::clicked, [&r] {
            ++r.execucoes;
            r.bimestre = lancador().bimestreSelecionado();
            r.filtro = lancador().filtroReserva();
            r.titulo = tituloDoRelatorio(TppReport());
            if (r.falha)
                throw Erro(*r.falha);
        });
    }
};

// A window the launcher shows modally; it closes as soon as it is up.
class DialogoDeTeste : public QDialog {
public:
    DialogoDeTeste(QWidget* dono, Registro& r) : QDialog(dono), r_(r) {}

protected:
    void showEvent(QShowEvent* e) override {
        QDialog::showEvent(e);
        ++r_.execucoes;
        QTimer::singleShot(0, this, &QDialog::accept);
    }

private:
    Registro& r_;
};

// Keeps the pages of every report printed.
class Coletor : public SaidaDeRelatorios {
public:
    void apresenta(TppReport&, const Documento& documento) override {
        despejos << despejo(documento);
    }
    QStringList despejos;
};

const QStringList Executadas = {"ImpAnexo1", "ImpAnexo1B", "ImpAnexo2", "ImpAnexo3", "ImpAnexo4",
                                "ImpAnexo5", "ImpAnexo6",  "Form07",    "ImpAnexo8"};
const QStringList Botoes = {"btncalcula", "btncalcula",  "btncalcula",  "btncalcula", "btncalcula",
                            "btncalcula", "BtnImprimir", "BtnImprimir", "btncalcula"};

class Lancador : public BancoDoLancador {
protected:
    Lancador() : saida(coletor) {}

    AnexosDisponiveis anexos() {
        AnexosDisponiveis a;
        for (int i = 0; i < Executadas.size(); ++i)
            a[Executadas[i]] = [this, i](QWidget* dono) {
                Registro& r = registros[Executadas[i]];
                ++r.criacoes;
                return new AnexoDeTeste(dono, Botoes[i], r);
            };
        for (const QString nome : {"Form101", "ImpAnexo10"})
            a[nome] = [this, nome](QWidget* dono) {
                ++registros[nome].criacoes;
                return new DialogoDeTeste(dono, registros[nome]);
            };
        return a;
    }

    std::unique_ptr<TFrmImprime> abre(AnexosDisponiveis a) {
        auto l = std::make_unique<TFrmImprime>(std::move(a), nullptr);
        l->resize(900, 700);
        l->show();
        return l;
    }
    std::unique_ptr<TFrmImprime> abre() { return abre(anexos()); }

    // A click on the row, where the user sees it.
    void clica(TFrmImprime& l, int linha) {
        QTreeWidgetItem* item = l.ListView1->topLevelItem(linha);
        const QRect area = l.ListView1->visualItemRect(item);
        ASSERT_TRUE(l.ListView1->viewport()->rect().contains(area.center()));
        QTest::mouseClick(l.ListView1->viewport(), Qt::LeftButton, {}, area.center());
    }
    int execucoes(const QString& janela) { return registros[janela].execucoes; }
    int execucoesTotais() {
        int n = 0;
        for (const auto& [nome, r] : registros)
            n += r.execucoes;
        return n;
    }

    std::map<QString, Registro> registros;
    Coletor coletor;
    SaidaInstalada saida;
};

TEST_F(Lancador, ControlesComoOsAnexosLeem) {
    auto l = abre();
    EXPECT_EQ(&lancador(), l.get());
    EXPECT_EQ(l->textoBimestre(), "");
    EXPECT_EQ(l->indiceBimestre(), -1);
    l->combomes->setCurrentIndex(2);
    EXPECT_EQ(l->digitoBimestre(), "3");
    // The room the launcher has in the main window on an 800 x 600 screen.
    l->resize(690, 470);
    QApplication::processEvents();
    EXPECT_EQ(textosCortados(*l), QStringList());
    EXPECT_EQ(l->indiceBimestre(), 2);
    l.reset();
    EXPECT_THROW(lancador(), Erro);
}

TEST_F(Lancador, SemBimestre) {
    auto l = abre();
    for (int linha = 0; linha <= 7; ++linha) {
        msgs->limpa();
        clica(*l, linha);
        EXPECT_EQ(msgs->textos(), QStringList{"Especifique o Bimestre!"}) << linha;
        EXPECT_TRUE(l->combomes->view()->isVisible());
        l->combomes->hidePopup();
    }
    EXPECT_EQ(execucoesTotais(), 0);
    // Row 8 needs no bimester.
    msgs->limpa();
    clica(*l, 8);
    EXPECT_TRUE(msgs->registro().empty());
    EXPECT_EQ(execucoes("ImpAnexo8"), 1);
    EXPECT_EQ(registros["ImpAnexo8"].bimestre, 0);
    msgs->limpa();
    clica(*l, 9);
    EXPECT_EQ(msgs->textos(), QStringList{"Relatório não disponível nessa versão!"});
    EXPECT_EQ(execucoesTotais(), 1);
}

TEST_F(Lancador, CadaLinhaSeuAnexo) {
    auto l = abre();
    l->combomes->setCurrentIndex(4);
    for (int linha : {0, 1, 2, 3, 4, 5, 6, 7, 8, 10, 11})
        clica(*l, linha);
    EXPECT_TRUE(msgs->registro().empty()) << msgs->textos().join('|').toStdString();
    for (const auto& [nome, r] : registros) {
        EXPECT_EQ(r.execucoes, 1) << nome.toStdString();
        EXPECT_EQ(r.criacoes, 1) << nome.toStdString();
    }
    EXPECT_EQ(registros.size(), 11u);
    EXPECT_EQ(registros["ImpAnexo1"].bimestre, 5);
    EXPECT_EQ(registros["ImpAnexo1"].titulo,
              "Anexo 1 - Relatório Resumido da Execução Orçamentária - Prefeitura Municipal de "
              "Teste - 5º Bimestre de 2008");
    EXPECT_EQ(registros["ImpAnexo8"].titulo,
              "Anexo 8 - Projeções Atuariais do Regime de Previdência Própria - Prefeitura "
              "Municipal de Teste - Exercício de 2008");
    // Outside a run, reports keep the designer's name.
    EXPECT_EQ(tituloDoRelatorio(TppReport()), "Report");
    EXPECT_TRUE(coletor.despejos.isEmpty());
    // Rows 0 to 8 are freed after the press; rows 10 and 11 stay for the next click.
    EXPECT_FALSE(l->findChild<QWidget*>("ImpAnexo1"));
    ASSERT_TRUE(l->findChild<QDialog*>("Form101"));
    clica(*l, 10);
    EXPECT_EQ(execucoes("Form101"), 2);
    EXPECT_EQ(registros["Form101"].criacoes, 1);
}

TEST_F(Lancador, MesmaLinhaDuasVezesMarcaUmaEExecutaDuas) {
    auto l = abre();
    l->combomes->setCurrentIndex(0);
    l->ListView1->setFocus();
    clica(*l, 5);
    QTest::keyClick(l->ListView1, Qt::Key_Return);
    EXPECT_EQ(execucoes("ImpAnexo5"), 2);
    EXPECT_EQ(registros["ImpAnexo5"].criacoes, 2);
    EXPECT_EQ(l->ListView1->topLevelItem(5)->checkState(0), Qt::Checked);
    EXPECT_EQ(l->ListView1->topLevelItem(4)->checkState(0), Qt::Unchecked);
}

TEST_F(Lancador, AnexoAindaAusenteAvisa) {
    auto l = abre({});
    l->combomes->setCurrentIndex(0);
    for (int linha : {0, 6, 10}) {
        msgs->limpa();
        clica(*l, linha);
        ASSERT_EQ(msgs->registro().size(), 1u);
        EXPECT_TRUE(msgs->registro()[0].texto.contains("ainda não está disponível")) << linha;
    }
}

TEST_F(Lancador, ErroDaLinha0EMostradoEOLancadorSegue) {
    auto l = abre();
    l->combomes->setCurrentIndex(1);
    registros["ImpAnexo1"].falha = "Tabela vazia";
    QApplication::setOverrideCursor(Qt::WaitCursor);
    clica(*l, 0);
    EXPECT_EQ(msgs->textos(), QStringList{"O seguinte erro ocorreu!\rErro: Tabela vazia"});
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_FALSE(l->findChild<QWidget*>("ImpAnexo1"));

    registros["ImpAnexo1"].falha.reset();
    clica(*l, 0);
    EXPECT_EQ(execucoes("ImpAnexo1"), 2);

    // Other rows leave their errors to the program's general display.
    registros["ImpAnexo2"].falha = "Falha do anexo 2";
    l->ListView1->setCurrentItem(l->ListView1->topLevelItem(2));
    EXPECT_THROW(l->ListView1Click(), Erro);
    EXPECT_FALSE(l->findChild<QWidget*>("ImpAnexo2"));
}

TEST_F(Lancador, CamaraRecebeOAviso) {
    defineMunicipio("Câmara Municipal de Teste");
    auto l = abre();
    EXPECT_TRUE(l->camaraLegislativa());
    l->combomes->setCurrentIndex(2);
    for (int linha = 0; linha <= 11; ++linha)
        if (linha != 9)
            clica(*l, linha);
    EXPECT_EQ(coletor.despejos.size(), 8);
    EXPECT_EQ(execucoes("ImpAnexo3"), 1);
    EXPECT_EQ(execucoes("Form101"), 1);
    EXPECT_EQ(execucoes("ImpAnexo10"), 1);
    EXPECT_EQ(execucoesTotais(), 3);
    const QString golden = QStringLiteral(NQ404_FONTE "/tests/app/golden");
    nq::teste::comparaComGolden(golden, "aviso_camara_modelo1", coletor.despejos[0]);
    nq::teste::comparaComGolden(golden, "aviso_camara_modelo7", coletor.despejos[6]);

    // The flag stays set even if the name changes while the launcher is open.
    defineMunicipio("Prefeitura Municipal de Teste");
    l->hide();
    l->show();
    EXPECT_TRUE(l->camaraLegislativa());
}

TEST_F(Lancador, AvisoDoModelo8SemBimestre) {
    defineMunicipio("Câmara Municipal de Teste");
    auto l = abre();
    clica(*l, 8);
    ASSERT_EQ(coletor.despejos.size(), 1);
    EXPECT_TRUE(coletor.despejos[0].contains("\"º BIMESTRE DE 2008\""));
    EXPECT_EQ(execucoesTotais(), 0);
}

TEST_F(Lancador, ReservaMudaSoQuandoOLancadorReaparece) {
    const QString semReserva = " (D.TPEM<>'RD') AND (COALESCE(D.PKEMPA, 0) NOT IN (SELECT PKEMP "
                               "FROM DESPES WHERE DESPES.TPEM='RD')) AND ";
    auto l = abre();
    l->combomes->setCurrentIndex(0);
    clica(*l, 0);
    EXPECT_EQ(registros["ImpAnexo1"].filtro, semReserva);

    {
        Tfrmparamedu dialogo;
        dialogo.show();
        dialogo.RD->click();
        dialogo.BtnOK->click();
    }
    EXPECT_EQ(rdGravado(), "T");
    clica(*l, 0);
    EXPECT_EQ(registros["ImpAnexo1"].filtro, semReserva);

    l->hide();
    l->show();
    clica(*l, 0);
    EXPECT_EQ(registros["ImpAnexo1"].filtro, " ");
}

TEST_F(Lancador, CaminhoDaPlanilhaLembrado) {
    QTemporaryDir dir;
    defineCaminhoCorfocoIni(dir.filePath("corfoco.ini"));
    {
        auto l = abre();
        EXPECT_EQ(l->Edit1->text(), "");
        const QString escolhida = dir.filePath("Anexos TCE, 2008.xls");
        l->escolheArquivo = [&] { return escolhida; };
        l->Edit1->setEnabled(false);
        l->SpeedButton1->click();
        EXPECT_TRUE(l->Edit1->isEnabled());
        EXPECT_EQ(l->Edit1->text(), escolhida);
        // A file that does not exist is not checked: nothing is shown.
        l->Edit1Exit();
        EXPECT_TRUE(msgs->registro().empty());

        // Cancelling the dialog keeps the path.
        l->escolheArquivo = [] { return QString(); };
        l->escolhePlanilha();
        EXPECT_EQ(l->Edit1->text(), escolhida);
    }
    auto outro = abre();
    EXPECT_EQ(outro->Edit1->text(), dir.filePath("Anexos TCE, 2008.xls"));
    defineCaminhoCorfocoIni({});
}

// A workbook that reads one version text, and notes on which thread it was opened
// and whether the windows answered meanwhile.
class PlanilhaDeTeste : public Planilha {
public:
    struct Registro {
        int aberturas = 0;
        bool abertaForaDaJanela = false;
        bool janelasResponderam = false;
        QString aviso; // the notice on show while the workbook opened
        QString versao = "V 2008";
        bool falha = false;
    };
    explicit PlanilhaDeTeste(Registro& r) : r_(r) {}
    void abre(const QString&) override {
        ++r_.aberturas;
        r_.abertaForaDaJanela = QThread::currentThread() != qApp->thread();
        QSemaphore respondeu;
        QMetaObject::invokeMethod(
            qApp,
            [this, &respondeu] {
                if (auto* aviso = QApplication::activeModalWidget())
                    if (auto* texto = aviso->findChild<QLabel*>("aviso");
                        texto && aviso->isVisible())
                        r_.aviso = texto->text();
                respondeu.release();
            },
            Qt::QueuedConnection);
        r_.janelasResponderam = respondeu.tryAcquire(1, 5000);
        if (r_.falha)
            throw Erro("O LibreOffice não respondeu.");
    }
    void criaNova(const QStringList&) override {}
    void selecionaFolha(const QString&) override {}
    ValorCelula le(const QString&) override { return ValorCelula::deTexto(r_.versao); }
    void escreveNumero(const QString&, double) override {}
    void escreveTexto(const QString&, const QString&) override {}
    void salvaComo(const QString&) override {}
    void mostra() override {}
    void fecha() override {}

private:
    Registro& r_;
};

TEST_F(Lancador, VerificacaoGuardadaEJanelasVivasDuranteEla) {
    QTemporaryDir dir;
    defineCaminhoCorfocoIni(dir.filePath("corfoco.ini"));
    const QString pasta = dir.filePath("tce.xls");
    QFile arquivo(pasta);
    ASSERT_TRUE(arquivo.open(QIODevice::WriteOnly));
    arquivo.write("versão 1");
    arquivo.close();
    PlanilhaDeTeste::Registro r;
    const auto abreComPlanilha = [&] {
        auto l = abre();
        l->planilhaDaVerificacao = [&r] { return std::make_unique<PlanilhaDeTeste>(r); };
        l->Edit1->setText(pasta);
        return l;
    };
    const QString abrindo = "A planilha será aberta para verificação da versão!";
    const QString compativel =
        "Versão da Planilha compativel para exportação dos dados. Calcule os anexos!";

    auto l = abreComPlanilha();
    // Another window taking the focus is not leaving the field.
    QFocusEvent paraOutraJanela(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(l->Edit1, &paraOutraJanela);
    EXPECT_TRUE(msgs->registro().empty());
    QFocusEvent tab(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(l->Edit1, &tab);
    EXPECT_EQ(msgs->textos(), QStringList({abrindo, compativel}));
    EXPECT_EQ(r.aberturas, 1);
    EXPECT_TRUE(r.abertaForaDaJanela);
    EXPECT_TRUE(r.janelasResponderam);
    EXPECT_EQ(r.aviso, "Verificando a versão da planilha...");
    EXPECT_FALSE(l->Edit1->isEnabled());

    // Unchanged, the file is not opened again, not even by a launcher opened anew.
    msgs->limpa();
    l->Edit1->setEnabled(true);
    l->Edit1Exit();
    l = abreComPlanilha();
    l->Edit1Exit();
    EXPECT_EQ(r.aberturas, 1);
    EXPECT_TRUE(msgs->registro().empty());
    EXPECT_FALSE(l->Edit1->isEnabled());

    // Changed, it is; a wrong version is kept too, and said again without opening.
    ASSERT_TRUE(arquivo.open(QIODevice::Append));
    arquivo.write(", versão 2");
    arquivo.close();
    r.versao = "X";
    l = abreComPlanilha();
    l->Edit1Exit();
    EXPECT_EQ(r.aberturas, 2);
    l->Edit1Exit();
    EXPECT_EQ(r.aberturas, 2);
    ASSERT_EQ(msgs->registro().size(), 3u);
    EXPECT_EQ(msgs->registro()[1].texto, msgs->registro()[2].texto);
    EXPECT_EQ(msgs->registro()[2].titulo, "Operação Cancelada.");
    EXPECT_TRUE(l->Edit1->isEnabled());

    // Another year reads another cell: checked again. A failure is not kept.
    executa("UPDATE CADCLI SET MEXER = '2005'");
    dados->qrCliente.close();
    r.falha = true;
    l->Edit1Exit();
    l->Edit1Exit();
    EXPECT_EQ(r.aberturas, 4);
    executa("UPDATE CADCLI SET MEXER = '2008'");
    defineCaminhoCorfocoIni({});
}

TEST_F(Lancador, BotaoAnexosAbreOLancadorDoPrograma) {
    defineMunicipio("Câmara Municipal de Teste");
    LibreOffice office;
    TFrmPrincipalNQ404 principal(janelasDoPrograma(office));
    principal.show();
    principal.btnAnexosClick();
    auto* l = dynamic_cast<TFrmImprime*>(&lancador());
    ASSERT_TRUE(l);
    EXPECT_TRUE(l->camaraLegislativa());
    EXPECT_EQ(principal.areaFilhas()->subWindowList().size(), 1);
    // The program's own windows: the fiscal-management row opens its window modally.
    QString aberta;
    l->mostraModal = [&aberta](QDialog& janela) { aberta = janela.objectName(); };
    l->ListView1->setCurrentItem(l->ListView1->topLevelItem(10));
    l->ListView1Click();
    EXPECT_EQ(aberta, "Form101");
    EXPECT_TRUE(msgs->registro().empty());
}

} // namespace
