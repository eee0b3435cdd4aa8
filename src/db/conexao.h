#pragma once

#include "db/firebird.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

namespace nq {

// Identifies an explicit transaction of a connection. IsolationLevel 0 is read
// committed, 1 repeatable read (snapshot); 2 (dirty read) reads as read
// committed, the lowest level Firebird has.
struct TTransactionDesc {
    int TransactionID = 0;
    int IsolationLevel = 0;
};

// Driver options recognised by name in the parameter list. Booleans are true
// when the value is "TRUE" in any case; integers are trimmed and converted.
// ConnectTimeout, in seconds, bounds the wait for a database server that accepts
// the connection and does not answer (15 when absent, 0 for the client's own).
// Numerics are always exact and strings always whole with this client, so
// EnableBCD, OptimizedNumerics, LongStrings, CharLength, FetchAll and
// UseQuoteChar are kept for what they say but change nothing.
struct OpcoesDriver {
    bool longStrings = false;
    bool enableBCD = false;
    bool fetchAll = false;
    bool useQuoteChar = false;
    bool optimizedNumerics = false;
    bool waitOnLocks = true;
    bool commitRetain = false;
    int charLength = 0;
    int blobSize = -1;
    int sqlDialect = 3;
    int connectTimeout = 15;
};

class TCRSQLConnection;

// A result being read on a connection. When the connection has no explicit
// transaction open, the result has one of its own, ended when it is destroyed.
class ConsultaSql {
public:
    ConsultaSql(TCRSQLConnection& conexao, const QString& sql);
    ConsultaSql(ConsultaSql&&) = default;

    // Advances to the next row; false past the last.
    bool proxima() { return cursor_->proxima(); }
    const fb::LeitorDeLinha& linha() const { return *cursor_; }

private:
    std::optional<fb::Transacao> propria_;
    std::optional<fb::Cursor> cursor_;
};

// A database connection as the family configures it: driver properties and a
// parameter list of "name=value" lines, mapped onto a Firebird attachment:
//   User_Name, Password, RoleName   -> the attachment's user, password and role
//   SQLDialect                      -> dialect of statements
//   ServerCharSet                   -> the attachment's character set (empty: UTF8,
//                                      so the server converts from the database's own set)
//   Database / DataBase             -> the file: a local path (embedded engine) or host:path
//   <driver> TransIsolation, WaitOnLocks -> the transactions' parameter block
// VendorLib (the DLL key of Vexo.ini) names the client library, see bibliotecaCliente.
class TCRSQLConnection {
public:
    explicit TCRSQLConnection(const QString& name = {});
    ~TCRSQLConnection();
    TCRSQLConnection(const TCRSQLConnection&) = delete;
    TCRSQLConnection& operator=(const TCRSQLConnection&) = delete;

    // The thirteen lines both connections of the data module start with.
    static QStringList parametrosPadrao();
    // The client library a VendorLib name means: empty (the linked libfbclient)
    // for "gds32.DLL", "fbclient.dll", "fbembed.dll" with or without a Windows
    // directory, a bare "libfbclient.so*" or nothing; any other shared object
    // ("/opt/firebird/lib/libfbclient.so") is itself, loaded when a connection
    // opens; other names are refused with nq::Erro.
    static QString bibliotecaCliente(const QString& vendorLib);

    QString Name;
    QString ConnectionName = QStringLiteral("Devart InterBase");
    QString DriverName = QStringLiteral("DevartInterBase");
    QString GetDriverFunc = QStringLiteral("getSQLDriverInterBase");
    QString LibraryName = QStringLiteral("dbexpida.dll");
    QString VendorLib = QStringLiteral("gds32.DLL");
    bool LoginPrompt = false;
    QStringList Params;
    // Runs each time the connection is about to open.
    std::function<void(TCRSQLConnection&)> BeforeConnect;

    // The value of a parameter (name in any case), empty when absent.
    QString param(const QString& nome) const;
    // Replaces the first line of that name (any case) in its place, or appends one.
    void setParam(const QString& nome, const QString& valor);
    // Throws nq::Erro when an integer option is not a number.
    OpcoesDriver opcoesDriver() const;
    fb::ParametrosConexao parametrosConexao() const;
    fb::OpcoesTransacao opcoesTransacao(int isolationLevel) const;

    void Open();
    void Close();
    bool Connected() const { return banco_ != nullptr; }
    void setConnected(bool v) { v ? Open() : Close(); }
    // The attachment; throws when closed.
    fb::Banco& banco() const;

    void StartTransaction(const TTransactionDesc& td);
    void Commit(const TTransactionDesc& td);
    void Rollback(const TTransactionDesc& td);
    bool InTransaction() const { return transacao_.has_value(); }
    // The open explicit transaction, nullptr when none.
    fb::Transacao* transacaoAberta() { return transacao_ ? &*transacao_ : nullptr; }

    // Runs a statement without result rows, in the explicit transaction when one
    // is open, else in one of its own that is committed at once.
    void ExecuteDirect(const QString& sql);
    // Opens the connection when closed, then the statement.
    ConsultaSql consulta(const QString& sql);

private:
    fb::Transacao& exigeTransacao(const TTransactionDesc& td);

    std::unique_ptr<fb::Banco> banco_;
    std::optional<fb::Transacao> transacao_;
    int idTransacao_ = 0;
};

// Whether the database file `arquivo` in the directory of `codigo` (its first
// "D" read as "B": "D" looks in "B", "DA" in "BA") opens, through a connection
// of its own that is opened and closed again. Every error gives false, and its
// text goes to `causa` when one is given.
bool TestaConexao(const QString& arquivo, const QString& codigo, QString* causa = nullptr);

// The path of `arquivo` in the database directory `dir`: a local directory is
// searched for the file under any letter case; a server path is joined as is.
QString caminhoDoBanco(const QString& dir, const QString& arquivo);

} // namespace nq
