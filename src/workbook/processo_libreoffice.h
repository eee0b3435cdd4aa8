#pragma once

#include <QString>
#include <QTemporaryDir>
#include <chrono>
#include <string>
#include <sys/types.h>
#include <vector>

namespace nq {

// One LibreOffice process of this program: started with a private profile in a
// process group of its own, listening for UNO connections on a private pipe,
// and killed with its group when this object goes. The process also dies with
// the thread that started it, so a crash of the program leaves no office behind.
class ProcessoLibreOffice {
public:
    // `programa` is soffice.bin itself: the shell wrapper would fork the office
    // out of reach of the death signal.
    ProcessoLibreOffice(const QString& programa, bool oculto);
    ~ProcessoLibreOffice();
    ProcessoLibreOffice(const ProcessoLibreOffice&) = delete;
    ProcessoLibreOffice& operator=(const ProcessoLibreOffice&) = delete;

    // The UNO address of the office's component context.
    QString enderecoUno() const;
    pid_t pid() const { return pid_; }
    // True once the process has ended (it stays unreaped until encerra()).
    bool terminou() const;
    // The office quits asking to be started again after it set up a fresh profile.
    // When it did, reaps it, starts it again and returns true.
    bool reiniciaSePedido();
    // Waits up to `limite` for the process to end by itself, then kills its
    // group and reaps it. Idempotent.
    void encerra(std::chrono::milliseconds limite);

    // Removes what an office killed along with its program left behind: the
    // profiles and pipes of processes that no longer run. Done at every start.
    static void limpaRestos();

private:
    void inicia();

    QTemporaryDir perfil_;
    QString pipe_;
    std::vector<std::string> argumentos_;
    pid_t pid_ = 0;
};

} // namespace nq
