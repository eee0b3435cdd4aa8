#include "annexes/common/plano_interno.h"

#include "core/erro.h"
#include "db/consultas.h"

#include <QRegularExpression>

#include <QHash>
#include <utility>

namespace nq::plano {

namespace {

QString onde(const QString& fixa) {
    return fixa.trimmed().isEmpty() ? QString()
                                    : QStringLiteral(" where (") + fixa + QLatin1Char(')');
}

// The 0/1 of each line condition travel as bits of integer columns, up to
// BitsPorColuna a column: the engine moves every column of every row, and a pass
// over the items may carry a hundred conditions over 300 000 rows.
constexpr int BitsPorColuna = 62;

int colunasDasCondicoes(int n) {
    return (n + BitsPorColuna - 1) / BitsPorColuna;
}

QString casos(const QStringList& ws) {
    QString r;
    for (qsizetype i = 0; i < ws.size(); ++i) {
        const int bit = static_cast<int>(i % BitsPorColuna);
        r += bit == 0 ? QStringLiteral(", ") : QStringLiteral(" + ");
        r += QStringLiteral("case when (") + ws[i] + QStringLiteral(") then ") +
             QString::number(int64_t{1} << bit) + QStringLiteral(" else 0 end");
    }
    return r;
}

QString somas(const QStringList& expressoes) {
    QStringList r;
    for (const QString& e : expressoes)
        r << QStringLiteral("sum(") + e + QLatin1Char(')');
    return r.join(QStringLiteral(", "));
}

[[noreturn]] void tipoInesperado(const fb::Coluna& c) {
    throw Erro(QStringLiteral("Coluna %1 de tipo inesperado numa passagem.").arg(c.nome));
}

void exige(const fb::LeitorDeLinha& l, int i, std::initializer_list<fb::TipoColuna> tipos,
           bool semEscala = false) {
    const fb::Coluna& c = l.coluna(i);
    for (fb::TipoColuna t : tipos)
        if (c.tipo == t && (!semEscala || c.escala == 0))
            return;
    tipoInesperado(c);
}

void exigeChave(const fb::LeitorDeLinha& l, int i) {
    exige(l, i, {fb::TipoColuna::Inteiro}, true);
}

void exigeData(const fb::LeitorDeLinha& l, int i) {
    exige(l, i, {fb::TipoColuna::Data, fb::TipoColuna::Momento});
}

std::vector<int> escalasDas(const fb::LeitorDeLinha& l, int primeira, int n) {
    std::vector<int> r;
    for (int k = 0; k < n; ++k) {
        exige(l, primeira + k, {fb::TipoColuna::Inteiro, fb::TipoColuna::Decimal});
        r.push_back(l.coluna(primeira + k).escala);
    }
    return r;
}

void exigeReserva(const fb::LeitorDeLinha& l, int i) {
    exige(l, i, {fb::TipoColuna::Inteiro});
    exigeChave(l, i + 1);
}

int8_t mesDa(const fb::LeitorDeLinha& l, int i) {
    return l.ehNulo(i) ? int8_t{0} : static_cast<int8_t>(l.data(i).month());
}

Parcela parcelaDa(const fb::LeitorDeLinha& l, int i) {
    if (l.ehNulo(i))
        return {};
    return {l.escalado(i), true};
}

void exigeCondicoes(const fb::LeitorDeLinha& c, int primeira, int n) {
    for (int j = 0; j < colunasDasCondicoes(n); ++j)
        exige(c, primeira + j, {fb::TipoColuna::Inteiro});
}

void leCondicoes(const fb::LeitorDeLinha& c, int primeira, int n, std::vector<uint8_t>& condicao) {
    int64_t bits = 0;
    for (int j = 0; j < n; ++j) {
        if (j % BitsPorColuna == 0)
            bits = c.escalado(primeira + j / BitsPorColuna);
        condicao.push_back(static_cast<uint8_t>((bits >> (j % BitsPorColuna)) & 1));
    }
}

} // namespace

QString textoDaPassagem(const Lancamentos& l, Meses meses,
                        const std::optional<std::vector<int64_t>>& chaves) {
    const QString grupo = l.data.isEmpty() ? l.chave : l.chave + QStringLiteral(", ") + l.data;
    QStringList condicoes;
    if (!l.fixa.trimmed().isEmpty())
        condicoes << QLatin1Char('(') + l.fixa + QLatin1Char(')');
    if (chaves && chaves->empty())
        condicoes << l.chave + QStringLiteral(" is null");
    else if (chaves) {
        QStringList lista;
        for (int64_t k : *chaves)
            lista << QString::number(k);
        condicoes << l.chave + QStringLiteral(" in (") + lista.join(QLatin1Char(',')) +
                         QLatin1Char(')');
    }
    if (!l.data.isEmpty() && !meses.vazio() && (meses.de > 1 || meses.ate < 12))
        condicoes << QStringLiteral("extract(month from %1) between %2 and %3")
                         .arg(l.data)
                         .arg(meses.de)
                         .arg(meses.ate);
    return QStringLiteral("select ") + grupo + QStringLiteral(", ") + somas(l.somas) +
           QStringLiteral(" from ") + l.tabela +
           (condicoes.isEmpty()
                ? QString()
                : QStringLiteral(" where ") + condicoes.join(QStringLiteral(" and "))) +
           QStringLiteral(" group by ") + grupo;
}

QString textoDosItens(const Etapas& e, const std::vector<Proprios>& proprios, const QStringList& ws,
                      const std::optional<Reserva>& r) {
    QString colunas = e.chaveDoItem;
    for (const Proprios& p : proprios) {
        if (!p.data.isEmpty())
            colunas += QStringLiteral(", ") + p.data;
        colunas += QStringLiteral(", ") + p.somas.join(QStringLiteral(", "));
    }
    const QString reserva =
        r ? QStringLiteral(", ") + colunasDaReserva(*r).join(QStringLiteral(", ")) : QString();
    return QStringLiteral("select ") + colunas + casos(ws) + reserva + QStringLiteral(" from ") +
           e.itens + onde(r ? r->semReserva : e.fixaDosItens);
}

QString textoDaVerificacao(const FormaDaSoma& f, const QStringList& ws) {
    QStringList condicoes;
    for (const QString& w : ws)
        condicoes << QLatin1Char('(') + w + QLatin1Char(')');
    return QStringLiteral("select 1 from ") + f.origem + QStringLiteral(" where ") +
           condicoes.join(QStringLiteral(" and "));
}

QString textoAgrupado(const FormaDaSoma& f, const std::vector<TermoDaSoma>& termos,
                      const QStringList& grupo, const QStringList& ws,
                      const std::optional<Reserva>& reserva) {
    QStringList chaves = grupo;
    if (reserva)
        chaves << grupoDaReserva(*reserva);
    if (!f.data.isEmpty())
        chaves << f.data;
    QStringList expressoes;
    for (const TermoDaSoma& t : termos)
        expressoes << t.expressao;
    // Each grouping column under a name of its own: the same column written with
    // and without its table would otherwise make GROUP BY ambiguous.
    QString r = QStringLiteral("select ");
    for (qsizetype i = 0; i < chaves.size(); ++i)
        r += QStringLiteral("%1 g%2, ").arg(chaves[i]).arg(i);
    r += somas(expressoes) + casos(ws);
    if (reserva)
        r += QStringLiteral(", ") + colunasDaReserva(*reserva).join(QStringLiteral(", "));
    r += QStringLiteral(" from ") + f.origem + onde(reserva ? reserva->semReserva : f.fixa);
    if (!chaves.isEmpty())
        r += QStringLiteral(" group by ") + chaves.join(QStringLiteral(", "));
    return r;
}

std::optional<Reserva> achaReserva(const QString& fixa) {
    static const QRegularExpression tipo(
        QStringLiteral("\\(([A-Za-z_][A-Za-z0-9_$]*)\\.TPEM<>'RD'\\)"));
    const QRegularExpressionMatch m = tipo.match(fixa);
    if (!m.hasMatch())
        return std::nullopt;
    const QString apelido = m.captured(1);
    // The filter is written to be followed by more conditions; a statement may
    // also end with it, so it is looked for without its trailing AND.
    QString filtro = FiltroReservaEmpenho(apelido);
    static const QRegularExpression eFinal(QStringLiteral("\\s+and\\s*$"),
                                           QRegularExpression::CaseInsensitiveOption);
    filtro.remove(eFinal);
    const qsizetype i = fixa.indexOf(filtro);
    if (i < 0 || fixa.indexOf(filtro, i + 1) >= 0)
        return std::nullopt;
    // A top-level AND term: nothing or an AND on each side, outside every
    // parenthesis, no OR around it.
    const QString antes = fixa.left(i);
    const QString depois = fixa.mid(i + filtro.size());
    static const QRegularExpression eAntes(QStringLiteral("(^|\\s)and\\s*$"),
                                           QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression eDepois(QStringLiteral("^\\s*and(\\s|\\(|$)"),
                                            QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch andAntes = eAntes.match(antes);
    const QRegularExpressionMatch andDepois = eDepois.match(depois);
    if ((!antes.trimmed().isEmpty() && !andAntes.hasMatch()) ||
        (!depois.trimmed().isEmpty() && !andDepois.hasMatch()) ||
        antes.count(QLatin1Char('(')) != antes.count(QLatin1Char(')')))
        return std::nullopt;
    const AnaliseDeCondicao a = analisaCondicao(fixa);
    if (!a.segura || a.ouNoTopo)
        return std::nullopt;
    // The filter goes with one of the ANDs that join it to the rest.
    QString sem;
    if (andDepois.hasMatch())
        sem = antes + depois.mid(andDepois.capturedLength(0) - andDepois.capturedLength(1));
    else if (andAntes.hasMatch())
        sem = antes.left(andAntes.capturedStart(0)) + depois;
    if (!sem.trimmed().isEmpty() && !analisaCondicao(sem).segura)
        return std::nullopt;
    return Reserva{apelido, sem};
}

QStringList grupoDaReserva(const Reserva& r) {
    return {r.apelido + QStringLiteral(".TPEM"),
            QStringLiteral("COALESCE(%1.PKEMPA, 0)").arg(r.apelido)};
}

QStringList colunasDaReserva(const Reserva& r) {
    return {QStringLiteral("case when (%1.TPEM<>'RD') then 1 else 0 end").arg(r.apelido),
            QStringLiteral("COALESCE(%1.PKEMPA, 0)").arg(r.apelido)};
}

bool ChavesDaReserva::passa(const fb::LeitorDeLinha& l, int coluna) const {
    // NOT IN over keys with a null holds for no value; COALESCE(..., 0) is never null.
    return l.escalado(coluna) == 1 && !nula && !l.ehNulo(coluna + 1) &&
           !chaves.contains(l.escalado(coluna + 1));
}

std::optional<QStringList> colunasDeGrupo(const QStringList& colunas,
                                          const std::vector<fb::Coluna>& tipos,
                                          const std::function<bool(const fb::Coluna&)>& binaria) {
    QStringList r;
    for (qsizetype i = 0; i < colunas.size(); ++i) {
        const fb::Coluna& c = tipos.at(static_cast<size_t>(i));
        if (c.tipo == fb::TipoColuna::TextoLongo || c.tipo == fb::TipoColuna::Binario)
            return std::nullopt;
        r << colunas[i];
        if (c.tipo != fb::TipoColuna::Texto)
            continue;
        if (binaria(c)) {
            r << QStringLiteral("octet_length(%1)").arg(colunas[i]);
            continue;
        }
        // Four bytes a character covers every character set.
        const int bytes = std::max(1, c.comprimento) * 4;
        if (bytes > 32765)
            return std::nullopt;
        r << QStringLiteral("cast(%1 as varchar(%2) character set octets)")
                 .arg(colunas[i])
                 .arg(bytes);
    }
    return r;
}

Resposta lePassagem(fb::Cursor& c, int n, bool comData, Leitura& leitura) {
    exigeChave(c, 0);
    const int primeira = comData ? 2 : 1;
    if (comData)
        exigeData(c, 1);
    Resposta r;
    r.somas = n;
    r.escalas = escalasDas(c, primeira, n);
    // Days of one item fold into its month.
    QHash<std::pair<int64_t, int>, size_t> linhaDe;
    while (c.proxima()) {
        leitura.contaLinha();
        if (c.ehNulo(0))
            continue; // joins no item
        const std::pair<int64_t, int> chave{c.escalado(0), comData ? mesDa(c, 1) : 0};
        auto i = linhaDe.find(chave);
        if (i == linhaDe.end()) {
            i = linhaDe.insert(chave, r.linhas());
            r.chaves.push_back(chave.first);
            r.meses.push_back(static_cast<int8_t>(chave.second));
            r.parcelas.resize(r.parcelas.size() + static_cast<size_t>(n));
        }
        Parcela* p = &r.parcelas[*i * static_cast<size_t>(n)];
        for (int k = 0; k < n; ++k)
            if (!p[k].acrescenta(parcelaDa(c, primeira + k)))
                throw Erro(QStringLiteral("Soma além de 64 bits numa passagem."));
    }
    return r;
}

Resposta leItens(fb::Cursor& c, const std::vector<Proprios>& proprios, int n,
                 const ChavesDaReserva* reserva, Leitura& leitura) {
    exigeChave(c, 0);
    Resposta r;
    int coluna = 1;
    std::vector<int> inicio;
    for (const Proprios& p : proprios) {
        Resposta::Parte parte;
        if (!p.data.isEmpty())
            exigeData(c, coluna);
        inicio.push_back(coluna);
        coluna += p.data.isEmpty() ? 0 : 1;
        parte.somas = static_cast<int>(p.somas.size());
        parte.escalas = escalasDas(c, coluna, parte.somas);
        coluna += parte.somas;
        r.partes.push_back(std::move(parte));
    }
    const int primeira = coluna;
    exigeCondicoes(c, primeira, n);
    const int colunaDaReserva = primeira + colunasDasCondicoes(n);
    if (reserva)
        exigeReserva(c, colunaDaReserva);
    r.condicoes = n;
    while (c.proxima()) {
        leitura.contaLinha();
        // A row without a key joins no posting; it only counts as a posting itself.
        if ((c.ehNulo(0) && proprios.empty()) || (reserva && !reserva->passa(c, colunaDaReserva)))
            continue;
        r.chaves.push_back(c.ehNulo(0) ? 0 : c.escalado(0));
        r.semChave.push_back(c.ehNulo(0) ? 1 : 0);
        r.meses.push_back(0);
        for (size_t k = 0; k < proprios.size(); ++k) {
            Resposta::Parte& parte = r.partes[k];
            const bool comData = !proprios[k].data.isEmpty();
            parte.meses.push_back(comData ? mesDa(c, inicio[k]) : int8_t{0});
            for (int t = 0; t < parte.somas; ++t)
                parte.parcelas.push_back(parcelaDa(c, inicio[k] + (comData ? 1 : 0) + t));
        }
        leCondicoes(c, primeira, n, r.condicao);
    }
    return r;
}

Resposta leAgrupada(fb::Cursor& c, int grupo, bool comData, int n, int condicoes,
                    const ChavesDaReserva* reserva, Leitura& leitura) {
    const int data = grupo + (reserva ? 2 : 0);
    const int primeira = data + (comData ? 1 : 0);
    if (comData)
        exigeData(c, data);
    Resposta r;
    r.somas = n;
    r.condicoes = condicoes;
    r.escalas = escalasDas(c, primeira, n);
    exigeCondicoes(c, primeira + n, condicoes);
    const int colunaDaReserva = primeira + n + colunasDasCondicoes(condicoes);
    if (reserva)
        exigeReserva(c, colunaDaReserva);
    while (c.proxima()) {
        leitura.contaLinha();
        if (reserva && !reserva->passa(c, colunaDaReserva))
            continue;
        r.meses.push_back(comData ? mesDa(c, data) : int8_t{0});
        for (int k = 0; k < n; ++k)
            r.parcelas.push_back(parcelaDa(c, primeira + k));
        leCondicoes(c, primeira + n, condicoes, r.condicao);
    }
    return r;
}

ChavesDaReserva leChavesDaReserva(fb::Cursor& c, Leitura& leitura) {
    exigeChave(c, 0);
    ChavesDaReserva r;
    while (c.proxima()) {
        leitura.contaLinha();
        if (c.ehNulo(0))
            r.nula = true;
        else
            r.chaves.insert(c.escalado(0));
    }
    return r;
}

} // namespace nq::plano
