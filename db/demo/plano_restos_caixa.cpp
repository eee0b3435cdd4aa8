#include "demo/gerador.h"

#include <set>

namespace nq::demo {

namespace cat = catalogo;

void Gerador::restoDoAnterior(const Empenho& original, int empresa, const FichaDespesa* origem,
                              Centavos processado, Centavos naoProcessado, QDate liquidacao) {
    for (int k = 0; k < 2; ++k) {
        const Centavos valor = k == 0 ? processado : naoProcessado;
        if (valor <= 0)
            continue;
        Empenho r = original;
        r.pkemp = static_cast<int>(e_.empenhos.size()) + 1;
        r.pkempa = 0;
        r.ficha = fichaDeRestos(empresa, k == 0);
        r.valor = valor;
        r.pago = 0;
        r.catecAnterior =
            original.catecAnterior.isEmpty() ? original.catec : original.catecAnterior;
        r.programaAnterior =
            origem && !origem->programa.isEmpty() ? origem->programa : original.programaAnterior;
        r.localAnterior =
            origem && !origem->local.isEmpty() ? origem->local : original.localAnterior;
        r.catec.clear();
        r.elemento.clear();
        r.categoria.clear();
        r.tipo.clear();
        r.produto.clear();
        r.liquidacao = k == 0 ? liquidacao : QDate();
        r.evGrupo = 3;
        r.evCodigo = k == 0 ? 301 : 302;
        r.historico = QStringLiteral("Restos a pagar do empenho %1/%2")
                          .arg(original.nempg)
                          .arg(original.data.year());
        e_.empenhos.push_back(r);
        // Processed commitments arrive liquidated on their original date.
        if (k == 0)
            e_.liquidacoes.push_back(
                {static_cast<int>(e_.liquidacoes.size()) + 1, r.pkemp, liquidacao, valor});
    }
}

void Gerador::restosAPagar() {
    Sorteio sorteio = sorteio_.derivado(6);
    if (anterior_) {
        // What the year before left unpaid on 31 December, commitment by commitment.
        std::map<int, Centavos> anulado, liquidado, pago;
        std::map<int, QDate> ultimaLiquidacao;
        for (const Empenho& em : anterior_->empenhos)
            if (em.valor < 0)
                anulado[em.pkempa] -= em.valor;
        for (const Liquidacao& l : anterior_->liquidacoes) {
            liquidado[l.pkemp] += l.valor;
            ultimaLiquidacao[l.pkemp] = std::max(ultimaLiquidacao[l.pkemp], l.data);
        }
        for (const Pagamento& p : anterior_->pagamentos)
            pago[p.pkemp] += p.valor;
        for (const Empenho& em : anterior_->empenhos) {
            if (em.valor <= 0 || em.tpem == QLatin1String("RD"))
                continue;
            const FichaDespesa& f = anterior_->fichasDespesa[em.ficha - 1];
            if (f.extra && !f.balco.startsWith(QLatin1String("3211")))
                continue;
            const Centavos aPagar = em.valor - anulado[em.pkemp] - pago[em.pkemp];
            const Centavos processado = std::min(liquidado[em.pkemp] - pago[em.pkemp], aPagar);
            // Non-processed leftovers of older years lapse on 31 December.
            const bool antigo = f.balco.startsWith(QLatin1String("3211"));
            restoDoAnterior(em, f.empresa, &f, processado, antigo ? 0 : aPagar - processado,
                            ultimaLiquidacao.count(em.pkemp) ? ultimaLiquidacao[em.pkemp]
                                                             : em.data);
        }
    } else {
        // No year before at hand: invent the carried-over commitments of
        // the two years before, per entity, as if they came from there.
        for (const Entidade& ent : e_.entidades) {
            const int quantos = std::max(2, escala_.empenhosPorFicha * 2);
            for (int i = 0; i < quantos; ++i) {
                const int anoOrigem = e_.ano - static_cast<int>(sorteio.entre(1, 2));
                FichaDespesa modelo{};
                for (const FichaDespesa& f : e_.fichasDespesa)
                    if (f.empresa == ent.empresa && !f.extra &&
                        !f.catec.startsWith(QLatin1String("9")))
                        modelo = f;
                Empenho em{};
                em.nempg = static_cast<int>(sorteio.entre(1, 5000));
                em.data = QDate(anoOrigem, static_cast<int>(sorteio.entre(6, 12)), 10);
                em.catec = modelo.catec;
                em.tpem = s("OR");
                em.grupo = modelo.grupo;
                em.vinculo = modelo.vinculo;
                em.credor = s(cat::credores[sorteio.entre(1, cat::quantidadeCredores - 1)]);
                em.programaAnterior = modelo.programa;
                em.localAnterior = modelo.local;
                const Centavos valor =
                    escala_.orcamento / 2000 / quantos * sorteio.entre(50, 150) / 10;
                const bool processado = anoOrigem < e_.ano - 1 || sorteio.chance(60);
                restoDoAnterior(em, ent.empresa, nullptr, processado ? valor : 0,
                                processado ? 0 : valor, em.data.addDays(20));
            }
        }
    }
    movimentaRestos(sorteio);
}

// During the year most carried-over commitments are paid; the
// non-processed ones are liquidated first; some are cancelled, and what is
// still not liquidated on 31 December lapses.
void Gerador::movimentaRestos(Sorteio& sorteio) {
    const int total = static_cast<int>(e_.empenhos.size());
    for (int i = 0; i < total; ++i) {
        const Empenho em = e_.empenhos[i];
        const FichaDespesa& f = fichaDespesa(em.ficha);
        if (!f.balco.startsWith(QLatin1String("3211")) || em.valor <= 0)
            continue;
        const bool processado = f.balco == QLatin1String("32111");
        const QDate inicio(e_.ano, 1, 2);
        const int sorte = static_cast<int>(sorteio.entre(0, 99));
        if (processado) {
            const int conta = contaDoVinculo(em.grupo, em.vinculo);
            if (sorte < 85) {
                const Centavos v = sorte < 75 ? em.valor : em.valor * sorteio.entre(30, 80) / 100;
                e_.pagamentos.push_back({static_cast<int>(e_.pagamentos.size()) + 1, em.pkemp,
                                         dataApos(inicio, 150, sorteio), v, conta});
                e_.empenhos[i].pago += v;
            } else if (sorte < 92) {
                // Cancelling a liquidated debt reverses its liquidation too.
                const QDate data = dataApos(inicio, 300, sorteio);
                anula(em, data, em.valor);
                e_.liquidacoes.push_back(
                    {static_cast<int>(e_.liquidacoes.size()) + 1, em.pkemp, data, -em.valor});
            }
        } else {
            Centavos liquidado = 0;
            if (sorte < 65) {
                liquidado = sorte < 50 ? em.valor : em.valor * sorteio.entre(40, 90) / 100;
                liquidaEPaga(i, liquidado, inicio, 85, sorteio);
            } else if (sorte < 85) {
                anula(em, dataApos(inicio, 300, sorteio), em.valor);
                continue;
            }
            if (em.valor > liquidado)
                anula(em, QDate(e_.ano, 12, 31), em.valor - liquidado);
        }
    }
}

// Withholdings received each month are paid over at the end of the month.
void Gerador::extraOrcamentaria() {
    std::map<std::pair<int, int>, Centavos> retido; // (ficha de receita, mês)
    for (const Receita& r : e_.receitas)
        if (e_.fichasReceita[r.ficha - 1].extra)
            retido[{r.ficha, r.lancamento.month()}] += r.valor;
    Sorteio sorteio = sorteio_.derivado(7);
    for (const auto& [chave, valor] : retido) {
        const FichaReceita& fr = e_.fichasReceita[chave.first - 1];
        const FichaDespesa& fd =
            *std::find_if(e_.fichasDespesa.begin(), e_.fichasDespesa.end(),
                          [&](const FichaDespesa& f) { return f.extra && f.balco == fr.balco; });
        const QDate data = fimDoMes(chave.second);
        Empenho& em = novoEmpenho(fd, data, valor, s("EX"), sorteio);
        em.historico = QStringLiteral("Recolhimento de %1").arg(fd.nome);
        em.pago = valor;
        e_.pagamentos.push_back({static_cast<int>(e_.pagamentos.size()) + 1, em.pkemp, data, valor,
                                 contaDoVinculo(fd.grupo, fd.vinculo)});
    }
}

void Gerador::caixa() {
    Sorteio sorteio = sorteio_.derivado(8);
    // Opening balances: the closing ones of the year before, else invented.
    std::map<int, Centavos> saldo;
    if (anterior_) {
        for (const MovimentoCaixa& m : anterior_->movimentos)
            saldo[m.conta] += m.credito - m.debito;
    } else {
        for (int i = 0; i < cat::quantidadeContas; ++i)
            saldo[cat::contas[i].conta] =
                sorteio.variacao(escala_.orcamento / 1000 * cat::contas[i].saldoPorMil, 900, 1100);
    }
    std::map<std::pair<int, int>, std::pair<Centavos, Centavos>> porDia; // (conta, dia) -> (c, d)
    for (Conta& c : e_.contas) {
        c.saldoInicial = saldo[c.conta];
        porDia[{c.conta, 1}] = c.saldoInicial >= 0 ? std::pair{c.saldoInicial, Centavos{0}}
                                                   : std::pair{Centavos{0}, -c.saldoInicial};
    }
    std::map<int, int> contaDaFicha;
    for (const FichaReceita& f : e_.fichasReceita) {
        QString preferido;
        if (f.codre.startsWith(QLatin1String("1325")))
            preferido = s("31140"); // investment income stays invested
        else if (f.codre.startsWith(QLatin1String("112")))
            preferido = s("31110"); // fees are paid at the counter
        contaDaFicha[f.ficha] = contaDoVinculo(f.grupo, f.vinculo, preferido);
    }
    std::map<std::pair<int, int>, Centavos> depositar; // cash taken to the bank at month end
    for (const Receita& r : e_.receitas) {
        const int conta = contaDaFicha[r.ficha];
        auto& dia = porDia[{conta, r.lancamento.dayOfYear()}];
        (r.valor >= 0 ? dia.first : dia.second) += std::abs(r.valor);
        const Conta& c = e_.contas[conta - 1];
        if (c.balco == QLatin1String("31110"))
            depositar[{conta, r.lancamento.month()}] += r.valor;
    }
    for (const auto& [chave, valor] : depositar) {
        const Conta& c = e_.contas[chave.first - 1];
        const int banco = contaDoVinculo(c.grupo, c.vinculo);
        const int d = fimDoMes(chave.second).dayOfYear();
        porDia[{chave.first, d}].second += valor;
        porDia[{banco, d}].first += valor;
    }
    // Linkages without revenue of their own (the chamber's allotments, the
    // shares of taxes tied to education and health) receive from the
    // treasury, at the start of each month, what they pay out in it.
    std::set<std::pair<int, int>> comReceita;
    for (const FichaReceita& f : e_.fichasReceita)
        comReceita.insert({f.grupo, f.vinculo});
    std::map<std::pair<int, int>, Centavos> repasses; // (conta, mês)
    for (const Pagamento& p : e_.pagamentos) {
        porDia[{p.conta, p.data.dayOfYear()}].second += p.valor;
        const Conta& c = e_.contas[p.conta - 1];
        if (!comReceita.count({c.grupo, c.vinculo}))
            repasses[{p.conta, p.data.month()}] += p.valor;
    }
    const int tesouro = contaDoVinculo(1, 1);
    for (const auto& [chave, valor] : repasses) {
        const int d = std::max(QDate(e_.ano, chave.second, 1).dayOfYear(), 2);
        porDia[{tesouro, d}].second += valor;
        porDia[{chave.first, d}].first += valor;
    }
    for (const auto& [chave, valores] : porDia) {
        if (valores.first == 0 && valores.second == 0 && chave.second != 1)
            continue;
        e_.movimentos.push_back({static_cast<int>(e_.movimentos.size()) + 1, chave.first,
                                 QDate(e_.ano, 1, 1).addDays(chave.second - 1), valores.first,
                                 valores.second});
    }
}

void Gerador::lancaDiario(const char* balco, QDate data, Centavos credito, Centavos debito, int ie,
                          const char* historico) {
    if (credito == 0 && debito == 0)
        return;
    e_.diario.push_back({static_cast<int>(e_.diario.size()) + 1, s(balco), data, credito, debito,
                         ie, s(historico)});
}

void Gerador::diario() {
    Sorteio sorteio = sorteio_.derivado(9);
    const Centavos o = escala_.orcamento;
    const QDate abertura(e_.ano, 1, 1);
    Centavos rpProcessados = 0, rpNaoProcessados = 0;
    for (const Empenho& em : e_.empenhos) {
        const FichaDespesa& f = fichaDespesa(em.ficha);
        if (em.valor > 0 && f.balco == QLatin1String("32111"))
            rpProcessados += em.valor;
        if (em.valor > 0 && f.balco == QLatin1String("32112"))
            rpNaoProcessados += em.valor;
    }
    lancaDiario("32111", abertura, rpProcessados, 0, 2, "Abertura - restos a pagar processados");
    lancaDiario("32112", abertura, rpNaoProcessados, 0, 2,
                "Abertura - restos a pagar não processados");
    lancaDiario("31300", abertura, 0, sorteio.variacao(o / 100, 800, 1200), 1,
                "Abertura - créditos em circulação");
    const Centavos divida = sorteio.variacao(o * 15 / 100, 900, 1100);
    lancaDiario("34110", abertura, divida, 0, 2, "Abertura - operações de crédito internas");
    const Centavos parcelamentoInss = sorteio.variacao(o * 3 / 100, 900, 1100);
    lancaDiario("34210", abertura, parcelamentoInss, 0, 2, "Abertura - parcelamento do INSS");
    lancaDiario("34220", abertura, sorteio.variacao(o * 2 / 100, 900, 1100), 0, 2,
                "Abertura - parcelamento do PASEP e FGTS");
    lancaDiario("38220", abertura, sorteio.variacao(o / 200, 900, 1100), 0, 3,
                "Abertura - dívida mobiliária");
    lancaDiario("38330", abertura, sorteio.variacao(o * 3 / 1000, 900, 1100), 0, 3,
                "Abertura - garantias concedidas");
    lancaDiario("38410", abertura, sorteio.variacao(o * 2 / 1000, 900, 1100), 0, 3,
                "Abertura - contragarantias recebidas");
    lancaDiario("8888", abertura, sorteio.variacao(o / 100, 900, 1100), 0, 3,
                "Abertura - passivos reconhecidos");

    // Monthly movements that follow from the budget execution.
    std::vector<Centavos> creditos(13), amortizacoes(13), rpPagos(13), processadosAnulados(13),
        npAnulados(13), npLiquidados(13);
    for (const Receita& r : e_.receitas)
        if (e_.fichasReceita[r.ficha - 1].codre.startsWith(QLatin1String("21")))
            creditos[r.lancamento.month()] += r.valor;
    std::map<int, int> fichaDoEmpenho;
    for (const Empenho& em : e_.empenhos) {
        fichaDoEmpenho[em.pkemp] = em.ficha;
        const FichaDespesa& f = fichaDespesa(em.ficha);
        if (em.valor < 0 && f.balco == QLatin1String("32111"))
            processadosAnulados[em.data.month()] -= em.valor;
        if (em.valor < 0 && f.balco == QLatin1String("32112"))
            npAnulados[em.data.month()] -= em.valor;
    }
    for (const Liquidacao& l : e_.liquidacoes) {
        if (l.data.year() != e_.ano)
            continue;
        const FichaDespesa& f = fichaDespesa(fichaDoEmpenho[l.pkemp]);
        if (f.catec.startsWith(QLatin1String("4.6")))
            amortizacoes[l.data.month()] += l.valor;
        if (f.balco == QLatin1String("32112"))
            npLiquidados[l.data.month()] += l.valor;
    }
    for (const Pagamento& p : e_.pagamentos)
        if (fichaDespesa(fichaDoEmpenho[p.pkemp]).balco.startsWith(QLatin1String("3211")))
            rpPagos[p.data.month()] += p.valor;
    const Centavos aro = o / 100;
    for (int mes = 1; mes <= 12; ++mes) {
        const QDate fim = fimDoMes(mes);
        lancaDiario("34110", fim, creditos[mes], amortizacoes[mes], 4,
                    "Operações de crédito e amortizações do mês");
        lancaDiario("34210", fim, 0, parcelamentoInss / 60, 4, "Parcela do INSS");
        lancaDiario("32112", fim, 0, npLiquidados[mes] + npAnulados[mes], 4,
                    "Restos não processados liquidados e cancelados");
        lancaDiario("32111", fim, npLiquidados[mes], rpPagos[mes] + processadosAnulados[mes], 4,
                    "Restos a pagar liquidados, pagos e cancelados");
        lancaDiario("31300", fim, sorteio.variacao(o / 2000, 500, 1500),
                    sorteio.variacao(o / 2000, 500, 1500), 4,
                    "Movimento de créditos em circulação");
        if (mes % 3 == 0)
            lancaDiario("8888", fim, sorteio.variacao(o / 1000, 500, 1500), 0, 4,
                        "Reconhecimento de passivos");
        if (mes == 6) {
            lancaDiario("38330", fim, sorteio.variacao(o / 1000, 500, 1500), 0, 4,
                        "Garantias concedidas no semestre");
            lancaDiario("38410", fim, 0, sorteio.variacao(o / 2000, 500, 1500), 4,
                        "Baixa de contragarantias");
            lancaDiario("38220", fim, 0, sorteio.variacao(o / 2000, 500, 1500), 4,
                        "Resgate de títulos");
        }
    }
    lancaDiario("32410", fimDoMes(2), aro, 0, 4, "Operação de crédito por antecipação de receita");
    lancaDiario("32410", fimDoMes(11), 0, aro, 4, "Liquidação da antecipação de receita");
}

} // namespace nq::demo
