#pragma once

#include "report/modelo.h"
#include "tables/clientdataset.h"

namespace nq::teste {

// A report over `linhas` rows of "NOME" ("Linha 1"...) and "VALOR" (1.234,56 times the
// row's number): a header with a title, a detail line with the name, a caption and the
// value, and a summary with the total.
struct RelatorioDeTeste {
    ClientDataSet tabela{QStringLiteral("cdsTeste")};
    TppReport relatorio;

    explicit RelatorioDeTeste(int linhas);
};

} // namespace nq::teste
