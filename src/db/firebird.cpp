#include "db/firebird.h"

#include "core/erro.h"
#include "db/codificacao.h"
#include "db/firebird_interno.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <unistd.h>
#include <utility>

using namespace Firebird;

namespace nq::fb {

using namespace interno;

namespace {

bool temErro(const FbException& e, ISC_STATUS codigo) {
    for (const intptr_t* v = e.getStatus()->getErrors(); v[0] != isc_arg_end; v += 2)
        if (v[0] == isc_arg_gds && v[1] == codigo)
            return true;
    return false;
}

// "host" or "host/porta" of "host/porta:caminho".
QString servidorDe(const QString& caminho) {
    return caminho.left(caminho.indexOf(QLatin1Char(':')));
}

// Why a local file would not open, as far as the file itself tells; empty when it
// looks fine. The embedded engine writes to the file even to read it.
QString problemaDoArquivo(const QString& caminho) {
    const QFileInfo info(caminho);
    if (!info.isAbsolute())
        return {}; // an alias of the engine's configuration
    if (!info.exists())
        return QStringLiteral("O arquivo do banco de dados %1 não existe.").arg(caminho);
    if (access(QFile::encodeName(caminho).constData(), R_OK | W_OK) != 0)
        return QStringLiteral("O arquivo do banco de dados %1 não pode ser aberto para gravação "
                              "(%2). O Firebird local precisa gravar no arquivo mesmo para "
                              "lê-lo: verifique se ele não é somente leitura e se este usuário "
                              "tem permissão de gravação.")
            .arg(caminho, QString::fromLocal8Bit(std::strerror(errno)));
    return {};
}

QString faltaDoMotor(const QString& caminho) {
    if (Banco::motorEmbutidoPresente())
        return QStringLiteral("O banco de dados local %1 não pode ser aberto: o motor local do "
                              "Firebird está instalado mas não foi carregado. Veja a chave "
                              "Providers do firebird.conf, ou configure um servidor (chave "
                              "Servidor do Vexo.ini).")
            .arg(caminho);
    return QStringLiteral("O banco de dados local %1 não pode ser aberto: falta o motor local do "
                          "Firebird (libEngine12.so ou libEngine13.so em %2, pacote "
                          "firebird3.0-server-core). Instale-o ou configure um servidor (chave "
                          "Servidor do Vexo.ini).")
        .arg(caminho, QString::fromLocal8Bit(
                          mestre()->getConfigManager()->getDirectory(IConfigManager::DIR_PLUGINS)));
}

// The cause of a failed attachment, in words the user can act on, with the
// client's own text where it adds something.
[[noreturn]] void falhaAoAbrir(const FbException& e, const QString& caminho,
                               std::chrono::steady_clock::duration demora, int prazo) {
    const QString texto = textoDoStatus(e);
    if (Banco::ehCaminhoRemoto(caminho)) {
        if (prazo > 0 && temErro(e, isc_connect_reject) &&
            demora >= std::chrono::seconds(prazo) - std::chrono::milliseconds(500))
            throw Erro(QStringLiteral("O servidor do banco de dados %1 não respondeu em %2 "
                                      "segundos ao pedido de conexão com %3. Verifique se o "
                                      "servidor Firebird está em funcionamento.")
                           .arg(servidorDe(caminho))
                           .arg(prazo)
                           .arg(caminho));
        if (temErro(e, isc_network_error))
            throw Erro(QStringLiteral("Não foi possível conectar ao servidor do banco de dados "
                                      "%1: ele recusou a conexão, não está em funcionamento ou "
                                      "não foi encontrado.\n(%2)")
                           .arg(servidorDe(caminho), texto));
    } else {
        if (const QString problema = problemaDoArquivo(caminho); !problema.isEmpty())
            throw Erro(problema + QStringLiteral("\n(") + texto + QLatin1Char(')'));
        if (temErro(e, isc_network_error)) // no local engine took the file
            throw Erro(faltaDoMotor(caminho) + QStringLiteral("\n(") + texto + QLatin1Char(')'));
    }
    if (texto.contains(QLatin1String("incompatible with current")))
        throw Erro(QStringLiteral("O banco de dados %1 já está aberto por outro programa neste "
                                  "computador. Um arquivo local só pode ser usado por um programa "
                                  "de cada vez: feche o outro programa ou use um servidor "
                                  "Firebird.\n(%2)")
                       .arg(caminho, texto));
    if (temErro(e, isc_bad_db_format) || temErro(e, isc_db_corrupt))
        throw Erro(QStringLiteral("O arquivo %1 não é um banco de dados Firebird válido ou está "
                                  "danificado.\n(%2)")
                       .arg(caminho, texto));
    throw Erro(
        QStringLiteral("Não foi possível abrir o banco de dados %1: %2").arg(caminho, texto));
}

} // namespace

// ---------------------------------------------------------------- Banco

Banco::Banco(IAttachment* att, const QString& caminho, const QString& conjunto, int dialeto)
    : att_(att), caminho_(caminho), cod_(std::make_unique<Codificacao>(conjunto)),
      dialeto_(dialeto) {}

namespace {

// A parameter block, given back to the client on every way out.
struct Dpb {
    void operator()(IXpbBuilder* b) const { b->dispose(); }
};
using DpbProprio = std::unique_ptr<IXpbBuilder, Dpb>;

DpbProprio montaDpb(const ParametrosConexao& p, const QString& conjunto) {
    Status st;
    DpbProprio dpb(util()->getXpbBuilder(&st, IXpbBuilder::DPB, nullptr, 0));
    dpb->insertString(&st, isc_dpb_user_name, paraNativo(p.usuario).constData());
    dpb->insertString(&st, isc_dpb_password, paraNativo(p.senha).constData());
    if (!p.papel.isEmpty())
        dpb->insertString(&st, isc_dpb_sql_role_name, paraNativo(p.papel).constData());
    dpb->insertString(&st, isc_dpb_lc_ctype, conjunto.toLatin1().constData());
    dpb->insertInt(&st, isc_dpb_sql_dialect, p.dialeto);
    if (p.segundosParaConectar > 0)
        dpb->insertInt(&st, isc_dpb_connect_timeout, p.segundosParaConectar);
    return dpb;
}

QString conjuntoDe(const ParametrosConexao& p) {
    const QString c = p.conjuntoCaracteres.trimmed().toUpper();
    return c.isEmpty() ? QStringLiteral("UTF8") : c;
}

} // namespace

std::unique_ptr<Banco> Banco::conecta(const QString& caminho, const ParametrosConexao& p) {
    const QString conjunto = conjuntoDe(p);
    Codificacao validaAntes(conjunto);
    IProvider* cliente = provedor(p.bibliotecaCliente);
    const auto inicio = std::chrono::steady_clock::now();
    try {
        Status st;
        const DpbProprio dpb = montaDpb(p, conjunto);
        IAttachment* att = cliente->attachDatabase(&st, paraNativo(caminho).constData(),
                                                   dpb->getBufferLength(&st), dpb->getBuffer(&st));
        return std::unique_ptr<Banco>(new Banco(att, caminho, conjunto, p.dialeto));
    } catch (const FbException& e) {
        falhaAoAbrir(e, caminho, std::chrono::steady_clock::now() - inicio, p.segundosParaConectar);
    }
}

std::unique_ptr<Banco> Banco::cria(const QString& caminho, const ParametrosConexao& p,
                                   const ParametrosCriacao& c) {
    const QString conjunto = conjuntoDe(p);
    Codificacao validaAntes(conjunto);
    IProvider* cliente = provedor(p.bibliotecaCliente);
    try {
        Status st;
        const DpbProprio dpb = montaDpb(p, conjunto);
        dpb->insertInt(&st, isc_dpb_page_size, c.tamanhoPagina);
        dpb->insertString(&st, isc_dpb_set_db_charset, c.conjuntoPadrao.toLatin1().constData());
        dpb->insertInt(&st, isc_dpb_force_write, c.gravacaoForcada ? 1 : 0);
        IAttachment* att = cliente->createDatabase(&st, paraNativo(caminho).constData(),
                                                   dpb->getBufferLength(&st), dpb->getBuffer(&st));
        return std::unique_ptr<Banco>(new Banco(att, caminho, conjunto, p.dialeto));
    } catch (const FbException& e) {
        if (!ehCaminhoRemoto(caminho) && temErro(e, isc_network_error))
            throw Erro(faltaDoMotor(caminho) + QStringLiteral("\n(") + textoDoStatus(e) +
                       QLatin1Char(')'));
        throw Erro(QStringLiteral("Não foi possível criar o banco de dados %1: %2")
                       .arg(caminho, textoDoStatus(e)));
    }
}

bool Banco::ehCaminhoRemoto(const QString& caminho) {
    // "host:path", "host/port:path", "inet://host/path"; a drive letter ("C:\")
    // and an absolute local path ("/dados/a:b.fdb") are local.
    const qsizetype doisPontos = caminho.indexOf(QLatin1Char(':'));
    if (doisPontos <= 1)
        return false;
    return !caminho.startsWith(QLatin1Char('/')) && !caminho.startsWith(QLatin1Char('\\'));
}

bool Banco::motorEmbutidoPresente() {
    const char* plugins = mestre()->getConfigManager()->getDirectory(IConfigManager::DIR_PLUGINS);
    return plugins && motorEmbutidoEm(QString::fromLocal8Bit(plugins));
}

bool Banco::motorEmbutidoEm(const QString& dirPlugins) {
    // libEngine12 (Firebird 3), libEngine13 (Firebird 4 and 5) and whatever follows them.
    static const QRegularExpression nome(QStringLiteral("^libEngine1[2-9]\\.so$"));
    const QStringList arquivos = QDir(dirPlugins).entryList(QDir::Files);
    return std::any_of(arquivos.begin(), arquivos.end(),
                       [](const QString& a) { return nome.match(a).hasMatch(); });
}

Banco::~Banco() {
    if (!att_)
        return;
    try {
        Status st;
        att_->detach(&st);
    } catch (const FbException&) {
        att_->release();
    }
}

void Banco::desconecta() {
    if (!att_)
        return;
    IAttachment* att = att_;
    att_ = nullptr;
    try {
        Status st;
        att->detach(&st);
    } catch (const FbException& e) {
        att->release();
        throw Erro(QStringLiteral("Erro ao fechar o banco de dados %1: %2")
                       .arg(caminho_, textoDoStatus(e)));
    }
}

namespace {
void exigeAberto(IAttachment* att) {
    if (!att)
        throw Erro(QStringLiteral("O banco de dados não está aberto."));
}
} // namespace

Transacao Banco::inicia(const OpcoesTransacao& o) {
    exigeAberto(att_);
    IXpbBuilder* tpb = nullptr;
    try {
        Status st;
        tpb = util()->getXpbBuilder(&st, IXpbBuilder::TPB, nullptr, 0);
        switch (o.isolamento) {
        case Isolamento::LeituraConfirmada:
            tpb->insertTag(&st, isc_tpb_read_committed);
            tpb->insertTag(&st, isc_tpb_rec_version);
            break;
        case Isolamento::Instantaneo:
            tpb->insertTag(&st, isc_tpb_concurrency);
            break;
        case Isolamento::Consistencia:
            tpb->insertTag(&st, isc_tpb_consistency);
            break;
        }
        tpb->insertTag(&st, o.esperaBloqueios ? isc_tpb_wait : isc_tpb_nowait);
        tpb->insertTag(&st, o.somenteLeitura ? isc_tpb_read : isc_tpb_write);
        ITransaction* tr =
            att_->startTransaction(&st, tpb->getBufferLength(&st), tpb->getBuffer(&st));
        tpb->dispose();
        return Transacao(this, tr);
    } catch (const FbException& e) {
        if (tpb)
            tpb->dispose();
        falhaNoComando(e, {});
    }
}

void Banco::executa(Transacao& t, const QString& sql) {
    exigeAberto(att_);
    const QByteArray texto = cod_->codifica(sql);
    try {
        Status st;
        att_->execute(&st, t.interface(), static_cast<unsigned>(texto.size()), texto.constData(),
                      static_cast<unsigned>(dialeto_), nullptr, nullptr, nullptr, nullptr);
    } catch (const FbException& e) {
        falhaNoComando(e, sql);
    }
}

Cursor Banco::abre(Transacao& t, const QString& sql) {
    exigeAberto(att_);
    const QByteArray texto = cod_->codifica(sql);
    try {
        Status st;
        IResultSet* rs = att_->openCursor(&st, t.interface(), static_cast<unsigned>(texto.size()),
                                          texto.constData(), static_cast<unsigned>(dialeto_),
                                          nullptr, nullptr, nullptr, nullptr, 0);
        return Cursor(*this, t, rs);
    } catch (const FbException& e) {
        falhaNoComando(e, sql);
    }
}

Comando Banco::prepara(Transacao& t, const QString& sql) {
    exigeAberto(att_);
    const QByteArray texto = cod_->codifica(sql);
    try {
        Status st;
        IStatement* s = att_->prepare(&st, t.interface(), static_cast<unsigned>(texto.size()),
                                      texto.constData(), static_cast<unsigned>(dialeto_),
                                      IStatement::PREPARE_PREFETCH_METADATA);
        return Comando(*this, s, sql);
    } catch (const FbException& e) {
        falhaNoComando(e, sql);
    }
}

// ---------------------------------------------------------------- Transacao

Transacao::Transacao(Transacao&& o) noexcept : banco_(o.banco_), tr_(o.tr_) {
    o.tr_ = nullptr;
}

Transacao& Transacao::operator=(Transacao&& o) noexcept {
    if (this != &o) {
        desfazQuieto();
        banco_ = o.banco_;
        tr_ = std::exchange(o.tr_, nullptr);
    }
    return *this;
}

Transacao::~Transacao() {
    desfazQuieto();
}

void Transacao::desfazQuieto() noexcept {
    if (!tr_)
        return;
    try {
        Status st;
        tr_->rollback(&st);
    } catch (const FbException&) {
        tr_->release();
    }
    tr_ = nullptr;
}

namespace {
void exigeAtiva(ITransaction* tr) {
    if (!tr)
        throw Erro(QStringLiteral("A transação já foi encerrada."));
}
} // namespace

void Transacao::confirma() {
    exigeAtiva(tr_);
    try {
        Status st;
        tr_->commit(&st);
        tr_ = nullptr;
    } catch (const FbException& e) {
        falhaNoComando(e, {});
    }
}

void Transacao::confirmaRetendo() {
    exigeAtiva(tr_);
    try {
        Status st;
        tr_->commitRetaining(&st);
    } catch (const FbException& e) {
        falhaNoComando(e, {});
    }
}

void Transacao::desfaz() {
    exigeAtiva(tr_);
    try {
        Status st;
        tr_->rollback(&st);
        tr_ = nullptr;
    } catch (const FbException& e) {
        falhaNoComando(e, {});
    }
}

} // namespace nq::fb
