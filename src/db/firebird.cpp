#include "db/firebird.h"

#include "core/erro.h"
#include "db/codificacao.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cmath>
#include <cstring>
#include <dlfcn.h>
#include <firebird/Interface.h>
#include <limits>
#include <map>
#include <mutex>
#include <unistd.h>
#include <utility>

using namespace Firebird;

namespace nq::fb {

namespace {

IMaster* mestre() {
    static IMaster* m = fb_get_master_interface();
    return m;
}

IUtil* util() {
    return mestre()->getUtilInterface();
}

// The dispatcher of the linked client, or of another client library loaded by
// path. Loaded libraries stay loaded: attachments may outlive any one caller.
// The embedded engine keeps its lock files in a directory shared by default
// with root's processes; another user gets a private one unless FIREBIRD_LOCK
// already names one. Must happen before the engine starts.
void preparaDiretorioDeTravas() {
    if (geteuid() == 0 || qEnvironmentVariableIsSet("FIREBIRD_LOCK"))
        return;
    const QString dir = QDir::tempPath() + QStringLiteral("/nq404-firebird-%1").arg(geteuid());
    QDir().mkpath(dir);
    qputenv("FIREBIRD_LOCK", QFile::encodeName(dir));
}

IProvider* provedor(const QString& biblioteca) {
    static IProvider* padrao = (preparaDiretorioDeTravas(), mestre()->getDispatcher());
    if (biblioteca.isEmpty())
        return padrao;
    static std::mutex trava;
    static std::map<QString, IProvider*> carregados;
    std::lock_guard<std::mutex> guarda(trava);
    if (const auto it = carregados.find(biblioteca); it != carregados.end())
        return it->second;
    void* h = dlopen(QFile::encodeName(biblioteca).constData(), RTLD_NOW | RTLD_LOCAL);
    if (!h)
        throw Erro(QStringLiteral("Não foi possível carregar a biblioteca cliente do banco de "
                                  "dados %1: %2")
                       .arg(biblioteca, QString::fromLocal8Bit(dlerror())));
    using Funcao = IMaster* (*)();
    auto f = reinterpret_cast<Funcao>(dlsym(h, "fb_get_master_interface"));
    if (!f)
        throw Erro(QStringLiteral("A biblioteca %1 não é um cliente Firebird 3 "
                                  "(falta fb_get_master_interface).")
                       .arg(biblioteca));
    IProvider* p = f()->getDispatcher();
    carregados.emplace(biblioteca, p);
    return p;
}

// A status wrapper that throws FbException and gives its status back on exit.
class Status {
public:
    Status() : w_(mestre()->getStatus()) {}
    ~Status() { w_.dispose(); }
    Status(const Status&) = delete;
    Status& operator=(const Status&) = delete;
    ThrowStatusWrapper* operator&() { return &w_; }

private:
    ThrowStatusWrapper w_;
};

QString textoDoStatus(const FbException& e) {
    char buf[4096];
    util()->formatStatus(buf, sizeof buf, e.getStatus());
    return QString::fromLocal8Bit(buf).trimmed();
}

QString resumoSql(const QString& sql) {
    const QString s = sql.simplified();
    return s.size() > 600 ? s.left(600) + QStringLiteral(" ...") : s;
}

[[noreturn]] void falhaNoComando(const FbException& e, const QString& sql) {
    QString t = QStringLiteral("Erro no banco de dados: ") + textoDoStatus(e);
    if (!sql.isEmpty())
        t += QStringLiteral("\nComando: ") + resumoSql(sql);
    throw Erro(t);
}

[[noreturn]] void falhaAoAbrir(const FbException& e, const QString& caminho) {
    const QString texto = textoDoStatus(e);
    if (!Banco::ehCaminhoRemoto(caminho) && !Banco::motorEmbutidoPresente())
        throw Erro(QStringLiteral("O banco de dados local %1 não pode ser aberto: falta o motor "
                                  "local do Firebird (libEngine12.so, pacote "
                                  "firebird3.0-server-core). Instale-o ou configure um servidor "
                                  "(chave Servidor do Vexo.ini).")
                       .arg(caminho));
    if (texto.contains(QLatin1String("incompatible with current")))
        throw Erro(QStringLiteral("O banco de dados %1 já está aberto por outro programa neste "
                                  "computador. Um arquivo local só pode ser usado por um programa "
                                  "de cada vez: feche o outro programa ou use um servidor "
                                  "Firebird.\n(%2)")
                       .arg(caminho, texto));
    if (Banco::ehCaminhoRemoto(caminho) && texto.contains(QLatin1String("timed out")))
        throw Erro(QStringLiteral("O servidor do banco de dados %1 não respondeu em %2 segundos. "
                                  "Verifique a chave Servidor do Vexo.ini e a rede.\n(%3)")
                       .arg(caminho)
                       .arg(Banco::SegundosParaConectar)
                       .arg(texto));
    throw Erro(
        QStringLiteral("Não foi possível abrir o banco de dados %1: %2").arg(caminho, texto));
}

int64_t potencia10(int n) {
    int64_t p = 1;
    while (n-- > 0)
        p *= 10;
    return p;
}

int64_t divideArredondando(int64_t v, int64_t d) {
    const int64_t q = v / d, r = v % d;
    if (r != 0 && std::llabs(r) * 2 >= d)
        return q + (v < 0 ? -1 : 1);
    return q;
}

QString textoEscalado(int64_t v, int escala) {
    if (escala <= 0)
        return QString::number(v);
    const int64_t p = potencia10(escala);
    const uint64_t a = v < 0 ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v);
    return QStringLiteral("%1%2.%3")
        .arg(v < 0 ? QStringLiteral("-") : QString())
        .arg(a / static_cast<uint64_t>(p))
        .arg(a % static_cast<uint64_t>(p), escala, 10, QLatin1Char('0'));
}

QByteArray paraNativo(const QString& s) {
    return s.toLocal8Bit();
}

QDate paraData(ISC_DATE d) {
    unsigned a, m, dia;
    util()->decodeDate(d, &a, &m, &dia);
    return QDate(static_cast<int>(a), static_cast<int>(m), static_cast<int>(dia));
}

QTime paraHora(ISC_TIME t) {
    unsigned h, m, s, f;
    util()->decodeTime(t, &h, &m, &s, &f);
    return QTime(static_cast<int>(h), static_cast<int>(m), static_cast<int>(s),
                 static_cast<int>(f / 10));
}

ISC_DATE deData(const QDate& d) {
    if (!d.isValid())
        throw Erro(QStringLiteral("Data inválida para o banco de dados."));
    return util()->encodeDate(static_cast<unsigned>(d.year()), static_cast<unsigned>(d.month()),
                              static_cast<unsigned>(d.day()));
}

ISC_TIME deHora(const QTime& t) {
    if (!t.isValid())
        throw Erro(QStringLiteral("Hora inválida para o banco de dados."));
    return util()->encodeTime(static_cast<unsigned>(t.hour()), static_cast<unsigned>(t.minute()),
                              static_cast<unsigned>(t.second()),
                              static_cast<unsigned>(t.msec()) * 10);
}

template <class T> T le(const unsigned char* p) {
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

template <class T> void escreve(unsigned char* p, T v) {
    std::memcpy(p, &v, sizeof v);
}

} // namespace

// ---------------------------------------------------------------- Banco

Banco::Banco(IAttachment* att, const QString& caminho, const QString& conjunto, int dialeto)
    : att_(att), caminho_(caminho), cod_(std::make_unique<Codificacao>(conjunto)),
      dialeto_(dialeto) {}

namespace {

IXpbBuilder* montaDpb(const ParametrosConexao& p, const QString& conjunto) {
    Status st;
    IXpbBuilder* dpb = util()->getXpbBuilder(&st, IXpbBuilder::DPB, nullptr, 0);
    dpb->insertString(&st, isc_dpb_user_name, paraNativo(p.usuario).constData());
    dpb->insertString(&st, isc_dpb_password, paraNativo(p.senha).constData());
    if (!p.papel.isEmpty())
        dpb->insertString(&st, isc_dpb_sql_role_name, paraNativo(p.papel).constData());
    dpb->insertString(&st, isc_dpb_lc_ctype, conjunto.toLatin1().constData());
    dpb->insertInt(&st, isc_dpb_sql_dialect, p.dialeto);
    // A server that takes the connection and never answers would otherwise
    // hold the program for good.
    dpb->insertInt(&st, isc_dpb_connect_timeout, Banco::SegundosParaConectar);
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
    IXpbBuilder* dpb = nullptr;
    try {
        Status st;
        dpb = montaDpb(p, conjunto);
        IAttachment* att = provedor(p.bibliotecaCliente)
                               ->attachDatabase(&st, paraNativo(caminho).constData(),
                                                dpb->getBufferLength(&st), dpb->getBuffer(&st));
        dpb->dispose();
        return std::unique_ptr<Banco>(new Banco(att, caminho, conjunto, p.dialeto));
    } catch (const FbException& e) {
        if (dpb)
            dpb->dispose();
        falhaAoAbrir(e, caminho);
    }
}

std::unique_ptr<Banco> Banco::cria(const QString& caminho, const ParametrosConexao& p,
                                   const ParametrosCriacao& c) {
    const QString conjunto = conjuntoDe(p);
    Codificacao validaAntes(conjunto);
    IXpbBuilder* dpb = nullptr;
    try {
        Status st;
        dpb = montaDpb(p, conjunto);
        dpb->insertInt(&st, isc_dpb_page_size, c.tamanhoPagina);
        dpb->insertString(&st, isc_dpb_set_db_charset, c.conjuntoPadrao.toLatin1().constData());
        dpb->insertInt(&st, isc_dpb_force_write, c.gravacaoForcada ? 1 : 0);
        IAttachment* att = provedor(p.bibliotecaCliente)
                               ->createDatabase(&st, paraNativo(caminho).constData(),
                                                dpb->getBufferLength(&st), dpb->getBuffer(&st));
        dpb->dispose();
        return std::unique_ptr<Banco>(new Banco(att, caminho, conjunto, p.dialeto));
    } catch (const FbException& e) {
        if (dpb)
            dpb->dispose();
        if (!ehCaminhoRemoto(caminho) && !motorEmbutidoPresente())
            falhaAoAbrir(e, caminho);
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
    return plugins &&
           QFileInfo::exists(QString::fromLocal8Bit(plugins) + QStringLiteral("/libEngine12.so"));
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

// ---------------------------------------------------------------- LeitorDeLinha

void LeitorDeLinha::preparaColunas(Banco& banco, IMessageMetadata* meta) {
    banco_ = &banco;
    Status st;
    const unsigned n = meta->getCount(&st);
    colunas_.clear();
    posicoes_.clear();
    colunas_.reserve(n);
    posicoes_.reserve(n);
    const Codificacao& cod = banco.codificacao();
    for (unsigned i = 0; i < n; ++i) {
        const unsigned tipo = meta->getType(&st, i) & ~1u;
        const int escala = meta->getScale(&st, i);
        const int subtipo = meta->getSubType(&st, i);
        Coluna c;
        const char* apelido = meta->getAlias(&st, i);
        const char* campo = meta->getField(&st, i);
        c.nome = cod.decodifica(apelido, static_cast<qsizetype>(std::strlen(apelido)));
        c.campo = cod.decodifica(campo, static_cast<qsizetype>(std::strlen(campo)));
        c.anulavel = meta->isNullable(&st, i);
        const unsigned comprimento = meta->getLength(&st, i);
        switch (tipo) {
        case SQL_TEXT:
        case SQL_VARYING: {
            c.tipo = TipoColuna::Texto;
            const unsigned conjunto = meta->getCharSet(&st, i); // 4 UTF8, 3 UNICODE_FSS
            const unsigned porCaractere = conjunto == 4 ? 4u : conjunto == 3 ? 3u : 1u;
            c.comprimento = static_cast<int>(comprimento / porCaractere);
            break;
        }
        case SQL_SHORT:
        case SQL_LONG:
        case SQL_INT64:
            c.tipo = escala < 0 ? TipoColuna::Decimal : TipoColuna::Inteiro;
            c.escala = -escala;
            break;
        case SQL_FLOAT:
        case SQL_DOUBLE:
        case SQL_D_FLOAT:
            c.tipo = TipoColuna::Duplo;
            break;
        case SQL_TYPE_DATE:
            c.tipo = TipoColuna::Data;
            break;
        case SQL_TYPE_TIME:
            c.tipo = TipoColuna::Hora;
            break;
        case SQL_TIMESTAMP:
            c.tipo = TipoColuna::Momento;
            break;
        case SQL_BLOB:
            c.tipo = subtipo == 1 ? TipoColuna::TextoLongo : TipoColuna::Binario;
            break;
        case SQL_BOOLEAN:
            c.tipo = TipoColuna::Logico;
            break;
        case SQL_NULL:
            c.tipo = TipoColuna::Texto;
            break;
        default:
            throw Erro(
                QStringLiteral("Tipo de coluna %1 (%2) não suportado.").arg(c.nome).arg(tipo));
        }
        colunas_.push_back(c);
        posicoes_.push_back({tipo, static_cast<unsigned>(subtipo), comprimento,
                             meta->getOffset(&st, i), meta->getNullOffset(&st, i)});
    }
    buffer_.assign(meta->getMessageLength(&st), 0);
}

int LeitorDeLinha::indice(const QString& nome) const {
    for (int i = 0; i < quantidadeColunas(); ++i)
        if (colunas_[i].nome.compare(nome, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

int LeitorDeLinha::indiceObrigatorio(const QString& nome) const {
    const int i = indice(nome);
    if (i < 0)
        throw Erro(QStringLiteral("Campo não encontrado no resultado: %1").arg(nome));
    return i;
}

bool LeitorDeLinha::ehNulo(int i) const {
    const Posicao& p = posicoes_.at(i);
    return p.tipoSql == SQL_NULL || le<short>(buffer_.data() + p.deslocamentoNulo) != 0;
}

const unsigned char* LeitorDeLinha::campoBruto(int i) const {
    return buffer_.data() + posicoes_.at(i).deslocamento;
}

namespace {
int64_t inteiroBruto(unsigned tipo, const unsigned char* p) {
    switch (tipo) {
    case SQL_SHORT:
        return le<int16_t>(p);
    case SQL_LONG:
        return le<int32_t>(p);
    default:
        return le<int64_t>(p);
    }
}

[[noreturn]] void naoConverte(const Coluna& c, const char* para) {
    throw Erro(QStringLiteral("O campo %1 não pode ser lido como %2.")
                   .arg(c.nome, QString::fromLatin1(para)));
}
} // namespace

QByteArray LeitorDeLinha::leBlob(int i) const {
    QByteArray dados;
    IBlob* blob = nullptr;
    try {
        Status st;
        ISC_QUAD id = le<ISC_QUAD>(campoBruto(i));
        blob = banco_->interface()->openBlob(&st, tr_, &id, 0, nullptr);
        char pedaco[32768];
        for (;;) {
            unsigned lidos = 0;
            const int r = blob->getSegment(&st, sizeof pedaco, pedaco, &lidos);
            if (r != IStatus::RESULT_OK && r != IStatus::RESULT_SEGMENT)
                break;
            dados.append(pedaco, static_cast<qsizetype>(lidos));
        }
        blob->close(&st);
    } catch (const FbException& e) {
        if (blob)
            blob->release();
        falhaNoComando(e, {});
    }
    return dados;
}

QString LeitorDeLinha::texto(int i) const {
    if (ehNulo(i))
        return {};
    const Posicao& p = posicoes_[i];
    const unsigned char* b = campoBruto(i);
    const Coluna& c = colunas_[i];
    switch (c.tipo) {
    case TipoColuna::Texto:
        if (p.tipoSql == SQL_VARYING)
            return banco_->codificacao().decodifica(reinterpret_cast<const char*>(b) + 2,
                                                    le<uint16_t>(b));
        {
            // CHAR comes padded with blanks up to its length.
            qsizetype n = p.comprimento;
            while (n > 0 && b[n - 1] == ' ')
                --n;
            return banco_->codificacao().decodifica(reinterpret_cast<const char*>(b), n);
        }
    case TipoColuna::Inteiro:
    case TipoColuna::Decimal:
        return textoEscalado(inteiroBruto(p.tipoSql, b), c.escala);
    case TipoColuna::Duplo:
        return QString::number(duplo(i), 'g', 17);
    case TipoColuna::Data:
        return data(i).toString(Qt::ISODate);
    case TipoColuna::Hora:
        return hora(i).toString(QStringLiteral("hh:mm:ss"));
    case TipoColuna::Momento:
        return momento(i).toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    case TipoColuna::TextoLongo: {
        const QByteArray d = leBlob(i);
        return banco_->codificacao().decodifica(d.constData(), d.size());
    }
    case TipoColuna::Binario:
        return QString::fromLatin1(leBlob(i).toHex());
    case TipoColuna::Logico:
        return logico(i) ? QStringLiteral("True") : QStringLiteral("False");
    }
    return {};
}

int64_t LeitorDeLinha::inteiro(int i) const {
    if (ehNulo(i))
        return 0;
    const Coluna& c = colunas_[i];
    switch (c.tipo) {
    case TipoColuna::Inteiro:
        return inteiroBruto(posicoes_[i].tipoSql, campoBruto(i));
    case TipoColuna::Decimal:
        return divideArredondando(inteiroBruto(posicoes_[i].tipoSql, campoBruto(i)),
                                  potencia10(c.escala));
    case TipoColuna::Duplo:
        return std::llround(duplo(i));
    case TipoColuna::Logico:
        return logico(i) ? 1 : 0;
    case TipoColuna::Texto: {
        bool ok = false;
        const int64_t v = texto(i).trimmed().toLongLong(&ok);
        if (ok)
            return v;
        break;
    }
    default:
        break;
    }
    naoConverte(c, "número inteiro");
}

Moeda LeitorDeLinha::moeda(int i) const {
    if (ehNulo(i))
        return {};
    const Coluna& c = colunas_[i];
    switch (c.tipo) {
    case TipoColuna::Inteiro:
    case TipoColuna::Decimal:
        return Moeda::deEscalado(inteiroBruto(posicoes_[i].tipoSql, campoBruto(i)), c.escala);
    case TipoColuna::Duplo:
        return Moeda::deDouble(duplo(i));
    case TipoColuna::Texto:
        if (const auto m = Moeda::deTexto(texto(i)))
            return *m;
        break;
    default:
        break;
    }
    naoConverte(c, "valor");
}

double LeitorDeLinha::duplo(int i) const {
    if (ehNulo(i))
        return 0;
    const Posicao& p = posicoes_[i];
    const Coluna& c = colunas_[i];
    switch (c.tipo) {
    case TipoColuna::Duplo:
        return p.tipoSql == SQL_FLOAT ? le<float>(campoBruto(i)) : le<double>(campoBruto(i));
    case TipoColuna::Inteiro:
    case TipoColuna::Decimal:
        return static_cast<double>(inteiroBruto(p.tipoSql, campoBruto(i))) /
               static_cast<double>(potencia10(c.escala));
    case TipoColuna::Texto: {
        bool ok = false;
        const double v = texto(i).trimmed().toDouble(&ok);
        if (ok)
            return v;
        break;
    }
    default:
        break;
    }
    naoConverte(c, "número");
}

bool LeitorDeLinha::logico(int i) const {
    if (ehNulo(i))
        return false;
    const Coluna& c = colunas_[i];
    switch (c.tipo) {
    case TipoColuna::Logico:
        return *campoBruto(i) != 0;
    case TipoColuna::Inteiro:
        return inteiro(i) != 0;
    case TipoColuna::Texto: {
        const QString t = texto(i).trimmed();
        return t.compare(QLatin1String("T"), Qt::CaseInsensitive) == 0 ||
               t.compare(QLatin1String("TRUE"), Qt::CaseInsensitive) == 0 ||
               t.compare(QLatin1String("S"), Qt::CaseInsensitive) == 0 || t == QLatin1String("1");
    }
    default:
        break;
    }
    naoConverte(c, "lógico");
}

QDate LeitorDeLinha::data(int i) const {
    if (ehNulo(i))
        return {};
    const Coluna& c = colunas_[i];
    if (c.tipo == TipoColuna::Data)
        return paraData(le<ISC_DATE>(campoBruto(i)));
    if (c.tipo == TipoColuna::Momento)
        return paraData(le<ISC_TIMESTAMP>(campoBruto(i)).timestamp_date);
    naoConverte(c, "data");
}

QTime LeitorDeLinha::hora(int i) const {
    if (ehNulo(i))
        return {};
    const Coluna& c = colunas_[i];
    if (c.tipo == TipoColuna::Hora)
        return paraHora(le<ISC_TIME>(campoBruto(i)));
    if (c.tipo == TipoColuna::Momento)
        return paraHora(le<ISC_TIMESTAMP>(campoBruto(i)).timestamp_time);
    naoConverte(c, "hora");
}

QDateTime LeitorDeLinha::momento(int i) const {
    if (ehNulo(i))
        return {};
    const Coluna& c = colunas_[i];
    if (c.tipo == TipoColuna::Momento) {
        const auto ts = le<ISC_TIMESTAMP>(campoBruto(i));
        return QDateTime(paraData(ts.timestamp_date), paraHora(ts.timestamp_time));
    }
    if (c.tipo == TipoColuna::Data)
        return QDateTime(data(i), QTime(0, 0));
    naoConverte(c, "data e hora");
}

QByteArray LeitorDeLinha::bytes(int i) const {
    if (ehNulo(i))
        return {};
    if (colunas_[i].tipo == TipoColuna::Binario)
        return leBlob(i);
    return texto(i).toUtf8();
}

// ---------------------------------------------------------------- Cursor

Cursor::Cursor(Banco& banco, Transacao& t, IResultSet* rs) : rs_(rs) {
    tr_ = t.interface();
    try {
        Status st;
        meta_ = rs_->getMetadata(&st);
        preparaColunas(banco, meta_);
    } catch (const FbException& e) {
        fecha();
        falhaNoComando(e, {});
    } catch (...) {
        fecha();
        throw;
    }
}

Cursor::Cursor(Cursor&& o) noexcept : LeitorDeLinha(std::move(o)), rs_(o.rs_), meta_(o.meta_) {
    o.rs_ = nullptr;
    o.meta_ = nullptr;
}

Cursor& Cursor::operator=(Cursor&& o) noexcept {
    if (this != &o) {
        fecha();
        LeitorDeLinha::operator=(std::move(o));
        rs_ = o.rs_;
        meta_ = o.meta_;
        o.rs_ = nullptr;
        o.meta_ = nullptr;
    }
    return *this;
}

Cursor::~Cursor() {
    fecha();
}

bool Cursor::proxima() {
    if (!rs_)
        return false;
    try {
        Status st;
        return rs_->fetchNext(&st, buffer_.data()) == IStatus::RESULT_OK;
    } catch (const FbException& e) {
        falhaNoComando(e, {});
    }
}

void Cursor::fecha() {
    if (meta_) {
        meta_->release();
        meta_ = nullptr;
    }
    if (!rs_)
        return;
    try {
        Status st;
        rs_->close(&st);
    } catch (const FbException&) {
        rs_->release();
    }
    rs_ = nullptr;
}

// ---------------------------------------------------------------- Comando

Comando::Comando(Banco& banco, IStatement* st, const QString& sql)
    : banco_(&banco), st_(st), sql_(sql) {
    try {
        Status s;
        meta_ = st_->getInputMetadata(&s);
        const unsigned n = meta_->getCount(&s);
        for (unsigned i = 0; i < n; ++i) {
            Parametro p{meta_->getType(&s, i) & ~1u,
                        static_cast<unsigned>(meta_->getSubType(&s, i)),
                        meta_->getLength(&s, i),
                        meta_->getOffset(&s, i),
                        meta_->getNullOffset(&s, i),
                        meta_->getScale(&s, i),
                        0,
                        {},
                        false};
            const unsigned conjunto = meta_->getCharSet(&s, i);
            p.caracteres = p.comprimento / (conjunto == 4 ? 4 : conjunto == 3 ? 3 : 1);
            p.ehBlob = p.tipoSql == SQL_BLOB;
            params_.push_back(p);
        }
        buffer_.assign(meta_->getMessageLength(&s), 0);
        for (int i = 0; i < quantidadeParametros(); ++i)
            defineNulo(i);
    } catch (const FbException& e) {
        libera();
        falhaNoComando(e, sql_);
    }
}

Comando::Comando(Comando&& o) noexcept
    : banco_(o.banco_), st_(o.st_), meta_(o.meta_), params_(std::move(o.params_)),
      buffer_(std::move(o.buffer_)), sql_(std::move(o.sql_)) {
    o.st_ = nullptr;
    o.meta_ = nullptr;
}

Comando& Comando::operator=(Comando&& o) noexcept {
    if (this != &o) {
        libera();
        banco_ = o.banco_;
        st_ = std::exchange(o.st_, nullptr);
        meta_ = std::exchange(o.meta_, nullptr);
        params_ = std::move(o.params_);
        buffer_ = std::move(o.buffer_);
        sql_ = std::move(o.sql_);
    }
    return *this;
}

Comando::~Comando() {
    libera();
}

void Comando::libera() {
    if (meta_)
        meta_->release();
    meta_ = nullptr;
    if (!st_)
        return;
    try {
        Status s;
        st_->free(&s);
    } catch (const FbException&) {
        st_->release();
    }
    st_ = nullptr;
}

unsigned char* Comando::campo(int i) {
    if (i < 0 || i >= quantidadeParametros())
        throw Erro(QStringLiteral("Parâmetro %1 inexistente no comando.").arg(i + 1));
    return buffer_.data() + params_[i].deslocamento;
}

void Comando::marcaNaoNulo(int i) {
    escreve<short>(buffer_.data() + params_[i].deslocamentoNulo, 0);
}

void Comando::exigeTipo(int i, bool aceito, const char* tipo) const {
    if (!aceito)
        throw Erro(QStringLiteral("O parâmetro %1 do comando não aceita %2.")
                       .arg(i + 1)
                       .arg(QString::fromUtf8(tipo)));
}

void Comando::defineNulo(int i) {
    campo(i);
    escreve<short>(buffer_.data() + params_[i].deslocamentoNulo, -1);
    params_[i].blobTexto.clear();
}

namespace {
bool ehInteiroSql(unsigned t) {
    return t == SQL_SHORT || t == SQL_LONG || t == SQL_INT64;
}

void escreveInteiro(unsigned tipo, unsigned char* p, int64_t v, int parametro) {
    const auto fora = [&] {
        throw Erro(
            QStringLiteral("O valor do parâmetro %1 não cabe na coluna.").arg(parametro + 1));
    };
    switch (tipo) {
    case SQL_SHORT:
        if (v < std::numeric_limits<int16_t>::min() || v > std::numeric_limits<int16_t>::max())
            fora();
        escreve<int16_t>(p, static_cast<int16_t>(v));
        break;
    case SQL_LONG:
        if (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max())
            fora();
        escreve<int32_t>(p, static_cast<int32_t>(v));
        break;
    default:
        escreve<int64_t>(p, v);
    }
}
} // namespace

void Comando::define(int i, const QString& v) {
    unsigned char* p = campo(i);
    Parametro& par = params_[i];
    if (par.ehBlob) {
        par.blobTexto = v;
        marcaNaoNulo(i);
        return;
    }
    exigeTipo(i, par.tipoSql == SQL_TEXT || par.tipoSql == SQL_VARYING, "texto");
    const QByteArray b = banco_->codificacao().codifica(v);
    if (static_cast<unsigned>(b.size()) > par.comprimento ||
        static_cast<unsigned>(v.toUcs4().size()) > par.caracteres)
        throw Erro(QStringLiteral("O texto \"%1\" é longo demais para o parâmetro %2 do comando.")
                       .arg(v.left(60))
                       .arg(i + 1));
    if (par.tipoSql == SQL_VARYING) {
        escreve<uint16_t>(p, static_cast<uint16_t>(b.size()));
        std::memcpy(p + 2, b.constData(), static_cast<size_t>(b.size()));
    } else {
        std::memset(p, ' ', par.comprimento);
        std::memcpy(p, b.constData(), static_cast<size_t>(b.size()));
    }
    marcaNaoNulo(i);
}

void Comando::defineInteiro(int i, int64_t v) {
    unsigned char* p = campo(i);
    const Parametro& par = params_[i];
    if (ehInteiroSql(par.tipoSql)) {
        const int escala = -par.escala;
        if (escala > 18 || (escala > 0 && std::llabs(v) > std::numeric_limits<int64_t>::max() /
                                                              potencia10(escala)))
            throw Erro(QStringLiteral("O valor do parâmetro %1 não cabe na coluna.").arg(i + 1));
        escreveInteiro(par.tipoSql, p, v * potencia10(escala), i);
    } else if (par.tipoSql == SQL_DOUBLE || par.tipoSql == SQL_FLOAT) {
        define(i, static_cast<double>(v));
        return;
    } else if (par.tipoSql == SQL_TEXT || par.tipoSql == SQL_VARYING) {
        define(i, QString::number(v));
        return;
    } else {
        exigeTipo(i, false, "número inteiro");
    }
    marcaNaoNulo(i);
}

void Comando::define(int i, Moeda v) {
    unsigned char* p = campo(i);
    const Parametro& par = params_[i];
    if (par.tipoSql == SQL_DOUBLE || par.tipoSql == SQL_FLOAT) {
        define(i, v.paraDouble());
        return;
    }
    exigeTipo(i, ehInteiroSql(par.tipoSql), "valor");
    const int escala = -par.escala;
    int64_t bruto = v.dezMilesimos();
    if (escala < 4) {
        const int64_t d = potencia10(4 - escala);
        if (bruto % d != 0)
            throw Erro(QStringLiteral("O valor %1 tem mais casas decimais do que o parâmetro %2 "
                                      "aceita (%3).")
                           .arg(v.texto(4))
                           .arg(i + 1)
                           .arg(escala));
        bruto /= d;
    } else if (escala > 4) {
        const int64_t m = potencia10(escala - 4);
        if (std::llabs(bruto) > std::numeric_limits<int64_t>::max() / m)
            throw Erro(QStringLiteral("O valor do parâmetro %1 não cabe na coluna.").arg(i + 1));
        bruto *= m;
    }
    escreveInteiro(par.tipoSql, p, bruto, i);
    marcaNaoNulo(i);
}

void Comando::define(int i, double v) {
    unsigned char* p = campo(i);
    const Parametro& par = params_[i];
    exigeTipo(i, par.tipoSql == SQL_DOUBLE || par.tipoSql == SQL_FLOAT,
              "número de ponto flutuante");
    if (par.tipoSql == SQL_FLOAT)
        escreve<float>(p, static_cast<float>(v));
    else
        escreve<double>(p, v);
    marcaNaoNulo(i);
}

void Comando::define(int i, bool v) {
    unsigned char* p = campo(i);
    const Parametro& par = params_[i];
    if (ehInteiroSql(par.tipoSql) && par.escala == 0) {
        escreveInteiro(par.tipoSql, p, v ? 1 : 0, i);
    } else {
        exigeTipo(i, par.tipoSql == SQL_BOOLEAN, "valor lógico");
        *p = v ? 1 : 0;
    }
    marcaNaoNulo(i);
}

void Comando::define(int i, const QDate& v) {
    unsigned char* p = campo(i);
    const Parametro& par = params_[i];
    if (par.tipoSql == SQL_TIMESTAMP) {
        define(i, QDateTime(v, QTime(0, 0)));
        return;
    }
    exigeTipo(i, par.tipoSql == SQL_TYPE_DATE, "data");
    escreve<ISC_DATE>(p, deData(v));
    marcaNaoNulo(i);
}

void Comando::define(int i, const QTime& v) {
    unsigned char* p = campo(i);
    exigeTipo(i, params_[i].tipoSql == SQL_TYPE_TIME, "hora");
    escreve<ISC_TIME>(p, deHora(v));
    marcaNaoNulo(i);
}

void Comando::define(int i, const QDateTime& v) {
    unsigned char* p = campo(i);
    exigeTipo(i, params_[i].tipoSql == SQL_TIMESTAMP, "data e hora");
    ISC_TIMESTAMP ts;
    ts.timestamp_date = deData(v.date());
    ts.timestamp_time = deHora(v.time());
    escreve<ISC_TIMESTAMP>(p, ts);
    marcaNaoNulo(i);
}

namespace {
// Writes the pending text blobs of a run and puts their ids into the message.
void gravaBlobs(Banco& banco, ITransaction* tr, std::vector<unsigned char>& buffer,
                const std::vector<unsigned>& deslocamentos, const std::vector<QByteArray>& dados) {
    for (size_t k = 0; k < deslocamentos.size(); ++k) {
        IBlob* blob = nullptr;
        try {
            Status st;
            ISC_QUAD id;
            blob = banco.interface()->createBlob(&st, tr, &id, 0, nullptr);
            const QByteArray& d = dados[k];
            for (qsizetype pos = 0; pos < d.size(); pos += 32768) {
                const qsizetype n = std::min<qsizetype>(32768, d.size() - pos);
                blob->putSegment(&st, static_cast<unsigned>(n), d.constData() + pos);
            }
            blob->close(&st);
            escreve<ISC_QUAD>(buffer.data() + deslocamentos[k], id);
        } catch (const FbException& e) {
            if (blob)
                blob->release();
            falhaNoComando(e, {});
        }
    }
}
} // namespace

void Comando::executa(Transacao& t) {
    std::vector<unsigned> deslocamentos;
    std::vector<QByteArray> dados;
    for (int i = 0; i < quantidadeParametros(); ++i) {
        const Parametro& p = params_[i];
        if (p.ehBlob && le<short>(buffer_.data() + p.deslocamentoNulo) == 0) {
            deslocamentos.push_back(p.deslocamento);
            dados.push_back(p.subtipo == 1 ? banco_->codificacao().codifica(p.blobTexto)
                                           : p.blobTexto.toUtf8());
        }
    }
    gravaBlobs(*banco_, t.interface(), buffer_, deslocamentos, dados);
    try {
        Status st;
        st_->execute(&st, t.interface(), meta_, buffer_.data(), nullptr, nullptr);
    } catch (const FbException& e) {
        falhaNoComando(e, sql_);
    }
}

Cursor Comando::abre(Transacao& t) {
    try {
        Status st;
        IResultSet* rs = st_->openCursor(&st, t.interface(), meta_, buffer_.data(), nullptr, 0);
        return Cursor(*banco_, t, rs);
    } catch (const FbException& e) {
        falhaNoComando(e, sql_);
    }
}

} // namespace nq::fb
