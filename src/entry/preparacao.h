#pragma once

#include "entry/catalogo.h"

#include <QString>
#include <optional>
#include <vector>

namespace nq {

class ClientDataSet;

// Upserts one seeded row: the first row whose key column equals the row's key
// (the whole value, letter case significant) is edited, otherwise a row is
// appended; the row's values are written (texts cut to the column's width)
// and the row is posted. Typed money is never touched, except as the
// description's zeraMoedaAoAcrescentar and zeraSeNulo say. Returns whether the
// table changed (a row that already held these values is left unposted).
bool GravaLinha(ClientDataSet& tabela, const DescricaoArquivo& d, const LinhaSemeada& linha);

// One file for preparaArquivos.
struct PedidoDePreparo {
    ArquivoDigitado arquivo;
    QString anoDoNome;                  // the year of the files kept once per year
    std::optional<int> anoDasLinhas;    // the year that picks the year-dependent rows
    std::vector<LinhaSemeada> daRotina; // rows made by the routine (database, years)
};

// Creates each file that is missing from `diretorio` and brings its seeded rows
// up to date, keeping every typed value and every row no longer seeded. All
// files are read and checked against their rows before any is written, so bad
// input (a truncated or foreign file, a column missing) raises nq::Erro and
// leaves every file as it was. A file whose rows already hold what the
// preparation would write is not written at all. A money column that an older
// program stored with another type is converted when every value in it reads
// exactly as money (and the user is told); otherwise the file is refused with
// a message naming it, the column and the first value that does not read.
void preparaArquivos(const QString& diretorio, const std::vector<PedidoDePreparo>& pedidos);

} // namespace nq
