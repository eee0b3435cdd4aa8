#pragma once

#include <cstdint>

namespace nq::demo {

// Deterministic pseudo-random numbers (SplitMix64). Every value is derived
// here with integer arithmetic only, so a seed gives the same data on every
// machine and library version (the standard distributions do not promise
// that).
class Sorteio {
public:
    explicit Sorteio(uint64_t semente) : estado_(semente) {}

    uint64_t proximo() {
        uint64_t z = (estado_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in [minimo, maximo] (both included).
    int64_t entre(int64_t minimo, int64_t maximo) {
        const uint64_t faixa = static_cast<uint64_t>(maximo - minimo) + 1;
        return minimo + static_cast<int64_t>(proximo() % faixa);
    }
    // True with `porcento` chance in a hundred.
    bool chance(int porcento) { return entre(0, 99) < porcento; }
    // `valor` scaled by a factor drawn between minimo and maximo per mille.
    int64_t variacao(int64_t valor, int minimoPorMil, int maximoPorMil) {
        return valor * entre(minimoPorMil, maximoPorMil) / 1000;
    }
    // A new independent stream, so that adding draws in one part of the plan
    // does not shift the values of another.
    Sorteio derivado(uint64_t rotulo) {
        return Sorteio(proximo() ^ (rotulo * 0xD6E8FEB86659FD93ull));
    }

private:
    uint64_t estado_;
};

} // namespace nq::demo
