#pragma once

#include "core/moeda.h"
#include "demo/exercicio.h"

// Annex 2's database figures computed straight from the generated rows,
// without SQL: the items of a function, or of one of its sub-functions
// (`subfuncao` empty: the whole function), budgetary or not.
class Esperado2 {
public:
    explicit Esperado2(const nq::demo::Exercicio& e) : e_(e) {}

    nq::Moeda dotacao(const QString& funcao, const QString& subfuncao) const;
    nq::Moeda dotacaoAtualizada(const QString& funcao, const QString& subfuncao, int b) const;
    nq::Moeda empenhado(const QString& funcao, const QString& subfuncao, int k,
                        bool comReserva) const;
    nq::Moeda liquidado(const QString& funcao, const QString& subfuncao, int k,
                        bool comReserva) const;

private:
    bool daLinha(int ficha, const QString& funcao, const QString& subfuncao) const;

    const nq::demo::Exercicio& e_;
};
