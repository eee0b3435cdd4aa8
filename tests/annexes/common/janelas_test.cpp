#include "../../rotulos_legiveis.h"
#include "annexes/common/aguarde.h"
#include "annexes/common/justificativa.h"
#include "apoio/aplicacao.h"
#include "apoio/falha_de_gravacao.h"
#include "core/erro.h"
#include "core/globais.h"
#include "tables/pacote.h"

#include <QFile>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace nq;

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
QT_END_NAMESPACE

namespace {

TEST(Aguarde, AcompanhaOsPassosESaiMesmoComFalha) {
    garanteAplicacao();
    QWidget anexo;
    try {
        AguardeRelatorio aguarde(&anexo, 17);
        ASSERT_TRUE(FrmAguarde);
        EXPECT_TRUE(FrmAguarde->isVisible());
        EXPECT_EQ(FrmAguarde->parent(), &anexo);
        EXPECT_EQ(FrmAguarde->gauge1->maximum(), 17);
        EXPECT_EQ(textosCortados(*FrmAguarde), QStringList());
        aguarde.passo(5);
        EXPECT_EQ(FrmAguarde->gauge1->value(), 5);
        throw Erro("falhou no passo 6");
    } catch (const Erro&) {
    }
    EXPECT_FALSE(FrmAguarde);
    EXPECT_TRUE(anexo.findChildren<TFrmAguarde*>().isEmpty());
}

// The justification file of a data directory of its own.
class Justificativa : public ::testing::Test {
protected:
    static void SetUpTestSuite() { garanteAplicacao(); }
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        defineDiretorioDados(dir.path() + '/');
    }
    void TearDown() override { defineDiretorioDados({}); }

    QString arquivo() const { return dir.filePath("NQ404_Anx7Jus.XML"); }
    // The text stored for a code, or "<none>" when the file has no such row.
    QString textoGravado(int codigo) const {
        const Dados d = lePacote(arquivo());
        for (int l = 0; l < d.linhas(); ++l)
            if (d.valor(l, d.indiceDoCampo("CODIGO")).asInteger() == codigo)
                return d.valor(l, d.indiceDoCampo("DESCRICAO")).asString();
        return "<none>";
    }
    // Opens the dialog for a code, types `texto` and presses OK.
    void digita(int tag, const QString& texto) {
        TFormJustific dialogo;
        dialogo.Tag = tag;
        dialogo.show();
        dialogo.DBMemo1->selectAll();
        QTest::keyClicks(dialogo.DBMemo1, texto);
        dialogo.findChild<QPushButton*>("BtnOK")->click();
        EXPECT_FALSE(dialogo.isVisible());
    }

    QTemporaryDir dir;
};

TEST_F(Justificativa, PrimeiroUsoCriaOArquivoEOkGrava) {
    ASSERT_FALSE(QFile::exists(arquivo()));
    {
        // OK without typing still saves the new row.
        TFormJustific dialogo;
        dialogo.show();
        EXPECT_TRUE(QFile::exists(arquivo()));
        EXPECT_TRUE(dialogo.DBMemo1->toPlainText().isEmpty());
        EXPECT_EQ(textosCortados(dialogo), QStringList());
        dialogo.BtnOKClick();
    }
    EXPECT_EQ(textoGravado(1), "");
    EXPECT_EQ(textoGravado(2), "<none>");

    digita(0, "Medidas adotadas: corte de despesas.");
    EXPECT_EQ(textoGravado(1), "Medidas adotadas: corte de despesas.");
}

TEST_F(Justificativa, CodigoDoisNaoTocaNoUm) {
    digita(0, "Texto do anexo 7");
    digita(1, "Texto da gestao fiscal");
    EXPECT_EQ(textoGravado(1), "Texto do anexo 7");
    EXPECT_EQ(textoGravado(2), "Texto da gestao fiscal");

    // Reopening shows each code its own text, and editing one keeps the other.
    TFormJustific dialogo;
    dialogo.Tag = 1;
    dialogo.show();
    EXPECT_EQ(dialogo.DBMemo1->toPlainText(), "Texto da gestao fiscal");
    dialogo.DBMemo1->moveCursor(QTextCursor::End);
    QTest::keyClicks(dialogo.DBMemo1, " revisto");
    dialogo.BtnOKClick();
    EXPECT_EQ(textoGravado(2), "Texto da gestao fiscal revisto");
    EXPECT_EQ(textoGravado(1), "Texto do anexo 7");
}

TEST_F(Justificativa, FecharDescartaADigitacao) {
    digita(0, "Guardado");
    TFormJustific dialogo;
    dialogo.show();
    QTest::keyClicks(dialogo.DBMemo1, " e descartado");
    dialogo.close();
    EXPECT_EQ(textoGravado(1), "Guardado");
}

TEST_F(Justificativa, SetecentosCaracteresNoMaximo) {
    TFormJustific dialogo;
    dialogo.show();
    QTest::keyClicks(dialogo.DBMemo1, QString(690, 'a'));
    QTest::keyClicks(dialogo.DBMemo1, QString(20, 'b'));
    EXPECT_EQ(dialogo.DBMemo1->toPlainText(), QString(690, 'a') + QString(10, 'b'));
    // Pasting is held to the limit too, cutting what was pasted.
    dialogo.DBMemo1->moveCursor(QTextCursor::Start);
    dialogo.DBMemo1->insertPlainText("xyz");
    EXPECT_EQ(dialogo.DBMemo1->toPlainText().size(), 700);
    EXPECT_TRUE(dialogo.DBMemo1->toPlainText().startsWith('a'));
    dialogo.BtnOKClick();
    EXPECT_EQ(textoGravado(1).size(), 700);
}

TEST_F(Justificativa, TextoLongoJaGravadoFicaInteiro) {
    digita(0, "curto");
    // A longer text written by another program is kept, not cut.
    {
        TFormJustific dialogo;
        dialogo.show();
        dialogo.cdsJus.fieldByName("DESCRICAO").setAsString(QString(750, 'x'));
        dialogo.cdsJus.post();
        dialogo.cdsJus.saveToFile(arquivo());
        dialogo.close();
    }
    TFormJustific dialogo;
    dialogo.show();
    EXPECT_EQ(dialogo.DBMemo1->toPlainText().size(), 750);
    QTest::keyClicks(dialogo.DBMemo1, "y");
    EXPECT_EQ(dialogo.DBMemo1->toPlainText().size(), 750);
    dialogo.BtnOKClick();
    EXPECT_EQ(textoGravado(1), QString(750, 'x'));
}

TEST_F(Justificativa, RespostaDadaDigitaEConfirmaOuFechaSemGravar) {
    JustificativaDada semTexto(std::nullopt);
    RespostaDeJustificativa* anterior = instalaRespostaDeJustificativa(&semTexto);
    {
        TFormJustific dialogo;
        pedeJustificativa(dialogo);
        EXPECT_FALSE(dialogo.isVisible());
    }
    EXPECT_EQ(textoGravado(1), "<none>");
    EXPECT_EQ(semTexto.respondidas(), 1);

    // Typed as a user would: held to the dialog's limit, the other code's row kept.
    digita(1, "Texto da gestao fiscal");
    JustificativaDada comTexto(QString(720, 'j'));
    instalaRespostaDeJustificativa(&comTexto);
    TFormJustific dialogo;
    pedeJustificativa(dialogo);
    instalaRespostaDeJustificativa(anterior);
    EXPECT_EQ(textoGravado(1), QString(700, 'j'));
    EXPECT_EQ(textoGravado(2), "Texto da gestao fiscal");
}

TEST_F(Justificativa, ArquivoDanificadoDaErroENaoEApagado) {
    QFile f(arquivo());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("<?xml version=\"1.0\"?><DATAPACKET");
    f.close();
    TFormJustific dialogo;
    EXPECT_THROW(dialogo.FormShow(), Erro);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), "<?xml version=\"1.0\"?><DATAPACKET");
}

TEST_F(Justificativa, DiscoCheioMantemOArquivoEADigitacao) {
    digita(0, "Guardado");
    const QByteArray antes = [&] {
        QFile f(arquivo());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    TFormJustific dialogo;
    dialogo.show();
    dialogo.DBMemo1->moveCursor(QTextCursor::End);
    QTest::keyClicks(dialogo.DBMemo1, " e mais");
    {
        const GravacaoQueFalha falha(PassoDaGravacao::Renomeia, ENOSPC);
        try {
            dialogo.BtnOKClick();
            ADD_FAILURE() << "gravou com o disco cheio";
        } catch (const Erro& e) {
            EXPECT_TRUE(e.texto().endsWith("NQ404_Anx7Jus.XML\": disco cheio."))
                << e.texto().toStdString();
        }
    }
    QFile f(arquivo());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), antes);
    // The typing is still there for another try.
    EXPECT_TRUE(dialogo.isVisible());
    dialogo.BtnOKClick();
    EXPECT_EQ(textoGravado(1), "Guardado e mais");
}

} // namespace
