#pragma once

#include <QString>
#include <vector>

namespace nq {

// The pages of a page-list text, ascending and each once: "1,3,5-12" gives 1, 3 and 5 to
// 12; "3 1 3" gives 1 and 3; "5-" gives 5. A range written backwards ("12-5") gives only
// its two ends.
std::vector<int> interpretaListaDePaginas(const QString& texto);

enum class IntervaloDePaginas { Todas, PaginaAtual, Paginas };
enum class ParidadeDePaginas { Todas, Impares, Pares };

// What the print dialog settles.
struct OpcoesDeImpressao {
    QString impressora; // system name of the printer; empty: the system's default
    IntervaloDePaginas intervalo = IntervaloDePaginas::Todas;
    std::vector<int> paginas; // with IntervaloDePaginas::Paginas
    int paginaAtual = 1;      // with IntervaloDePaginas::PaginaAtual
    ParidadeDePaginas paridade = ParidadeDePaginas::Todas;
    int copias = 1;
    bool agrupar = false;
    bool paraArquivo = false;
    QString dispositivo; // file device name ("PDFFile"...) when printing to a file
    QString arquivo;
};

// Numbers (from 1) of the pages to send, in order, out of a run of `total` pages: the
// range, then odd or even among the pages of the range. Numbers beyond the run drop out.
std::vector<int> paginasAImprimir(const OpcoesDeImpressao& opcoes, int total);

} // namespace nq
