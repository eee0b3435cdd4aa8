#include "somas_do_exercicio.h"

#include <QRegularExpression>
#include <stdexcept>

using nq::Moeda;
namespace demo = nq::demo;

namespace {

Moeda reais(demo::Centavos c) {
    return Moeda::deDezMilesimos(c * 100);
}

bool entre(const QDate& d, int de, int ate) {
    return d.month() >= de && d.month() <= ate;
}

} // namespace

bool como(const QString& texto, const QString& padrao) {
    if (texto.isEmpty())
        return false;
    QString re;
    for (const QChar c : padrao)
        re += c == QLatin1Char('%')   ? QStringLiteral(".*")
              : c == QLatin1Char('_') ? QStringLiteral(".")
                                      : QRegularExpression::escape(QString(c));
    return QRegularExpression(QRegularExpression::anchoredPattern(re),
                              QRegularExpression::DotMatchesEverythingOption)
        .match(texto)
        .hasMatch();
}

bool comoAlgum(const QString& texto, const QStringList& padroes) {
    for (const QString& p : padroes)
        if (como(texto, p))
            return true;
    return false;
}

SomasDoExercicio::SomasDoExercicio(const demo::Exercicio& e) : e_(e) {
    for (const auto& x : e.empenhos)
        empenhos_[x.pkemp] = &x;
    for (const auto& f : e.fichasDespesa)
        fichasDespesa_[f.ficha] = &f;
    for (const auto& f : e.fichasReceita)
        fichasReceita_[f.ficha] = &f;
}

const demo::FichaDespesa& SomasDoExercicio::fichaDespesa(int ficha) const {
    const auto f = fichasDespesa_.find(ficha);
    if (f == fichasDespesa_.end())
        throw std::runtime_error("ficha de despesa ausente");
    return *f->second;
}

const demo::FichaReceita& SomasDoExercicio::fichaReceita(int ficha) const {
    const auto f = fichasReceita_.find(ficha);
    if (f == fichasReceita_.end())
        throw std::runtime_error("ficha de receita ausente");
    return *f->second;
}

const demo::Empenho* SomasDoExercicio::empenho(int pkemp) const {
    const auto e = empenhos_.find(pkemp);
    return e == empenhos_.end() ? nullptr : e->second;
}

bool SomasDoExercicio::daReserva(const demo::Empenho& emp) const {
    if (emp.tpem == QLatin1String("RD"))
        return true;
    const demo::Empenho* referido = emp.pkempa ? empenho(emp.pkempa) : nullptr;
    return referido && referido->tpem == QLatin1String("RD");
}

Moeda SomasDoExercicio::previsao(const Receita& r) const {
    Moeda t;
    for (const auto& f : e_.fichasReceita)
        if (r(f))
            t += reais(f.totor);
    return t;
}

Moeda SomasDoExercicio::alteracoesDaPrevisao(const Receita& r, int sinal, int ate) const {
    Moeda t;
    for (const auto& a : e_.alteracoesReceita)
        if ((sinal > 0 ? a.valor > 0 : a.valor < 0) && a.data.month() <= ate &&
            r(fichaReceita(a.ficha)))
            t += reais(a.valor);
    return t;
}

Moeda SomasDoExercicio::arrecadado(const Receita& r, int de, int ate, bool porRecebimento) const {
    Moeda t;
    for (const auto& x : e_.receitas)
        if (entre(porRecebimento ? x.recebimento : x.lancamento, de, ate) &&
            r(fichaReceita(x.ficha)))
            t += reais(x.valor);
    return t;
}

Moeda SomasDoExercicio::dotacao(const Despesa& d) const {
    Moeda t;
    for (const auto& f : e_.fichasDespesa)
        if (d(f))
            t += reais(f.dotacao);
    return t;
}

Moeda SomasDoExercicio::alteracoesDaDotacao(const Despesa& d, int de, int ate, int ie,
                                            bool soPositivas) const {
    Moeda t;
    for (const auto& a : e_.alteracoesDespesa)
        if (entre(a.data, de, ate) && (ie == 0 || a.ie == ie) && (!soPositivas || a.valor > 0) &&
            d(fichaDespesa(a.ficha)))
            t += reais(a.valor);
    return t;
}

Moeda SomasDoExercicio::empenhado(const Empenho& p, int de, int ate, bool comReserva) const {
    Moeda t;
    for (const auto& emp : e_.empenhos)
        if (entre(emp.data, de, ate) && (comReserva || !daReserva(emp)) &&
            p(emp, fichaDespesa(emp.ficha)))
            t += reais(emp.valor);
    return t;
}

Moeda SomasDoExercicio::liquidado(const Empenho& p, int de, int ate, bool comReserva) const {
    Moeda t;
    for (const auto& l : e_.liquidacoes) {
        if (!entre(l.data, de, ate))
            continue;
        const demo::Empenho* emp = empenho(l.pkemp);
        if (emp && (comReserva || !daReserva(*emp)) && p(*emp, fichaDespesa(emp->ficha)))
            t += reais(l.valor);
    }
    return t;
}

Moeda SomasDoExercicio::pago(const Despesa& d, int ate) const {
    Moeda t;
    for (const auto& p : e_.pagamentos) {
        const demo::Empenho* emp = empenho(p.pkemp);
        if (emp && p.data.month() <= ate && d(fichaDespesa(emp->ficha)))
            t += reais(p.valor);
    }
    return t;
}

Moeda SomasDoExercicio::aPagar(const QDate& dia, const Despesa& d) const {
    Moeda t;
    for (const auto& emp : e_.empenhos) {
        if (emp.valor <= 0 || emp.tpem == QLatin1String("RD") || emp.data > dia ||
            !d(fichaDespesa(emp.ficha)))
            continue;
        demo::Centavos devido = emp.valor;
        for (const auto& a : e_.empenhos)
            if (a.pkempa == emp.pkemp && a.valor < 0 && a.data <= dia)
                devido += a.valor;
        for (const auto& p : e_.pagamentos)
            if (p.pkemp == emp.pkemp && p.data <= dia)
                devido -= p.valor;
        t += reais(devido);
    }
    return t;
}

Moeda SomasDoExercicio::saldoInicial(const Conta& c) const {
    Moeda t;
    for (const auto& x : e_.contas)
        if (c(x))
            t += reais(x.saldoInicial);
    return t;
}

Moeda SomasDoExercicio::movimento(const Conta& c, int ate) const {
    Moeda t;
    for (const auto& m : e_.movimentos) {
        if (m.data.month() > ate)
            continue;
        for (const auto& x : e_.contas)
            if (x.conta == m.conta && c(x))
                t += reais(m.credito - m.debito);
    }
    return t;
}

Moeda SomasDoExercicio::diario(const Lancamento& l, int ate) const {
    Moeda t;
    for (const auto& x : e_.diario)
        if (x.data.month() <= ate && l(x))
            t += reais(x.credito - x.debito);
    return t;
}
