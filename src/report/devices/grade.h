#pragma once

#include "report/devices/textos.h"
#include "report/formato.h"

#include <QLocale>
#include <optional>
#include <vector>

namespace nq {

struct Celula {
    int linha = 0;
    int coluna = 0;
    QString texto;
    std::optional<double> numero; // the value of a text that is a formatted number
    int casas = 0;                // its decimal places
    bool negrito = false;
    Alinhamento alinhamento = Alinhamento::Esquerda;
};

// The texts of a whole report as cells of one worksheet: every line of text is a row,
// pages follow one another, and texts that line up across the report (by their left end,
// right end or middle, as aligned) share a column.
class GradeDePlanilha {
public:
    explicit GradeDePlanilha(QLocale local = localeDosRelatorios()) : local_(std::move(local)) {}

    void acrescentaPagina(const Pagina& pagina);
    // Cells by row and column; call once, after the last page.
    std::vector<Celula> celulas() const;

    // The value of a number formatted by `local` ("1.234,56", "-5,00", "12"), with its
    // decimal places; nullopt for any other text, and for codes with leading zeros ("007").
    static std::optional<std::pair<double, int>> numeroFormatado(const QString& texto,
                                                                 const QLocale& local);

private:
    struct Texto {
        int linha;
        TextoNaPagina texto;
    };
    QLocale local_;
    std::vector<Texto> textos_;
    int linhas_ = 0;
};

// Widest text of each column, in characters (for column widths).
std::vector<int> largurasDasColunas(const std::vector<Celula>& celulas);

} // namespace nq
