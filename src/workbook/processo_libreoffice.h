#pragma once

#include <QString>
#include <QTemporaryDir>
#include <atomic>
#include <chrono>
#include <string>
#include <sys/types.h>
#include <vector>

namespace nq {

// One LibreOffice process of this program, started with a private profile and
// listening for UNO connections on a private pipe.
//
// A hidden office (checks, batch runs) belongs to the program: it runs in a
// process group of its own, dies with the thread that started it (a crash of
// the program leaves no office behind) and is killed with its group when this
// object goes. A visible office shows the user's workbook: it runs in a session
// of its own, outlives the program when left (deixa()), and keeps its profile
// until it ends.
class ProcessoLibreOffice {
public:
    // `programa` is soffice.bin itself: the shell launcher would fork the office
    // out of reach.
    ProcessoLibreOffice(const QString& programa, bool oculto);
    ~ProcessoLibreOffice();
    ProcessoLibreOffice(const ProcessoLibreOffice&) = delete;
    ProcessoLibreOffice& operator=(const ProcessoLibreOffice&) = delete;

    bool oculto() const { return oculto_; }
    // The pipe's name, and the UNO address of the office's component context on it.
    const QString& pipe() const { return pipe_; }
    pid_t pid() const { return pid_; }
    // True once the process has ended (it stays unreaped until encerra()).
    bool terminou() const;
    // The office quits asking to be started again after it set up a fresh profile.
    // When it did, reaps it, starts it again and returns true.
    bool reiniciaSePedido();
    // Waits up to `limite` for the process to end by itself, then kills its
    // group and reaps it. Idempotent.
    void encerra(std::chrono::milliseconds limite);
    // Kills the group at once without reaping; safe from another thread.
    void mata();
    // Lets a visible office go on after this object and the program: it is neither
    // killed nor reaped, and its profile stays until it ends.
    void deixa();

    // Removes what offices that no longer run left behind: the profiles and pipes
    // of programs that are gone, unless their office still runs. Done at every start.
    static void limpaRestos();

private:
    void inicia();

    bool oculto_;
    QTemporaryDir perfil_;
    QString pipe_;
    std::vector<std::string> argumentos_;
    std::atomic<pid_t> pid_ = 0;
};

} // namespace nq
