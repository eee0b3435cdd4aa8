// Preloaded into a process under test (LD_PRELOAD): counts the calls that put
// data on disk (write, fsync, rename and their variants) and makes the k-th
// one fail. Set by the environment:
//   NQ404_FALHA_NA    k, the call that fails (1 is the first; 0 or absent: none)
//   NQ404_FALHA_MODO  "kill" (SIGKILL before the call), "ENOSPC" or "EIO" (the
//                     call returns -1 with that errno), "curta" (a write puts
//                     only half of its bytes; other calls go through)
//   NQ404_FALHA_CONTA a file where the number of calls seen is written at exit
// Writes to standard input, output and error are not counted.
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/uio.h>
#include <unistd.h>

namespace {

std::atomic<long> chamadas{0};

long limite() {
    static const long k = [] {
        const char* v = std::getenv("NQ404_FALHA_NA");
        return v ? std::atol(v) : 0L;
    }();
    return k;
}

const char* modo() {
    static const char* m = [] {
        const char* v = std::getenv("NQ404_FALHA_MODO");
        return v ? v : "kill";
    }();
    return m;
}

template <typename F> F original(const char* nome) {
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, nome));
}

enum class Decisao { Segue, Falha, Curta };

// Counts one call; kills the process or tells the call how to fail.
Decisao conta(bool escrita) {
    const long n = ++chamadas;
    if (n != limite())
        return Decisao::Segue;
    if (std::strcmp(modo(), "kill") == 0) {
        ::kill(::getpid(), SIGKILL);
        for (;;)
            ::pause();
    }
    if (std::strcmp(modo(), "curta") == 0)
        return escrita ? Decisao::Curta : Decisao::Segue;
    errno = std::strcmp(modo(), "EIO") == 0 ? EIO : ENOSPC;
    return Decisao::Falha;
}

__attribute__((destructor)) void informaContagem() {
    const char* arquivo = std::getenv("NQ404_FALHA_CONTA");
    if (!arquivo)
        return;
    char texto[32];
    const int n = std::snprintf(texto, sizeof texto, "%ld\n", chamadas.load());
    using Write = ssize_t (*)(int, const void*, size_t);
    const int fd = ::open(arquivo, O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (fd >= 0) {
        original<Write>("write")(fd, texto, n);
        ::close(fd);
    }
}

} // namespace

extern "C" {

ssize_t write(int fd, const void* dados, size_t tamanho) {
    using F = ssize_t (*)(int, const void*, size_t);
    static const F real = original<F>("write");
    if (fd > 2)
        switch (conta(true)) {
        case Decisao::Falha:
            return -1;
        case Decisao::Curta:
            return real(fd, dados, tamanho > 1 ? tamanho / 2 : tamanho);
        case Decisao::Segue:
            break;
        }
    return real(fd, dados, tamanho);
}

ssize_t pwrite64(int fd, const void* dados, size_t tamanho, off_t onde) {
    using F = ssize_t (*)(int, const void*, size_t, off_t);
    static const F real = original<F>("pwrite64");
    if (fd > 2)
        switch (conta(true)) {
        case Decisao::Falha:
            return -1;
        case Decisao::Curta:
            return real(fd, dados, tamanho > 1 ? tamanho / 2 : tamanho, onde);
        case Decisao::Segue:
            break;
        }
    return real(fd, dados, tamanho, onde);
}

ssize_t writev(int fd, const struct iovec* partes, int quantas) {
    using F = ssize_t (*)(int, const struct iovec*, int);
    static const F real = original<F>("writev");
    if (fd > 2 && conta(false) == Decisao::Falha)
        return -1;
    return real(fd, partes, quantas);
}

int fsync(int fd) {
    using F = int (*)(int);
    static const F real = original<F>("fsync");
    return conta(false) == Decisao::Falha ? -1 : real(fd);
}

int fdatasync(int fd) {
    using F = int (*)(int);
    static const F real = original<F>("fdatasync");
    return conta(false) == Decisao::Falha ? -1 : real(fd);
}

int rename(const char* de, const char* para) {
    using F = int (*)(const char*, const char*);
    static const F real = original<F>("rename");
    return conta(false) == Decisao::Falha ? -1 : real(de, para);
}

int renameat(int dirDe, const char* de, int dirPara, const char* para) {
    using F = int (*)(int, const char*, int, const char*);
    static const F real = original<F>("renameat");
    return conta(false) == Decisao::Falha ? -1 : real(dirDe, de, dirPara, para);
}

int renameat2(int dirDe, const char* de, int dirPara, const char* para, unsigned opcoes) {
    using F = int (*)(int, const char*, int, const char*, unsigned);
    static const F real = original<F>("renameat2");
    return conta(false) == Decisao::Falha ? -1 : real(dirDe, de, dirPara, para, opcoes);
}

} // extern "C"
