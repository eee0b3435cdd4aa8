#include "db/conexao.h"

#include "core/configuracao.h"
#include "core/erro.h"

#include <QFileInfo>

namespace nq {

namespace {

// Name of a "name=value" line, or the whole line when it has no "=".
QString nomeDaLinha(const QString& linha) {
    const qsizetype i = linha.indexOf(QLatin1Char('='));
    return i < 0 ? linha : linha.left(i);
}

bool opcaoLogica(const QString& valor) {
    return valor.compare(QLatin1String("TRUE"), Qt::CaseInsensitive) == 0;
}

int opcaoInteira(const QString& nome, const QString& valor) {
    bool ok = false;
    const int v = valor.trimmed().toInt(&ok);
    if (!ok)
        throw Erro(QStringLiteral("'%1' não é um valor inteiro válido para o parâmetro %2 da "
                                  "conexão.")
                       .arg(valor, nome));
    return v;
}

// The isolation named by "<driver> TransIsolation" (dbExpress spelling, with
// its historical "ReadCommited"); an unknown name is an error.
fb::Isolamento isolamentoPorNome(const QString& valor) {
    const QString v = valor.trimmed().toLower();
    if (v.isEmpty() || v == QLatin1String("readcommited") || v == QLatin1String("readcommitted") ||
        v == QLatin1String("dirtyread"))
        return fb::Isolamento::LeituraConfirmada;
    if (v == QLatin1String("repeatableread") || v == QLatin1String("snapshot"))
        return fb::Isolamento::Instantaneo;
    throw Erro(QStringLiteral("Nível de isolamento de transação desconhecido: %1").arg(valor));
}

} // namespace

ConsultaSql::ConsultaSql(TCRSQLConnection& conexao, const QString& sql) {
    fb::Banco& banco = conexao.banco();
    fb::Transacao* t = conexao.transacaoAberta();
    if (!t) {
        propria_.emplace(banco.inicia(conexao.opcoesTransacao(0)));
        t = &*propria_;
    }
    cursor_.emplace(banco.abre(*t, sql));
}

TCRSQLConnection::TCRSQLConnection(const QString& name) : Name(name) {}

TCRSQLConnection::~TCRSQLConnection() {
    transacao_.reset();
    banco_.reset();
}

QStringList TCRSQLConnection::parametrosPadrao() {
    return {QStringLiteral("DriverName=DevartInterBase"),
            QStringLiteral("BlobSize=-1"),
            QStringLiteral("CommitRetain=False"),
            QStringLiteral("Database="),
            QStringLiteral("ErrorResourceFile="),
            QStringLiteral("LocaleCode=0000"),
            QStringLiteral("Password=mavu"),
            QStringLiteral("RoleName=RoleName"),
            QStringLiteral("ServerCharSet="),
            QStringLiteral("SQLDialect=3"),
            QStringLiteral("DevartInterBase TransIsolation=ReadCommited"),
            QStringLiteral("User_Name=QTWVEXO8"),
            QStringLiteral("WaitOnLocks=True")};
}

QString TCRSQLConnection::bibliotecaCliente(const QString& vendorLib) {
    const QString nome = vendorLib.trimmed();
    const QString base =
        QFileInfo(QString(nome).replace(QLatin1Char('\\'), QLatin1Char('/'))).fileName().toLower();
    const bool ehCaminho = nome.contains(QLatin1Char('/'));
    if (nome.isEmpty() || base == QLatin1String("gds32.dll") ||
        base == QLatin1String("fbclient.dll") || base == QLatin1String("fbembed.dll") ||
        (!ehCaminho && (base == QLatin1String("libfbclient.so") ||
                        base.startsWith(QLatin1String("libfbclient.so.")))))
        return {};
    if (base.endsWith(QLatin1String(".so")) || base.contains(QLatin1String(".so.")))
        return nome;
    throw Erro(QStringLiteral("Biblioteca cliente do banco de dados desconhecida: %1 (use "
                              "gds32.DLL, fbclient.dll ou o caminho de uma biblioteca "
                              "libfbclient.so).")
                   .arg(vendorLib));
}

QString TCRSQLConnection::param(const QString& nome) const {
    for (const QString& linha : Params)
        if (nomeDaLinha(linha).compare(nome, Qt::CaseInsensitive) == 0)
            return linha.mid(nomeDaLinha(linha).size() + 1);
    return {};
}

void TCRSQLConnection::setParam(const QString& nome, const QString& valor) {
    for (QString& linha : Params)
        if (nomeDaLinha(linha).compare(nome, Qt::CaseInsensitive) == 0) {
            linha = nome + QLatin1Char('=') + valor;
            return;
        }
    Params.append(nome + QLatin1Char('=') + valor);
}

OpcoesDriver TCRSQLConnection::opcoesDriver() const {
    OpcoesDriver o;
    for (const QString& linha : Params) {
        const QString nome = nomeDaLinha(linha).trimmed();
        const QString valor = linha.mid(nomeDaLinha(linha).size() + 1);
        const auto eh = [&](const char* n) {
            return nome.compare(QLatin1String(n), Qt::CaseInsensitive) == 0;
        };
        if (eh("LongStrings"))
            o.longStrings = opcaoLogica(valor);
        else if (eh("EnableBCD"))
            o.enableBCD = opcaoLogica(valor);
        else if (eh("FetchAll"))
            o.fetchAll = opcaoLogica(valor);
        else if (eh("UseQuoteChar"))
            o.useQuoteChar = opcaoLogica(valor);
        else if (eh("OptimizedNumerics"))
            o.optimizedNumerics = opcaoLogica(valor);
        else if (eh("WaitOnLocks"))
            o.waitOnLocks = opcaoLogica(valor);
        else if (eh("CommitRetain"))
            o.commitRetain = opcaoLogica(valor);
        else if (eh("CharLength"))
            o.charLength = opcaoInteira(nome, valor);
        else if (eh("BlobSize"))
            o.blobSize = opcaoInteira(nome, valor);
        else if (eh("SQLDialect"))
            o.sqlDialect = opcaoInteira(nome, valor);
        else if (eh("ConnectTimeout"))
            o.connectTimeout = opcaoInteira(nome, valor);
    }
    return o;
}

fb::ParametrosConexao TCRSQLConnection::parametrosConexao() const {
    fb::ParametrosConexao p;
    p.usuario = param(QStringLiteral("User_Name"));
    p.senha = param(QStringLiteral("Password"));
    p.papel = param(QStringLiteral("RoleName"));
    p.conjuntoCaracteres = param(QStringLiteral("ServerCharSet"));
    const OpcoesDriver o = opcoesDriver();
    p.dialeto = o.sqlDialect;
    p.segundosParaConectar = o.connectTimeout;
    p.bibliotecaCliente = bibliotecaCliente(VendorLib);
    return p;
}

fb::OpcoesTransacao TCRSQLConnection::opcoesTransacao(int isolationLevel) const {
    fb::OpcoesTransacao o;
    o.esperaBloqueios = opcoesDriver().waitOnLocks;
    o.isolamento = isolationLevel == 1
                       ? fb::Isolamento::Instantaneo
                       : isolamentoPorNome(param(DriverName + QStringLiteral(" TransIsolation")));
    return o;
}

void TCRSQLConnection::Open() {
    if (Connected())
        return;
    if (BeforeConnect)
        BeforeConnect(*this);
    const QString caminho = param(QStringLiteral("Database")).trimmed();
    if (caminho.isEmpty())
        throw Erro(QStringLiteral("A conexão %1 não tem o arquivo do banco de dados (parâmetro "
                                  "Database).")
                       .arg(Name.isEmpty() ? ConnectionName : Name));
    banco_ = fb::Banco::conecta(caminho, parametrosConexao());
}

void TCRSQLConnection::Close() {
    transacao_.reset();
    banco_.reset();
}

fb::Banco& TCRSQLConnection::banco() const {
    if (!banco_)
        throw Erro(QStringLiteral("A conexão %1 com o banco de dados não está aberta.")
                       .arg(Name.isEmpty() ? ConnectionName : Name));
    return *banco_;
}

void TCRSQLConnection::StartTransaction(const TTransactionDesc& td) {
    if (transacao_)
        throw Erro(QStringLiteral("Já existe uma transação ativa na conexão %1.").arg(Name));
    Open();
    transacao_.emplace(banco().inicia(opcoesTransacao(td.IsolationLevel)));
    idTransacao_ = td.TransactionID;
}

fb::Transacao& TCRSQLConnection::exigeTransacao(const TTransactionDesc& td) {
    if (!transacao_ || td.TransactionID != idTransacao_)
        throw Erro(QStringLiteral("A transação %1 não está ativa na conexão %2.")
                       .arg(td.TransactionID)
                       .arg(Name));
    return *transacao_;
}

void TCRSQLConnection::Commit(const TTransactionDesc& td) {
    fb::Transacao& t = exigeTransacao(td);
    if (opcoesDriver().commitRetain) {
        t.confirmaRetendo();
        return;
    }
    t.confirma();
    transacao_.reset();
}

void TCRSQLConnection::Rollback(const TTransactionDesc& td) {
    exigeTransacao(td).desfaz();
    transacao_.reset();
}

void TCRSQLConnection::ExecuteDirect(const QString& sql) {
    Open();
    if (transacao_) {
        banco().executa(*transacao_, sql);
        return;
    }
    fb::Transacao t = banco().inicia(opcoesTransacao(0));
    banco().executa(t, sql);
    t.confirma();
}

ConsultaSql TCRSQLConnection::consulta(const QString& sql) {
    Open();
    return ConsultaSql(*this, sql);
}

QString caminhoDoBanco(const QString& dir, const QString& arquivo) {
    if (fb::Banco::ehCaminhoRemoto(dir))
        return dir + arquivo;
    return arquivoNoDiretorio(dir, arquivo);
}

bool TestaConexao(const QString& arquivo, const QString& codigo, QString* causa) {
    try {
        QString codigoBanco = codigo;
        const qsizetype d = codigoBanco.indexOf(QLatin1Char('D'), 0, Qt::CaseInsensitive);
        if (d >= 0)
            codigoBanco[d] = QLatin1Char('B');
        const QString caminho = caminhoDoBanco(CaminhoDiretorio(codigoBanco), arquivo);

        TCRSQLConnection c(QStringLiteral("IBConnection"));
        c.ConnectionName = QStringLiteral("IBConnection");
        c.DriverName = QStringLiteral("DevartInterBase");
        c.GetDriverFunc = QStringLiteral("getSQLDriverInterBase");
        c.LibraryName = diretorioDoExecutavel() + QStringLiteral("dbexpida.dll");
        c.VendorLib = leVexoIni(QStringLiteral("DLL"), QStringLiteral("gds32.DLL"));
        c.LoginPrompt = false;
        c.Params = QStringList{QStringLiteral("DriverName=DevartInterBase"),
                               QStringLiteral("User_Name=QTWVEXO8"),
                               QStringLiteral("Password=mavu"),
                               QStringLiteral("SQLDialect=3"),
                               QStringLiteral("BlobSize=-1"),
                               QStringLiteral("LocaleCode=0000"),
                               QStringLiteral("DevartInterBase TransIsolation=ReadCommited"),
                               QStringLiteral("WaitOnLocks=True"),
                               QStringLiteral("CharLength=1"),
                               QStringLiteral("EnableBCD=True"),
                               QStringLiteral("OptimizedNumerics=True"),
                               QStringLiteral("LongStrings=True"),
                               QStringLiteral("UseQuoteChar=False"),
                               QStringLiteral("FetchAll=False"),
                               QStringLiteral("DataBase=") + caminho};
        c.Open();
        c.Close();
        return true;
    } catch (const Erro& e) {
        if (causa)
            *causa = e.texto();
    } catch (const std::exception& e) {
        if (causa)
            *causa = QString::fromLocal8Bit(e.what());
    } catch (...) {
        if (causa)
            *causa = QStringLiteral("Erro desconhecido ao abrir o banco de dados.");
    }
    return false;
}

} // namespace nq
