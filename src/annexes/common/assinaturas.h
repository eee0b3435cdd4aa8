#pragma once

namespace nq {

struct CadastroDoCliente;
class TppReport;

// The names and titles under a report's three signature lines: the mayor
// (ppLabel146 over ppLabel140), the internal-control officer (ppLabel147 over
// ppLabel143) and the accountant (ppLabel148 over ppLabel144).
void preencheAssinaturas(TppReport& relatorio, const CadastroDoCliente& cliente);
// The same names and titles on labels named after the record's fields: PREN,
// PRE, CONN, CON, TESN and TES.
void preencheAssinaturasPelosCampos(TppReport& relatorio, const CadastroDoCliente& cliente);

} // namespace nq
