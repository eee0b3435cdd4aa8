#pragma once

#include <QString>
#include <QStringList>

namespace nq {

class ClientDataSet;

// Where the data-entry window finds what the preparations need: the year's
// data directory and the data module's datasets on the current year's
// connection (the entity and function queries; "SELECT * FROM CADCLI").
struct FontesDaDigitacao {
    QString diretorio;
    ClientDataSet* cdsAux2 = nullptr;
    ClientDataSet* qrCliente = nullptr;
};

// The data module's datasets and the program's data directory.
FontesDaDigitacao fontesDoPrograma();

// How one annex of the data-entry window is typed.
struct AnexoDigitado {
    QString codigo;            // "1", "1-b" ... "10-b"
    bool pedeAno = false;      // the reference-year choice (previous and current year)
    QStringList tipos;         // the type choice; empty: not asked
    bool tiposSaoAnos = false; // annex 3: the type choice lists the years
    int tag = 0;               // how the grid is set up: 0 line file, 1 plain, 2 annex 10
    QStringList titulos;       // column titles of the grid, from the first editable column
};

// The annex of an item code (the list item's first five characters, trimmed);
// nq::Erro for an unknown code.
const AnexoDigitado& anexoDigitado(const QString& codigo);

// The list items of each report family: "1" execution, anything else fiscal management.
QStringList itensDosAnexos(const QString& relato);

// The exercise year of a data directory: the four characters before its final separator.
int anoDoDiretorio(const QString& diretorio);

// Runs the annex's preparation and answers the full path of the file to type:
// `tipo` and `ano` are the texts of the type and year choices.
QString preparaArquivo(const AnexoDigitado& anexo, const QString& tipo, const QString& ano,
                       const FontesDaDigitacao& fontes);

} // namespace nq
