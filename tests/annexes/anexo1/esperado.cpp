#include "esperado.h"

#include <set>

using nq::Moeda;

bool comecaCom(const QString& codigo, const QStringList& prefixos) {
    for (const QString& p : prefixos)
        if (codigo.startsWith(p))
            return true;
    return false;
}

Moeda Esperado::previsao(const QStringList& codigos) const {
    Moeda t;
    for (const auto& f : e_.fichasReceita)
        if (comecaCom(f.codre, codigos))
            t += centavos(f.totor);
    return t;
}

Moeda Esperado::previsaoAtualizada(const QStringList& codigos, int bimestre) const {
    std::set<int> fichas;
    for (const auto& f : e_.fichasReceita)
        if (comecaCom(f.codre, codigos))
            fichas.insert(f.ficha);
    Moeda t = previsao(codigos);
    for (const auto& a : e_.alteracoesReceita)
        if (fichas.count(a.ficha) && a.data.month() <= 2 * bimestre)
            t += centavos(a.valor);
    return t;
}

Moeda Esperado::realizado(const QStringList& codigos, int k) const {
    std::set<int> fichas;
    for (const auto& f : e_.fichasReceita)
        if (comecaCom(f.codre, codigos))
            fichas.insert(f.ficha);
    Moeda t;
    for (const auto& r : e_.receitas)
        if (fichas.count(r.ficha) && noBimestre(r.lancamento, k))
            t += centavos(r.valor);
    return t;
}

Moeda Esperado::dotacao(const QStringList& categorias) const {
    Moeda t;
    for (const auto& f : e_.fichasDespesa)
        if (comecaCom(f.catec, categorias))
            t += centavos(f.dotacao);
    return t;
}

Moeda Esperado::dotacaoAtualizada(const QStringList& categorias, int bimestre) const {
    std::set<int> fichas;
    for (const auto& f : e_.fichasDespesa)
        if (comecaCom(f.catec, categorias))
            fichas.insert(f.ficha);
    Moeda t = dotacao(categorias);
    for (const auto& a : e_.alteracoesDespesa)
        if (fichas.count(a.ficha) && a.data.month() <= 2 * bimestre)
            t += centavos(a.valor);
    return t;
}

bool Esperado::daReserva(const nq::demo::Empenho& emp) const {
    if (emp.tpem == QStringLiteral("RD"))
        return true;
    for (const auto& outro : e_.empenhos)
        if (outro.pkemp == emp.pkempa && outro.tpem == QStringLiteral("RD"))
            return true;
    return false;
}

bool Esperado::contaEmpenho(const nq::demo::Empenho& emp, const QStringList& categorias,
                            bool comReserva) const {
    return comecaCom(emp.catec, categorias) && (comReserva || !daReserva(emp));
}

Moeda Esperado::empenhado(const QStringList& categorias, int k, bool comReserva) const {
    Moeda t;
    for (const auto& emp : e_.empenhos)
        if (noBimestre(emp.data, k) && contaEmpenho(emp, categorias, comReserva))
            t += centavos(emp.valor);
    return t;
}

Moeda Esperado::liquidado(const QStringList& categorias, int k, bool comReserva) const {
    Moeda t;
    for (const auto& l : e_.liquidacoes) {
        if (!noBimestre(l.data, k))
            continue;
        for (const auto& emp : e_.empenhos)
            if (emp.pkemp == l.pkemp && contaEmpenho(emp, categorias, comReserva))
                t += centavos(l.valor);
    }
    return t;
}
