#include "demo/plano.h"

#include <QCryptographicHash>
#include <QSet>
#include <gtest/gtest.h>
#include <map>

using namespace nq::demo;

namespace {

// A digest of every amount, date and key of the exercise.
QByteArray impressao(const Exercicio& e) {
    QCryptographicHash h(QCryptographicHash::Sha256);
    auto soma = [&](qint64 v) {
        h.addData(QByteArrayView(reinterpret_cast<const char*>(&v), sizeof v));
    };
    for (const auto& r : e.receitas) {
        soma(r.ficha);
        soma(r.valor);
        soma(r.lancamento.toJulianDay());
        soma(r.recebimento.toJulianDay());
    }
    for (const auto& x : e.empenhos) {
        soma(x.pkemp);
        soma(x.pkempa);
        soma(x.ficha);
        soma(x.valor);
        soma(x.data.toJulianDay());
        h.addData(x.catec.toUtf8() + x.tipo.toUtf8() + x.tpem.toUtf8());
    }
    for (const auto& x : e.liquidacoes) {
        soma(x.pkemp);
        soma(x.valor);
        soma(x.data.toJulianDay());
    }
    for (const auto& x : e.pagamentos) {
        soma(x.pkemp);
        soma(x.valor);
        soma(x.conta);
    }
    for (const auto& x : e.movimentos) {
        soma(x.credito);
        soma(x.debito);
    }
    for (const auto& x : e.diario)
        soma(x.credito - x.debito);
    return h.result();
}

class PlanoDoExercicio : public ::testing::Test {
protected:
    static void SetUpTestSuite() { par_ = new ParDeExercicios(geraPar(2008, 404, Tamanho::Teste)); }
    static void TearDownTestSuite() { delete par_; }
    static ParDeExercicios* par_;
};
ParDeExercicios* PlanoDoExercicio::par_ = nullptr;

} // namespace

TEST_F(PlanoDoExercicio, MesmaSementeMesmosDadosOutraSementeOutros) {
    const ParDeExercicios outra = geraPar(2008, 404, Tamanho::Teste);
    EXPECT_EQ(impressao(outra.atual), impressao(par_->atual));
    EXPECT_EQ(impressao(outra.anterior), impressao(par_->anterior));
    EXPECT_NE(impressao(geraPar(2008, 405, Tamanho::Teste).atual), impressao(par_->atual));
    // The year before is a different year, not a copy.
    EXPECT_NE(impressao(par_->anterior), impressao(par_->atual));
}

TEST_F(PlanoDoExercicio, NadaSeLiquidaOuPagaAlemDoEmpenhado) {
    for (const Exercicio* e : {&par_->anterior, &par_->atual}) {
        std::map<int, qint64> empenhado, liquidado, pago, pagoNoEmpenho;
        std::map<int, const Empenho*> porChave;
        for (const Empenho& em : e->empenhos)
            porChave[em.pkemp] = &em;
        for (const Empenho& em : e->empenhos) {
            if (em.valor > 0) {
                empenhado[em.pkemp] += em.valor;
                pagoNoEmpenho[em.pkemp] = em.pago;
            } else {
                ASSERT_TRUE(porChave.count(em.pkempa)) << "anulação sem empenho " << em.pkemp;
                empenhado[em.pkempa] += em.valor;
            }
            if (em.pkempa != 0) {
                ASSERT_TRUE(porChave.count(em.pkempa));
            }
        }
        for (const Liquidacao& l : e->liquidacoes) {
            ASSERT_TRUE(porChave.count(l.pkemp));
            EXPECT_GE(l.data, porChave[l.pkemp]->data);
            liquidado[l.pkemp] += l.valor;
        }
        for (const Pagamento& p : e->pagamentos) {
            ASSERT_TRUE(porChave.count(p.pkemp));
            EXPECT_GT(p.valor, 0);
            EXPECT_EQ(p.data.year(), e->ano);
            pago[p.pkemp] += p.valor;
        }
        for (const auto& [pkemp, valor] : empenhado) {
            EXPECT_GE(valor, 0) << "anulado além do empenhado: " << pkemp;
            EXPECT_GE(liquidado[pkemp], 0) << "estorno além do liquidado: " << pkemp;
            EXPECT_LE(liquidado[pkemp], valor) << "liquidado além do empenhado: " << pkemp;
            const bool extra =
                e->fichasDespesa[porChave[pkemp]->ficha - 1].extra &&
                !e->fichasDespesa[porChave[pkemp]->ficha - 1].balco.startsWith("3211");
            if (!extra) {
                EXPECT_LE(pago[pkemp], liquidado[pkemp]) << "pago além do liquidado: " << pkemp;
            }
            EXPECT_EQ(pago[pkemp], pagoNoEmpenho[pkemp])
                << "VAPAG diverge dos pagamentos: " << pkemp;
        }
    }
}

TEST_F(PlanoDoExercicio, TodoLancamentoTemFichaEContaExistentes) {
    const Exercicio& e = par_->atual;
    for (std::size_t i = 0; i < e.fichasReceita.size(); ++i)
        ASSERT_EQ(e.fichasReceita[i].ficha, static_cast<int>(i) + 1);
    for (std::size_t i = 0; i < e.fichasDespesa.size(); ++i)
        ASSERT_EQ(e.fichasDespesa[i].ficha, static_cast<int>(i) + 1);
    QSet<int> contas;
    for (const Conta& c : e.contas)
        contas.insert(c.conta);
    for (const Receita& r : e.receitas) {
        ASSERT_GE(r.ficha, 1);
        ASSERT_LE(r.ficha, static_cast<int>(e.fichasReceita.size()));
        EXPECT_EQ(r.lancamento.year(), e.ano);
        EXPECT_LE(r.recebimento, r.lancamento);
    }
    for (const Empenho& em : e.empenhos) {
        ASSERT_GE(em.ficha, 1);
        ASSERT_LE(em.ficha, static_cast<int>(e.fichasDespesa.size()));
    }
    for (const Pagamento& p : e.pagamentos)
        EXPECT_TRUE(contas.contains(p.conta));
    for (const MovimentoCaixa& m : e.movimentos)
        EXPECT_TRUE(contas.contains(m.conta));
}

TEST_F(PlanoDoExercicio, SaldosDeAberturaSaoOsDeEncerramentoDoAnoAnterior) {
    std::map<int, qint64> fechamento;
    for (const MovimentoCaixa& m : par_->anterior.movimentos)
        fechamento[m.conta] += m.credito - m.debito;
    for (const Conta& c : par_->atual.contas)
        EXPECT_EQ(c.saldoInicial, fechamento[c.conta]) << c.nome.toStdString();
    for (const MovimentoCaixa& m : par_->atual.movimentos)
        if (m.data == QDate(2008, 1, 1)) {
            EXPECT_EQ(m.credito - m.debito, par_->atual.contas[m.conta - 1].saldoInicial);
        }
}

TEST_F(PlanoDoExercicio, RestosAPagarVemDoQueOAnoAnteriorDeixouSemPagar) {
    // Unpaid on 31 December of the year before, computed from its rows.
    qint64 naoPago = 0;
    const Exercicio& ant = par_->anterior;
    std::map<int, qint64> saldo;
    for (const Empenho& em : ant.empenhos) {
        const auto& f = ant.fichasDespesa[em.ficha - 1];
        if (em.tpem == "RD" || (f.extra && !f.balco.startsWith("3211")))
            continue;
        saldo[em.valor > 0 ? em.pkemp : em.pkempa] += em.valor;
    }
    for (const Pagamento& p : ant.pagamentos)
        if (saldo.count(p.pkemp))
            saldo[p.pkemp] -= p.valor;
    for (const auto& [k, v] : saldo)
        naoPago += v;
    // Non-processed leftovers of carried-over commitments lapse, so the
    // year's carried-over total can only be lower, and must be positive.
    qint64 inscrito = 0;
    for (const Empenho& em : par_->atual.empenhos)
        if (em.valor > 0 && par_->atual.fichasDespesa[em.ficha - 1].balco.startsWith("3211"))
            inscrito += em.valor;
    EXPECT_GT(inscrito, 0);
    EXPECT_LE(inscrito, naoPago);
}

TEST(Tamanho, TextosDoComandoDeLinha) {
    for (Tamanho t : {Tamanho::Teste, Tamanho::Pequeno, Tamanho::Medio, Tamanho::Grande})
        EXPECT_EQ(tamanhoDeTexto(textoDeTamanho(t)), t);
    EXPECT_FALSE(tamanhoDeTexto(QStringLiteral("enorme")).has_value());
}
