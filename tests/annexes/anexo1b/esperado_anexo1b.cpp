#include "esperado_anexo1b.h"

#include "apoio_anexos.h"

using nq::Moeda;

bool Esperado1B::daLinha(int entidade, int grupo, int codigo) const {
    for (const auto& v : e_.vinculos)
        if (v.grupo == grupo && v.codigo == codigo)
            return entidade == Direta ? v.classe != QStringLiteral("A") : v.empresa == entidade;
    return false;
}

const nq::demo::FichaDespesa& Esperado1B::fichaDespesa(int ficha) const {
    for (const auto& f : e_.fichasDespesa)
        if (f.ficha == ficha)
            return f;
    throw std::runtime_error("ficha de despesa inexistente");
}

Moeda Esperado1B::arrecadado(int entidade, int k) const {
    Moeda t;
    for (const auto& r : e_.receitas) {
        if (!noBimestre(r.lancamento, k))
            continue;
        for (const auto& f : e_.fichasReceita)
            if (f.ficha == r.ficha && !f.extra && daLinha(entidade, f.grupo, f.vinculo))
                t += centavos(r.valor);
    }
    return t;
}

// The commitment's own linkage decides, not its item's.
Moeda Esperado1B::empenhado(int entidade, int k, bool comReserva) const {
    Moeda t;
    for (const auto& emp : e_.empenhos)
        if (noBimestre(emp.data, k) && !fichaDespesa(emp.ficha).extra &&
            daLinha(entidade, emp.grupo, emp.vinculo) && (comReserva || !deReserva(e_, emp)))
            t += centavos(emp.valor);
    return t;
}

// A liquidation follows its commitment's item's linkage.
Moeda Esperado1B::liquidado(int entidade, int k, bool comReserva) const {
    Moeda t;
    for (const auto& l : e_.liquidacoes) {
        if (!noBimestre(l.data, k))
            continue;
        for (const auto& emp : e_.empenhos) {
            if (emp.pkemp != l.pkemp)
                continue;
            const auto& f = fichaDespesa(emp.ficha);
            if (!f.extra && daLinha(entidade, f.grupo, f.vinculo) &&
                (comReserva || !deReserva(e_, emp)))
                t += centavos(l.valor);
        }
    }
    return t;
}

Moeda Esperado1B::receitaOrcamentaria(int b) const {
    Moeda t;
    for (const auto& r : e_.receitas)
        if (r.lancamento.month() <= 2 * b)
            for (const auto& f : e_.fichasReceita)
                if (f.ficha == r.ficha && !f.extra)
                    t += centavos(r.valor);
    return t;
}
