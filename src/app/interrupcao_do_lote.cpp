#include "interrupcao_do_lote.h"

#include "core/gravacao_atomica.h"

#include <atomic>
#include <unistd.h>

namespace nq {

namespace {

constexpr int Sinais[] = {SIGINT, SIGTERM, SIGHUP};

enum Fase : int { Rodando, Confirmando, Gravadas };
std::atomic<int> fase{Rodando};
std::atomic<int> adiado{0};

void escreve(const char* texto) {
    size_t n = 0;
    while (texto[n])
        ++n;
    while (n > 0) {
        const ssize_t feito = ::write(STDERR_FILENO, texto, n);
        if (feito <= 0)
            return;
        texto += feito;
        n -= static_cast<size_t>(feito);
    }
}

// Async-signal-safe calls only; any thread of the process may run it.
extern "C" void aoInterromper(int sinal) {
    if (fase.load() == Confirmando) {
        adiado.store(sinal);
        return;
    }
    const bool gravadas = fase.load() == Gravadas;
    if (!gravadas)
        removeArquivosPendentes();
    escreve(sinal == SIGINT    ? "\nnq404: interrompido (Ctrl-C)"
            : sinal == SIGTERM ? "\nnq404: interrompido (SIGTERM)"
                               : "\nnq404: interrompido (o terminal foi fechado)");
    escreve(gravadas ? " depois de gravar os arquivos de saída, que estão completos.\n"
                     : ": a execução parou e nenhum arquivo de saída foi gravado.\n");
    ::_exit(128 + sinal);
}

} // namespace

InterrupcaoDoLote::InterrupcaoDoLote() {
    for (int i = 0; i < 3; ++i)
        sigaction(Sinais[i], nullptr, &anteriores_[i]);
    fase = Rodando;
    adiado = 0;
    reinstala();
}

InterrupcaoDoLote::~InterrupcaoDoLote() {
    for (int i = 0; i < 3; ++i)
        sigaction(Sinais[i], &anteriores_[i], nullptr);
}

void InterrupcaoDoLote::reinstala() {
    struct sigaction acao {};
    acao.sa_handler = aoInterromper;
    sigfillset(&acao.sa_mask);
    for (int sinal : Sinais)
        sigaction(sinal, &acao, nullptr);
}

void InterrupcaoDoLote::adiaDurante(const std::function<void()>& confirma) {
    fase = Confirmando;
    try {
        confirma();
    } catch (...) {
        fase = Rodando;
        if (const int sinal = adiado.exchange(0))
            aoInterromper(sinal);
        throw;
    }
    fase = Gravadas;
    if (const int sinal = adiado.exchange(0))
        aoInterromper(sinal);
}

} // namespace nq
