#include "esperado_anexo2.h"

#include "apoio_anexos.h"

using nq::Moeda;

bool Esperado2::daLinha(int ficha, const QString& funcao, const QString& subfuncao) const {
    for (const auto& f : e_.fichasDespesa)
        if (f.ficha == ficha)
            return f.funcao == funcao && (subfuncao.isEmpty() || f.subfuncao == subfuncao);
    return false;
}

Moeda Esperado2::dotacao(const QString& funcao, const QString& subfuncao) const {
    Moeda t;
    for (const auto& f : e_.fichasDespesa)
        if (daLinha(f.ficha, funcao, subfuncao))
            t += centavos(f.dotacao);
    return t;
}

Moeda Esperado2::dotacaoAtualizada(const QString& funcao, const QString& subfuncao, int b) const {
    Moeda t = dotacao(funcao, subfuncao);
    for (const auto& a : e_.alteracoesDespesa)
        if (a.data.month() <= 2 * b && daLinha(a.ficha, funcao, subfuncao))
            t += centavos(a.valor);
    return t;
}

Moeda Esperado2::empenhado(const QString& funcao, const QString& subfuncao, int k,
                           bool comReserva) const {
    Moeda t;
    for (const auto& emp : e_.empenhos)
        if (noBimestre(emp.data, k) && daLinha(emp.ficha, funcao, subfuncao) &&
            (comReserva || !deReserva(e_, emp)))
            t += centavos(emp.valor);
    return t;
}

Moeda Esperado2::liquidado(const QString& funcao, const QString& subfuncao, int k,
                           bool comReserva) const {
    Moeda t;
    for (const auto& l : e_.liquidacoes) {
        if (!noBimestre(l.data, k))
            continue;
        for (const auto& emp : e_.empenhos)
            if (emp.pkemp == l.pkemp && daLinha(emp.ficha, funcao, subfuncao) &&
                (comReserva || !deReserva(e_, emp)))
                t += centavos(l.valor);
    }
    return t;
}
