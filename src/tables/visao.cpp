#include "tables/visao.h"

#include <algorithm>

namespace nq {

void Visao::configura(std::vector<int> campos, const Filtro* filtro) {
    campos_ = std::move(campos);
    filtro_ = filtro;
}

void Visao::refaz(const Dados& dados) {
    linhas_.clear();
    linhas_.reserve(dados.linhas());
    for (int i = 0; i < dados.linhas(); ++i)
        if (mostra(dados, i))
            linhas_.push_back(i);
    if (!campos_.empty())
        std::sort(linhas_.begin(), linhas_.end(), [&](int a, int b) { return antes(dados, a, b); });
}

int Visao::posicaoDe(int linha) const {
    const auto it = std::find(linhas_.begin(), linhas_.end(), linha);
    return it == linhas_.end() ? -1 : static_cast<int>(it - linhas_.begin());
}

int Visao::reposiciona(const Dados& dados, int linha, int posicaoAntiga) {
    if (posicaoAntiga >= 0)
        linhas_.erase(linhas_.begin() + posicaoAntiga);
    if (!mostra(dados, linha))
        return -1;
    const auto lugar = std::upper_bound(linhas_.begin(), linhas_.end(), linha,
                                        [&](int a, int b) { return antes(dados, a, b); });
    const auto inserida = linhas_.insert(lugar, linha);
    return static_cast<int>(inserida - linhas_.begin());
}

bool Visao::antes(const Dados& dados, int a, int b) const {
    for (int campo : campos_) {
        const int c = dados.coluna(campo).compara(a, b);
        if (c != 0)
            return c < 0;
    }
    return a < b;
}

} // namespace nq
