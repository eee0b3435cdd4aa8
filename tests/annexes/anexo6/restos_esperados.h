#pragma once

#include "core/moeda.h"
#include "demo/exercicio.h"

#include <QDate>
#include <map>
#include <utility>

// The outstanding commitments of a period computed from the generated rows
// with the accounting rules alone, without SQL: what was inscribed, cancelled
// and paid of the commitments carried over (the items of ledger account 3211),
// the cash of each resource linkage less what it owes, and, at the year's end,
// the year's non-processed commitments that cash does not cover.
struct Restos {
    nq::Moeda rpAnt, rpExer, npExer, cancBim, cancAcu, pagoBim, pagoAcu, disFin, nInscr;

    Restos& operator+=(const Restos& o);
    bool vazio() const; // nothing the destination table would show
};

class RestosEsperados {
public:
    RestosEsperados(const nq::demo::Exercicio& e, QDate inicio, QDate fim);

    // By resource linkage (group, code).
    const std::map<std::pair<int, int>, Restos>& porVinculo() const { return vinculos_; }
    // The sum of the linkages that belong to the entities for which `pertence` holds.
    template <class F> Restos dasEntidades(F pertence) const {
        Restos r;
        for (const auto& [chave, restos] : vinculos_)
            if (pertence(empresaDoVinculo_.at(chave)))
                r += restos;
        return r;
    }

private:
    std::map<std::pair<int, int>, Restos> vinculos_;
    std::map<std::pair<int, int>, const nq::demo::Entidade*> empresaDoVinculo_;
};
