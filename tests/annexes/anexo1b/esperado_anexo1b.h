#pragma once

#include "core/moeda.h"
#include "demo/exercicio.h"

// Annex 1B's database figures computed straight from the generated rows,
// without SQL. `entidade` is an entity number, or Direta for the direct
// administration (the budgetary items whose linkage is not of class "A").
class Esperado1B {
public:
    static constexpr int Direta = -1;

    explicit Esperado1B(const nq::demo::Exercicio& e) : e_(e) {}

    nq::Moeda arrecadado(int entidade, int k) const;
    nq::Moeda empenhado(int entidade, int k, bool comReserva) const;
    nq::Moeda liquidado(int entidade, int k, bool comReserva) const;
    // The budgetary revenue of months 1 to 2b, every item.
    nq::Moeda receitaOrcamentaria(int b) const;

private:
    // Whether the linkage (grupo, codigo) belongs to the line; a pair with no
    // linkage row belongs to none.
    bool daLinha(int entidade, int grupo, int codigo) const;
    const nq::demo::FichaDespesa& fichaDespesa(int ficha) const;

    const nq::demo::Exercicio& e_;
};
