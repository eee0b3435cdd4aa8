#pragma once

#include <csignal>

namespace nq {

// Ctrl-C, SIGTERM or a closed terminal during a run without windows: the run
// stops at once, every file still being written is removed (a save under way,
// the outputs under their provisional names), a line says so on standard
// error and the process ends with 128 + the signal (130 for Ctrl-C, 143 for
// SIGTERM). Typed files need nothing: they are only ever replaced whole.
// Installed for the life of this object; the former handlers come back after.
class InterrupcaoDoLote {
public:
    InterrupcaoDoLote();
    ~InterrupcaoDoLote();
    InterrupcaoDoLote(const InterrupcaoDoLote&) = delete;
    InterrupcaoDoLote& operator=(const InterrupcaoDoLote&) = delete;

    // Installs the handlers again: the database client puts its own in place
    // when it attaches a database, and would let the run go on.
    void reinstala();

private:
    struct sigaction anteriores_[3] = {};
};

} // namespace nq
