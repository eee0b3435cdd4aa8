#include "../banco_roteirizado.h"
#include "apoio/aplicacao.h"
#include "core/mensagens.h"
#include "entry/catalogo.h"
#include "entry/janela/digitacao.h"
#include "entry/janela/modelo_grade.h"
#include "tables/clientdataset.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace nq;

namespace {

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
        const teste::BancoRoteirizado::Resultado entidades{
            {{"EMPRESA", FieldKind::Integer}, {"NOME", FieldKind::Text, 80}},
            {{Value(int32_t(1)), Value(QStringLiteral("PREFEITURA"))},
             {Value(int32_t(2)), Value(QStringLiteral("SAAE"))}}};
        for (const QString& sql :
             {teste::SqlEntidades1B, teste::SqlEntidades6, teste::SqlEntidades7})
            banco.responde(sql, entidades);
        banco.responde(teste::SqlFuncoes,
                       {{{"FUNCAO", FieldKind::Text, 6}, {"NOME", FieldKind::Text, 60}},
                        {{Value(QStringLiteral("10")), Value(QStringLiteral("Saúde"))},
                         {Value(QStringLiteral("10.301")), Value(QStringLiteral("Atenção"))}}});
        qrCliente.setProvider(&banco);
        qrCliente.setCommandText("SELECT * FROM CADCLI");
        cdsAux2.setProvider(&banco);
    }

    void TearDown() override {
        if (janela)
            janela->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void abre(QWidget* pai = nullptr,
              const QString& relato = "1- Relatório Resumido da Execução Orçamentária") {
        janela = new TFrmDigitacao(relato, {dir, &cdsAux2, &qrCliente}, pai);
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
        // "k" stands for the numeric keypad's decimal key.
        for (const QChar c : teclas) {
            if (c == u'k')
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Period, Qt::KeypadModifier);
            else
                QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
        }
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
    ClientDataSet cdsAux2{"cdsAux2"};
    MensagensDeTeste msgs;
    QPointer<TFrmDigitacao> janela;
};

} // namespace

TEST_F(JanelaDeDigitacao, ReceitaDoAnexo1DigitadaSalvaESomaOsTitulos) {
    abre();
    EXPECT_TRUE(janela->paginas->isHidden());
    escolhe("1", "RECEITA");
    EXPECT_FALSE(janela->paginas->isHidden());
    EXPECT_TRUE(janela->cmbmes->isHidden());
    clica(janela->btnmes);
    ASSERT_TRUE(janela->cdsDig.active());
    // Text columns read-only, TITULO, ID and FILTRO out of sight.
    const int nome = janela->cdsDig.fieldIndex("NOME");
    EXPECT_FALSE(janela->modelo()->flags(janela->modelo()->index(linha("00040"), nome)) &
                 Qt::ItemIsEditable);
    EXPECT_TRUE(janela->DBGrid->isColumnHidden(janela->cdsDig.fieldIndex("FILTRO")));
    EXPECT_FALSE(janela->DBGrid->isColumnHidden(janela->cdsDig.fieldIndex("PREVISTO_BIM1")));

    digita(linha("00040"), "REALIZADO_BIM1", "1.234,56");    // IPTU
    EXPECT_EQ(janela->cdsDig.state(), DataSetState::Browse); // Enter posted it
    digita(linha("00050"), "REALIZADO_BIM1", "1000k5");      // ISSQN
    digita(linha("00145"), "REALIZADO_BIM1", "-100");        // deductions
    digita(linha("00200"), "REALIZADO_BIM1", "70");          // 2200
    digita(linha("00200"), "PREVISAO_ANUAL", "9", false);    // still in the editor at "Ok"
    EXPECT_TRUE(msgs->registro().empty()) << msgs->textos().join("|").toStdString();
    clica(janela->btnok);
    EXPECT_FALSE(janela->cdsDig.active());
    EXPECT_TRUE(janela->btnmes->isEnabled());

    const QString arq = caminhoArquivo(dir, ArquivoDigitado::Anexo1Receita);
    EXPECT_TRUE(janela->lblGravado->text().contains(QDir::toNativeSeparators(arq)))
        << janela->lblGravado->text().toStdString();
    EXPECT_EQ(le(arq, "ID", "00040", "REALIZADO_BIM1"), reais(123456));
    EXPECT_EQ(le(arq, "ID", "00050", "REALIZADO_BIM1"), reais(100050));
    EXPECT_EQ(le(arq, "ID", "00200", "PREVISAO_ANUAL"), reais(900));
    EXPECT_EQ(le(arq, "ID", "00010", "REALIZADO_BIM1"), reais(123456 + 100050 - 10000));
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

TEST_F(JanelaDeDigitacao, Anexo3CalculaAsFormulasNoMesmoOk) {
    abre();
    escolhe("3");
    EXPECT_TRUE(janela->anexo3());
    janela->comboTipo->setCurrentIndex(0);
    clica(janela->btnmes);
    ASSERT_TRUE(janela->cdsDig.active());
    digita(linha("00010"), "JANEIRO", "1000"); // Direta
    digita(linha("00030"), "JANEIRO", "50");   // Autarquias
    digita(linha("00080"), "JANEIRO", "100");  // Intragovernamental
    digita(linha("00040"), "MARCO", "20k5");
    clica(janela->btnok);

    const QString arq = caminhoArquivo(dir, ArquivoDigitado::Anexo3, "2007");
    EXPECT_EQ(le(arq, "ID", "00060", "JANEIRO"), reais(105000));
    EXPECT_EQ(le(arq, "ID", "00300", "MARCO"), reais(2050));
    EXPECT_FALSE(QFile::exists(caminhoArquivo(dir, ArquivoDigitado::Anexo3, "2008")));

    // Opened again, the net revenue shows what that one "Ok" saved.
    clica(janela->btnmes);
    const QModelIndex rcl =
        janela->modelo()->index(linha("00300"), janela->cdsDig.fieldIndex("JANEIRO"));
    EXPECT_EQ(janela->modelo()->data(rcl, Qt::DisplayRole), "950,00");
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
    digita(l, "RECEITA", "5k5");
    digita(l, "DESPESA", "7");
    EXPECT_TRUE(msgs->registro().empty());
    clica(janela->btnok);
    const QString arq = caminhoArquivo(dir, ArquivoDigitado::Anexo8);
    EXPECT_EQ(le(arq, "ANO", int32_t(2042), "RECEITA"), reais(550));
    EXPECT_EQ(le(arq, "ANO", int32_t(2042), "DESPESA"), reais(700));
}

TEST_F(JanelaDeDigitacao, PedeAnoETipoAntesDeDigitar) {
    abre();
    escolhe("5");
    EXPECT_FALSE(janela->cmbmes->isHidden());
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
    EXPECT_FALSE(m->flags(m->index(1, coluna("TOTAL"))) & Qt::ItemIsEditable);
    EXPECT_TRUE(m->flags(m->index(1, coluna("VALOR13"))) & Qt::ItemIsEditable);
    EXPECT_TRUE(janela->DBGrid->isColumnHidden(coluna("FILTRO")));
    // Each description is read whole: on one line, or wrapped on a taller row.
    const QFontMetrics medida = janela->DBGrid->fontMetrics();
    for (int l = 0; l < m->rowCount(); ++l) {
        const QString nome = janela->cdsDig.valueAt(l, coluna("NOME")).asString();
        EXPECT_TRUE(medida.horizontalAdvance(nome) < janela->DBGrid->columnWidth(coluna("NOME")) ||
                    janela->DBGrid->rowHeight(l) >= 2 * medida.height())
            << nome.toStdString();
    }
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

TEST_F(JanelaDeDigitacao, ValoresComSeparadoresBrasileiros) {
    abre();
    escolhe("8");
    clica(janela->btnmes);
    ASSERT_TRUE(janela->cdsDig.active());
    // The main keyboard's "." groups thousands; the keypad's decimal key gives ",".
    const std::vector<std::pair<QString, int64_t>> aceitos = {
        {"1.234,56", 123456}, {"-1.234", -123400}, {"12k5", 1250}};
    for (size_t i = 0; i < aceitos.size(); ++i)
        digita(static_cast<int>(i), "RECEITA", aceitos[i].first);
    EXPECT_TRUE(msgs->registro().empty()) << msgs->textos().join("|").toStdString();

    digita(10, "RECEITA", "1,234");
    digita(11, "RECEITA", "1,234,56");
    digita(12, "RECEITA", "1.5");
    ASSERT_EQ(msgs->registro().size(), 3u);
    EXPECT_EQ(msgs->registro()[0].texto, "O valor '1,234' tem mais de duas casas decimais.");
    EXPECT_EQ(msgs->registro()[1].texto, "'1,234,56' não é um valor válido.");
    EXPECT_EQ(msgs->registro()[2].texto, "'1.5' não é um valor válido.");
    clica(janela->btnok);

    const QString arq = caminhoArquivo(dir, ArquivoDigitado::Anexo8);
    for (size_t i = 0; i < aceitos.size(); ++i)
        EXPECT_EQ(le(arq, "ANO", int32_t(2008 + i), "RECEITA"), reais(aceitos[i].second))
            << aceitos[i].first.toStdString();
    for (int ano : {2018, 2019, 2020})
        EXPECT_EQ(le(arq, "ANO", int32_t(ano), "RECEITA"), Moeda()) << ano;
}

TEST_F(JanelaDeDigitacao, OkComValorRecusadoNoEditorNaoGravaEFicaNaCelula) {
    abre();
    escolhe("1", "DESPESA");
    clica(janela->btnmes);
    digita(linha("00260"), "EMPENHADO_BIM2", "10");
    const QString arq = caminhoArquivo(dir, ArquivoDigitado::Anexo1Despesa);
    const QByteArray antes = conteudo(arq);
    digita(linha("00270"), "EMPENHADO_BIM2", "1,234,56", false);
    clica(janela->btnok);
    EXPECT_EQ(msgs->textos(), QStringList{"'1,234,56' não é um valor válido."});
    EXPECT_EQ(conteudo(arq), antes);
    ASSERT_TRUE(janela->cdsDig.active());
    EXPECT_TRUE(janela->btnok->isEnabled());
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_TRUE(editor);
    EXPECT_EQ(editor->text(), "1,234,56");
    EXPECT_EQ(janela->DBGrid->currentIndex().row(), linha("00270"));

    // Put right where it waits, the value goes in with the rest.
    editor->selectAll();
    for (const QChar c : QString("1.234,56"))
        QTest::keyClick(editor, c.toLatin1());
    clica(janela->btnok);
    EXPECT_FALSE(janela->btnok->isEnabled());
    EXPECT_EQ(le(arq, "ID", "00260", "EMPENHADO_BIM2"), reais(1000));
    EXPECT_EQ(le(arq, "ID", "00270", "EMPENHADO_BIM2"), reais(123456));
}

// Tab on a refused value leaves the cursor where the value is to be put right: the
// figure typed next must not land one column on.
TEST_F(JanelaDeDigitacao, TabComValorRecusadoFicaNaCelula) {
    abre();
    escolhe("1", "DESPESA");
    clica(janela->btnmes);
    const int coluna = janela->cdsDig.fieldIndex("EMPENHADO_BIM2");
    digita(linha("00270"), "EMPENHADO_BIM2", "12,345", false);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(msgs->textos(), QStringList{"O valor '12,345' tem mais de duas casas decimais."});
    EXPECT_EQ(janela->DBGrid->currentIndex().column(), coluna);
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_TRUE(editor);
    EXPECT_EQ(editor->text(), "12,345");

    for (const QChar c : QString("-12,34"))
        QTest::keyClick(editor, c.toLatin1());
    QTest::keyClick(editor, Qt::Key_Tab);
    QCoreApplication::processEvents();
    EXPECT_EQ(janela->DBGrid->currentIndex().column(), coluna + 1);
    EXPECT_EQ(msgs->registro().size(), 1u);
    clica(janela->btnok);
    const QString arq = caminhoArquivo(dir, ArquivoDigitado::Anexo1Despesa);
    EXPECT_EQ(le(arq, "ID", "00270", "EMPENHADO_BIM2"), reais(-1234));
    EXPECT_EQ(le(arq, "ID", "00270", janela->cdsDig.fieldDef(coluna + 1).name), Moeda());
}

// Every annex of a family opened right after every other one, in one window.
TEST_F(JanelaDeDigitacao, CadaAnexoAbreDepoisDeCadaOutro) {
    const auto percorre = [this](const QStringList& codigos) {
        // An Euler circuit of all ordered pairs (Hierholzer): each annex follows each other once.
        const int n = static_cast<int>(codigos.size());
        std::vector<int> proximo(n, 0), pilha{0}, circuito;
        while (!pilha.empty()) {
            const int v = pilha.back();
            if (proximo[v] == v)
                ++proximo[v];
            if (proximo[v] < n) {
                const int w = proximo[v]++;
                pilha.push_back(w);
            } else {
                circuito.push_back(v);
                pilha.pop_back();
            }
        }
        ASSERT_EQ(circuito.size(), static_cast<size_t>(n * (n - 1) + 1));
        for (auto v = circuito.rbegin(); v != circuito.rend(); ++v) {
            const QString codigo = codigos[*v];
            escolhe(codigo);
            if (!janela->comboTipo->isHidden())
                janela->comboTipo->setCurrentIndex(0);
            if (!janela->cmbmes->isHidden())
                janela->cmbmes->setCurrentIndex(1);
            clica(janela->btnmes);
            ASSERT_TRUE(janela->cdsDig.active()) << codigo.toStdString();
            ASSERT_TRUE(msgs->registro().empty())
                << codigo.toStdString() << ": " << msgs->textos().join("|").toStdString();
            clica(janela->btnok);
            ASSERT_TRUE(msgs->registro().empty())
                << codigo.toStdString() << ": " << msgs->textos().join("|").toStdString();
        }
    };
    abre();
    percorre({"1", "1-b", "2", "3", "4", "5", "6", "7", "8"});
    janela->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    abre(nullptr, "2- Relatório de Gestão Fiscal");
    janela->cmbAnexos->hidePopup();
    percorre({"10", "10-b"});
}

TEST_F(JanelaDeDigitacao, DigitacaoNaoSePerdeSemPergunta) {
    abre();
    escolhe("1", "RECEITA");
    clica(janela->btnmes);
    const QString arq = caminhoArquivo(dir, ArquivoDigitado::Anexo1Receita);
    const QByteArray antes = conteudo(arq);
    const QString pergunta = "Deseja gravar as alterações?";

    // Nothing typed: Cancela asks nothing.
    clica(janela->btncancel);
    EXPECT_TRUE(msgs->registro().empty());
    clica(janela->btnmes);

    // "Cancelar" keeps the typing as it was, open cell editor included.
    digita(linha("00040"), "REALIZADO_BIM1", "77");
    digita(linha("00050"), "REALIZADO_BIM1", "5", false);
    msgs->enfileiraResposta(Resposta::Cancelar);
    QTest::keyClick(janela->windowHandle(), Qt::Key_Escape); // closes the cell editor
    QTest::keyClick(janela->windowHandle(), Qt::Key_Escape); // "Cancela"
    // A shortcut presses its button the way a click would, over a moment.
    while (janela->btncancel->isDown())
        QTest::qWait(10);
    ASSERT_EQ(msgs->textos(), QStringList{pergunta});
    EXPECT_TRUE(janela->cdsDig.active());
    EXPECT_TRUE(janela->btnok->isEnabled());
    EXPECT_EQ(conteudo(arq), antes);

    // Closing the window asks too; "Cancelar" keeps it open.
    msgs->enfileiraResposta(Resposta::Cancelar);
    EXPECT_FALSE(janela->close());
    ASSERT_TRUE(janela);
    EXPECT_TRUE(janela->isVisible());
    EXPECT_TRUE(janela->cdsDig.active());

    // "Não" discards; the file is as it was.
    msgs->enfileiraResposta(Resposta::Nao);
    clica(janela->btncancel);
    EXPECT_FALSE(janela->cdsDig.active());
    EXPECT_EQ(conteudo(arq), antes);

    // "Sim" saves, as "Ok" would, the open editor's value included.
    clica(janela->btnmes);
    digita(linha("00040"), "REALIZADO_BIM1", "77");
    digita(linha("00050"), "REALIZADO_BIM1", "5", false);
    msgs->limpa();
    msgs->enfileiraResposta(Resposta::Sim);
    EXPECT_TRUE(janela->close());
    EXPECT_EQ(msgs->textos(), QStringList{pergunta});
    EXPECT_EQ(le(arq, "ID", "00040", "REALIZADO_BIM1"), reais(7700));
    EXPECT_EQ(le(arq, "ID", "00050", "REALIZADO_BIM1"), reais(500));
    EXPECT_EQ(le(arq, "ID", "00020", "REALIZADO_BIM1"), reais(8200));
}
