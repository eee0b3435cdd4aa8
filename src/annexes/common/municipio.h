#pragma once

namespace nq {

class ClientDataSet;
class TppReport;

// The municipality record (CADCLI) through the data module's qrCliente,
// opened when closed, at its first row. An empty table raises nq::Erro.
ClientDataSet& registroDoMunicipio();

// The record's exercise year (MEXER) as a number; raises nq::Erro when it is none.
int exercicioDoMunicipio(ClientDataSet& municipio);

// The names and titles under a report's three signature lines, from the
// record: the mayor (ppLabel146 over ppLabel140), the internal-control
// officer (ppLabel147 over ppLabel143) and the accountant (ppLabel148 over
// ppLabel144).
void preencheAssinaturas(TppReport& relatorio, ClientDataSet& municipio);

} // namespace nq
