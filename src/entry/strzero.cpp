#include "entry/strzero.h"

#include "core/erro.h"

namespace nq {

int inteiroDeTexto(const QString& texto) {
    bool ok = false;
    const int v = texto.trimmed().toInt(&ok, 10);
    if (!ok)
        throw Erro(QStringLiteral("'%1' não é um valor inteiro válido.").arg(texto));
    return v;
}

QString StrZero(const QString& texto, int largura) {
    return StrZero(inteiroDeTexto(texto), largura);
}

QString StrZero(int valor, int largura) {
    QString r = QString::number(valor);
    if (r.size() < largura)
        r.prepend(QString(largura - r.size(), QLatin1Char('0')));
    return r;
}

} // namespace nq
