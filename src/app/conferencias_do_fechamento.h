#pragma once

#include "annexes/common/figuras_csv.h"
#include "core/moeda.h"
#include "entry/catalogo.h"

#include <QString>
#include <map>
#include <optional>
#include <vector>

namespace nq {

// One printed figure of one report of the close, as its CSV files it.
struct FiguraDoFechamento {
    QString relatorio; // the report's chave ("anexo1")
    QString quadro;
    QString id;
    QString coluna;
};

// One side of a check: the figure, how the check names it, and the typed
// files whose figures can reach it (the usual cause of a difference).
struct LadoDaConferencia {
    FiguraDoFechamento figura;
    QString descricao;
    std::vector<ArquivoDigitado> digitados;
};

// Two figures that two reports print for the same quantity.
struct ConferenciaDoFechamento {
    QString codigo;    // the Treasury's check ("D3_00002"), or ours
    QString descricao; // "Despesa empenhada no bimestre"
    LadoDaConferencia a;
    LadoDaConferencia b;
};

// The chaves of the close's reports that carry a period of their own:
// "anexo10_12" (annex 10 of December), "rgf_bim6", "rgf_quad3".
QString chaveDoAnexo10(int mes);
QString chaveDaGestaoFiscal(bool quadrimestral, int numero);

// The checks of the close of `bimestre` (every report's figures named for that
// bimester), for a chamber or not.
std::vector<ConferenciaDoFechamento> conferenciasDoFechamento(int bimestre, bool camara);

// A figure the index page shows on its own.
struct ValorChave {
    QString descricao;
    FiguraDoFechamento figura;
    std::optional<Moeda> valor; // filled from the CSVs; none when the report did not print it
};

std::vector<ValorChave> valoresChaveDoFechamento(int bimestre);

// The figures of the reports written, by chave, read from their CSVs.
class FigurasDoFechamento {
public:
    // Reads `csv` as report `chave`'s figures. Throws nq::Erro.
    void le(const QString& chave, const QString& csv);
    bool temRelatorio(const QString& chave) const { return figuras_.count(chave) > 0; }
    // The figure; none when the report or the figure is missing.
    std::optional<Moeda> valor(const FiguraDoFechamento& f) const;

private:
    std::map<QString, std::vector<Figura>> figuras_;
};

enum class SituacaoDaConferencia {
    Confere,
    Diverge,
    SemDados, // a report did not run, or did not print the figure
};

struct ResultadoDaConferencia {
    ConferenciaDoFechamento conferencia;
    SituacaoDaConferencia situacao = SituacaoDaConferencia::SemDados;
    std::optional<Moeda> a, b;
    QString mensagem; // in Portuguese, for the terminal and the index page
};

// Checks one pair. `titulos` names the reports by chave ("anexo1" -> "Anexo 1");
// `dados`/`ano` locate the typed files a failing check names.
ResultadoDaConferencia confere(const ConferenciaDoFechamento& c, const FigurasDoFechamento& f,
                               const std::map<QString, QString>& titulos, const QString& dados,
                               const QString& ano);

// "1.234,56", "-5,00": money as the reports print it.
QString moedaImpressa(Moeda valor);

} // namespace nq
