#include "workbook/processo_libreoffice.h"

#include "core/erro.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>
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
const QString PrefixoDoPerfil = QStringLiteral("nq404-libreoffice-");
// In the profile: the office's process id, for limpaRestos().
const QString ArquivoDoPid = QStringLiteral("nq404-office.pid");

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

// A zombie is dead too: an office killed along with its program waits there for
// whoever adopted it to reap it.
bool processoMorto(const QString& pid) {
    bool numero = false;
    const int p = pid.trimmed().toInt(&numero);
    if (!numero || p <= 0)
        return false;
    if (kill(p, 0) != 0)
        return errno == ESRCH;
    QFile stat(QString("/proc/%1/stat").arg(p));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray linha = stat.readAll();
    const qsizetype fim = linha.lastIndexOf(')');
    return fim >= 0 && (linha.mid(fim + 2, 1) == "Z" || linha.mid(fim + 2, 1) == "X");
}

QString caminhoDoPipe(const QString& pipe) {
    return QString("%1/OSL_PIPE_%2_%3").arg(DiretorioDosPipes).arg(getuid()).arg(pipe);
}

// "nq404-libreoffice-<program>-<sufixo>" pairs with the pipe "nq404_<program>_<sufixo>".
QString pipeDoPerfil(const QString& perfil) {
    const QString nome = QFileInfo(perfil).fileName();
    return QString("nq404_%1_%2").arg(nome.section('-', 2, 2), nome.section('-', 3));
}

// Runs in the child between fork and exec: async-signal-safe calls only.
[[noreturn]] void executaFilho(pid_t pai, bool oculto, const char* programa, char* const* argv,
                               char* const* ambiente) {
    if (oculto) {
        setpgid(0, 0);
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != pai)
            _exit(126);
    } else {
        // Out of the program's session: neither its end nor a Ctrl-C in its
        // terminal reaches the office that holds the user's workbook.
        setsid();
    }
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
    execve(programa, argv, ambiente);
    _exit(127);
}

} // namespace

ProcessoLibreOffice::ProcessoLibreOffice(const QString& programa, bool oculto)
    : oculto_(oculto),
      perfil_(QString("%1/%2%3-XXXXXX").arg(QDir::tempPath(), PrefixoDoPerfil).arg(getpid())) {
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
    pipe_ = pipeDoPerfil(perfil_.path());

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
    // This program's own UNO bootstrap names the installation it is linked with;
    // the office finds its own.
    std::vector<char*> ambiente;
    for (char** v = environ; *v; ++v)
        if (std::strncmp(*v, "URE_BOOTSTRAP=", 14) != 0)
            ambiente.push_back(*v);
    ambiente.push_back(nullptr);

    const pid_t pai = getpid();
    const pid_t filho = fork();
    if (filho < 0)
        throw Erro(QString("Não foi possível iniciar o LibreOffice: %1.").arg(strerror(errno)));
    if (filho == 0)
        executaFilho(pai, oculto_, argv[0], argv.data(), ambiente.data());
    if (oculto_)
        setpgid(filho, filho);
    pid_ = filho;
    QFile marca(perfil_.filePath(ArquivoDoPid));
    if (marca.open(QIODevice::WriteOnly | QIODevice::Truncate))
        marca.write(QByteArray::number(filho));
}

void ProcessoLibreOffice::limpaRestos() {
    QDir temp(QDir::tempPath());
    for (const auto& nome :
         temp.entryList({PrefixoDoPerfil + "*"}, QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (!processoMorto(nome.section('-', 2, 2)))
            continue;
        QFile marca(temp.filePath(nome) + "/" + ArquivoDoPid);
        if (marca.open(QIODevice::ReadOnly) && !processoMorto(QString::fromLatin1(marca.readAll())))
            continue; // a visible office left running with the user's workbook
        QFile::remove(caminhoDoPipe(pipeDoPerfil(nome)));
        QDir(temp.filePath(nome)).removeRecursively();
    }
}

ProcessoLibreOffice::~ProcessoLibreOffice() {
    encerra(std::chrono::milliseconds(0));
}

bool ProcessoLibreOffice::reiniciaSePedido() {
    // The office's own code for "restart me" (its launcher does the same).
    constexpr int PedidoDeReinicio = 81;
    const pid_t pid = pid_;
    if (pid <= 0 || !terminou())
        return false;
    kill(-pid, SIGKILL);
    int estado = 0;
    while (waitpid(pid, &estado, 0) < 0 && errno == EINTR) {
    }
    pid_ = 0;
    if (!WIFEXITED(estado) || WEXITSTATUS(estado) != PedidoDeReinicio)
        return false;
    inicia();
    return true;
}

bool ProcessoLibreOffice::terminou() const {
    const pid_t pid = pid_;
    if (pid <= 0)
        return true;
    siginfo_t info{};
    if (waitid(P_PID, pid, &info, WEXITED | WNOHANG | WNOWAIT) != 0)
        return errno != EINTR;
    return info.si_pid != 0;
}

void ProcessoLibreOffice::mata() {
    // The leader is not reaped before encerra(), so its group id cannot have been reused.
    if (const pid_t pid = pid_; pid > 0)
        kill(-pid, SIGKILL);
}

void ProcessoLibreOffice::encerra(std::chrono::milliseconds limite) {
    const pid_t pid = pid_;
    if (pid <= 0)
        return;
    const auto fim = std::chrono::steady_clock::now() + limite;
    while (!terminou() && std::chrono::steady_clock::now() < fim)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    mata();
    while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
    }
    pid_ = 0;
    // A killed office leaves its pipe behind.
    QFile::remove(caminhoDoPipe(pipe_));
}

void ProcessoLibreOffice::deixa() {
    if (pid_ <= 0)
        return;
    pid_ = 0;
    perfil_.setAutoRemove(false);
}

} // namespace nq
