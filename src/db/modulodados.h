#pragma once

#include "db/conexao.h"
#include "db/sqlclientdataset.h"
#include "tables/clientdataset.h"

namespace nq {

// The data module: the two connections and the shared datasets, alive for the
// whole run. One instance at a time is reachable through dm().
class Tdm {
public:
    Tdm();
    ~Tdm();
    Tdm(const Tdm&) = delete;
    Tdm& operator=(const Tdm&) = delete;

    // Before the current year's connection opens: points it at this year's
    // database and opens the previous year's when that answers, else warns.
    void ConexaoBeforeConnect(TCRSQLConnection& sender);

    TCRSQLConnection Conexao;    // current year
    TCRSQLConnection ConexaoAnt; // previous year; stays closed when there is none
    SQLClientDataSet qrCliente;  // "SELECT * FROM CADCLI"
    SQLClientDataSet qrAtualiza; // statements of the caller, also ExecSQL
    SQLClientDataSet cdsAux;
    SQLClientDataSet cdsAux2;
    SQLClientDataSet cdsAuxAnt; // on ConexaoAnt
    ClientDataSet cdsXML;       // no connection
    // The descriptor of the module's one write (transaction 1, read committed).
    TTransactionDesc TD;
};

// The data module in force; throws nq::Erro when none was created.
Tdm& dm();

} // namespace nq
