#include "workbook/processo_libreoffice.h"

#include "core/erro.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace nq {

namespace {

// The office keeps its pipes here whatever TMPDIR says.
const char* const DiretorioDosPipes = "/tmp";

QByteArray item(const char* nome, const char* valor) {
    return QByteArray(R"(<item oor:path="/org.openoffice.Office.Common/Misc"><prop oor:name=")") +
           nome + R"(" oor:op="fuse"><value>)" + valor + "</value></prop></item>\n";
}

// A fresh profile would greet the user with the tip of the day in a visible
// office. Without a window nobody else shares the workbook, and a lock file
// left beside it by a killed office would only confuse its owner.
QByteArray configuracaoInicial(bool oculto) {
    QByteArray xml = R"(<?xml version="1.0" encoding="UTF-8"?>
<oor:items xmlns:oor="http://openoffice.org/2001/registry" xmlns:xs="http://www.w3.org/2001/XMLSchema" xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance">
)";
    xml += item("ShowTipOfTheDay", "false") + item("FirstRun", "false");
    if (oculto)
        xml += item("UseLocking", "false");
    return xml + "</oor:items>\n";
}

void preparaPerfil(const QString& dir, bool oculto) {
    QDir().mkpath(dir + "/user");
    QFile f(dir + "/user/registrymodifications.xcu");
    if (!f.open(QIODevice::WriteOnly) || f.write(configuracaoInicial(oculto)) < 0)
        throw Erro(QString("Não foi possível preparar o perfil do LibreOffice em %1.").arg(dir));
}

bool processoMorto(const QString& pid) {
    bool numero = false;
    const int p = pid.toInt(&numero);
    return numero && p > 0 && kill(p, 0) != 0 && errno == ESRCH;
}

QString nomeDePipe() {
    static std::atomic<int> contador{0};
    return QString("nq404_%1_%2").arg(getpid()).arg(++contador);
}

// Runs in the child between fork and exec: async-signal-safe calls only.
[[noreturn]] void executaFilho(pid_t pai, const char* programa, char* const* argv) {
    setpgid(0, 0);
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != pai)
        _exit(126);
    sigset_t nenhum;
    sigemptyset(&nenhum);
    sigprocmask(SIG_SETMASK, &nenhum, nullptr);
    int nulo = open("/dev/null", O_RDWR);
    if (nulo >= 0) {
        dup2(nulo, 0);
        dup2(nulo, 1);
        dup2(nulo, 2);
    }
    close_range(3, ~0U, 0);
    execv(programa, argv);
    _exit(127);
}

} // namespace

ProcessoLibreOffice::ProcessoLibreOffice(const QString& programa, bool oculto)
    : perfil_(QString("%1/nq404-libreoffice-%2-XXXXXX").arg(QDir::tempPath()).arg(getpid())),
      pipe_(nomeDePipe()) {
    limpaRestos();
    QFileInfo info(programa);
    if (!info.isFile() || !info.isExecutable())
        throw Erro(QString("O LibreOffice não foi encontrado (%1). Instale o LibreOffice Calc "
                           "para exportar os dados para a planilha.")
                       .arg(programa));
    if (!perfil_.isValid())
        throw Erro(QString("Não foi possível criar o perfil temporário do LibreOffice: %1.")
                       .arg(perfil_.errorString()));
    preparaPerfil(perfil_.path(), oculto);

    argumentos_ = {
        programa.toStdString(),
        "-env:UserInstallation=" +
            QUrl::fromLocalFile(perfil_.path()).toString(QUrl::FullyEncoded).toStdString(),
        "--accept=pipe,name=" + pipe_.toStdString() + ";urp;",
        "--norestore",
        "--nologo",
        "--nodefault",
        "--nolockcheck"};
    if (oculto) {
        argumentos_.emplace_back("--headless");
        argumentos_.emplace_back("--invisible");
    }
    inicia();
}

void ProcessoLibreOffice::inicia() {
    std::vector<char*> argv;
    for (auto& a : argumentos_)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    const pid_t pai = getpid();
    pid_ = fork();
    if (pid_ < 0)
        throw Erro(QString("Não foi possível iniciar o LibreOffice: %1.").arg(strerror(errno)));
    if (pid_ == 0)
        executaFilho(pai, argv[0], argv.data());
    setpgid(pid_, pid_);
}

void ProcessoLibreOffice::limpaRestos() {
    QDir temp(QDir::tempPath());
    for (const auto& nome :
         temp.entryList({"nq404-libreoffice-*"}, QDir::Dirs | QDir::NoDotAndDotDot))
        if (processoMorto(nome.section('-', 2, 2)))
            QDir(temp.filePath(nome)).removeRecursively();
    QDir tmp(DiretorioDosPipes);
    for (const auto& nome :
         tmp.entryList({QString("OSL_PIPE_%1_nq404_*").arg(getuid())}, QDir::System | QDir::Files))
        if (processoMorto(nome.section('_', 4, 4)))
            tmp.remove(nome);
}

ProcessoLibreOffice::~ProcessoLibreOffice() {
    encerra(std::chrono::milliseconds(0));
}

QString ProcessoLibreOffice::enderecoUno() const {
    return QString("uno:pipe,name=%1;urp;StarOffice.ComponentContext").arg(pipe_);
}

bool ProcessoLibreOffice::reiniciaSePedido() {
    // The office's own code for "restart me" (its launcher does the same).
    constexpr int PedidoDeReinicio = 81;
    if (pid_ <= 0 || !terminou())
        return false;
    kill(-pid_, SIGKILL);
    int estado = 0;
    while (waitpid(pid_, &estado, 0) < 0 && errno == EINTR) {
    }
    pid_ = 0;
    if (!WIFEXITED(estado) || WEXITSTATUS(estado) != PedidoDeReinicio)
        return false;
    inicia();
    return true;
}

bool ProcessoLibreOffice::terminou() const {
    if (pid_ <= 0)
        return true;
    siginfo_t info{};
    if (waitid(P_PID, pid_, &info, WEXITED | WNOHANG | WNOWAIT) != 0)
        return errno != EINTR;
    return info.si_pid != 0;
}

void ProcessoLibreOffice::encerra(std::chrono::milliseconds limite) {
    if (pid_ <= 0)
        return;
    const auto fim = std::chrono::steady_clock::now() + limite;
    while (!terminou() && std::chrono::steady_clock::now() < fim)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    // The leader is not reaped yet, so its group id cannot have been reused.
    kill(-pid_, SIGKILL);
    while (waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {
    }
    pid_ = 0;
    // A killed office leaves its pipe behind.
    QFile::remove(QString("%1/OSL_PIPE_%2_%3").arg(DiretorioDosPipes).arg(getuid()).arg(pipe_));
}

} // namespace nq
