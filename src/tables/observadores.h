#pragma once

#include <functional>
#include <utility>
#include <vector>

namespace nq {

// Listeners of a table's changes, with the nestable pause a bulk fill needs:
// while paused nothing is heard, and the end of the pause tells one event.
template <typename Evento> class Observadores {
public:
    using Observador = std::function<void(Evento evento, int linha)>;

    int adiciona(Observador o) {
        lista_.emplace_back(++ultimo_, std::move(o));
        return ultimo_;
    }
    void remove(int id) {
        std::erase_if(lista_, [id](const auto& par) { return par.first == id; });
    }
    void notifica(Evento evento, int linha) {
        if (pausas_ > 0) {
            pendente_ = true;
            return;
        }
        // A copy: a listener may remove itself.
        const auto lista = lista_;
        for (const auto& [id, o] : lista)
            o(evento, linha);
    }
    void pausa() { ++pausas_; }
    // `resumo` is the one event told when the last pause ends after changes.
    void retoma(Evento resumo) {
        if (pausas_ == 0 || --pausas_ > 0 || !pendente_)
            return;
        pendente_ = false;
        notifica(resumo, -1);
    }

private:
    std::vector<std::pair<int, Observador>> lista_;
    int ultimo_ = 0;
    int pausas_ = 0;
    bool pendente_ = false;
};

} // namespace nq
