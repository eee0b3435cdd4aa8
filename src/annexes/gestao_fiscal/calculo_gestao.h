#pragma once

#include "annexes/gestao_fiscal/periodo_gestao.h"
#include "core/moeda.h"

#include <QString>
#include <functional>

namespace nq {

class ClientDataSet;
class DigitadosDaGestao;
class EntradasDaGestao;
class EstradaDoAnexo;

// `parte` as a percentage of `todo`, rounded half away from zero to four
// places; 0 unless `todo` is positive.
Moeda porcentagemDe(Moeda parte, Moeda todo);
// `porcentagem` % of `todo`, rounded likewise.
Moeda parteDe(Moeda todo, Moeda porcentagem);

// The figures of the fiscal-management file: each line's amount and its
// percentage of the RCL, for the period (VALOR, PORC) and for the previous
// exercise (VALOR1, PORC1), the limits and the excesses over them. Works on
// the file's table `gestao` (all rows, in SEQ order) and saves it to its file
// after each step.
class CalculoDaGestao {
public:
    CalculoDaGestao(ClientDataSet& gestao, const PeriodoDaGestao& periodo, bool camara,
                    const EntradasDaGestao& entradas, const DigitadosDaGestao& digitados,
                    EstradaDoAnexo& estrada);

    // The commitments still to be paid at the end of the period, per commitment,
    // kept as the unpaid-commitments file `arquivo`; `data` the period's last
    // day as the statement writes it. Reserve commitments, and those that refer
    // to them, count only when `mostraReserva`. Gives the three sums the
    // year-end rows print.
    struct Restos {
        Moeda total, processados, naoProcessados;
    };
    Restos restosAPagar(const QString& arquivo, const QString& data, bool mostraReserva) const;

    // The period's columns.
    void calcula(const Restos& restos, bool mostraReserva);
    // The previous exercise's columns: from the files and the opening entries
    // when the typed companion file existed before the run, else only what
    // was typed (0) and the fixed limit percentages.
    void calculaAnterior(bool comArquivoDigitado);
    // Limits turned into amounts, value lines given their percentage, and the
    // excesses over the legal limits, for both exercises.
    void recalcula();

    // The revenue row's amount for the period (typed plus the RCL file's).
    Moeda receita() const;
    // The RCL of the period and of the previous exercise, as read from the files.
    Moeda rcl() const { return rcl_; }
    Moeda rclAnterior() const { return rclAnterior_; }
    // Whether an amount of the period passes its legal limit.
    bool limiteUltrapassado() const { return ultrapassado_; }

private:
    struct Colunas;
    void recalcula(const Colunas& c, bool doPeriodo);
    void define(const QString& id, const QString& campo, Moeda valor);
    // The personnel total's percentage of the revenue row, in `campo`.
    void percentualDoPessoal(const QString& campo, Moeda pessoal, Moeda receita);
    Moeda valor(const QString& id, const QString& campo) const;
    void limites(const Colunas& c, const std::function<Moeda(const QString&)>& digitadoPorc);
    void grava();

    ClientDataSet& gestao_;
    PeriodoDaGestao periodo_;
    bool camara_;
    const EntradasDaGestao& entradas_;
    const DigitadosDaGestao& digitados_;
    EstradaDoAnexo& estrada_;
    Moeda rcl_;
    Moeda rclAnterior_;
    bool ultrapassado_ = false;
};

} // namespace nq
