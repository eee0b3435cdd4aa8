#include "entry/janela/recalculos.h"

#include "core/erro.h"
#include "tables/clientdataset.h"

#include <QFileInfo>
#include <array>
#include <utility>

namespace nq {

namespace {

const QString Titulo = QStringLiteral("TITULO");
const QString Id = QStringLiteral("ID");

QStringList colunasDoAnexo1() {
    QStringList r{QStringLiteral("PREVISAO_ATUALIZADA"), QStringLiteral("PREVISAO_ANUAL")};
    for (int n = 1; n <= 6; ++n)
        r << QStringLiteral("PREVISTO_BIM%1").arg(n) << QStringLiteral("REALIZADO_BIM%1").arg(n);
    return r;
}

const std::array<QString, 12> Meses = {
    QStringLiteral("JANEIRO"), QStringLiteral("FEVEREIRO"), QStringLiteral("MARCO"),
    QStringLiteral("ABRIL"),   QStringLiteral("MAIO"),      QStringLiteral("JUNHO"),
    QStringLiteral("JULHO"),   QStringLiteral("AGOSTO"),    QStringLiteral("SETEMBRO"),
    QStringLiteral("OUTUBRO"), QStringLiteral("NOVEMBRO"),  QStringLiteral("DEZEMBRO")};

// The title lines of the receipt file and the value lines that make each one.
const std::pair<const char*, const char*> FiltrosDosTitulos[] = {
    {"00010", "(RECEITA='1*' OR RECEITA='9*') AND TITULO='VA'"},
    {"00020", "RECEITA='11*' AND TITULO='VA'"},
    {"00030", "(RECEITA='1112*' OR RECEITA='1113*') AND TITULO='VA'"},
    {"00160", "(RECEITA='2*') AND TITULO='VA'"},
    {"00170", "(RECEITA='21*') AND TITULO='VA'"},
    {"00240", "(RECEITA='2*' OR RECEITA='1*' OR RECEITA='9*') AND TITULO='VA'"},
};

QString filtroDoTitulo(const QString& id) {
    for (const auto& [titulo, filtro] : FiltrosDosTitulos)
        if (id == QLatin1String(titulo))
            return QString::fromLatin1(filtro);
    return {};
}

// Rounds a quotient of integers half away from zero.
int64_t divideArredondando(__int128 numerador, __int128 denominador) {
    const bool negativo = (numerador < 0) != (denominador < 0);
    const __int128 n = numerador < 0 ? -numerador : numerador;
    const __int128 d = denominador < 0 ? -denominador : denominador;
    __int128 q = n / d;
    if ((n % d) * 2 >= d)
        ++q;
    if (q > INT64_MAX)
        throw Erro(QStringLiteral("O resultado de uma fórmula excede o maior valor monetário."));
    return static_cast<int64_t>(negativo ? -q : q);
}

} // namespace

Moeda aplicaOperador(QChar operador, Moeda acumulado, Moeda valor) {
    const __int128 a = acumulado.dezMilesimos();
    const __int128 v = valor.dezMilesimos();
    switch (operador.unicode()) {
    case '+':
        return acumulado + valor;
    case '-':
        return acumulado - valor;
    case '*':
        return Moeda::deDezMilesimos(divideArredondando(a * v, Moeda::Escala));
    case '/':
        if (v == 0)
            return Moeda();
        return Moeda::deDezMilesimos(divideArredondando(a * Moeda::Escala, v));
    default:
        throw Erro(QStringLiteral("Operador desconhecido na fórmula: \"%1\".").arg(operador));
    }
}

void SOMA_VALOR(ClientDataSet& destino, ClientDataSet& origem) {
    destino.edit();
    for (const QString& coluna : colunasDoAnexo1()) {
        Field alvo = destino.fieldByName(coluna);
        alvo.setAsCurrency(alvo.asCurrency() + origem.fieldByName(coluna).asCurrency());
    }
    destino.post();
}

void SOMA_ANEXO_1(const QString& arquivo) {
    ClientDataSet detalhe(QStringLiteral("detalhe"));
    ClientDataSet titulos(QStringLiteral("titulos"));
    detalhe.loadFromFile(arquivo);
    titulos.loadFromFile(arquivo);
    titulos.setIndexFieldNames(Id);
    titulos.setFilter(QStringLiteral("TITULO='TI'"));
    titulos.setFiltered(true);

    const QStringList colunas = colunasDoAnexo1();
    for (titulos.first(); !titulos.eof(); titulos.next()) {
        titulos.edit();
        for (const QString& coluna : colunas)
            titulos.fieldByName(coluna).setAsCurrency(Moeda());
        titulos.post();
    }
    for (titulos.first(); !titulos.eof(); titulos.next()) {
        const QString filtro = filtroDoTitulo(titulos.fieldByName(Id).asString());
        if (filtro.isEmpty())
            continue;
        detalhe.setFilter(filtro);
        detalhe.setFiltered(true);
        for (detalhe.first(); !detalhe.eof(); detalhe.next())
            SOMA_VALOR(titulos, detalhe);
    }
    titulos.saveToFile(arquivo);
}

void CAMPOS_CALCULADOS(const QString& arquivo) {
    if (!QFileInfo::exists(arquivo))
        return;
    ClientDataSet operandos(QStringLiteral("operandos"));
    ClientDataSet formulas(QStringLiteral("formulas"));
    operandos.loadFromFile(arquivo);
    formulas.loadFromFile(arquivo);
    formulas.setIndexFieldNames(Id);
    formulas.setFilter(QStringLiteral("FILTRO<>''"));
    formulas.setFiltered(true);

    for (formulas.first(); !formulas.eof(); formulas.next()) {
        if (formulas.fieldByName(QStringLiteral("TIPO")).asString() == QLatin1String("TI"))
            continue;
        std::array<Moeda, 12> acumulados{};
        QString operando;
        const auto aplica = [&](QChar operador) {
            if (!operando.isEmpty() && operandos.locate(Id, operando))
                for (int m = 0; m < 12; ++m)
                    acumulados[m] = aplicaOperador(operador, acumulados[m],
                                                   operandos.fieldByName(Meses[m]).asCurrency());
            operando.clear();
        };
        const QString formula = formulas.fieldByName(QStringLiteral("FILTRO")).asString();
        for (const QChar c : formula) {
            if (c == u'+' || c == u'-' || c == u'*' || c == u'/')
                aplica(c);
            else
                operando += c;
        }
        aplica(u'+');
        formulas.edit();
        for (int m = 0; m < 12; ++m)
            formulas.fieldByName(Meses[m]).setAsCurrency(acumulados[m]);
        formulas.post();
    }
    formulas.saveToFile(arquivo);
}

} // namespace nq
