#pragma once

// What the annex tests share: a generated database per suite (or per test),
// a data directory and a launcher per test, a run of an annex window through
// its calculate button with its report captured, golden page files, and the
// figures of a PDF's text.

#include "annexes/common/figuras_csv.h"
#include "annexes/common/lancador.h"
#include "apoio/aplicacao.h"
#include "apoio/banco_gerado.h"
#include "core/mensagens.h"
#include "core/moeda.h"
#include "db/modulodados.h"
#include "demo/demo.h"
#include "entry/catalogo.h"
#include "figuras_do_pdf.h"
#include "foto_da_tabela.h"
#include "golden_do_anexo.h"
#include "planilha_na_memoria.h"
#include "report/motor.h"
#include "report/preview/saida.h"
#include "workbook/planilha.h"

#include <QPushButton>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <memory>

// Readable texts in test failures.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

// Takes the report's pages, the tables of its pipelines as printed (by
// pipeline and by table name) and the figures the printed texts show.
class SaidaDeTeste : public nq::SaidaDeRelatorios {
public:
    void executa(nq::TppReport& relatorio) override;
    void apresenta(nq::TppReport& relatorio, const nq::Documento& documento) override;

    nq::Documento documento;
    std::map<QString, Linhas> tabelas;
    std::vector<nq::Figura> figuras;
};

// What one run of an annex left.
struct Resultado {
    std::map<QString, Linhas> tabelas;
    nq::Documento documento;
    std::vector<nq::Figura> figuras;
    std::vector<nq::MensagemMostrada> mensagens;
    int comandos = 0;

    // The printed value of a figure ("-1234.56"), "<ausente>" when not printed.
    QString figura(const QString& quadro, const QString& id, const QString& coluna) const;
    // How many figures were printed for the line `id`.
    int figurasDaLinha(const QString& quadro, const QString& id) const;
    bool perguntou(const QString& texto) const;
    // Whether a message beginning with `inicio` was shown or asked.
    bool mostrou(const QString& inicio) const;
    // The ids of the lines with a figure in `coluna` of `quadro`, in print order.
    QStringList linhas(const QString& quadro, const QString& coluna) const;
};

// A suite sharing one generated test database, made before its first test;
// the Vexo.ini the suite chose is forgotten after its last.
class ComBancoDeTeste : public ComBancoGerado {
protected:
    static void SetUpTestSuite() {
        garanteAplicacao();
        ComBancoGerado::SetUpTestSuite();
    }
    static void TearDownTestSuite();
};

// A generated exercise (the demo generator's small "teste" size): made once
// per suite, or once per test for tests that change it (proprio = true). Each
// test gets a data module on it, a fresh data directory and a launcher.
class BancoDeAnexos : public ::testing::Test {
protected:
    explicit BancoDeAnexos(bool proprio = false) : proprio_(proprio) {}
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;
    void TearDown() override;

    // Runs an annex window for `bimestre` (0: none chosen) as the launcher
    // does: a fresh window, the button the launcher presses (btncalcula or
    // BtnImprimir) pressed, the questions answered from `respostas` (then "não").
    template <class Janela> Resultado roda(int bimestre, std::vector<bool> respostas = {}) {
        valores.defineBimestre(bimestre);
        valores.defineBimestreSelecionado(bimestre);
        return rodaJanela<Janela>([](Janela&) {}, std::move(respostas));
    }
    // The same for a window with choices of its own, made by `escolhe` before
    // the button is pressed.
    template <class Janela>
    Resultado rodaJanela(const std::function<void(Janela&)>& escolhe, std::vector<bool> respostas) {
        nq::MensagensDeTeste msgs;
        for (bool r : respostas)
            msgs->enfileiraResposta(r);
        SaidaDeTeste saida;
        nq::SaidaInstalada instalada(saida);
        Janela janela;
        escolhe(janela);
        auto* botao = janela.template findChild<QPushButton*>(QStringLiteral("btncalcula"));
        (botao ? botao : janela.template findChild<QPushButton*>(QStringLiteral("BtnImprimir")))
            ->click();
        Resultado r{saida.tabelas, std::move(saida.documento), saida.figuras, msgs->registro()};
        if constexpr (requires { janela.comandosExecutados(); })
            r.comandos = janela.comandosExecutados();
        return r;
    }
    // Connects the data module to the previous year's database too.
    void abreAnoAnterior();
    // A Court of Accounts workbook that exists, filled in `pasta` when the annex exports.
    void usaPlanilhaNaMemoria(Pasta& pasta);
    // Runs `sql` as the database owner (the program's user only reads).
    void executa(const QString& sql);
    // Whether `roda` asks the workbook question with the client named `nome`
    // (its own name back afterwards).
    bool perguntaPlanilhaCom(const QString& nome, const std::function<Resultado()>& roda);
    QString dados() const { return dir_->path() + QLatin1Char('/'); }
    const nq::demo::Exercicio& exercicio() const { return demo().exercicios.atual; }
    const nq::demo::Demonstracao& demo() const { return proprio_ ? *proprioDemo_ : *demo_; }

    nq::ValoresFixosDoLancador valores;

private:
    bool proprio_;
    static inline QTemporaryDir* tmp_ = nullptr;
    static inline nq::demo::Demonstracao* demo_ = nullptr;
    std::unique_ptr<QTemporaryDir> tmpProprio_;
    std::unique_ptr<nq::demo::Demonstracao> proprioDemo_;
    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<nq::Tdm> dm_;
    std::unique_ptr<nq::LancadorInstalado> instalado_;
};

using nq::teste::figurasDoPdf;
using nq::teste::figurasImpressas;
using nq::teste::gravaPdf;
using nq::teste::valoresDoCsv;

// Types `valores` on the line of the typed-data file `arquivo` (of kind
// `tipo`) whose key column holds `chave`, as data entry would; a missing file
// is created empty and a missing line appended.
void digita(const QString& arquivo, nq::ArquivoDigitado tipo, const nq::Value& chave,
            const std::map<QString, nq::Value>& valores);

// The generated data read the way the annexes read the database.
nq::Moeda centavos(nq::demo::Centavos c);
bool noBimestre(const QDate& data, int k);
// Whether a commitment is a reserve commitment or refers to one.
bool deReserva(const nq::demo::Exercicio& e, const nq::demo::Empenho& emp);
