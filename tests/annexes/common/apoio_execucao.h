#pragma once

// What the tests of annexes 4 and 5 share: a generated exercise per year, a
// data module, data directory and launcher per test, and one run of an annex
// window with its printed tables and figures.

#include "annexes/common/plano_figuras.h"
#include "apoio_anexos.h"

inline std::ostream& operator<<(std::ostream& os, const nq::Moeda& m) {
    return os << m.texto(4).toStdString();
}

// Printed figures by (table, line ID, column).
using Figuras = std::map<std::tuple<QString, QString, QString>, nq::Moeda>;

// What one run of annex 4 or 5 left, read by table name ("cdsRec").
struct Execucao : Resultado {
    // A table's field on line `id` (a failure when the line is missing).
    nq::Moeda valor(const QString& tabela, const QString& id, const QString& campo) const;
    // Every printed figure (a failure when one is printed twice).
    Figuras impressas() const;
};

// Every expected figure printed with its value, and nothing else printed.
void confere(const Figuras& impresso, const Figuras& esperado);
// The rows of a typed-data file by ID, every field as text.
std::map<QString, QStringList> conteudoDoArquivo(const QString& arquivo);

class BancoDosAnexos : public ::testing::Test {
protected:
    static void TearDownTestSuite();
    void SetUp() override;
    void TearDown() override;

    // The generated exercise pair of `ano` (made once per test program).
    static const nq::demo::Demonstracao& demo(int ano = 2008);
    // Points the data module at the exercise of `ano`, with or without the
    // previous year's database.
    void usaExercicio(int ano, bool comAnterior);

    // Presses the calculate button of the window `cria` makes, for `bimestre`,
    // answering every question `resposta`.
    Execucao roda(const std::function<std::unique_ptr<QWidget>()>& cria, int bimestre,
                  bool resposta = false);
    // Changes the current database as its owner.
    void executa(const QString& sql);

    QString dados() const { return dir_->path() + QLatin1Char('/'); }

    nq::ValoresFixosDoLancador valores;

private:
    int ano_ = 2008;
    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<nq::Tdm> dm_;
    std::unique_ptr<nq::LancadorInstalado> instalado_;
};

// The figures answered by the plan's passes or one literal statement each,
// for the life of a scope.
class PlanoDoTeste {
public:
    explicit PlanoDoTeste(bool literais) : anterior_(nq::figurasLiterais()) {
        nq::defineFigurasLiterais(literais);
    }
    ~PlanoDoTeste() { nq::defineFigurasLiterais(anterior_); }

private:
    bool anterior_;
};

// A typed-data file edited in place: `linha` located by ID, `campos` set.
void digita(const QString& arquivo, const QString& id, const std::map<QString, nq::Moeda>& campos);
