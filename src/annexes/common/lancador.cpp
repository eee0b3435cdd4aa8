#include "annexes/common/lancador.h"

#include "core/erro.h"
#include "db/consultas.h"

namespace nq {

namespace {

ValoresDoLancador*& instalado() {
    static ValoresDoLancador* v = nullptr;
    return v;
}

} // namespace

void ValoresDoLancador::defineFiltroReserva(bool mostraReserva) {
    filtro_ = mostraReserva ? QStringLiteral(" ")
                            : QLatin1Char(' ') + FiltroReservaEmpenho(QStringLiteral("D"));
}

int ValoresDoLancador::bimestre() const {
    const int b = indiceBimestre() + 1;
    if (b < 1 || b > 6)
        throw Erro(QStringLiteral("Especifique o Bimestre!"));
    return b;
}

ValoresDoLancador& lancador() {
    if (!instalado())
        throw Erro(QStringLiteral("A janela de impressão dos anexos não está aberta."));
    return *instalado();
}

ValoresDoLancador* instalaLancador(ValoresDoLancador* v) {
    ValoresDoLancador* anterior = instalado();
    instalado() = v;
    return anterior;
}

const QStringList& textosBimestres() {
    // The blanks are part of the texts the annexes read back.
    static const QStringList textos = {
        QStringLiteral("1 - Janeiro - Fevereiro"), QStringLiteral("2 - Março - Abril"),
        QStringLiteral("3 - Maio - Junho"),        QStringLiteral("4 - Julho -  Agosto"),
        QStringLiteral("5 - Setembro - Outubro "), QStringLiteral("6 - Novembro - Dezembro")};
    return textos;
}

bool nomeDeCamara(const QString& nome) {
    QString inicio = nome.left(3);
    for (QChar& c : inicio)
        if (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
            c = QChar(c.unicode() + ('a' - 'A'));
    return inicio == QStringLiteral("câm");
}

QString ValoresFixosDoLancador::textoBimestre() const {
    return indice_ < 0 ? QString() : textosBimestres().at(indice_);
}

std::unique_ptr<Planilha> ValoresFixosDoLancador::novaPlanilha() {
    if (!fabrica_)
        throw Erro(QStringLiteral("Nenhuma planilha de saída foi indicada para esta execução."));
    return fabrica_();
}

void ValoresFixosDoLancador::defineBimestre(int bimestre) {
    if (bimestre < 0 || bimestre > 6)
        throw Erro(QStringLiteral("Bimestre inválido: %1 (de 1 a 6).").arg(bimestre));
    indice_ = bimestre - 1;
}

} // namespace nq
