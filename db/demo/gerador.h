#pragma once

// The data plan of one exercise. The catalogue (catalogo.h) lists what the
// reports select; the generator (plano.cpp, plano_restos_caixa.cpp) turns
// it into rows:
// - every revenue item gets postings in every month around a twelfth of its
//   forecast (property tax early in the year), some get forecast changes of
//   either sign; deductions are negative postings;
// - every expenditure item gets commitments adding up to most of its updated
//   appropriation (payroll once a month), each liquidated and paid in part
//   or in full later in the year, never beyond what is committed or
//   liquidated; some are partly annulled; some items hold a reserve
//   commitment that later commitments draw on;
// - what is unpaid at the end of the year before is carried over as
//   commitments of the 3211 items and paid, liquidated or cancelled during
//   the year;
// - cash moves through the accounts of each linkage, day by day, from the
//   opening balances of 1 January; the journal holds the opening entries and
//   the monthly movements of debt, guarantees and carried-over commitments.

#include "demo/catalogo.h"
#include "demo/plano.h"
#include "demo/sorteio.h"

#include <QDate>
#include <algorithm>
#include <map>
#include <utility>

namespace nq::demo {

struct Escala {
    int unidades;          // budget units of the prefecture
    int lancamentosPorMes; // revenue postings per item and month, before weighting
    int empenhosPorFicha;  // commitments per expenditure item, before weighting
    Centavos orcamento;    // yearly budget
};

Escala escalaDe(Tamanho t);

inline QString s(const char* texto) {
    return QString::fromUtf8(texto);
}

class Gerador {
public:
    Gerador(int ano, uint64_t semente, Tamanho tamanho, const Exercicio* anterior)
        : escala_(escalaDe(tamanho)),
          sorteio_(semente ^ (static_cast<uint64_t>(ano) * 0x9E3779B97F4A7C15ull)),
          anterior_(anterior) {
        e_.ano = ano;
    }

    Exercicio gera() {
        cadastros();
        fichasDeReceita();
        arrecadacao();
        fichasDeDespesa();
        alteracoesDeDotacao();
        execucaoDaDespesa();
        restosAPagar();
        extraOrcamentaria();
        caixa();
        diario();
        return std::move(e_);
    }

private:
    QDate dia(int diaDoAno) const {
        return QDate(e_.ano, 1, 1).addDays(std::clamp(diaDoAno, 1, ultimoDia()));
    }
    int ultimoDia() const { return QDate(e_.ano, 12, 31).dayOfYear() - 1; }
    // A working date of the year on or after `minimo` (1 January is a
    // holiday, so that its rows are only the opening balances).
    QDate dataApos(const QDate& minimo, int folgaMaxima, Sorteio& sorteio) const {
        const int base = std::max(minimo.dayOfYear() - 1, 1);
        return dia(base + static_cast<int>(sorteio.entre(0, folgaMaxima)));
    }
    QDate dataNoMes(int mes, Sorteio& sorteio) const {
        const QDate primeiro(e_.ano, mes, 1);
        const int inicio = std::max(primeiro.dayOfYear() - 1, 1);
        const int fim = primeiro.addMonths(1).addDays(-1).dayOfYear() - 1;
        return dia(static_cast<int>(sorteio.entre(inicio, fim)));
    }
    QDate fimDoMes(int mes) const { return QDate(e_.ano, mes, 1).addMonths(1).addDays(-1); }

    void cadastros();
    void fichasDeReceita();
    void arrecadacao();
    void fichasDeDespesa();
    void alteracoesDeDotacao();
    void execucaoDaDespesa();
    void executaEmpenhos(const FichaDespesa& f, Centavos alvo, QDate inicio, Sorteio& sorteio);
    Empenho& novoEmpenho(const FichaDespesa& f, QDate data, Centavos valor, const QString& tpem,
                         Sorteio& sorteio);
    void anula(const Empenho& original, QDate data, Centavos valor);
    // Liquidates `valor` of the commitment from `inicio` on, in one to three
    // parts, and pays what falls due within the year; returns what was paid.
    Centavos liquidaEPaga(int indiceEmpenho, Centavos valor, QDate inicio, int pagoPorCento,
                          Sorteio& sorteio);
    void restosAPagar();
    void restoDoAnterior(const Empenho& original, int empresa, const FichaDespesa* origem,
                         Centavos processado, Centavos naoProcessado, QDate liquidacao);
    void movimentaRestos(Sorteio& sorteio);
    void extraOrcamentaria();
    void caixa();
    void diario();
    void lancaDiario(const char* balco, QDate data, Centavos credito, Centavos debito, int ie,
                     const char* historico);

    int contaDoVinculo(int grupo, int vinculo, const QString& balcoPreferido = {}) const;
    int fichaDeRestos(int empresa, bool processado) const;
    const FichaDespesa& fichaDespesa(int ficha) const { return e_.fichasDespesa[ficha - 1]; }

    Exercicio e_;
    Escala escala_;
    Sorteio sorteio_;
    const Exercicio* anterior_;
    std::map<int, std::pair<int, int>> fichasDeRestos_; // empresa -> (processed, not processed)
    std::map<int, int> pesoDaFicha_;                    // budget weight of an expenditure item
    int proximoNempg_ = 1;
};

} // namespace nq::demo
