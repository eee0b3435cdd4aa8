#pragma once

#include "tables/dados.h"
#include "tables/filtro.h"

#include <vector>

namespace nq {

// Which rows a table shows and in what order: the rows that pass the filter,
// sorted by the index fields (ties and no index: storage order).
class Visao {
public:
    // `campos`: the index's field numbers, empty for storage order; `filtro`:
    // null for none. Both must outlive the next call to refaz.
    void configura(std::vector<int> campos, const Filtro* filtro);
    void refaz(const Dados& dados);

    bool ordenada() const { return !campos_.empty(); }
    const std::vector<int>& linhas() const { return linhas_; }
    int tamanho() const { return static_cast<int>(linhas_.size()); }
    // Position of a stored row, -1 when hidden.
    int posicaoDe(int linha) const;
    // A stored row changed or was added: it leaves `posicaoAntiga` (-1: it was
    // not shown) and takes its place again; returns its new position, -1 when
    // the filter now hides it.
    int reposiciona(const Dados& dados, int linha, int posicaoAntiga);

private:
    bool antes(const Dados& dados, int a, int b) const;
    bool mostra(const Dados& dados, int linha) const {
        return !filtro_ || filtro_->aceita(dados, linha);
    }

    std::vector<int> campos_;
    const Filtro* filtro_ = nullptr;
    std::vector<int> linhas_;
};

} // namespace nq
