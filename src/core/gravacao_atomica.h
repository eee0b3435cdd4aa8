#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <functional>

namespace nq {

// The one way this program saves a file: typed-data files, work copies, the
// files annexes hand on to each other, settings, reports and the outputs of a
// batch run. The bytes go to a temporary file beside the target, which is
// flushed, synced to disk and renamed over the target; the directory is then
// synced so the rename survives a power cut. Any failure removes the
// temporary file, leaves the previous file whole and throws nq::Erro naming
// the file and the cause in Portuguese ("disco cheio"). A target reached
// through a symbolic link is written where the link points; a target that
// exists but is not a regular file, or has no write permission, is refused.
class GravacaoAtomica : public QIODevice {
public:
    explicit GravacaoAtomica(const QString& destino);
    // Not concluded: the temporary file goes and the target stays as it was.
    ~GravacaoAtomica() override;
    GravacaoAtomica(const GravacaoAtomica&) = delete;
    GravacaoAtomica& operator=(const GravacaoAtomica&) = delete;

    // Creates the temporary file and opens the device for writing. Throws.
    void abre();
    // Puts what was written in place of the target. Throws; after a failure
    // the target is as it was before abre() (unless only the final sync of
    // the directory failed, which the message says).
    void conclui();
    // Drops what was written; the target stays as it was.
    void descarta();

    // The file that conclui() replaces: the target with its links resolved.
    const QString& destino() const { return destino_; }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    // Writes everything or fails: the first failure is kept for conclui().
    qint64 writeData(const char* dados, qint64 tamanho) override;

private:
    QString pedido_;
    QString destino_;
    QByteArray temporario_;
    int fd_ = -1;
    int vaga_ = -1;
    int erro_ = 0;
};

// Saves `dados` as the whole content of `destino`, as GravacaoAtomica does.
void gravaArquivoAtomico(const QString& destino, const QByteArray& dados);

// Puts a file that another program wrote beside `destino` (the spreadsheet
// program's copy, a batch output written under a provisional name) in its
// place: synced, renamed over `destino`, directory synced. On failure
// `pronto` is removed and `destino` stays as it was. Throws nq::Erro.
void instalaArquivoPronto(const QString& pronto, const QString& destino);

// "disco cheio", "permissão negada"...: the cause of a failed system call.
QString causaDoErro(int erro);

// The steps of a save, for the fault seam below.
enum class PassoDaGravacao { Cria, Escreve, Sincroniza, Fecha, Renomeia, SincronizaPasta };

// The fault seam of the save routine: before each step the installed function
// is asked, with the step and the target (links resolved); a non-zero errno
// makes that step fail as the system would have. Tests install it; nothing is
// installed in a normal run. Returns the function it replaces.
using FalhaDeGravacao = std::function<int(PassoDaGravacao passo, const QString& destino)>;
FalhaDeGravacao injetaFalhaDeGravacao(FalhaDeGravacao falha);

// A file that must not outlive an interrupted run (a batch output under its
// provisional name): registered while this object lives, so that
// removeArquivosPendentes() removes it. The save routine registers its own
// temporary files the same way.
class ArquivoPendente {
public:
    explicit ArquivoPendente(const QString& caminho);
    ~ArquivoPendente();
    ArquivoPendente(const ArquivoPendente&) = delete;
    ArquivoPendente& operator=(const ArquivoPendente&) = delete;

private:
    int vaga_;
};

// Removes every registered file. Async-signal-safe: for the handler of
// SIGINT and SIGTERM of a batch run, which then ends the process.
void removeArquivosPendentes() noexcept;

} // namespace nq
