#pragma once

#include "core/moeda.h"

#include <QString>
#include <QStringList>

namespace nq {

// What a cell holds, typed as the spreadsheet keeps it.
struct ValorCelula {
    enum class Tipo { Vazio, Numero, Texto };

    Tipo tipo = Tipo::Vazio;
    double numero = 0;
    QString texto;

    static ValorCelula vazio() { return {}; }
    static ValorCelula deNumero(double v) { return {Tipo::Numero, v, {}}; }
    static ValorCelula deTexto(const QString& t) { return {Tipo::Texto, 0, t}; }

    // The value read as text: a text as it is, a number in its shortest form with a
    // point ("2004", "1234.5"), an empty cell as "".
    QString comoTexto() const;
};

// A Court of Accounts workbook driven through the spreadsheet program: open it,
// pick a sheet by name, read and write cells by address ("AR6", "B14") on that
// sheet, hand it to the user. Every failure throws nq::Erro with a Portuguese text.
class Planilha {
public:
    virtual ~Planilha() = default;

    // Opens a workbook file; anything that is not a spreadsheet is refused.
    virtual void abre(const QString& caminho) = 0;
    // Starts an empty workbook with these sheets, in this order.
    virtual void criaNova(const QStringList& folhas) = 0;
    // The sheet the following reads and writes address.
    virtual void selecionaFolha(const QString& nome) = 0;

    virtual ValorCelula le(const QString& endereco) = 0;
    QString leTexto(const QString& endereco) { return le(endereco).comoTexto(); }

    virtual void escreveNumero(const QString& endereco, double valor) = 0;
    // An empty text leaves the cell empty.
    virtual void escreveTexto(const QString& endereco, const QString& texto) = 0;
    void escreveMoeda(const QString& endereco, Moeda valor) {
        escreveNumero(endereco, valor.paraDouble());
    }

    // Stores the workbook as an Excel 97 file (".xls"); the file is replaced whole
    // or not at all.
    virtual void salvaComo(const QString& caminho) = 0;
    // Hands the filled workbook to the user, as the automation was set up: left
    // open and visible in the spreadsheet program, or stored to the output file.
    virtual void mostra() = 0;
    // Closes the workbook without saving it.
    virtual void fecha() = 0;
};

} // namespace nq
