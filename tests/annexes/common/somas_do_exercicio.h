#pragma once

#include "core/moeda.h"
#include "demo/exercicio.h"

#include <QDate>
#include <functional>
#include <map>

// Figures computed straight from a generated exercise's rows, without SQL,
// for checking what the annexes print. Lines are given as predicates over the
// generator's rows; months are 1 to 12, both ends included.
class SomasDoExercicio {
public:
    using Receita = std::function<bool(const nq::demo::FichaReceita&)>;
    using Despesa = std::function<bool(const nq::demo::FichaDespesa&)>;
    using Empenho = std::function<bool(const nq::demo::Empenho&, const nq::demo::FichaDespesa&)>;
    using Conta = std::function<bool(const nq::demo::Conta&)>;
    using Lancamento = std::function<bool(const nq::demo::LancamentoDiario&)>;

    explicit SomasDoExercicio(const nq::demo::Exercicio& e);

    nq::Moeda previsao(const Receita& r) const;
    // Forecast changes up to `ate` of one sign (> 0 raises, < 0 cuts).
    nq::Moeda alteracoesDaPrevisao(const Receita& r, int sinal, int ate) const;
    // Revenue by posting date, or by receipt date.
    nq::Moeda arrecadado(const Receita& r, int de, int ate, bool porRecebimento = false) const;

    nq::Moeda dotacao(const Despesa& d) const;
    // Appropriation changes up to `ate`; `ie` 0 for every kind, and only
    // positive ones when `soPositivas`.
    nq::Moeda alteracoesDaDotacao(const Despesa& d, int de, int ate, int ie = 0,
                                  bool soPositivas = false) const;
    // Commitments and liquidations; `comReserva` false leaves out reserve
    // commitments and those drawing on them.
    nq::Moeda empenhado(const Empenho& p, int de, int ate, bool comReserva) const;
    nq::Moeda liquidado(const Empenho& p, int de, int ate, bool comReserva) const;
    // Payments up to `ate`, by the committed item.
    nq::Moeda pago(const Despesa& d, int ate) const;
    // What the commitments of the items `d` still owe at the end of `dia`.
    nq::Moeda aPagar(const QDate& dia, const Despesa& d) const;

    nq::Moeda saldoInicial(const Conta& c) const;
    // Credits less debits of the cash accounts `c` up to `ate`.
    nq::Moeda movimento(const Conta& c, int ate) const;
    // Credits less debits of the journal entries `l` up to `ate`.
    nq::Moeda diario(const Lancamento& l, int ate = 12) const;

    const nq::demo::Exercicio& exercicio() const { return e_; }

private:
    const nq::demo::FichaDespesa& fichaDespesa(int ficha) const;
    const nq::demo::FichaReceita& fichaReceita(int ficha) const;
    const nq::demo::Empenho* empenho(int pkemp) const;
    bool daReserva(const nq::demo::Empenho& emp) const;

    const nq::demo::Exercicio& e_;
    std::map<int, const nq::demo::Empenho*> empenhos_;
    std::map<int, const nq::demo::FichaDespesa*> fichasDespesa_;
    std::map<int, const nq::demo::FichaReceita*> fichasReceita_;
};

// SQL LIKE with "%" and "_", letter case significant; an empty text (a null
// column) matches nothing.
bool como(const QString& texto, const QString& padrao);
// Whether `texto` matches any of the LIKE patterns.
bool comoAlgum(const QString& texto, const QStringList& padroes);
