#include "db/firebird_interno.h"

#include "core/erro.h"

#include <cstdlib>

using namespace Firebird;

namespace nq::fb::interno {

int64_t potencia10(int n) {
    int64_t p = 1;
    while (n-- > 0)
        p *= 10;
    return p;
}

int64_t divideArredondando(int64_t v, int64_t d) {
    const int64_t q = v / d, r = v % d;
    if (r != 0 && std::llabs(r) * 2 >= d)
        return q + (v < 0 ? -1 : 1);
    return q;
}

QString textoEscalado(int64_t v, int escala) {
    if (escala <= 0)
        return QString::number(v);
    const int64_t p = potencia10(escala);
    const uint64_t a = v < 0 ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v);
    return QStringLiteral("%1%2.%3")
        .arg(v < 0 ? QStringLiteral("-") : QString())
        .arg(a / static_cast<uint64_t>(p))
        .arg(a % static_cast<uint64_t>(p), escala, 10, QLatin1Char('0'));
}

QByteArray paraNativo(const QString& s) {
    return s.toLocal8Bit();
}

QDate paraData(ISC_DATE d) {
    unsigned a, m, dia;
    util()->decodeDate(d, &a, &m, &dia);
    return QDate(static_cast<int>(a), static_cast<int>(m), static_cast<int>(dia));
}

QTime paraHora(ISC_TIME t) {
    unsigned h, m, s, f;
    util()->decodeTime(t, &h, &m, &s, &f);
    return QTime(static_cast<int>(h), static_cast<int>(m), static_cast<int>(s),
                 static_cast<int>(f / 10));
}

ISC_DATE deData(const QDate& d) {
    if (!d.isValid())
        throw Erro(QStringLiteral("Data inválida para o banco de dados."));
    return util()->encodeDate(static_cast<unsigned>(d.year()), static_cast<unsigned>(d.month()),
                              static_cast<unsigned>(d.day()));
}

ISC_TIME deHora(const QTime& t) {
    if (!t.isValid())
        throw Erro(QStringLiteral("Hora inválida para o banco de dados."));
    return util()->encodeTime(static_cast<unsigned>(t.hour()), static_cast<unsigned>(t.minute()),
                              static_cast<unsigned>(t.second()),
                              static_cast<unsigned>(t.msec()) * 10);
}

int64_t inteiroBruto(unsigned tipo, const unsigned char* p) {
    switch (tipo) {
    case SQL_SHORT:
        return le<int16_t>(p);
    case SQL_LONG:
        return le<int32_t>(p);
    default:
        return le<int64_t>(p);
    }
}

} // namespace nq::fb::interno
