#pragma once

#include "annexes/common/figuras_csv.h"
#include "annexes/common/lancador.h"
#include "apoio/aplicacao.h"
#include "core/mensagens.h"
#include "core/moeda.h"
#include "db/modulodados.h"
#include "demo/demo.h"
#include "foto_da_tabela.h"
#include "report/motor.h"

#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <memory>

// Takes the report's pages and its two tables as they were printed, with the
// figures the printed texts show.
class SaidaDeTeste : public nq::SaidaDeRelatorios {
public:
    void executa(nq::TppReport& relatorio) override;
    void apresenta(nq::TppReport& relatorio, const nq::Documento& documento) override;

    nq::Documento documento;
    Linhas receita;
    Linhas despesa;
    std::vector<nq::Figura> figuras;
};

// What one run of the annex left.
struct Resultado {
    Linhas receita;
    Linhas despesa;
    nq::Documento documento;
    std::vector<nq::Figura> figuras;
    std::vector<nq::MensagemMostrada> mensagens;
    int comandos = 0;
};

nq::Moeda moeda(const Linhas& l, const QString& id, const QString& campo);

// A generated exercise for the suite; a data module, a fresh data directory and a
// launcher for each test.
class BancoDoAnexo1 : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;
    void TearDown() override;

    // Runs annex 1 for `bimestre`, the first question answered `divide`, the others
    // as `respostas` queues them (then "não").
    Resultado roda(int bimestre, bool divide, std::vector<bool> respostas = {});
    void executa(const QString& sql);
    QString dados() const { return dir_->path() + QLatin1Char('/'); }

    static const nq::demo::Exercicio& exercicio() { return demo_->exercicios.atual; }
    static const nq::demo::Demonstracao& demo() { return *demo_; }

    nq::ValoresFixosDoLancador valores;

private:
    static inline QTemporaryDir* tmp_ = nullptr;
    static inline nq::demo::Demonstracao* demo_ = nullptr;
    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<nq::Tdm> dm_;
    std::unique_ptr<nq::LancadorInstalado> instalado_;
};
