#include "../rotulos_legiveis.h"
#include "app/paramedu.h"
#include "banco_lancador.h"

#include <QCheckBox>
#include <QFile>
#include <QProcess>
#include <QPushButton>

using namespace nq;

namespace {

class EmpenhosDeReserva : public BancoDoLancador {
protected:
    // Shows the dialog as the main window does, acts on it, and lets it close.
    template <class Acao> void naJanela(Acao acao) {
        Tfrmparamedu dialogo;
        dialogo.show();
        acao(dialogo);
        EXPECT_FALSE(dialogo.isVisible());
    }
};

TEST_F(EmpenhosDeReserva, MarcarGravaTEDesmarcarGravaF) {
    naJanela([&](Tfrmparamedu& d) {
        EXPECT_EQ(textosCortados(d), QStringList());
        EXPECT_FALSE(d.RD->isChecked());
        d.RD->click();
        d.BtnOK->click();
    });
    EXPECT_EQ(rdGravado(), "T");
    EXPECT_FALSE(dados->Conexao.InTransaction());

    naJanela([&](Tfrmparamedu& d) {
        EXPECT_TRUE(d.RD->isChecked());
        d.RD->click();
        d.BtnOK->click();
    });
    EXPECT_EQ(rdGravado(), "F");
    EXPECT_TRUE(msgs->registro().empty());
}

TEST_F(EmpenhosDeReserva, SoTMaiusculoMarca) {
    for (const char* valor : {"t", "S"}) {
        executa(QString("UPDATE PARAMEDU SET RD = '%1'").arg(valor));
        naJanela([&](Tfrmparamedu& d) {
            EXPECT_FALSE(d.RD->isChecked()) << valor;
            d.BtnOK->click();
        });
        EXPECT_EQ(rdGravado(), "F");
    }
    // Confirming untouched rewrites the same value.
    executa("UPDATE PARAMEDU SET RD = 'T'");
    naJanela([](Tfrmparamedu& d) { d.BtnOK->click(); });
    EXPECT_EQ(rdGravado(), "T");
    naJanela([](Tfrmparamedu& d) {
        d.RD->click();
        d.BtnCancela->click();
    });
    EXPECT_EQ(rdGravado(), "T");
}

TEST_F(EmpenhosDeReserva, TabelaVaziaAvisaENaoGrava) {
    executa("DELETE FROM PARAMEDU");
    naJanela([&](Tfrmparamedu& d) {
        ASSERT_EQ(msgs->registro().size(), 1u);
        EXPECT_TRUE(msgs->registro()[0].texto.contains("PARAMEDU"));
        EXPECT_FALSE(d.BtnOK->isEnabled());
        d.BtnCancela->click();
    });
    EXPECT_EQ(rdGravado(), "<none>");
}

TEST_F(EmpenhosDeReserva, BancoSomenteLeituraDaErroAoGravar) {
    const QString copia = tmp_->filePath("somente_leitura.fdb");
    dados->Conexao.Close();
    admin.Close();
    QFile::remove(copia);
    ASSERT_TRUE(QFile::copy(demo_->bancoAtual, copia));
    QProcess gfix;
    gfix.start("gfix", {"-mode", "read_only", copia, "-user", "SYSDBA"});
    ASSERT_TRUE(gfix.waitForFinished(60000));
    ASSERT_EQ(gfix.exitCode(), 0) << gfix.readAllStandardError().toStdString();
    abre(copia);

    naJanela([](Tfrmparamedu& d) {
        d.RD->click();
        d.BtnOK->click();
    });
    ASSERT_EQ(msgs->registro().size(), 1u);
    EXPECT_EQ(msgs->registro()[0].texto, "Erro ao Gravar!!!");
    EXPECT_EQ(msgs->registro()[0].titulo, "Erro");
    EXPECT_EQ(msgs->registro()[0].icone, Icone::Erro);
    EXPECT_FALSE(dados->Conexao.InTransaction());
    ConsultaSql c = dados->Conexao.consulta("SELECT RD FROM PARAMEDU");
    ASSERT_TRUE(c.proxima());
    EXPECT_EQ(c.linha().texto(0), "F");
}

} // namespace
