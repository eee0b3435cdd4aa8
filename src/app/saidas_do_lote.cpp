#include "saidas_do_lote.h"

#include "core/configuracao.h"
#include "core/erro.h"
#include "core/globais.h"
#include "core/gravacao_atomica.h"
#include "db/modulodados.h"
#include "planilha_tce.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryFile>
#include <sys/stat.h>

namespace nq {

namespace {

// Who a path is: the file it reaches (device and inode) when it exists,
// otherwise the absolute path with its folder's links resolved.
struct Identidade {
    bool existe = false;
    dev_t dispositivo = 0;
    ino_t inode = 0;
    mode_t modo = 0;
    QString caminho;
};

Identidade identidade(const QString& caminho) {
    Identidade id;
    const QFileInfo info(caminho);
    struct stat st {};
    if (::stat(QFile::encodeName(caminho).constData(), &st) == 0) {
        id.existe = true;
        id.dispositivo = st.st_dev;
        id.inode = st.st_ino;
        id.modo = st.st_mode;
        id.caminho = info.canonicalFilePath();
        return id;
    }
    const QString pasta = QFileInfo(info.absolutePath()).canonicalFilePath();
    id.caminho =
        (pasta.isEmpty() ? info.absolutePath() : pasta) + QLatin1Char('/') + info.fileName();
    return id;
}

bool mesmoArquivo(const Identidade& a, const Identidade& b) {
    if (a.existe != b.existe)
        return false;
    return a.existe ? a.dispositivo == b.dispositivo && a.inode == b.inode : a.caminho == b.caminho;
}

[[noreturn]] void recusa(const ArquivoDoLote& saida, const QString& motivo) {
    throw Erro(
        QStringLiteral("Saída recusada: %1 (%2) %3.").arg(saida.papel, saida.caminho, motivo));
}

QString oQueE(mode_t modo) {
    if (S_ISDIR(modo))
        return QStringLiteral("é uma pasta");
    if (S_ISFIFO(modo))
        return QStringLiteral("é um FIFO (pipe com nome), não um arquivo comum");
    if (S_ISCHR(modo) || S_ISBLK(modo))
        return QStringLiteral("é um dispositivo, não um arquivo comum");
    return QStringLiteral("não é um arquivo comum");
}

void exigeArquivoComumOuNovo(const ArquivoDoLote& saida, const Identidade& id) {
    if (id.existe && !S_ISREG(id.modo))
        recusa(saida, oQueE(id.modo));
    if (!id.existe && QFileInfo(saida.caminho).isSymLink())
        recusa(saida, QStringLiteral("é um atalho para um arquivo que não existe"));
}

void exigeForaDosNomesDoPrograma(const ArquivoDoLote& saida, const Identidade& id,
                                 const QString& diretorioDados) {
    if (diretorioDados.isEmpty())
        return;
    const QString dados = QFileInfo(diretorioDados).canonicalFilePath();
    const QFileInfo onde(id.caminho);
    if (!dados.isEmpty() && onde.absolutePath() == dados &&
        onde.fileName().startsWith(QStringLiteral("NQ404_"), Qt::CaseInsensitive))
        recusa(saida, QStringLiteral("tem o nome de um arquivo do próprio programa na pasta de "
                                     "dados (%1)")
                          .arg(dados));
}

void exigePastaGravavel(const ArquivoDoLote& saida, const Identidade& id) {
    const QString pasta = QFileInfo(id.caminho).absolutePath();
    if (!QFileInfo(pasta).isDir())
        recusa(saida, QStringLiteral("está numa pasta que não existe"));
    QTemporaryFile teste(pasta + QStringLiteral("/.nq404-XXXXXX"));
    if (!teste.open())
        recusa(saida,
               QStringLiteral("não pode ser gravado na sua pasta (%1)").arg(teste.errorString()));
}

QString sufixoAleatorio() {
    static const char letras[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    QString s;
    for (int i = 0; i < 8; ++i)
        s += QLatin1Char(
            letras[QRandomGenerator::global()->bounded(static_cast<int>(sizeof letras - 1))]);
    return s;
}

} // namespace

void verificaSaidas(const std::vector<ArquivoDoLote>& entradas,
                    const std::vector<ArquivoDoLote>& saidas, const QString& diretorioDados) {
    std::vector<std::pair<const ArquivoDoLote*, Identidade>> lidas;
    for (const ArquivoDoLote& e : entradas)
        if (!e.caminho.isEmpty())
            if (Identidade id = identidade(e.caminho); id.existe)
                lidas.emplace_back(&e, id);
    std::vector<std::pair<const ArquivoDoLote*, Identidade>> gravadas;
    for (const ArquivoDoLote& s : saidas) {
        if (s.caminho.isEmpty())
            continue;
        const Identidade id = identidade(s.caminho);
        exigeArquivoComumOuNovo(s, id);
        for (const auto& [entrada, outra] : lidas) {
            if (!mesmoArquivo(id, outra))
                continue;
            const QString qual = entrada->caminho == s.caminho
                                     ? entrada->papel
                                     : QStringLiteral("o mesmo arquivo que %1 (%2)")
                                           .arg(entrada->papel, entrada->caminho);
            recusa(s, QStringLiteral("é %1, que esta execução lê ou grava").arg(qual));
        }
        for (const auto& [saida, outra] : gravadas)
            if (mesmoArquivo(id, outra))
                recusa(s, QStringLiteral("é o mesmo arquivo que %1; cada saída precisa de um "
                                         "arquivo seu")
                              .arg(saida->papel));
        exigeForaDosNomesDoPrograma(s, id, diretorioDados);
        exigePastaGravavel(s, id);
        gravadas.emplace_back(&s, id);
    }
}

std::vector<ArquivoDoLote> arquivosDoPrograma(const Tdm* dados) {
    std::vector<ArquivoDoLote> r = {
        {QStringLiteral("o programa"), QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget()},
        {QStringLiteral("o Vexo.ini"), caminhoVexoIni()},
        {QStringLiteral("o corfoco.ini"), caminhoCorfocoIni()},
    };
    if (dados) {
        r.push_back({QStringLiteral("o banco de dados do ano"),
                     dados->Conexao.param(QStringLiteral("DataBase"))});
        if (dados->ConexaoAnt.Connected())
            r.push_back({QStringLiteral("o banco de dados do ano anterior"),
                         dados->ConexaoAnt.param(QStringLiteral("DataBase"))});
    }
    if (dados && !diretorioDados().isEmpty())
        for (const QFileInfo& f :
             QDir(diretorioDados()).entryInfoList(QDir::Files | QDir::Hidden | QDir::System))
            r.push_back({QStringLiteral("um arquivo da pasta de dados"), f.filePath()});
    return r;
}

SaidasProvisorias::SaidasProvisorias() = default;

SaidasProvisorias::~SaidasProvisorias() {
    for (const Saida& s : saidas_)
        QFile::remove(s.provisorio);
}

QString SaidasProvisorias::reserva(const QString& final) {
    if (final.isEmpty())
        return {};
    const QFileInfo info(final);
    QString provisorio;
    do
        provisorio = info.absolutePath() + QStringLiteral("/.") + info.fileName() +
                     QStringLiteral(".nq404-parcial-") + sufixoAleatorio();
    while (QFileInfo(provisorio).exists() || QFileInfo(provisorio).isSymLink());
    saidas_.push_back({final, provisorio, std::make_unique<ArquivoPendente>(provisorio)});
    return provisorio;
}

bool SaidasProvisorias::escrita(const QString& final) const {
    for (const Saida& s : saidas_)
        if (s.final == final)
            return QFileInfo(s.provisorio).isFile();
    return false;
}

QString SaidasProvisorias::semNomesProvisorios(QString texto) const {
    for (const Saida& s : saidas_)
        texto.replace(s.provisorio, s.final);
    return texto;
}

void SaidasProvisorias::confirma() {
    QStringList gravadas;
    for (const Saida& s : saidas_) {
        if (!QFileInfo(s.provisorio).isFile())
            continue;
        try {
            instalaArquivoPronto(s.provisorio, s.final);
        } catch (const Erro& e) {
            const QString texto = semNomesProvisorios(e.texto());
            throw Erro(gravadas.isEmpty() ? texto
                                          : texto + QStringLiteral(" Já tinham sido gravados: %1.")
                                                        .arg(gravadas.join(QStringLiteral(", "))));
        }
        gravadas << s.final;
    }
}

} // namespace nq
