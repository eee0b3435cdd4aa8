#pragma once

#include <QString>

namespace nq {

// The period the fiscal-management report covers, a bimester (1 to 6) or a
// quadrimester (1 to 3), and what follows from it.
struct PeriodoDaGestao {
    bool quadrimestral = false;
    int numero = 0; // 1..6 or 1..3

    // The last month of the period: 2n or 4n.
    int mesFinal() const { return quadrimestral ? 4 * numero : 2 * numero; }
    // The bimester that ends with the period: the number of the RCL file and
    // the debt file's column (n for a bimester, 2n for a quadrimester).
    int bimestre() const { return mesFinal() / 2; }
    // The final month's name as annex 3 writes it in the RCL file.
    QString nomeDoMesFinal() const;
    // The final month with two digits ("04").
    QString mesComDoisDigitos() const;
    // The caption over the period's columns ("2º QUADRIMESTRE").
    QString legenda() const;
    // Whether the period closes the exercise: the year-end rows print.
    bool fechaOAno() const { return mesFinal() == 12; }
};

// The period number of a selector's item text ("2 - Maio -  Agosto"): the
// integer of its first character; 0 when there is none.
int numeroDoItem(const QString& texto);

} // namespace nq
