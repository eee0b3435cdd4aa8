#include "../../rotulos_legiveis.h"
#include "report/preview/dialogo_impressao.h"
#include "report/preview/dialogos.h"
#include "report/preview/textos.h"

#include "core/mensagens.h"
#include "paginas.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFocusEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace nq;

namespace {

class DialogoDeImpressao : public ::testing::Test {
protected:
    ContextoDeImpressao contexto() const {
        ContextoDeImpressao c;
        c.paginaAtual = 2;
        c.permiteArquivo = true;
        return c;
    }
    template <class T> static T* filho(QWidget& w, const char* nome) {
        T* f = w.findChild<T*>(QString::fromLatin1(nome));
        EXPECT_NE(f, nullptr) << nome;
        return f;
    }
    static void sai(QWidget* campo) {
        QFocusEvent saida(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(campo, &saida);
    }
    static void digita(QWidget* campo, const QString& texto) {
        for (QChar c : texto) {
            QKeyEvent tecla(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(campo, &tecla);
        }
    }
    static void confirma(TppPrintDialog& d) { filho<QPushButton>(d, "ok")->click(); }
    static QRadioButton* opcao(TppPrintDialog& d, TextoDoRelatorio numero) {
        for (QRadioButton* r : d.findChildren<QRadioButton*>())
            if (r->text() == texto(numero))
                return r;
        return nullptr;
    }

    MensagensDeTeste mensagens_;
};

} // namespace

TEST_F(DialogoDeImpressao, CopiasAceitamSoNumerosDeUmA999) {
    TppPrintDialog d(contexto());
    auto* copias = filho<QLineEdit>(d, "copias");
    auto* acima = filho<QToolButton>(d, "copiasAcima");
    auto* abaixo = filho<QToolButton>(d, "copiasAbaixo");
    abaixo->click();
    EXPECT_EQ(copias->text(), QStringLiteral("1"));
    copias->setText(QStringLiteral("999"));
    acima->click();
    EXPECT_EQ(copias->text(), QStringLiteral("999"));
    copias->setText(QStringLiteral("abc"));
    sai(copias);
    EXPECT_EQ(copias->text(), QStringLiteral("1"));
    copias->setText(QStringLiteral("12"));
    sai(copias);
    EXPECT_EQ(copias->text(), QStringLiteral("12"));
    EXPECT_EQ(d.opcoes().copias, 12);
}

TEST_F(DialogoDeImpressao, ListaDePaginasVaziaMantemODialogoAberto) {
    TppPrintDialog d(contexto());
    auto* paginas = filho<QLineEdit>(d, "paginas");
    d.show();
    digita(paginas, QStringLiteral("x"));
    // Typing in the page field chooses "Páginas".
    EXPECT_TRUE(opcao(d, TextoDoRelatorio::Paginas)->isChecked());
    confirma(d);
    EXPECT_TRUE(d.isVisible());
    EXPECT_EQ(mensagens_->textos(), QStringList{QStringLiteral("Nenhuma página informada.")});

    // To a file, so that the machine's printers do not matter.
    QTemporaryDir pasta;
    filho<QCheckBox>(d, "paraArquivo")->setChecked(true);
    filho<QLineEdit>(d, "arquivo")->setText(pasta.filePath(QStringLiteral("a.pdf")));
    paginas->setText(QStringLiteral("1,3,5-12"));
    filho<QComboBox>(d, "paridade")->setCurrentIndex(1);
    confirma(d);
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(d.result(), QDialog::Accepted);
    const OpcoesDeImpressao o = d.opcoes();
    EXPECT_EQ(o.intervalo, IntervaloDePaginas::Paginas);
    EXPECT_EQ(o.paginas.size(), 10u);
    EXPECT_EQ(o.paridade, ParidadeDePaginas::Impares);
    EXPECT_TRUE(o.paraArquivo);
}

TEST_F(DialogoDeImpressao, SemImpressoraSoImprimeParaArquivo) {
    if (!QPrinterInfo::availablePrinterNames().isEmpty())
        GTEST_SKIP() << "Há impressoras instaladas neste computador.";
    TppPrintDialog d(contexto());
    d.show();
    confirma(d);
    EXPECT_TRUE(d.isVisible());
    EXPECT_EQ(mensagens_->textos(),
              QStringList{QStringLiteral("Não há impressora instalada neste computador. Para "
                                         "gravar o relatório num arquivo, marque \"Imprimir para "
                                         "Arquivo\".")});
    // Where no file is allowed, there is nothing else to offer.
    ContextoDeImpressao semArquivo = contexto();
    semArquivo.permiteArquivo = false;
    TppPrintDialog aviso(semArquivo);
    confirma(aviso);
    EXPECT_EQ(mensagens_->textos().last(),
              QStringLiteral("Não há impressora instalada neste computador."));
}

TEST_F(DialogoDeImpressao, ConferenciasDoArquivoNaOrdem) {
    QTemporaryDir pasta;
    TppPrintDialog d(contexto());
    auto* paraArquivo = filho<QCheckBox>(d, "paraArquivo");
    auto* arquivo = filho<QLineEdit>(d, "arquivo");
    auto* tipos = filho<QComboBox>(d, "tiposDeArquivo");
    EXPECT_FALSE(arquivo->isEnabled());
    paraArquivo->setChecked(true);
    EXPECT_TRUE(arquivo->isEnabled());
    EXPECT_EQ(tipos->findText(QStringLiteral("ArchiveFile")), -1); // not allowed here
    tipos->setCurrentIndex(tipos->findText(QStringLiteral("PDFFile")));
    d.show();
    EXPECT_LE(d.width(), 800);
    EXPECT_LE(d.height(), 600);
    EXPECT_EQ(textosCortados(d), QStringList());

    confirma(d);
    arquivo->setText(pasta.filePath(QStringLiteral("nao/existe/saida.pdf")));
    confirma(d);
    const QString existente = pasta.filePath(QStringLiteral("saida.PDF"));
    QFile(existente).open(QIODevice::WriteOnly);
    arquivo->setText(existente);
    mensagens_->enfileiraResposta(false);
    confirma(d);
    EXPECT_TRUE(d.isVisible());
    ASSERT_EQ(mensagens_->registro().size(), 3u);
    EXPECT_EQ(mensagens_->textos(),
              (QStringList{QStringLiteral("Por favor especifique o arquivo antes de continuar."),
                           QStringLiteral("Informe um caminho de arquivo válido."),
                           existente + QStringLiteral(" já existe.\nDeseja substituí-lo?")}));
    EXPECT_TRUE(mensagens_->registro()[2].foiPergunta);

    mensagens_->enfileiraResposta(true);
    confirma(d);
    EXPECT_EQ(d.result(), QDialog::Accepted);
    const OpcoesDeImpressao o = d.opcoes();
    EXPECT_TRUE(o.paraArquivo);
    EXPECT_EQ(o.dispositivo, QStringLiteral("PDFFile"));
    EXPECT_EQ(o.arquivo, existente);
}

TEST_F(DialogoDeImpressao, TipoDeArquivoTrocaAExtensao) {
    ContextoDeImpressao c = contexto();
    c.permiteArquivoMorto = true;
    TppPrintDialog d(c);
    filho<QCheckBox>(d, "paraArquivo")->setChecked(true);
    auto* tipos = filho<QComboBox>(d, "tiposDeArquivo");
    EXPECT_NE(tipos->findText(QStringLiteral("ArchiveFile")), -1);
    auto* arquivo = filho<QLineEdit>(d, "arquivo");
    tipos->setCurrentIndex(tipos->findText(QStringLiteral("PDFFile")));
    arquivo->setText(QStringLiteral("/tmp/anexo1.txt"));
    tipos->setCurrentIndex(tipos->findText(QStringLiteral("ArchiveFile")));
    EXPECT_EQ(arquivo->text(), QStringLiteral("/tmp/anexo1.raf"));
}

TEST_F(DialogoDeImpressao, NomeSemExtensaoRecebeADoTipo) {
    QTemporaryDir pasta;
    TppPrintDialog d(contexto());
    filho<QCheckBox>(d, "paraArquivo")->setChecked(true);
    auto* tipos = filho<QComboBox>(d, "tiposDeArquivo");
    tipos->setCurrentIndex(tipos->findText(QStringLiteral("PDFFile")));
    auto* arquivo = filho<QLineEdit>(d, "arquivo");
    // An existing file of the final name is asked about, not the name as typed.
    const QString final = pasta.filePath(QStringLiteral("anexo1.PDF"));
    QFile(final).open(QIODevice::WriteOnly);
    arquivo->setText(pasta.filePath(QStringLiteral("anexo1")));
    mensagens_->enfileiraResposta(true);
    confirma(d);
    EXPECT_EQ(mensagens_->textos(),
              QStringList{final + QStringLiteral(" já existe.\nDeseja substituí-lo?")});
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(d.opcoes().arquivo, final);
    // A name that has its own extension keeps it.
    TppPrintDialog outro(contexto());
    filho<QCheckBox>(outro, "paraArquivo")->setChecked(true);
    filho<QLineEdit>(outro, "arquivo")->setText(pasta.filePath(QStringLiteral("anexo1.txt")));
    confirma(outro);
    EXPECT_EQ(outro.opcoes().arquivo, pasta.filePath(QStringLiteral("anexo1.txt")));
}

TEST_F(DialogoDeImpressao, SemArquivoPermitidoNaoHaGrupoDeArquivo) {
    ContextoDeImpressao c = contexto();
    c.permiteArquivo = false;
    TppPrintDialog d(c);
    d.show();
    EXPECT_FALSE(filho<QCheckBox>(d, "paraArquivo")->isVisible());
    EXPECT_FALSE(d.opcoes().paraArquivo);
}

TEST_F(DialogoDeImpressao, CancelamentoMostraOStatusEPara) {
    TppCancelDialog c;
    EXPECT_EQ(c.windowTitle(), QStringLiteral("Imprimindo"));
    c.show();
    c.mostraStatus(2, 5, QStringLiteral("Report"), QStringLiteral("PDF"));
    auto* status = c.findChild<QLabel*>();
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(status->text(),
              QStringLiteral("Imprimindo a Página 2 de 5 do Relatório Report em PDF"));
    EXPECT_FALSE(c.cancelado());
    c.findChild<QPushButton*>()->click();
    EXPECT_TRUE(c.cancelado());
}
