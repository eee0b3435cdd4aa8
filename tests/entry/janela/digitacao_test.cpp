#include "../banco_roteirizado.h"
#include "core/mensagens.h"
#include "entry/catalogo.h"
#include "entry/janela/digitacao.h"
#include "entry/janela/modelo_grade.h"
#include "tables/clientdataset.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QMainWindow>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace nq;

namespace {

void garanteAplicacao() {
    static int argc = 1;
    static char nome[] = "entry_janela_testes";
    static char* argv[] = {nome, nullptr};
    if (!QApplication::instance())
        new QApplication(argc, argv);
}

Moeda reais(int64_t centavos) {
    return Moeda::deDezMilesimos(centavos * 100);
}

QByteArray conteudo(const QString& arquivo) {
    QFile f(arquivo);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class JanelaDeDigitacao : public ::testing::Test {
protected:
    void SetUp() override {
        garanteAplicacao();
        ASSERT_TRUE(raiz.isValid());
        dir = raiz.path() + "/ARQ2008/";
        QDir().mkpath(dir);
        banco.responde("SELECT * FROM CADCLI",
                       {{{"MEXER", FieldKind::Text, 4}}, {{Value(QStringLiteral("2008"))}}});
        qrCliente.setProvider(&banco);
        qrCliente.setCommandText("SELECT * FROM CADCLI");
    }

    void TearDown() override {
        if (janela)
            janela->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void abre(QWidget* pai = nullptr,
              const QString& relato = "1- Relatório Resumido da Execução Orçamentária") {
        janela = new TFrmDigitacao(relato, {dir, nullptr, &qrCliente}, pai);
        QWidget* topo = janela->window();
        topo->resize(1200, 800);
        topo->show();
        QApplication::setActiveWindow(topo);
        ASSERT_TRUE(QTest::qWaitForWindowActive(topo));
    }

    // Chooses an annex by its code, then the type or year by text.
    void escolhe(const QString& codigo, const QString& tipo = {}, const QString& ano = {}) {
        const int item = janela->cmbAnexos->findText(codigo.leftJustified(5), Qt::MatchStartsWith);
        ASSERT_GE(item, 0) << codigo.toStdString();
        janela->cmbAnexos->setCurrentIndex(item);
        if (!tipo.isEmpty())
            janela->comboTipo->setCurrentIndex(janela->comboTipo->findText(tipo));
        if (!ano.isEmpty())
            janela->cmbmes->setCurrentIndex(janela->cmbmes->findText(ano));
    }

    void clica(QPushButton* botao) { QTest::mouseClick(botao, Qt::LeftButton); }

    int linha(const QString& id) {
        const int c = janela->cdsDig.fieldIndex("ID");
        for (int l = 0; l < janela->modelo()->rowCount(); ++l)
            if (janela->cdsDig.valueAt(l, c).asString() == id)
                return l;
        ADD_FAILURE() << "sem a linha " << id.toStdString();
        return 0;
    }

    // Types `teclas` into the cell as a user would, key by key, into whatever
    // has the focus (the grid, then its cell editor).
    void digita(int l, const QString& campo, const QString& teclas, bool confirma = true) {
        janela->DBGrid->setFocus();
        janela->DBGrid->setCurrentIndex(
            janela->modelo()->index(l, janela->cdsDig.fieldIndex(campo)));
        for (const QChar c : teclas)
            QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
        if (confirma) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            // The cell editor hands its text over once the key is through.
            QCoreApplication::processEvents();
        }
    }

    Moeda le(const QString& arquivo, const QString& chave, const Value& valor,
             const QString& coluna) {
        ClientDataSet t;
        t.loadFromFile(arquivo);
        EXPECT_TRUE(t.locate(chave, valor));
        return t.fieldByName(coluna).asCurrency();
    }

    QTemporaryDir raiz;
    QString dir;
    teste::BancoRoteirizado banco;
    ClientDataSet qrCliente{"qrCliente"};
    MensagensDeTeste msgs;
    QPointer<TFrmDigitacao> janela;
};

} // namespace

TEST_F(JanelaDeDigitacao, ReceitaDoAnexo1DigitadaSalvaESomaOsTitulos) {
    abre();
    ASSERT_EQ(janela->cmbAnexos->count(), 9);
    EXPECT_TRUE(janela->paginas->isHidden());
    escolhe("1", "RECEITA");
    EXPECT_FALSE(janela->paginas->isHidden());
    EXPECT_TRUE(janela->cmbmes->isHidden());
    clica(janela->btnmes);
    ASSERT_TRUE(janela->cdsDig.active());
    EXPECT_TRUE(janela->btnok->isEnabled());
    EXPECT_FALSE(janela->btnmes->isEnabled());
    EXPECT_FALSE(janela->cmbAnexos->isEnabled());
    // Text columns read-only, TITULO, ID and FILTRO out of sight.
    const int nome = janela->cdsDig.fieldIndex("NOME");
    EXPECT_FALSE(janela->modelo()->flags(janela->modelo()->index(linha("00040"), nome)) &
                 Qt::ItemIsEditable);
    EXPECT_TRUE(janela->DBGrid->isColumnHidden(janela->cdsDig.fieldIndex("FILTRO")));
    EXPECT_FALSE(janela->DBGrid->isColumnHidden(janela->cdsDig.fieldIndex("PREVISTO_BIM1")));

    digita(linha("00040"), "REALIZADO_BIM1", "1234.56");     // IPTU
    EXPECT_EQ(janela->cdsDig.state(), DataSetState::Browse); // Enter posted it
    digita(linha("00050"), "REALIZADO_BIM1", "1000,5");      // ISSQN
    digita(linha("00145"), "REALIZADO_BIM1", "-100");        // deductions
    digita(linha("00200"), "REALIZADO_BIM1", "70");          // 2200
    digita(linha("00200"), "PREVISAO_ANUAL", "9", false);    // still in the editor at "Ok"
    EXPECT_TRUE(msgs->registro().empty()) << msgs->textos().join("|").toStdString();
    clica(janela->btnok);
    EXPECT_FALSE(janela->cdsDig.active());
    EXPECT_TRUE(janela->btnmes->isEnabled());

    const QString arq = caminhoArquivo(dir, ArquivoDigitado::Anexo1Receita);
    EXPECT_EQ(le(arq, "ID", "00040", "REALIZADO_BIM1"), reais(123456));
    EXPECT_EQ(le(arq, "ID", "00050", "REALIZADO_BIM1"), reais(100050));
    EXPECT_EQ(le(arq, "ID", "00200", "PREVISAO_ANUAL"), reais(900));
    EXPECT_EQ(le(arq, "ID", "00010", "REALIZADO_BIM1"), reais(123456 + 100050 - 10000));
    EXPECT_EQ(le(arq, "ID", "00030", "REALIZADO_BIM1"), reais(223506));
    EXPECT_EQ(le(arq, "ID", "00160", "REALIZADO_BIM1"), reais(7000));
    EXPECT_EQ(le(arq, "ID", "00170", "REALIZADO_BIM1"), Moeda());
    EXPECT_EQ(le(arq, "ID", "00240", "REALIZADO_BIM1"), reais(213506 + 7000));
    EXPECT_EQ(le(arq, "ID", "00240", "PREVISAO_ANUAL"), reais(900));
}

TEST_F(JanelaDeDigitacao, LinhaDeTituloRecusaATeclaEValorInvalidoNaoEhGravado) {
    abre();
    escolhe("1", "RECEITA");
    clica(janela->btnmes);
    ASSERT_TRUE(janela->cdsDig.active());
    digita(linha("00010"), "REALIZADO_BIM3", "5");
    ASSERT_EQ(msgs->registro().size(), 2u); // the digit and Enter
    EXPECT_EQ(msgs->registro()[0].texto,
              "Esse campo não é digitado ele será calculado posteriormente!");
    EXPECT_EQ(msgs->registro()[0].titulo, "Linha de Título!");
    msgs->limpa();
    digita(linha("00060"), "REALIZADO_BIM3", "12a");
    ASSERT_EQ(msgs->textos(), QStringList{"'12a' não é um valor válido."});
    clica(janela->btnok);

    const QString arq = caminhoArquivo(dir, ArquivoDigitado::Anexo1Receita);
    EXPECT_EQ(le(arq, "ID", "00060", "REALIZADO_BIM3"), Moeda());
    EXPECT_EQ(le(arq, "ID", "00010", "REALIZADO_BIM3"), Moeda());
}

TEST_F(JanelaDeDigitacao, DespesaDoAnexo1FicaVisivelDepoisDoOk) {
    abre();
    escolhe("1", "DESPESA");
    clica(janela->btnmes);
    digita(linha("00260"), "EMPENHADO_BIM2", "10");
    clica(janela->btnok);
    ASSERT_TRUE(janela->cdsDig.active());
    EXPECT_FALSE(janela->btnok->isEnabled());
    EXPECT_EQ(
        janela->modelo()->data(
            janela->modelo()->index(linha("00260"), janela->cdsDig.fieldIndex("EMPENHADO_BIM2")),
            Qt::DisplayRole),
        "10,00");
    // Nothing can be typed outside typing state, and title lines are not summed.
    EXPECT_FALSE(janela->modelo()->flags(janela->modelo()->index(linha("00260"), 5)) &
                 Qt::ItemIsEditable);
    const QString arq = caminhoArquivo(dir, ArquivoDigitado::Anexo1Despesa);
    EXPECT_EQ(le(arq, "ID", "00250", "EMPENHADO_BIM2"), Moeda());
}

TEST_F(JanelaDeDigitacao, Anexo3CalculaAsFormulasComOsValoresAnteriores) {
    abre();
    escolhe("3");
    EXPECT_TRUE(janela->anexo3());
    ASSERT_EQ(janela->comboTipo->count(), 2);
    EXPECT_EQ(janela->comboTipo->itemText(0), "2007");
    EXPECT_EQ(janela->comboTipo->itemText(1), "2008");
    janela->comboTipo->setCurrentIndex(0);
    clica(janela->btnmes);
    ASSERT_TRUE(janela->cdsDig.active());
    digita(linha("00030"), "JANEIRO", "100");
    digita(linha("00040"), "JANEIRO", "20.5");
    digita(linha("00050"), "JANEIRO", "3");
    digita(linha("00010"), "JANEIRO", "1000");
    digita(linha("00090"), "JANEIRO", "40");
    clica(janela->btnok);

    const QString arq = caminhoArquivo(dir, ArquivoDigitado::Anexo3, "2007");
    EXPECT_EQ(le(arq, "ID", "00020", "JANEIRO"), reais(12350));
    EXPECT_EQ(le(arq, "ID", "00060", "JANEIRO"), reais(112350));
    EXPECT_EQ(le(arq, "ID", "00140", "JANEIRO"), reais(4000));
    // Evaluated on the subtotals as they stood before: still zero.
    EXPECT_EQ(le(arq, "ID", "00300", "JANEIRO"), Moeda());

    // Saving again brings the net revenue up to date.
    clica(janela->btnmes);
    clica(janela->btnok);
    EXPECT_EQ(le(arq, "ID", "00300", "JANEIRO"), reais(108350));
    EXPECT_FALSE(QFile::exists(caminhoArquivo(dir, ArquivoDigitado::Anexo3, "2008")));
}

TEST_F(JanelaDeDigitacao, Anexo8TudoEditavelSemRecusaDeTitulo) {
    abre();
    escolhe("8");
    EXPECT_TRUE(janela->comboTipo->isHidden());
    clica(janela->btnmes);
    ASSERT_TRUE(janela->cdsDig.active());
    ASSERT_EQ(janela->modelo()->columnCount(), 4);
    for (int c = 0; c < 4; ++c) {
        EXPECT_FALSE(janela->DBGrid->isColumnHidden(c));
        EXPECT_TRUE(janela->modelo()->flags(janela->modelo()->index(0, c)) & Qt::ItemIsEditable);
    }
    const int l = janela->cdsDig.recordCount() - 1;
    ASSERT_EQ(janela->cdsDig.valueAt(l, 0).asInteger(), 2042);
    digita(l, "RECEITA", "5.5");
    digita(l, "DESPESA", "7");
    EXPECT_TRUE(msgs->registro().empty());
    clica(janela->btnok);
    const QString arq = caminhoArquivo(dir, ArquivoDigitado::Anexo8);
    EXPECT_EQ(le(arq, "ANO", int32_t(2042), "RECEITA"), reais(550));
    EXPECT_EQ(le(arq, "ANO", int32_t(2042), "DESPESA"), reais(700));
}

TEST_F(JanelaDeDigitacao, CancelaDeixaOArquivoComoEstava) {
    abre();
    escolhe("4", "DESPESA FINANC");
    clica(janela->btnmes);
    ASSERT_TRUE(janela->cdsDig.active());
    const QString arq = caminhoArquivo(dir, ArquivoDigitado::Anexo4DespesaFin);
    const QByteArray antes = conteudo(arq);
    ASSERT_FALSE(antes.isEmpty());
    digita(linha("00010"), "REALIZADA_BIM1", "99");
    digita(linha("00020"), "REALIZADA_BIM1", "98", false);
    clica(janela->btncancel);
    EXPECT_FALSE(janela->cdsDig.active());
    EXPECT_TRUE(janela->btnmes->isEnabled());
    EXPECT_FALSE(janela->btncancel->isEnabled());
    EXPECT_EQ(conteudo(arq), antes);
}

TEST_F(JanelaDeDigitacao, PedeAnoETipoAntesDeDigitar) {
    abre();
    escolhe("5");
    EXPECT_FALSE(janela->cmbmes->isHidden());
    ASSERT_EQ(janela->cmbmes->count(), 2);
    EXPECT_EQ(janela->cmbmes->itemText(0), "2007");
    clica(janela->btnmes);
    EXPECT_EQ(msgs->textos(), QStringList{"Entre com o ano de referência!"});
    janela->cmbmes->setCurrentIndex(1);
    clica(janela->btnmes);
    EXPECT_EQ(msgs->textos().last(), "Entre com o tipo!");
    EXPECT_FALSE(janela->cdsDig.active());
    EXPECT_TRUE(QDir(dir).entryList(QDir::Files).isEmpty());
    janela->comboTipo->setCurrentIndex(janela->comboTipo->findText("ESPECIFICACAO"));
    clica(janela->btnmes);
    EXPECT_TRUE(janela->cdsDig.active());
    EXPECT_TRUE(QFile::exists(caminhoArquivo(dir, ArquivoDigitado::Anexo5Especificacao, "2008")));
    // A new choice closes the table unsaved.
    janela->comboTipo->setEnabled(true);
    janela->comboTipo->setCurrentIndex(0);
    EXPECT_FALSE(janela->cdsDig.active());
}

TEST_F(JanelaDeDigitacao, Anexo10bMostraOsMesesDoAnoEscolhido) {
    abre(nullptr, "2- Relatório de Gestão Fiscal");
    janela->cmbAnexos->hidePopup();
    ASSERT_EQ(janela->cmbAnexos->count(), 2);
    escolhe("10-b", {}, "2008");
    clica(janela->btnmes);
    ASSERT_TRUE(janela->cdsDig.active());
    auto* m = janela->modelo();
    const auto coluna = [&](const QString& c) { return janela->cdsDig.fieldIndex(c); };
    EXPECT_TRUE(janela->DBGrid->isColumnHidden(coluna("VALOR1")));
    EXPECT_FALSE(janela->DBGrid->isColumnHidden(coluna("VALOR13")));
    EXPECT_EQ(m->headerData(coluna("VALOR13"), Qt::Horizontal, Qt::DisplayRole), "JANEIRO");
    EXPECT_EQ(m->headerData(coluna("VALOR24"), Qt::Horizontal, Qt::DisplayRole), "DEZEMBRO");
    EXPECT_EQ(m->headerData(coluna("SEQ"), Qt::Horizontal, Qt::DisplayRole), "LINHA");
    EXPECT_FALSE(m->flags(m->index(1, coluna("TOTAL"))) & Qt::ItemIsEditable);
    EXPECT_TRUE(m->flags(m->index(1, coluna("VALOR13"))) & Qt::ItemIsEditable);
    EXPECT_TRUE(janela->DBGrid->isColumnHidden(coluna("FILTRO")));
    clica(janela->btncancel);

    janela->cmbmes->setCurrentIndex(0);
    clica(janela->btnmes);
    EXPECT_FALSE(janela->DBGrid->isColumnHidden(coluna("VALOR1")));
    EXPECT_TRUE(janela->DBGrid->isColumnHidden(coluna("VALOR13")));
    EXPECT_EQ(m->headerData(coluna("VALOR1"), Qt::Horizontal, Qt::DisplayRole), "JANEIRO");
}

TEST_F(JanelaDeDigitacao, BarraDoPrincipalFicaEscondidaEnquantoAJanelaEstaAberta) {
    QMainWindow principal;
    auto* barra = new QWidget(&principal);
    barra->setObjectName("Barra");
    auto* centro = new QWidget(&principal);
    principal.setCentralWidget(centro);
    abre(centro);
    janela->show();
    EXPECT_TRUE(barra->isHidden());
    janela->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(janela.isNull());
    EXPECT_FALSE(barra->isHidden());
}
