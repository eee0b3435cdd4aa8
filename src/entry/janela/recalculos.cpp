#include "entry/janela/recalculos.h"

#include "core/erro.h"
#include "tables/clientdataset.h"

#include <QFileInfo>
#include <array>
#include <map>
#include <set>
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
        return Moeda::deQuociente(a * v, Moeda::Escala, "fórmula");
    case '/':
        if (v == 0)
            return Moeda();
        return Moeda::deQuociente(a * Moeda::Escala, v, "fórmula");
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

namespace {

using ValoresDoMes = std::array<Moeda, 12>;

// The formula lines of an annex 3 file, evaluated on the values they read. A
// formula reads the other formula lines as this evaluation leaves them, so one
// evaluation brings every total up to date; lines that read one another in a
// circle read each other's stored values instead.
class AvaliacaoDoAnexo3 {
public:
    explicit AvaliacaoDoAnexo3(ClientDataSet& tabela) {
        for (tabela.first(); !tabela.eof(); tabela.next()) {
            const QString id = tabela.fieldByName(Id).asString();
            ValoresDoMes& v = guardados_[id];
            for (int m = 0; m < 12; ++m)
                v[m] = tabela.fieldByName(Meses[m]).asCurrency();
            const QString formula = tabela.fieldByName(QStringLiteral("FILTRO")).asString();
            if (!formula.isEmpty() &&
                tabela.fieldByName(QStringLiteral("TIPO")).asString() != QLatin1String("TI"))
                formulas_[id] = formula;
        }
    }

    bool temFormula(const QString& id) const { return formulas_.count(id) > 0; }

    const ValoresDoMes& valor(const QString& id) {
        if (const auto pronto = calculados_.find(id); pronto != calculados_.end())
            return pronto->second;
        const auto formula = formulas_.find(id);
        if (formula == formulas_.end() || !emCurso_.insert(id).second)
            return guardados_[id];
        const ValoresDoMes resultado = avalia(formula->second);
        emCurso_.erase(id);
        return calculados_[id] = resultado;
    }

private:
    // Read left to right: each operand line is applied with the operator that
    // follows it; an operand left at the end is added; unknown lines are skipped.
    ValoresDoMes avalia(const QString& formula) {
        ValoresDoMes acumulados{};
        QString operando;
        const auto aplica = [&](QChar operador) {
            if (!operando.isEmpty() && guardados_.count(operando)) {
                const ValoresDoMes v = valor(operando);
                for (int m = 0; m < 12; ++m)
                    acumulados[m] = aplicaOperador(operador, acumulados[m], v[m]);
            }
            operando.clear();
        };
        for (const QChar c : formula) {
            if (c == u'+' || c == u'-' || c == u'*' || c == u'/')
                aplica(c);
            else
                operando += c;
        }
        aplica(u'+');
        return acumulados;
    }

    std::map<QString, ValoresDoMes> guardados_;
    std::map<QString, QString> formulas_;
    std::map<QString, ValoresDoMes> calculados_;
    std::set<QString> emCurso_;
};

} // namespace

void CAMPOS_CALCULADOS(const QString& arquivo) {
    if (!QFileInfo::exists(arquivo))
        return;
    ClientDataSet tabela(QStringLiteral("formulas"));
    tabela.loadFromFile(arquivo);
    tabela.setIndexFieldNames(Id);
    AvaliacaoDoAnexo3 avaliacao(tabela);
    for (tabela.first(); !tabela.eof(); tabela.next()) {
        const QString id = tabela.fieldByName(Id).asString();
        if (!avaliacao.temFormula(id))
            continue;
        const ValoresDoMes valores = avaliacao.valor(id);
        tabela.edit();
        for (int m = 0; m < 12; ++m)
            tabela.fieldByName(Meses[m]).setAsCurrency(valores[m]);
        tabela.post();
    }
    tabela.saveToFile(arquivo);
}

} // namespace nq
