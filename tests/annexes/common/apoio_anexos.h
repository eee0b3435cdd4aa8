#pragma once

// What the end-to-end tests of the annexes share: a generated exercise per
// suite, a data module, data directory and launcher per test, what a run
// printed and said, golden page files and a workbook kept in memory.

#include "annexes/common/figuras_csv.h"
#include "annexes/common/lancador.h"
#include "core/mensagens.h"
#include "db/modulodados.h"
#include "demo/demo.h"
#include "entry/catalogo.h"
#include "report/pagina.h"
#include "report/preview/saida.h"
#include "workbook/planilha.h"

#include <QAbstractButton>
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

void garanteAplicacao();

// A table's rows as printed, field -> value.
using Tabela = std::vector<std::map<QString, nq::Value>>;

// What one run printed and said: its pages, its figures as the CSV has them,
// the tables of its pipelines as the pages were made, and the messages.
struct Execucao : nq::SaidaDeRelatorios {
    void executa(nq::TppReport& relatorio) override;
    void apresenta(nq::TppReport& relatorio, const nq::Documento& documento) override;
    // The figure's value as the CSV writes it ("-1234.56"), or "<ausente>";
    // `descricao`, when given, tells lines that share an id apart.
    QString figura(const QString& quadro, const QString& id, const QString& coluna,
                   const QString& descricao = {}) const;
    bool mostrou(const QString& inicio) const;
    // The printed values of a column of the pipeline's table, as text.
    QStringList coluna(const QString& pipeline, const QString& campo) const;

    int impressoes = 0;
    nq::Documento documento;
    std::vector<nq::Figura> figuras;
    std::map<QString, Tabela> tabelas; // by pipeline name
    std::vector<nq::MensagemMostrada> mensagens;
};

// A workbook in memory: the cells of each sheet, and whether it was handed over.
struct Pasta {
    std::map<QString, std::map<QString, nq::ValorCelula>> folhas;
    bool mostrada = false;
};

// A generated exercise for the suite; a data module, a fresh data directory
// and a launcher for each test.
class BancoDeAnexo : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;
    void TearDown() override;

    // Creates the annex window, presses the launcher's button `botao` with the
    // questions answered as `respostas` queues them (then "não").
    template <class Janela>
    std::unique_ptr<Execucao> roda(const char* botao, std::vector<bool> respostas = {}) {
        auto r = std::make_unique<Execucao>();
        nq::MensagensDeTeste msgs;
        for (bool resposta : respostas)
            msgs->enfileiraResposta(resposta);
        {
            nq::SaidaInstalada instalada(*r);
            Janela janela;
            janela.template findChild<QAbstractButton*>(botao)->click();
        }
        r->mensagens = msgs->registro();
        return r;
    }
    // The same bimester in the list and as the last row started, as the launcher leaves them.
    void escolheBimestre(int bimestre);
    // A workbook path that exists, filled in memory when the annex exports.
    Pasta& planilhaEmMemoria();
    // Runs `sql` on the current year's database as its owner (the program only reads).
    void executa(const QString& sql);
    QString dados() const { return dir_->path() + QLatin1Char('/'); }
    static const nq::demo::Exercicio& exercicio() { return demo_->exercicios.atual; }

    nq::ValoresFixosDoLancador valores;

private:
    static inline QTemporaryDir* tmp_ = nullptr;
    static inline nq::demo::Demonstracao* demo_ = nullptr;
    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<nq::Tdm> dm_;
    std::unique_ptr<nq::LancadorInstalado> instalado_;
    Pasta pasta_;
};

nq::Moeda emMoeda(nq::demo::Centavos c);

// Types `valores` on the row whose key column holds `chave` in the typed-data
// file `arquivo` of kind `tipo`, as data entry would; a missing file is
// created empty and a missing row appended.
void digita(const QString& arquivo, nq::ArquivoDigitado tipo, const nq::Value& chave,
            const std::map<QString, nq::Value>& valores);

// Compares with tests/annexes/<pasta>/golden/<nome>.txt; NQ404_ATUALIZA_GOLDEN=1
// rewrites the reference (to be reviewed before it is committed).
void comparaComGolden(const QString& pasta, const QString& nome, const nq::Documento& documento);

// The run's figures, as the CSV has them, against every money figure of its
// pages' text once written as PDF, in reading order.
void csvIgualAoPdf(const Execucao& r, const QString& pdf);

} // namespace apoio
