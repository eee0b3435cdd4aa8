#include "tables/filtro.h"

#include "core/erro.h"

namespace nq {

namespace {

[[noreturn]] void falha(const QString& expressao, const QString& motivo) {
    throw Erro(QStringLiteral("O filtro \"%1\" não é válido: %2.").arg(expressao, motivo));
}

bool iniciaNome(QChar c) {
    return c.isLetter() || c == '_';
}

} // namespace

// Recursive descent over the text: expressao := termo (OR termo)*,
// termo := fator (AND fator)*, fator := '(' expressao ')' | campo operador literal.
class Filtro::Analisador {
public:
    Analisador(const QString& texto, std::vector<No>& nos) : t_(texto), nos_(nos) {}

    int analisa() {
        const int raiz = expressao();
        pulaBrancos();
        if (p_ < t_.size())
            erro(QStringLiteral("texto inesperado na posição %1").arg(p_ + 1));
        return raiz;
    }

private:
    int expressao() {
        int esquerda = termo();
        while (palavra(QStringLiteral("OR")))
            esquerda = junta(TipoNo::Ou, esquerda, termo());
        return esquerda;
    }

    int termo() {
        int esquerda = fator();
        while (palavra(QStringLiteral("AND")))
            esquerda = junta(TipoNo::E, esquerda, fator());
        return esquerda;
    }

    int fator() {
        pulaBrancos();
        if (simbolo('(')) {
            const int dentro = expressao();
            pulaBrancos();
            if (!simbolo(')'))
                erro(QStringLiteral("falta fechar um parêntese"));
            return dentro;
        }
        No no;
        no.campo = nome();
        no.operador = operador();
        literal(no);
        nos_.push_back(no);
        return static_cast<int>(nos_.size()) - 1;
    }

    int junta(TipoNo tipo, int esquerda, int direita) {
        No no;
        no.tipo = tipo;
        no.esquerda = esquerda;
        no.direita = direita;
        nos_.push_back(no);
        return static_cast<int>(nos_.size()) - 1;
    }

    QString nome() {
        pulaBrancos();
        const qsizetype inicio = p_;
        if (p_ < t_.size() && iniciaNome(t_[p_]))
            while (p_ < t_.size() && (iniciaNome(t_[p_]) || t_[p_].isDigit()))
                ++p_;
        if (p_ == inicio)
            erro(QStringLiteral("esperava o nome de um campo na posição %1").arg(inicio + 1));
        return t_.mid(inicio, p_ - inicio);
    }

    Operador operador() {
        pulaBrancos();
        if (simbolo('='))
            return Operador::Igual;
        if (simbolo('<')) {
            if (simbolo('>'))
                return Operador::Diferente;
            return simbolo('=') ? Operador::MenorIgual : Operador::Menor;
        }
        if (simbolo('>'))
            return simbolo('=') ? Operador::MaiorIgual : Operador::Maior;
        erro(QStringLiteral("esperava um operador de comparação na posição %1").arg(p_ + 1));
    }

    void literal(No& no) {
        pulaBrancos();
        if (simbolo('\'')) {
            no.literalTexto = true;
            while (true) {
                if (p_ >= t_.size())
                    erro(QStringLiteral("falta fechar um texto entre aspas"));
                const QChar c = t_[p_++];
                if (c == '\'') {
                    if (!simbolo('\''))
                        break;
                }
                no.literal += c;
            }
            return;
        }
        const qsizetype inicio = p_;
        if (p_ < t_.size() && (t_[p_] == '-' || t_[p_] == '+'))
            ++p_;
        while (p_ < t_.size() && (t_[p_].isDigit() || t_[p_] == '.'))
            ++p_;
        no.literal = t_.mid(inicio, p_ - inicio);
        bool ok = false;
        no.literal.toDouble(&ok);
        if (!ok)
            erro(QStringLiteral("esperava um número ou um texto entre aspas na posição %1")
                     .arg(inicio + 1));
    }

    bool palavra(const QString& chave) {
        pulaBrancos();
        const qsizetype fim = p_ + chave.size();
        if (fim > t_.size() ||
            QStringView(t_).mid(p_, chave.size()).compare(chave, Qt::CaseInsensitive) != 0)
            return false;
        if (fim < t_.size() && (iniciaNome(t_[fim]) || t_[fim].isDigit()))
            return false;
        p_ = fim;
        return true;
    }

    bool simbolo(char c) {
        if (p_ < t_.size() && t_[p_] == QLatin1Char(c)) {
            ++p_;
            return true;
        }
        return false;
    }

    void pulaBrancos() {
        while (p_ < t_.size() && t_[p_].isSpace())
            ++p_;
    }

    [[noreturn]] void erro(const QString& motivo) { falha(t_, motivo); }

    const QString& t_;
    std::vector<No>& nos_;
    qsizetype p_ = 0;
};

Filtro::Filtro(const QString& expressao) : expressao_(expressao) {
    if (expressao.trimmed().isEmpty())
        falha(expressao, QStringLiteral("a expressão está vazia"));
    raiz_ = Analisador(expressao_, nos_).analisa();
}

void Filtro::vincula(const Dados& dados) {
    for (No& no : nos_) {
        if (no.tipo != TipoNo::Comparacao)
            continue;
        no.indiceCampo = dados.indiceDoCampo(no.campo);
        if (no.indiceCampo < 0)
            falha(expressao_, QStringLiteral("a tabela não tem o campo %1").arg(no.campo));
        const FieldKind tipo = dados.def(no.indiceCampo).kind;
        const bool texto = tipo == FieldKind::Text || tipo == FieldKind::FormattedMemo;
        const bool comparaIgualdade =
            no.operador == Operador::Igual || no.operador == Operador::Diferente;
        no.prefixo = texto && no.literalTexto && comparaIgualdade && no.literal.endsWith('*');
        const QString literal = no.prefixo ? no.literal.chopped(1) : no.literal;
        try {
            no.valor = Value(literal).convertido(tipo, no.campo);
            if (no.valor.isNull()) // '' against a number
                no.valor = Value(QStringLiteral("0")).convertido(tipo, no.campo);
        } catch (const Erro& e) {
            falha(expressao_, e.texto());
        }
    }
}

bool Filtro::aceita(const Dados& dados, int linha) const {
    return avalia(raiz_, dados, linha);
}

bool Filtro::avalia(int indice, const Dados& dados, int linha) const {
    const No& no = nos_[indice];
    switch (no.tipo) {
    case TipoNo::E:
        return avalia(no.esquerda, dados, linha) && avalia(no.direita, dados, linha);
    case TipoNo::Ou:
        return avalia(no.esquerda, dados, linha) || avalia(no.direita, dados, linha);
    case TipoNo::Comparacao:
        return compara(no, dados, linha);
    }
    return false;
}

bool Filtro::compara(const No& no, const Dados& dados, int linha) const {
    const Coluna& coluna = dados.coluna(no.indiceCampo);
    if (no.prefixo) {
        const bool comeca = coluna.comecaCom(linha, std::get<QString>(no.valor.dados()));
        return no.operador == Operador::Igual ? comeca : !comeca;
    }
    const int c = coluna.comparaCom(linha, no.valor);
    switch (no.operador) {
    case Operador::Igual:
        return c == 0;
    case Operador::Diferente:
        return c != 0;
    case Operador::Menor:
        return c < 0;
    case Operador::Maior:
        return c > 0;
    case Operador::MenorIgual:
        return c <= 0;
    case Operador::MaiorIgual:
        return c >= 0;
    }
    return false;
}

} // namespace nq
