#include "globais.h"

namespace nq {

namespace {
QString& dados() {
    static QString v;
    return v;
}
QString& ano() {
    static QString v;
    return v;
}
} // namespace

QString diretorioDados() {
    return dados();
}

void defineDiretorioDados(const QString& dir) {
    dados() = dir;
}

QString anoExercicio() {
    return ano();
}

void defineAnoExercicio(const QString& valor) {
    ano() = valor;
}

} // namespace nq
