#include "annexes/gestao_fiscal/periodo_gestao.h"

#include <array>

namespace nq {

QString PeriodoDaGestao::nomeDoMesFinal() const {
    static const std::array<const char*, 6> nomes = {"Fevereiro", "Abril",   "Junho",
                                                     "Agosto",    "Outubro", "Dezembro"};
    return QString::fromLatin1(nomes.at(static_cast<size_t>(bimestre() - 1)));
}

QString PeriodoDaGestao::mesComDoisDigitos() const {
    return QStringLiteral("%1").arg(mesFinal(), 2, 10, QLatin1Char('0'));
}

QString PeriodoDaGestao::legenda() const {
    return QString::number(numero) + QStringLiteral("º ") +
           (quadrimestral ? QStringLiteral("QUADRIMESTRE") : QStringLiteral("BIMESTRE"));
}

int numeroDoItem(const QString& texto) {
    return texto.trimmed().left(1).toInt();
}

} // namespace nq
