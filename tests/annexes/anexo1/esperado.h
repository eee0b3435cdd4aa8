#pragma once

#include "core/moeda.h"
#include "demo/exercicio.h"

#include <QStringList>
#include <functional>

// The annex's figures computed straight from the generated rows, without SQL:
// a line is given by the prefixes of its revenue code or economic category.
class Esperado {
public:
    explicit Esperado(const nq::demo::Exercicio& e) : e_(e) {}

    nq::Moeda previsao(const QStringList& codigos) const;
    // The forecast with its changes up to the last month of `bimestre`.
    nq::Moeda previsaoAtualizada(const QStringList& codigos, int bimestre) const;
    nq::Moeda realizado(const QStringList& codigos, int k) const;

    nq::Moeda dotacao(const QStringList& categorias) const;
    nq::Moeda dotacaoAtualizada(const QStringList& categorias, int bimestre) const;
    nq::Moeda empenhado(const QStringList& categorias, int k, bool comReserva) const;
    nq::Moeda liquidado(const QStringList& categorias, int k, bool comReserva) const;

private:
    bool daReserva(const nq::demo::Empenho& emp) const;
    bool contaEmpenho(const nq::demo::Empenho& emp, const QStringList& categorias,
                      bool comReserva) const;

    const nq::demo::Exercicio& e_;
};

bool comecaCom(const QString& codigo, const QStringList& prefixos);
// Shared with the other annexes' tests.
bool noBimestre(const QDate& data, int k);
nq::Moeda centavos(nq::demo::Centavos c);
