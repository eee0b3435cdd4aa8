#include "report/preview/opcoes.h"

#include <algorithm>
#include <optional>
#include <set>

namespace nq {

std::vector<int> interpretaListaDePaginas(const QString& texto) {
    std::set<int> paginas;
    std::optional<int> inicioDaFaixa; // the number before an open "-"
    std::optional<int> anterior;      // the number just read, while nothing else followed
    const auto fechaNumero = [&](int n) {
        paginas.insert(n);
        if (inicioDaFaixa)
            for (int p = *inicioDaFaixa; p <= n; ++p)
                paginas.insert(p);
        inicioDaFaixa.reset();
        anterior = n;
    };
    qsizetype i = 0;
    while (i < texto.size()) {
        if (texto[i].isDigit() && texto[i].unicode() < 128) {
            qint64 n = 0;
            while (i < texto.size() && texto[i].isDigit() && texto[i].unicode() < 128) {
                // A page number past any real report saturates instead of overflowing.
                n = std::min<qint64>(n * 10 + texto[i].digitValue(), 99999);
                ++i;
            }
            fechaNumero(static_cast<int>(n));
            continue;
        }
        if (texto[i] == QLatin1Char('-') && anterior)
            inicioDaFaixa = anterior;
        anterior.reset();
        ++i;
    }
    paginas.erase(0);
    return {paginas.begin(), paginas.end()};
}

std::vector<int> paginasAImprimir(const OpcoesDeImpressao& opcoes, int total) {
    std::vector<int> faixa;
    switch (opcoes.intervalo) {
    case IntervaloDePaginas::Todas:
        for (int p = 1; p <= total; ++p)
            faixa.push_back(p);
        break;
    case IntervaloDePaginas::PaginaAtual:
        faixa.push_back(opcoes.paginaAtual);
        break;
    case IntervaloDePaginas::Paginas:
        faixa = opcoes.paginas;
        break;
    }
    std::vector<int> escolhidas;
    for (int p : faixa) {
        if (p < 1 || p > total)
            continue;
        if ((opcoes.paridade == ParidadeDePaginas::Impares && p % 2 == 0) ||
            (opcoes.paridade == ParidadeDePaginas::Pares && p % 2 == 1))
            continue;
        escolhidas.push_back(p);
    }
    return escolhidas;
}

} // namespace nq
