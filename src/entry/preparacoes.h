#pragma once

#include <QString>

namespace nq {

class ClientDataSet;

// The preparation routine of each annex: creates its typed-data files when
// missing from the data directory `diretorio` and brings their seeded rows up
// to date (see preparaArquivos). `cdsAux2` and `qrCliente` are the data
// module's datasets on the current year's connection: the first runs the
// entity and function queries, the second is "SELECT * FROM CADCLI". Both
// are left closed. Errors raise nq::Erro and leave every file as it was.

void PreparaAnexo1(const QString& diretorio);
void PreparaAnexo1B(const QString& diretorio, ClientDataSet& cdsAux2);
void PreparaAnexo2(const QString& diretorio, ClientDataSet& cdsAux2);
// `ano`: the four-digit year the file is kept for.
void PreparaAnexo3(const QString& diretorio, const QString& ano);
// The first row's condition depends on the exercise (MEXER of CADCLI).
void PreparaAnexo4(const QString& diretorio, ClientDataSet& qrCliente);
// `ano`: the four-digit year the three files are kept for; it picks their rows.
void PreparaAnexo5(const QString& diretorio, const QString& ano);
void PreparaAnexo6(const QString& diretorio, ClientDataSet& cdsAux2);
void PreparaAnexo7(const QString& diretorio, ClientDataSet& cdsAux2);
// Creates the justification file; its rows belong to the justification dialog.
void PreparaJustificativas(const QString& diretorio);
// One row per year from the exercise (MEXER of CADCLI) to 34 years after it;
// rows of other years stay.
void PreparaAnexo8(const QString& diretorio, ClientDataSet& qrCliente);
void PreparaAnexo10(const QString& diretorio);
void PreparaGestaoFiscal(const QString& diretorio);
void PreparaGestaoFiscalDigitada(const QString& diretorio);

} // namespace nq
