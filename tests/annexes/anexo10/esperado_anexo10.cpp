#include "esperado_anexo10.h"

#include "apoio_anexos.h"

#include <QStringList>

using nq::Moeda;
using nq::demo::Empenho;
using nq::demo::FichaDespesa;

namespace {

// CATEC LIKE '3.1.__.<elemento>%'
bool dePessoal(const QString& catec, const char* elemento) {
    return catec.size() >= 9 && catec.startsWith(QLatin1String("3.1.")) &&
           catec[6] == QLatin1Char('.') && catec.mid(7, 2) == QLatin1String(elemento);
}

// The value lines a commitment belongs to.
QStringList linhasDe(const Empenho& em, const FichaDespesa& f) {
    const QString& c = em.catec;
    const bool previdencia = f.tipo == QLatin1String("PR");
    const bool sentenca = dePessoal(c, "91") && em.tipo != QLatin1String("DJ");
    QStringList l;
    const std::pair<const char*, const char*> simples[] = {{"00020", "11"}, {"00030", "34"},
                                                           {"00040", "13"}, {"00050", "01"},
                                                           {"00060", "03"}, {"00070", "09"}};
    for (const auto& [id, elemento] : simples)
        if (dePessoal(c, elemento))
            l << QLatin1String(id);
    if (sentenca)
        l << QStringLiteral("00080");
    static const QStringList outros = {"11", "34", "13", "01", "03", "09"};
    const bool outro = c.startsWith(QLatin1String("3.1")) && !em.elemento.isEmpty() &&
                       !outros.contains(em.elemento) && !sentenca;
    const bool pasep = em.produto.left(250).toUpper().contains(QLatin1String("PASEP")) &&
                       em.elemento == QLatin1String("47");
    if (outro || pasep)
        l << QStringLiteral("00090");
    if (dePessoal(c, "94") && em.tipo == QLatin1String("ID"))
        l << QStringLiteral("00120");
    if (dePessoal(c, "94") && em.tipo == QLatin1String("DV"))
        l << QStringLiteral("00130");
    if (dePessoal(c, "91") && em.tipo == QLatin1String("DJ"))
        l << QStringLiteral("00140");
    if (previdencia) {
        if (dePessoal(c, "01") || dePessoal(c, "03"))
            l << QStringLiteral("00150");
        if (dePessoal(c, "01"))
            l << QStringLiteral("00190");
        if (dePessoal(c, "03"))
            l << QStringLiteral("00200");
        if (dePessoal(c, "05"))
            l << QStringLiteral("00210");
    }
    return l;
}

} // namespace

Esperado10::Esperado10(const nq::demo::Exercicio& e, bool executivo) {
    const auto daCamara = [&](int empresa) {
        for (const auto& ent : e.entidades)
            if (ent.empresa == empresa)
                return ent.tipo == QLatin1String("2");
        return false;
    };
    const auto conta = [&](const FichaDespesa& f) { return !executivo || !daCamara(f.empresa); };
    for (const Empenho& em : e.empenhos) {
        const FichaDespesa& f = e.fichasDespesa.at(em.ficha - 1);
        if (conta(f))
            for (const QString& id : linhasDe(em, f))
                figuras_[{id, em.data.month()}] += centavos(em.valor);
    }
    for (const auto& p : e.pagamentos) {
        const FichaDespesa& f = e.fichasDespesa.at(e.empenhos.at(p.pkemp - 1).ficha - 1);
        if (f.balco.startsWith(QLatin1String("3236")) && conta(f))
            figuras_[{QStringLiteral("00090"), p.data.month()}] += centavos(p.valor);
    }
    for (const auto& r : e.receitas) {
        const auto& f = e.fichasReceita.at(r.ficha - 1);
        if (f.codre.startsWith(QLatin1String("1210.29.07")) ||
            (f.codre.startsWith(QLatin1String("12")) &&
             QStringList({"CS", "CP", "CI"}).contains(f.tipo)))
            figuras_[{QStringLiteral("00240"), r.lancamento.month()}] += centavos(r.valor);
    }
}

Moeda Esperado10::doMes(const QString& id, int mes) const {
    const auto i = figuras_.find({id, mes});
    return i == figuras_.end() ? Moeda() : i->second;
}
