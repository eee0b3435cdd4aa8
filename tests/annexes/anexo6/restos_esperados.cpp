#include "restos_esperados.h"

using nq::Moeda;
using nq::demo::Empenho;

namespace {

Moeda centavos(nq::demo::Centavos c) {
    return Moeda::deDezMilesimos(c * 100);
}

bool entre(const QDate& d, const QDate& inicio, const QDate& fim) {
    return d >= inicio && d <= fim;
}

} // namespace

Restos& Restos::operator+=(const Restos& o) {
    rpAnt += o.rpAnt;
    rpExer += o.rpExer;
    npExer += o.npExer;
    cancBim += o.cancBim;
    cancAcu += o.cancAcu;
    pagoBim += o.pagoBim;
    pagoAcu += o.pagoAcu;
    disFin += o.disFin;
    nInscr += o.nInscr;
    return *this;
}

bool Restos::vazio() const {
    return rpAnt.ehZero() && rpExer.ehZero() && npExer.ehZero() && disFin.ehZero() &&
           nInscr.ehZero();
}

RestosEsperados::RestosEsperados(const nq::demo::Exercicio& e, QDate inicio, QDate fim) {
    const QDate inicioDoAno(fim.year(), 1, 1);
    std::map<int, const nq::demo::FichaDespesa*> fichas;
    for (const auto& f : e.fichasDespesa)
        fichas[f.ficha] = &f;
    std::map<int, const Empenho*> empenhos;
    for (const auto& em : e.empenhos)
        empenhos[em.pkemp] = &em;
    for (const auto& v : e.vinculos) {
        vinculos_[{v.grupo, v.codigo}];
        for (const auto& ent : e.entidades)
            if (ent.empresa == v.empresa)
                empresaDoVinculo_[{v.grupo, v.codigo}] = &ent;
    }
    auto restos = [&](const Empenho& em) -> Restos& { return vinculos_[{em.grupo, em.vinculo}]; };
    auto balco = [&](const Empenho& em) { return fichas.at(em.ficha)->balco; };

    // Carried over: inscribed, cancelled and paid.
    for (const Empenho& em : e.empenhos) {
        if (!balco(em).startsWith(QLatin1String("3211")))
            continue;
        Restos& r = restos(em);
        if (em.valor > 0 && balco(em) == QLatin1String("32111"))
            (em.data.year() < fim.year() - 1 ? r.rpAnt : r.rpExer) += centavos(em.valor);
        else if (em.valor > 0)
            r.npExer += centavos(em.valor);
        else if (em.valor < 0) {
            if (entre(em.data, inicio, fim))
                r.cancBim -= centavos(em.valor);
            if (entre(em.data, inicioDoAno, fim))
                r.cancAcu -= centavos(em.valor);
        }
    }
    for (const auto& p : e.pagamentos) {
        const Empenho& em = *empenhos.at(p.pkemp);
        if (!balco(em).startsWith(QLatin1String("3211")))
            continue;
        if (entre(p.data, inicio, fim))
            restos(em).pagoBim += centavos(p.valor);
        if (entre(p.data, inicioDoAno, fim))
            restos(em).pagoAcu += centavos(p.valor);
    }

    // Cash at the end of the period, and what each linkage owes then.
    std::map<int, std::pair<int, int>> vinculoDaConta;
    for (const auto& c : e.contas)
        vinculoDaConta[c.conta] = {c.grupo, c.vinculo};
    for (const auto& m : e.movimentos)
        if (m.data <= fim)
            vinculos_[vinculoDaConta.at(m.conta)].disFin += centavos(m.credito - m.debito);
    std::map<int, nq::demo::Centavos> anulado, liquidado, pago;
    for (const Empenho& em : e.empenhos)
        if (em.valor < 0 && em.data <= fim)
            anulado[em.pkempa] -= em.valor;
    for (const auto& l : e.liquidacoes)
        if (l.data <= fim)
            liquidado[l.pkemp] += l.valor;
    for (const auto& p : e.pagamentos)
        if (p.data <= fim)
            pago[p.pkemp] += p.valor;
    std::map<std::pair<int, int>, Moeda> naoProcessadosDoAno;
    for (const Empenho& em : e.empenhos) {
        if (em.valor <= 0 || em.tpem == QLatin1String("RD") || em.data > fim)
            continue;
        const auto aPagar = em.valor - anulado[em.pkemp] - pago[em.pkemp];
        if (aPagar == 0)
            continue;
        const auto processado = liquidado[em.pkemp] - pago[em.pkemp];
        const auto naoProcessado = aPagar - processado;
        const bool doAno = !fichas.at(em.ficha)->extra;
        restos(em).disFin -= centavos(processado + (doAno ? 0 : naoProcessado));
        if (doAno)
            naoProcessadosDoAno[{em.grupo, em.vinculo}] += centavos(naoProcessado);
    }
    if (fim.month() == 12 && fim.day() == 31)
        for (auto& [chave, r] : vinculos_) {
            const Moeda descoberto = naoProcessadosDoAno[chave] - std::max(r.disFin, Moeda());
            r.nInscr = std::max(descoberto, Moeda());
        }
}
