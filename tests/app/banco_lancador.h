#pragma once

#include "apoio/aplicacao.h"
#include "apoio/banco_gerado.h"
#include "core/mensagens.h"
#include "db/consultas.h"
#include "db/modulodados.h"
#include "demo/demo.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

// A generated accounting database for the suite and a data module on it for
// each test, with the settings row and the municipality's name put back.
class BancoDoLancador : public ComBancoGerado {
protected:
    static void SetUpTestSuite() {
        garanteAplicacao();
        ComBancoGerado::SetUpTestSuite();
    }
    void SetUp() override {
        dados = std::make_unique<nq::Tdm>();
        abre(demo_->bancoAtual);
        admin.Params = nq::TCRSQLConnection::parametrosPadrao();
        admin.setParam("User_Name", "SYSDBA");
        admin.setParam("Database", demo_->bancoAtual);
        executa("UPDATE OR INSERT INTO PARAMEDU (CODIGO, RD) VALUES (1, 'F') MATCHING (CODIGO)");
        defineMunicipio("Prefeitura Municipal de Teste");
    }
    void TearDown() override {
        admin.Close();
        dados.reset();
    }

    void abre(const QString& banco) {
        dados->Conexao.Close();
        dados->Conexao.BeforeConnect = nullptr;
        dados->Conexao.setParam("Database", banco);
    }
    // Changes the data the module only reads, as the accounting programs would.
    void executa(const QString& sql) { admin.ExecuteDirect(sql); }
    void defineMunicipio(const QString& nome) {
        executa("UPDATE CADCLI SET CLNT1 = " + nq::textoSql(nome));
        dados->qrCliente.close();
    }
    QString rdGravado() {
        nq::ConsultaSql c = admin.consulta("SELECT RD FROM PARAMEDU");
        return c.proxima() ? c.linha().texto(0) : QStringLiteral("<none>");
    }

    nq::MensagensDeTeste msgs;
    std::unique_ptr<nq::Tdm> dados;
    nq::TCRSQLConnection admin{"admin"};
};
