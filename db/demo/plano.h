#pragma once

#include "demo/exercicio.h"

#include <QString>
#include <cstdint>
#include <optional>

namespace nq::demo {

// "teste", "pequeno", "medio", "grande"; nullopt for any other text.
std::optional<Tamanho> tamanhoDeTexto(const QString& texto);
QString textoDeTamanho(Tamanho t);

// Generates the exercise `ano` from the seed. `anterior`, when given, is the
// exercise of the year before: its unpaid commitments are carried over and
// its closing cash balances open this year; without it they are invented.
Exercicio geraExercicio(int ano, uint64_t semente, Tamanho tamanho,
                        const Exercicio* anterior = nullptr);

struct ParDeExercicios {
    Exercicio anterior; // ano - 1
    Exercicio atual;    // ano
};
ParDeExercicios geraPar(int ano, uint64_t semente, Tamanho tamanho);

} // namespace nq::demo
