#pragma once

#include "tables/clientdataset.h"

namespace nq {

class TCRSQLConnection;

// Fills a table from a statement on a connection: one field per result column
// (a repeated name gets "_1", "_2" ...), one row per result row. Exact numbers
// with decimals become money, read exactly; whole numbers integers (a value
// beyond 32 bits is refused); floating numbers floats; every other column
// text: dates "dd/MM/yyyy", times "hh:mm:ss", timestamps both, booleans
// "True"/"False", long text whole. A closed connection is opened first.
class ProvedorConexao : public ProvedorSql {
public:
    explicit ProvedorConexao(TCRSQLConnection* conexao = nullptr) : conexao_(conexao) {}
    void preenche(const QString& comando, ClientDataSet& tabela) override;

    TCRSQLConnection* conexao() const { return conexao_; }
    void defineConexao(TCRSQLConnection* c) { conexao_ = c; }

private:
    TCRSQLConnection* conexao_;
};

// A client dataset whose command text runs on a connection: open() fills it,
// ExecSQL() runs the text as a statement without rows. Without a connection it
// is a plain table.
class SQLClientDataSet : public ClientDataSet {
public:
    explicit SQLClientDataSet(const QString& name = {}, TCRSQLConnection* conexao = nullptr);

    void setConnection(TCRSQLConnection* conexao);
    TCRSQLConnection* connection() const { return provedor_.conexao(); }
    void ExecSQL();

private:
    ProvedorConexao provedor_;
};

} // namespace nq
