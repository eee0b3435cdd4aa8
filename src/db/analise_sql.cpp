#include "db/analise_sql.h"

#include <QSet>

namespace nq {

namespace {

enum class Tipo { Nome, Texto, Numero, Operador, Abre, Fecha, Virgula };

struct Token {
    Tipo tipo;
    QString texto; // names in upper case unless quoted; operators as written
    qsizetype inicio = 0;
    qsizetype fim = 0;
};

bool inicioDeNome(QChar c) {
    return (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
           (c >= QLatin1Char('a') && c <= QLatin1Char('z')) || c == QLatin1Char('_');
}

bool parteDeNome(QChar c) {
    return inicioDeNome(c) || (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
           c == QLatin1Char('$');
}

bool digito(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Reads a quoted text or name from `i` (at the opening quote) to past its end;
// false when it never closes.
bool leCitado(const QString& s, qsizetype& i) {
    const QChar aspa = s[i];
    for (++i; i < s.size(); ++i) {
        if (s[i] != aspa)
            continue;
        if (i + 1 < s.size() && s[i + 1] == aspa) {
            ++i;
            continue;
        }
        ++i;
        return true;
    }
    return false;
}

// A name, possibly qualified ("f.codre", "\"F\".\"CODRE\""), from `i`.
bool leNome(const QString& s, qsizetype& i) {
    for (;;) {
        if (s[i] == QLatin1Char('"')) {
            if (!leCitado(s, i))
                return false;
        } else {
            while (i < s.size() && parteDeNome(s[i]))
                ++i;
        }
        if (i + 1 < s.size() && s[i] == QLatin1Char('.') &&
            (inicioDeNome(s[i + 1]) || s[i + 1] == QLatin1Char('"'))) {
            ++i;
            continue;
        }
        return true;
    }
}

void leNumero(const QString& s, qsizetype& i) {
    while (i < s.size() && (digito(s[i]) || s[i] == QLatin1Char('.')))
        ++i;
    if (i < s.size() && (s[i] == QLatin1Char('e') || s[i] == QLatin1Char('E'))) {
        qsizetype j = i + 1;
        if (j < s.size() && (s[j] == QLatin1Char('+') || s[j] == QLatin1Char('-')))
            ++j;
        if (j < s.size() && digito(s[j])) {
            i = j;
            while (i < s.size() && digito(s[i]))
                ++i;
        }
    }
}

// The tokens of `s`; nullopt for anything this reader does not know (comments,
// ';', parameters, unclosed quotes, characters outside the SQL of conditions).
std::optional<std::vector<Token>> tokens(const QString& s) {
    static const QStringList duplos = {
        QStringLiteral("<>"), QStringLiteral("!="), QStringLiteral("^="), QStringLiteral("<="),
        QStringLiteral(">="), QStringLiteral("!<"), QStringLiteral("!>"), QStringLiteral("^<"),
        QStringLiteral("^>"), QStringLiteral("~="), QStringLiteral("||")};
    std::vector<Token> r;
    qsizetype i = 0;
    while (i < s.size()) {
        const QChar c = s[i];
        const qsizetype inicio = i;
        if (c.isSpace()) {
            ++i;
            continue;
        }
        const QString par = s.mid(i, 2);
        if (par == QLatin1String("--") || par == QLatin1String("/*"))
            return std::nullopt;
        if (c == QLatin1Char('\'')) {
            if (!leCitado(s, i))
                return std::nullopt;
            r.push_back({Tipo::Texto, s.mid(inicio, i - inicio), inicio, i});
        } else if (inicioDeNome(c) || c == QLatin1Char('"')) {
            if (!leNome(s, i))
                return std::nullopt;
            QString nome = s.mid(inicio, i - inicio);
            if (!nome.contains(QLatin1Char('"')))
                nome = nome.toUpper();
            r.push_back({Tipo::Nome, nome, inicio, i});
        } else if (digito(c) || (c == QLatin1Char('.') && i + 1 < s.size() && digito(s[i + 1]))) {
            leNumero(s, i);
            r.push_back({Tipo::Numero, s.mid(inicio, i - inicio), inicio, i});
        } else if (duplos.contains(par)) {
            i += 2;
            r.push_back({Tipo::Operador, par, inicio, i});
        } else if (QStringLiteral("=<>+-*/").contains(c)) {
            ++i;
            r.push_back({Tipo::Operador, QString(c), inicio, i});
        } else if (c == QLatin1Char('(') || c == QLatin1Char(')') || c == QLatin1Char(',')) {
            ++i;
            const Tipo t = c == QLatin1Char('(')   ? Tipo::Abre
                           : c == QLatin1Char(')') ? Tipo::Fecha
                                                   : Tipo::Virgula;
            r.push_back({t, QString(c), inicio, i});
        } else {
            return std::nullopt;
        }
    }
    return r;
}

bool ehPalavra(const Token& t, const char* palavra) {
    return t.tipo == Tipo::Nome && t.texto == QLatin1String(palavra);
}

// Words of conditions that are never columns.
const QSet<QString>& palavrasReservadas() {
    static const QSet<QString> p = [] {
        QSet<QString> s;
        for (const char* w : {"AND",
                              "OR",
                              "NOT",
                              "NULL",
                              "IS",
                              "LIKE",
                              "ESCAPE",
                              "IN",
                              "BETWEEN",
                              "STARTING",
                              "WITH",
                              "CONTAINING",
                              "SIMILAR",
                              "TO",
                              "CASE",
                              "WHEN",
                              "THEN",
                              "ELSE",
                              "END",
                              "CAST",
                              "AS",
                              "COLLATE",
                              "ALL",
                              "ANY",
                              "SOME",
                              "EXISTS",
                              "SINGULAR",
                              "DISTINCT",
                              "FROM",
                              "FOR",
                              "TRUE",
                              "FALSE",
                              "UNKNOWN",
                              "CURRENT_DATE",
                              "CURRENT_TIME",
                              "CURRENT_TIMESTAMP",
                              "CURRENT_USER",
                              "CURRENT_ROLE",
                              "CURRENT_CONNECTION",
                              "CURRENT_TRANSACTION",
                              "USER",
                              "LOCALTIME",
                              "LOCALTIMESTAMP",
                              "DATE",
                              "TIME",
                              "TIMESTAMP",
                              "CHARACTER",
                              "CHAR",
                              "VARCHAR",
                              "SET",
                              "LEADING",
                              "TRAILING",
                              "BOTH",
                              "MONTH",
                              "YEAR",
                              "DAY",
                              "HOUR",
                              "MINUTE",
                              "SECOND",
                              "WEEKDAY",
                              "YEARDAY",
                              "MILLISECOND",
                              "WEEK",
                              "PRECISION",
                              "INTEGER",
                              "INT",
                              "SMALLINT",
                              "BIGINT",
                              "NUMERIC",
                              "DECIMAL",
                              "DOUBLE",
                              "FLOAT",
                              "BOOLEAN",
                              "VARYING",
                              "PLACING",
                              "BLOB",
                              "SUB_TYPE",
                              "SEGMENT",
                              "SIZE",
                              "OCTETS"})
            s.insert(QString::fromLatin1(w));
        return s;
    }();
    return p;
}

// Words that end a condition and start another clause: a condition holding
// them outside a subquery is not one condition.
const QSet<QString>& palavrasDeClausula() {
    static const QSet<QString> p = [] {
        QSet<QString> s;
        for (const char* w :
             {"SELECT", "WHERE",   "GROUP",  "ORDER",     "HAVING", "UNION",    "JOIN",
              "PLAN",   "ROWS",    "INTO",   "RETURNING", "UPDATE", "DELETE",   "INSERT",
              "MERGE",  "EXECUTE", "WINDOW", "OVER",      "FETCH",  "OFFSET",   "FIRST",
              "SKIP",   "LIMIT",   "BY",     "ON",        "INNER",  "LEFT",     "RIGHT",
              "FULL",   "OUTER",   "CROSS",  "NATURAL",   "EXCEPT", "INTERSECT"})
            s.insert(QString::fromLatin1(w));
        return s;
    }();
    return p;
}

// Functions that change something or answer differently each call.
bool comEfeito(const QString& nome) {
    static const QSet<QString> p = {QStringLiteral("GEN_ID"), QStringLiteral("NEXT"),
                                    QStringLiteral("RAND"), QStringLiteral("GEN_UUID"),
                                    QStringLiteral("RDB$SET_CONTEXT")};
    return p.contains(nome);
}

// Tokens a condition may not start with, or end with.
bool naoComeca(const Token& t) {
    static const QSet<QString> p = {
        QStringLiteral("AND"),      QStringLiteral("OR"),         QStringLiteral("IS"),
        QStringLiteral("LIKE"),     QStringLiteral("IN"),         QStringLiteral("BETWEEN"),
        QStringLiteral("ESCAPE"),   QStringLiteral("COLLATE"),    QStringLiteral("THEN"),
        QStringLiteral("ELSE"),     QStringLiteral("END"),        QStringLiteral("WHEN"),
        QStringLiteral("STARTING"), QStringLiteral("CONTAINING"), QStringLiteral("SIMILAR")};
    if (t.tipo == Tipo::Operador)
        return t.texto != QLatin1String("-") && t.texto != QLatin1String("+");
    return t.tipo == Tipo::Fecha || t.tipo == Tipo::Virgula ||
           (t.tipo == Tipo::Nome && p.contains(t.texto));
}

bool naoTermina(const Token& t) {
    static const QSet<QString> p = {
        QStringLiteral("AND"),      QStringLiteral("OR"),     QStringLiteral("NOT"),
        QStringLiteral("IS"),       QStringLiteral("LIKE"),   QStringLiteral("IN"),
        QStringLiteral("BETWEEN"),  QStringLiteral("ESCAPE"), QStringLiteral("COLLATE"),
        QStringLiteral("STARTING"), QStringLiteral("WITH"),   QStringLiteral("CONTAINING"),
        QStringLiteral("SIMILAR"),  QStringLiteral("TO"),     QStringLiteral("CASE"),
        QStringLiteral("WHEN"),     QStringLiteral("THEN"),   QStringLiteral("ELSE"),
        QStringLiteral("AS"),       QStringLiteral("FROM"),   QStringLiteral("FOR"),
        QStringLiteral("DISTINCT"), QStringLiteral("ALL"),    QStringLiteral("ANY"),
        QStringLiteral("SOME"),     QStringLiteral("EXISTS"), QStringLiteral("SINGULAR")};
    return t.tipo == Tipo::Operador || t.tipo == Tipo::Abre || t.tipo == Tipo::Virgula ||
           (t.tipo == Tipo::Nome && p.contains(t.texto));
}

// What a parenthesis opens.
struct Nivel {
    bool subconsulta = false; // "(select ..." : names there belong to the subquery
    bool funcao = false;      // "substring(...": FROM and FOR are its own words
    bool tipo = false;        // after AS in a CAST: the names are a type
};

} // namespace

AnaliseDeCondicao analisaCondicao(const QString& condicao) {
    AnaliseDeCondicao a;
    const auto lidos = tokens(condicao);
    if (!lidos || lidos->empty())
        return a;
    const std::vector<Token>& t = *lidos;
    if (naoComeca(t.front()) || naoTermina(t.back()))
        return a;

    std::vector<Nivel> niveis{Nivel{}};
    QSet<QString> vistas;
    const auto dentroDeSubconsulta = [&] {
        for (const Nivel& n : niveis)
            if (n.subconsulta)
                return true;
        return false;
    };
    for (size_t i = 0; i < t.size(); ++i) {
        const Token& k = t[i];
        const Token* seguinte = i + 1 < t.size() ? &t[i + 1] : nullptr;
        const Token* anterior = i > 0 ? &t[i - 1] : nullptr;
        switch (k.tipo) {
        case Tipo::Abre: {
            Nivel n;
            n.subconsulta = seguinte && ehPalavra(*seguinte, "SELECT");
            n.funcao = anterior && anterior->tipo == Tipo::Nome;
            niveis.push_back(n);
            break;
        }
        case Tipo::Fecha:
            niveis.pop_back();
            if (niveis.empty())
                return a;
            break;
        case Tipo::Nome: {
            if (comEfeito(k.texto))
                return a;
            const bool subconsulta = dentroDeSubconsulta();
            if (subconsulta)
                break;
            if (palavrasDeClausula().contains(k.texto))
                return a;
            if (k.texto == QLatin1String("FROM") && niveis.size() == 1 &&
                !(anterior && ehPalavra(*anterior, "DISTINCT")))
                return a;
            if (k.texto == QLatin1String("OR") && niveis.size() == 1)
                a.ouNoTopo = true;
            if (k.texto == QLatin1String("AS") && niveis.back().funcao)
                niveis.back().tipo = true;
            const bool ehFuncao = seguinte && seguinte->tipo == Tipo::Abre;
            const bool introdutor =
                k.texto.startsWith(QLatin1Char('_')) && seguinte && seguinte->tipo == Tipo::Texto;
            const bool nomeDeConjunto =
                anterior && (ehPalavra(*anterior, "COLLATE") || ehPalavra(*anterior, "SET"));
            if (palavrasReservadas().contains(k.texto) || ehFuncao || introdutor ||
                nomeDeConjunto || niveis.back().tipo)
                break;
            if (!vistas.contains(k.texto)) {
                vistas.insert(k.texto);
                a.colunas.append(condicao.mid(k.inicio, k.fim - k.inicio));
            }
            break;
        }
        default:
            break;
        }
    }
    if (niveis.size() != 1)
        return a;
    a.segura = true;
    return a;
}

std::optional<std::vector<TermoDaSoma>> termosDaSoma(const QString& soma) {
    const auto lidos = tokens(soma);
    if (!lidos || lidos->empty())
        return std::nullopt;
    std::vector<Token> t = *lidos;
    // One pair of parentheses around the whole list.
    if (t.front().tipo == Tipo::Abre && t.back().tipo == Tipo::Fecha) {
        int profundidade = 0;
        bool envolve = true;
        for (size_t i = 0; i < t.size(); ++i) {
            profundidade += t[i].tipo == Tipo::Abre ? 1 : t[i].tipo == Tipo::Fecha ? -1 : 0;
            if (profundidade == 0 && i + 1 < t.size())
                envolve = false;
        }
        if (envolve)
            t = std::vector<Token>(t.begin() + 1, t.end() - 1);
    }
    std::vector<TermoDaSoma> termos;
    size_t i = 0;
    while (i < t.size()) {
        int sinal = 1;
        if (t[i].tipo == Tipo::Operador) {
            if (t[i].texto != QLatin1String("+") && t[i].texto != QLatin1String("-"))
                return std::nullopt;
            sinal = t[i].texto == QLatin1String("-") ? -1 : 1;
            ++i;
        } else if (!termos.empty()) {
            return std::nullopt;
        }
        if (i + 2 >= t.size() || !ehPalavra(t[i], "SUM") || t[i + 1].tipo != Tipo::Abre)
            return std::nullopt;
        const size_t abre = i + 1;
        size_t fecha = abre;
        for (int profundidade = 0; fecha < t.size(); ++fecha) {
            profundidade += t[fecha].tipo == Tipo::Abre ? 1 : t[fecha].tipo == Tipo::Fecha ? -1 : 0;
            if (profundidade == 0)
                break;
        }
        if (fecha >= t.size() || fecha == abre + 1 || ehPalavra(t[abre + 1], "DISTINCT"))
            return std::nullopt;
        termos.push_back({sinal, soma.mid(t[abre].fim, t[fecha].inicio - t[abre].fim).trimmed()});
        i = fecha + 1;
    }
    if (termos.empty())
        return std::nullopt;
    return termos;
}

} // namespace nq
