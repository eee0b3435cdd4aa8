#pragma once

#include "tables/dados.h"

#include <QString>
#include <vector>

namespace nq {

// A filter expression: comparisons of a field with a literal (=, <>, <, >, <=,
// >=; integers, decimals or texts in single quotes, '' inside one standing for
// a quote) joined by AND and OR in any letter case, with parentheses. A quoted
// text ending in "*" compared with = or <> matches by prefix. A null field reads
// as the empty text or zero.
class Filtro {
public:
    // Throws nq::Erro quoting the expression when it cannot be parsed.
    explicit Filtro(const QString& expressao);

    const QString& expressao() const { return expressao_; }

    // Resolves field names and converts literals to their field's kind; throws
    // nq::Erro quoting the expression on an unknown field or a literal that does
    // not fit. Must precede aceita for the same fields.
    void vincula(const Dados& dados);
    bool aceita(const Dados& dados, int linha) const;

private:
    enum class Operador { Igual, Diferente, Menor, Maior, MenorIgual, MaiorIgual };
    enum class TipoNo { E, Ou, Comparacao };
    struct No {
        TipoNo tipo = TipoNo::Comparacao;
        int esquerda = -1, direita = -1; // E, Ou
        QString campo;                   // Comparacao
        Operador operador = Operador::Igual;
        QString literal;
        bool literalTexto = false;
        int indiceCampo = -1;
        Value valor;
        bool prefixo = false;
    };
    class Analisador;

    bool avalia(int no, const Dados& dados, int linha) const;
    bool compara(const No& no, const Dados& dados, int linha) const;

    QString expressao_;
    std::vector<No> nos_;
    int raiz_ = -1;
};

} // namespace nq
