#include "core/gravacao_atomica.h"

#include "core/erro.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace nq {

namespace {

// Files an interrupted run must not leave behind. Plain storage and lock-free
// atomics only: the signal handler reads it.
struct Vaga {
    std::atomic<int> estado{0}; // 0 free, 1 being filled, 2 registered
    char caminho[PATH_MAX];
};
Vaga vagas[32];

int registra(const QByteArray& caminho) {
    if (caminho.size() >= PATH_MAX)
        return -1;
    for (int i = 0; i < static_cast<int>(std::size(vagas)); ++i) {
        int livre = 0;
        if (vagas[i].estado.compare_exchange_strong(livre, 1)) {
            std::memcpy(vagas[i].caminho, caminho.constData(), caminho.size() + 1);
            vagas[i].estado.store(2, std::memory_order_release);
            return i;
        }
    }
    return -1; // more at once than this program ever has: the file is just not guarded
}

void libera(int& vaga) {
    if (vaga >= 0)
        vagas[vaga].estado.store(0, std::memory_order_release);
    vaga = -1;
}

FalhaDeGravacao& falhaInstalada() {
    static FalhaDeGravacao f;
    return f;
}

int injetada(PassoDaGravacao passo, const QString& destino) {
    const FalhaDeGravacao& f = falhaInstalada();
    return f ? f(passo, destino) : 0;
}

[[noreturn]] void falha(const QString& arquivo, const QString& causa) {
    throw Erro(QStringLiteral("Não foi possível gravar o arquivo \"%1\": %2.").arg(arquivo, causa));
}

[[noreturn]] void falha(const QString& arquivo, int erro) {
    falha(arquivo, causaDoErro(erro));
}

QByteArray nativo(const QString& caminho) {
    return QFile::encodeName(caminho);
}

// The file a save replaces: the target itself, or where its link points.
QString resolve(const QString& pedido) {
    const QFileInfo info(pedido);
    if (!info.isSymLink())
        return info.absoluteFilePath();
    const QString alvo = info.canonicalFilePath();
    if (alvo.isEmpty())
        falha(pedido, QStringLiteral("é um atalho para um arquivo que não existe"));
    return alvo;
}

// Refuses a target that is there but cannot be replaced; true when it exists.
bool exigeSubstituivel(const QString& destino, const QString& pedido, struct stat& st) {
    if (::stat(nativo(destino).constData(), &st) != 0)
        return false;
    if (!S_ISREG(st.st_mode))
        falha(pedido, S_ISDIR(st.st_mode) ? QStringLiteral("é uma pasta")
                                          : QStringLiteral("não é um arquivo comum"));
    // No write bit at all is the owner's decision, which even root respects.
    if ((st.st_mode & 0222) == 0 || ::access(nativo(destino).constData(), W_OK) != 0)
        falha(pedido, QStringLiteral("o arquivo está protegido contra gravação"));
    return true;
}

// A replacement keeps the permissions (and, for root, the owner) of the file it replaces.
void herdaDono(int fd, const struct stat& st) {
    (void)::fchmod(fd, st.st_mode & 07777);
    if (::geteuid() == 0)
        (void)::fchown(fd, st.st_uid, st.st_gid);
}

QByteArray sufixoAleatorio() {
    static const char letras[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QByteArray s(8, '\0');
    for (char& c : s)
        c = letras[QRandomGenerator::global()->bounded(static_cast<int>(sizeof letras - 1))];
    return s;
}

void sincronizaPasta(const QString& destino, const QString& pedido) {
    int e = injetada(PassoDaGravacao::SincronizaPasta, destino);
    if (!e) {
        const int d = ::open(nativo(QFileInfo(destino).absolutePath()).constData(),
                             O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (d < 0) {
            e = errno;
        } else {
            if (::fsync(d) != 0)
                e = errno;
            ::close(d);
        }
    }
    // Some file systems cannot sync a directory; their renames are as safe as they get.
    if (e && e != EINVAL && e != ENOTSUP)
        throw Erro(QStringLiteral("O arquivo \"%1\" foi gravado, mas a gravação não pôde ser "
                                  "confirmada no disco: %2.")
                       .arg(pedido, causaDoErro(e)));
}

// The last steps of every save: `temporario`, synced already, replaces `destino`.
void poeNoLugar(const QByteArray& temporario, int& vaga, const QString& destino,
                const QString& pedido) {
    int e = injetada(PassoDaGravacao::Renomeia, destino);
    if (!e && ::rename(temporario.constData(), nativo(destino).constData()) != 0)
        e = errno;
    if (e) {
        ::unlink(temporario.constData());
        libera(vaga);
        falha(pedido, e);
    }
    libera(vaga);
    sincronizaPasta(destino, pedido);
}

} // namespace

GravacaoAtomica::GravacaoAtomica(const QString& destino) : pedido_(destino) {}

GravacaoAtomica::~GravacaoAtomica() {
    descarta();
}

void GravacaoAtomica::abre() {
    descarta();
    destino_ = resolve(pedido_);
    struct stat st {};
    const bool existe = exigeSubstituivel(destino_, pedido_, st);
    const QFileInfo info(destino_);
    const QByteArray base =
        nativo(info.absolutePath()) + "/." + nativo(info.fileName()).left(200) + ".nq404-";
    for (int tentativa = 0; fd_ < 0; ++tentativa) {
        temporario_ = base + sufixoAleatorio();
        vaga_ = registra(temporario_);
        int e = injetada(PassoDaGravacao::Cria, destino_);
        if (!e) {
            fd_ = ::open(temporario_.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd_ < 0)
                e = errno;
        }
        if (fd_ < 0) {
            libera(vaga_);
            if (e != EEXIST || tentativa >= 100)
                falha(pedido_, e);
        }
    }
    if (existe)
        herdaDono(fd_, st);
    erro_ = 0;
    QIODevice::open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

qint64 GravacaoAtomica::writeData(const char* dados, qint64 tamanho) {
    if (fd_ < 0 || erro_)
        return -1;
    qint64 feito = 0;
    while (feito < tamanho) {
        int e = injetada(PassoDaGravacao::Escreve, destino_);
        const ssize_t n = e ? -1 : ::write(fd_, dados + feito, tamanho - feito);
        if (n < 0 && !e)
            e = errno;
        if (e == EINTR)
            continue;
        if (n <= 0) {
            erro_ = e ? e : EIO;
            setErrorString(causaDoErro(erro_));
            return -1;
        }
        feito += n;
    }
    return feito;
}

void GravacaoAtomica::conclui() {
    if (fd_ < 0)
        falha(pedido_, QStringLiteral("o arquivo não foi aberto para gravação"));
    int e = erro_;
    if (!e)
        e = injetada(PassoDaGravacao::Sincroniza, destino_);
    if (!e && ::fsync(fd_) != 0)
        e = errno;
    if (!e)
        e = injetada(PassoDaGravacao::Fecha, destino_);
    if (::close(fd_) != 0 && !e)
        e = errno;
    fd_ = -1;
    QIODevice::close();
    if (e) {
        ::unlink(temporario_.constData());
        libera(vaga_);
        falha(pedido_, e);
    }
    poeNoLugar(temporario_, vaga_, destino_, pedido_);
}

void GravacaoAtomica::descarta() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
        ::unlink(temporario_.constData());
    }
    libera(vaga_);
    if (isOpen())
        QIODevice::close();
}

void gravaArquivoAtomico(const QString& destino, const QByteArray& dados) {
    GravacaoAtomica arquivo(destino);
    arquivo.abre();
    arquivo.write(dados);
    arquivo.conclui();
}

void instalaArquivoPronto(const QString& pronto, const QString& destino) {
    const QByteArray temporario = nativo(pronto);
    int vaga = registra(temporario);
    const auto desiste = [&](int e) {
        ::unlink(temporario.constData());
        libera(vaga);
        falha(destino, e);
    };
    QString alvo;
    struct stat st {};
    bool existe = false;
    try {
        alvo = resolve(destino);
        existe = exigeSubstituivel(alvo, destino, st);
    } catch (...) {
        ::unlink(temporario.constData());
        libera(vaga);
        throw;
    }
    const int fd = ::open(temporario.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        desiste(errno);
    if (existe)
        herdaDono(fd, st);
    int e = injetada(PassoDaGravacao::Sincroniza, alvo);
    if (!e && ::fsync(fd) != 0)
        e = errno;
    ::close(fd);
    if (e)
        desiste(e);
    poeNoLugar(temporario, vaga, alvo, destino);
}

QString causaDoErro(int erro) {
    switch (erro) {
    case ENOSPC:
        return QStringLiteral("disco cheio");
    case EDQUOT:
        return QStringLiteral("a cota de disco do usuário se esgotou");
    case EACCES:
    case EPERM:
        return QStringLiteral("permissão negada");
    case EROFS:
        return QStringLiteral("o disco só permite leitura");
    case EIO:
        return QStringLiteral("erro de leitura ou gravação no disco");
    case ENOENT:
        return QStringLiteral("a pasta não existe");
    case ENOTDIR:
        return QStringLiteral("o caminho passa por algo que não é uma pasta");
    case EISDIR:
        return QStringLiteral("é uma pasta");
    case ENAMETOOLONG:
        return QStringLiteral("o nome é longo demais");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("há arquivos abertos demais");
    case EFBIG:
        return QStringLiteral("o arquivo ficaria grande demais");
    case EBUSY:
    case ETXTBSY:
        return QStringLiteral("o arquivo está em uso");
    case ELOOP:
        return QStringLiteral("os atalhos do caminho formam um ciclo");
    default:
        return QStringLiteral("erro %1 do sistema (%2)")
            .arg(erro)
            .arg(QString::fromLocal8Bit(std::strerror(erro)));
    }
}

FalhaDeGravacao injetaFalhaDeGravacao(FalhaDeGravacao falha) {
    std::swap(falhaInstalada(), falha);
    return falha;
}

ArquivoPendente::ArquivoPendente(const QString& caminho) : vaga_(registra(nativo(caminho))) {}

ArquivoPendente::~ArquivoPendente() {
    libera(vaga_);
}

void removeArquivosPendentes() noexcept {
    for (Vaga& v : vagas)
        if (v.estado.load(std::memory_order_acquire) == 2)
            ::unlink(v.caminho);
}

} // namespace nq
