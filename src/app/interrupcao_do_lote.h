#pragma once

#include <csignal>
#include <functional>

namespace nq {

// Ctrl-C, SIGTERM or a closed terminal during a run without windows: the run
// stops at once, every file still being written is removed (a save under way,
// the outputs under their provisional names, the annexes' work copies), a line
// says so on standard error and the process ends with 128 + the signal (130
// for Ctrl-C, 143 for SIGTERM). Typed files need nothing: they are only ever
// replaced whole. Installed for the life of this object; the former handlers
// come back after.
class InterrupcaoDoLote {
public:
    InterrupcaoDoLote();
    ~InterrupcaoDoLote();
    InterrupcaoDoLote(const InterrupcaoDoLote&) = delete;
    InterrupcaoDoLote& operator=(const InterrupcaoDoLote&) = delete;

    // Installs the handlers again: the database client puts its own in place
    // when it attaches a database, and would let the run go on.
    void reinstala();

    // Runs `confirma` (the outputs put in place) with signals held back until
    // it returns, so that the outputs are all there or none; a signal that came
    // meanwhile then ends the process. Once they are in place a signal still
    // ends the process, saying that the outputs were written.
    void adiaDurante(const std::function<void()>& confirma);

private:
    struct sigaction anteriores_[3] = {};
};

} // namespace nq
