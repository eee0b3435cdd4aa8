#pragma once

// The fiscal-management report worked out in the test: its sources from the
// generated rows and the files the other annexes left, then each line's
// figures by the report's rules, written out line by line.

#include "core/moeda.h"
#include "demo/exercicio.h"

#include <QDate>
#include <QStringList>
#include <map>
#include <optional>

// What the report reads, by line ID where a line takes it.
struct Fontes {
    nq::Moeda rcl, rclAnterior;
    nq::Moeda pessoal, pessoalAnterior, inativos, inativosAnterior;
    nq::Moeda divida, dividaAnterior;
    std::map<QString, nq::Moeda> razao, aberturaDoRazao; // by ledger prefix
    std::map<QString, nq::Moeda> caixa, aberturaDoCaixa; // by line ID, 00400 to 00450
    nq::Moeda aPagar, processados, naoProcessados, restosAnteriores;
    std::map<QString, nq::Moeda> digitado, digitadoAnterior; // QUADn and ANTERIOR
};

struct Figuras {
    std::optional<nq::Moeda> valor, porc, valor1, porc1;
};
struct Esperado {
    std::map<QString, Figuras> linhas;
    bool ultrapassado = false;
};

// The four columns of every line; `comDigitados`: the typed companion file
// was there before the run.
Esperado calculaGestao(const Fontes& f, bool camara, bool comDigitados);

// The IDs of the 42 lines in SEQ order.
const QStringList& idsDaGestao();

// The database's figures, from the generated rows as the statements read them.
class BancoGerado {
public:
    BancoGerado(const nq::demo::Exercicio& e) : e_(e) {}
    // Journal balance of a ledger prefix up to a month, and of its opening entries.
    nq::Moeda razao(const QString& prefixo, int ate) const;
    nq::Moeda aberturaDoRazao(const QString& prefixo) const;
    // Cash movements of the accounts of a prefix (all for an empty one) over the
    // year, or of those dated 1 January.
    nq::Moeda caixa(const QString& prefixo, bool soAbertura) const;
    // Unpaid commitments at `dia`: total, processed, not processed.
    std::array<nq::Moeda, 3> aPagar(const QDate& dia) const;
    // Commitments of the carried-over items (balance code 3211).
    nq::Moeda restosAnteriores() const;
    // Fills every database source of `f` for a period ending in month `mes`.
    void preenche(Fontes& f, int mes) const;

private:
    bool foraDaReserva(const nq::demo::Empenho& emp) const;
    const nq::demo::Exercicio& e_;
};

// Annex 10's DP file `arquivo`: lines 00170 and 00250 each made of a monthly
// base, VALOR1 to VALOR24 distinct (as annex 10 writes it, its typed-data file
// with the figures).
void gravaDp(const QString& arquivo, nq::Moeda pessoal, nq::Moeda inativos);
// A DP line's months `de` to `ate`.
nq::Moeda somaDoDp(nq::Moeda base, int de, int ate);
