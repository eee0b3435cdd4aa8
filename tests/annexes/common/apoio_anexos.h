#pragma once

// What the end-to-end tests of the annexes share: a generated exercise per
// suite, a data module, data directory and launcher per test, the pages and
// figures a run printed, golden page files and a workbook kept in memory.

#include "annexes/common/figuras_csv.h"
#include "annexes/common/lancador.h"
#include "core/mensagens.h"
#include "db/modulodados.h"
#include "demo/demo.h"
#include "report/motor.h"
#include "report/pagina.h"
#include "report/preview/saida.h"
#include "workbook/planilha.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <vector>

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
QT_END_NAMESPACE

namespace apoio {

// One QApplication for the whole test program.
void garanteAplicacao();

// The rows of a table as printed, in print order: field -> value.
using Linha = std::map<QString, nq::Value>;
using Tabela = std::vector<Linha>;

// Takes every report printed: its pages, its figures as the CSV has them, and
// the tables of its pipelines as they were when the pages were made.
class SaidaCapturada : public nq::SaidaDeRelatorios {
public:
    void executa(nq::TppReport& relatorio) override;
    void apresenta(nq::TppReport& relatorio, const nq::Documento& documento) override;

    int impressoes = 0;
    nq::Documento documento;
    std::vector<nq::Figura> figuras;
    std::map<QString, Tabela> tabelas; // by pipeline name
};

// A generated exercise for the suite; a data module, a fresh data directory
// and a launcher for each test.
class BancoDeAnexo : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;
    void TearDown() override;

    // Runs `sql` on the current year's database as its owner (the program only reads).
    void executa(const QString& sql);
    QString dados() const { return dir_->path() + QLatin1Char('/'); }
    // The same bimester in the list and as the last row started, as the launcher leaves them.
    void escolheBimestre(int bimestre);

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

nq::Moeda emMoeda(nq::demo::Centavos c);
// The value of a figure as the CSV writes it ("-1234.56"), or "<ausente>";
// `descricao`, when given, tells lines that share an id apart.
QString figura(const std::vector<nq::Figura>& figuras, const QString& quadro, const QString& id,
               const QString& coluna, const QString& descricao = {});

// Compares with tests/annexes/<pasta>/golden/<nome>.txt; NQ404_ATUALIZA_GOLDEN=1
// rewrites the reference (to be reviewed before it is committed).
void comparaComGolden(const QString& pasta, const QString& nome, const QString& atual);

// Every money figure of the document's text once written as PDF, in reading
// order, in plain form.
QStringList figurasDoPdf(const nq::Documento& documento, const QString& pdf);

// A workbook in memory: the cells of each sheet, and what became of it.
struct Pasta {
    std::map<QString, std::map<QString, nq::ValorCelula>> folhas;
    QString aberta;
    bool mostrada = false;
};

class PlanilhaEmMemoria : public nq::Planilha {
public:
    explicit PlanilhaEmMemoria(Pasta& p) : p_(p) {}
    void abre(const QString& caminho) override { p_.aberta = caminho; }
    void criaNova(const QStringList&) override {}
    void selecionaFolha(const QString& nome) override { folha_ = nome; }
    nq::ValorCelula le(const QString& endereco) override { return p_.folhas[folha_][endereco]; }
    void escreveNumero(const QString& endereco, double valor) override {
        p_.folhas[folha_][endereco] = nq::ValorCelula::deNumero(valor);
    }
    void escreveTexto(const QString& endereco, const QString& texto) override {
        p_.folhas[folha_][endereco] = nq::ValorCelula::deTexto(texto);
    }
    void salvaComo(const QString&) override {}
    void mostra() override { p_.mostrada = true; }
    void fecha() override {}

private:
    Pasta& p_;
    QString folha_;
};

} // namespace apoio
