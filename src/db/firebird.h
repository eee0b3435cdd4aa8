#pragma once

// A thin layer over Firebird's own C++ client interface (firebird/Interface.h).
// Every failure becomes an nq::Erro whose text starts with a Portuguese lead and
// carries the server's own message. Exact numerics travel as scaled 64-bit
// integers (nq::Moeda), never through double.

#include "core/moeda.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>
#include <concepts>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace Firebird {
class IAttachment;
class ITransaction;
class IStatement;
class IResultSet;
class IMessageMetadata;
} // namespace Firebird

namespace nq::fb {

class Codificacao;
class Transacao;
class Comando;
class Cursor;

// What goes into the attachment's parameter block.
struct ParametrosConexao {
    QString usuario;
    QString senha;
    QString papel; // SQL role; empty for none
    // Character set of the attachment (isc_dpb_lc_ctype): texts are exchanged
    // with the server in it and decoded from it. Empty means UTF8.
    QString conjuntoCaracteres;
    int dialeto = 3;
    // Client library: empty for the one this program is linked with, or the path
    // of another libfbclient.so, loaded on first use.
    QString bibliotecaCliente;
    // How long a server may take to answer the connection (isc_dpb_connect_timeout);
    // 0 leaves it to the client's configuration (3 minutes).
    int segundosParaConectar = 15;
};

// Only for creating a database.
struct ParametrosCriacao {
    int tamanhoPagina = 8192;
    QString conjuntoPadrao = QStringLiteral("WIN1252"); // default character set of the database
    bool gravacaoForcada = true; // false speeds up bulk loading of throw-away databases
};

enum class Isolamento {
    LeituraConfirmada, // read committed, record versions
    Instantaneo,       // snapshot (concurrency)
    Consistencia,      // table stability
};

struct OpcoesTransacao {
    Isolamento isolamento = Isolamento::LeituraConfirmada;
    bool esperaBloqueios = true;
    bool somenteLeitura = false;
};

// An attachment to one database file, local (embedded engine) or "host:path"
// / "host/port:path" on a server. Detaches on destruction.
class Banco {
public:
    static std::unique_ptr<Banco> conecta(const QString& caminho, const ParametrosConexao& p);
    static std::unique_ptr<Banco> cria(const QString& caminho, const ParametrosConexao& p,
                                       const ParametrosCriacao& c = {});

    // True when `caminho` names a database on a server rather than a local file.
    static bool ehCaminhoRemoto(const QString& caminho);
    // Whether the embedded engine library (libEngine12.so of Firebird 3, libEngine13.so
    // of later versions) is in the client's plugin directory, or in `dirPlugins`.
    static bool motorEmbutidoPresente();
    static bool motorEmbutidoEm(const QString& dirPlugins);

    ~Banco();
    Banco(const Banco&) = delete;
    Banco& operator=(const Banco&) = delete;

    const QString& caminho() const { return caminho_; }
    // Detaches now (errors are reported); the destructor detaches quietly.
    void desconecta();

    Transacao inicia(const OpcoesTransacao& opcoes = {});
    // Runs a statement without result rows (DDL, INSERT, UPDATE, EXECUTE BLOCK ...).
    void executa(Transacao& t, const QString& sql);
    Cursor abre(Transacao& t, const QString& sql);
    Comando prepara(Transacao& t, const QString& sql);

    // Implementation details shared by the classes of this layer.
    Firebird::IAttachment* interface() const { return att_; }
    const Codificacao& codificacao() const { return *cod_; }
    int dialeto() const { return dialeto_; }

private:
    Banco(Firebird::IAttachment* att, const QString& caminho, const QString& conjunto, int dialeto);

    Firebird::IAttachment* att_;
    QString caminho_;
    std::unique_ptr<Codificacao> cod_;
    int dialeto_;
};

// Rolls back on destruction unless committed or rolled back before.
class Transacao {
public:
    Transacao(Transacao&& o) noexcept;
    Transacao& operator=(Transacao&& o) noexcept;
    ~Transacao();

    void confirma();        // commit
    void confirmaRetendo(); // commit retaining: stays usable
    void desfaz();          // rollback
    bool ativa() const { return tr_ != nullptr; }

    Banco& banco() const { return *banco_; }
    Firebird::ITransaction* interface() const { return tr_; }

private:
    friend class Banco;
    Transacao(Banco* banco, Firebird::ITransaction* tr) : banco_(banco), tr_(tr) {}
    void desfazQuieto() noexcept;

    Banco* banco_;
    Firebird::ITransaction* tr_;
};

enum class TipoColuna {
    Texto,      // CHAR (trailing blanks removed), VARCHAR
    Inteiro,    // SMALLINT, INTEGER, BIGINT
    Decimal,    // NUMERIC, DECIMAL: exact, see Coluna::escala
    Duplo,      // FLOAT, DOUBLE PRECISION
    Data,       // DATE
    Hora,       // TIME
    Momento,    // TIMESTAMP
    TextoLongo, // BLOB SUB_TYPE TEXT
    Binario,    // other BLOBs
    Logico,     // BOOLEAN
};

struct Coluna {
    QString nome;  // the name the statement gives the column (its alias)
    QString campo; // the underlying table column, empty for expressions
    TipoColuna tipo = TipoColuna::Texto;
    int escala = 0;      // decimal places of a Decimal
    int comprimento = 0; // characters of a Texto
    bool anulavel = true;
};

// Typed reading of the current row, shared by cursors. Null values read as
// 0, empty text or an invalid date; ehNulo tells them apart.
class LeitorDeLinha {
public:
    int quantidadeColunas() const { return static_cast<int>(colunas_.size()); }
    const Coluna& coluna(int i) const { return colunas_.at(i); }
    const std::vector<Coluna>& colunas() const { return colunas_; }
    // Index of the column with that name (case-insensitive), -1 when absent.
    int indice(const QString& nome) const;
    // As indice, but an unknown name raises an error.
    int indiceObrigatorio(const QString& nome) const;

    bool ehNulo(int i) const;
    // Any column as text: numbers plainly with a point ("-1234.50"), dates
    // "yyyy-MM-dd", timestamps "yyyy-MM-dd hh:mm:ss".
    QString texto(int i) const;
    int64_t inteiro(int i) const; // exact numbers rounded half away from zero
    Moeda moeda(int i) const;     // exact numbers exactly; doubles rounded to 4 places
    double duplo(int i) const;
    bool logico(int i) const;
    QDate data(int i) const;        // DATE and TIMESTAMP
    QTime hora(int i) const;        // TIME and TIMESTAMP
    QDateTime momento(int i) const; // TIMESTAMP and DATE
    QByteArray bytes(int i) const;  // BLOBs raw; texts encoded as UTF-8

protected:
    LeitorDeLinha() = default;
    void preparaColunas(Banco& banco, Firebird::IMessageMetadata* meta);
    const unsigned char* campoBruto(int i) const;
    QByteArray leBlob(int i) const;

    Banco* banco_ = nullptr;
    Firebird::ITransaction* tr_ = nullptr;
    std::vector<Coluna> colunas_;
    struct Posicao {
        unsigned tipoSql, subtipo, comprimento, deslocamento, deslocamentoNulo;
    };
    std::vector<Posicao> posicoes_;
    std::vector<unsigned char> buffer_;
};

// A forward-only cursor over the rows of a SELECT (or selectable procedure).
class Cursor : public LeitorDeLinha {
public:
    Cursor(Cursor&& o) noexcept;
    Cursor& operator=(Cursor&& o) noexcept;
    ~Cursor();

    // Advances to the next row; false past the last.
    bool proxima();
    void fecha();

private:
    friend class Banco;
    friend class Comando;
    Cursor(Banco& banco, Transacao& t, Firebird::IResultSet* rs);

    Firebird::IResultSet* rs_ = nullptr;
    Firebird::IMessageMetadata* meta_ = nullptr;
};

// A prepared statement with "?" input parameters, numbered from 0. It and the
// cursors it opens must not outlive their Banco; its cursors not outlive it. Values are
// converted to the parameter's own type on the server: text into a NUMERIC is
// refused, a Moeda with more places than the column keeps is refused rather
// than rounded, a text longer than the column is refused.
class Comando {
public:
    Comando(Comando&& o) noexcept;
    Comando& operator=(Comando&& o) noexcept;
    ~Comando();

    int quantidadeParametros() const { return static_cast<int>(params_.size()); }

    void defineNulo(int i);
    void define(int i, std::nullopt_t) { defineNulo(i); }
    void define(int i, const QString& v);
    void define(int i, const char* v) { define(i, QString::fromUtf8(v)); }
    void defineInteiro(int i, int64_t v);
    template <std::integral T>
    requires(!std::same_as<T, bool>) void define(int i, T v) {
        defineInteiro(i, static_cast<int64_t>(v));
    }
    void define(int i, Moeda v);
    void define(int i, double v);
    void define(int i, bool v);
    void define(int i, const QDate& v);
    void define(int i, const QTime& v);
    void define(int i, const QDateTime& v);
    template <class T> void define(int i, const std::optional<T>& v) {
        if (v)
            define(i, *v);
        else
            defineNulo(i);
    }

    // Runs with the parameters defined so far (they stay defined for the next run).
    void executa(Transacao& t);
    // Defines every parameter in order, then runs: cmd.executa(t, 1, "A", Moeda(...)).
    template <class... A> void executa(Transacao& t, const A&... valores) {
        int i = 0;
        (define(i++, valores), ...);
        executa(t);
    }
    Cursor abre(Transacao& t);

private:
    friend class Banco;
    Comando(Banco& banco, Firebird::IStatement* st, const QString& sql);
    void libera();
    unsigned char* campo(int i);
    void marcaNaoNulo(int i);
    void exigeTipo(int i, bool aceito, const char* tipo) const;

    Banco* banco_;
    Firebird::IStatement* st_ = nullptr;
    Firebird::IMessageMetadata* meta_ = nullptr;
    struct Parametro {
        unsigned tipoSql, subtipo, comprimento, deslocamento, deslocamentoNulo;
        int escala;
        unsigned caracteres; // of a text, as declared
        QString blobTexto;   // kept until run: a blob is written at execution
        bool ehBlob = false;
    };
    std::vector<Parametro> params_;
    std::vector<unsigned char> buffer_;
    QString sql_;
};

} // namespace nq::fb
