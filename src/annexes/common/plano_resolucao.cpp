#include "annexes/common/plano_resolucao.h"

#include "core/erro.h"
#include "db/consultas.h"

#include <QRegularExpression>
#include <algorithm>
#include <map>

namespace nq::plano {

namespace {

using Forma = PlanoDeFiguras::Forma;
using Pedido = PlanoDeFiguras::Pedido;

// Statements of one pass stay well inside the server's limits on text and columns.
constexpr int CondicoesPorComando = 60;
constexpr qsizetype TextoPorComando = 40000;

// Whether W is the whole WHERE of the literal text ("... where " + W), so that an
// OR inside it means what it means between parentheses.
bool condicaoInteira(const Pedido& p) {
    const Forma& f = *p.forma;
    if (!f.dados.fixa.trimmed().isEmpty() || !f.dados.data.isEmpty() || !p.literal.endsWith(p.w))
        return false;
    static const QRegularExpression where(QStringLiteral("\\swhere\\s*$"),
                                          QRegularExpression::CaseInsensitiveOption);
    return where.match(p.literal.left(p.literal.size() - p.w.size())).hasMatch();
}

// Splits `ws` (indices) into runs that fit one statement.
std::vector<std::vector<int>> lotes(const std::vector<int>& ws,
                                    const std::function<qsizetype(int)> tamanho) {
    std::vector<std::vector<int>> r;
    qsizetype texto = 0;
    for (int i : ws) {
        if (r.empty() || static_cast<int>(r.back().size()) >= CondicoesPorComando ||
            texto + tamanho(i) > TextoPorComando) {
            r.emplace_back();
            texto = 0;
        }
        r.back().push_back(i);
        texto += tamanho(i);
    }
    return r;
}

struct Modelo {
    QString texto;           // with "?" for each month written
    std::vector<bool> ehAte; // per parameter: the last month (else the first)
};

// The literal text of `p` with its months as parameters, when writing them back
// gives the literal text exactly.
std::optional<Modelo> modeloDe(const Pedido& p) {
    if (p.meses.vazio())
        return std::nullopt;
    QString t = p.texto(p.w, {SentinelaDe, SentinelaAte});
    const QString de = QString::number(SentinelaDe), ate = QString::number(SentinelaAte);
    Modelo m;
    QString reescrito;
    for (qsizetype i = 0;;) {
        const qsizetype a = t.indexOf(de, i), b = t.indexOf(ate, i);
        if (a < 0 && b < 0) {
            m.texto += t.mid(i);
            reescrito += t.mid(i);
            break;
        }
        const bool ehAte = a < 0 || (b >= 0 && b < a);
        const qsizetype j = ehAte ? b : a;
        m.texto += t.mid(i, j - i) + QLatin1Char('?');
        reescrito += t.mid(i, j - i) + QString::number(ehAte ? p.meses.ate : p.meses.de);
        m.ehAte.push_back(ehAte);
        i = j + (ehAte ? ate.size() : de.size());
    }
    if (m.ehAte.empty() || reescrito != p.literal)
        return std::nullopt;
    return m;
}

} // namespace

QStringList Resolucao::textos(const std::vector<Condicao>& cs, const std::vector<int>& quais) {
    QStringList r;
    for (int i : quais)
        r << cs[static_cast<size_t>(i)].w;
    return r;
}

std::vector<int> Resolucao::abertas(const Grupo& g) {
    std::vector<int> r;
    for (int i = 0; i < static_cast<int>(g.condicoes.size()); ++i)
        if (!g.condicoes[static_cast<size_t>(i)].respondida)
            r.push_back(i);
    return r;
}

const AnaliseDeCondicao& Resolucao::analise(const QString& w) {
    auto i = analises_.find(w);
    if (i == analises_.end())
        i = analises_.insert(w, analisaCondicao(w));
    return *i;
}

bool Resolucao::cabeEmPassagem(const Pedido& p) {
    const Forma& f = *p.forma;
    if (!f.termos || p.w.isEmpty() || (f.dados.data.isEmpty() && !p.meses.vazio()))
        return false;
    // Months the text cannot be writing as asked ("<= ate" alone for a run not from
    // January, "= de" alone for more than a month) are left to the text itself.
    const Meses m = p.meses;
    if (!m.vazio() && ((!f.escreveDe && !f.escreveAte) || (!f.escreveDe && m.de != 1) ||
                       (!f.escreveAte && m.de != m.ate)))
        return false;
    const AnaliseDeCondicao& a = analise(p.w);
    return a.segura && (!a.ouNoTopo || condicaoInteira(p));
}

void Resolucao::resolve(const std::vector<int>& pendentes) {
    std::vector<Grupo> grupos;
    std::map<const Forma*, size_t> grupoDe;
    for (int i : pendentes) {
        const Pedido& p = pedidos_[static_cast<size_t>(i)];
        if (!cabeEmPassagem(p)) {
            paraLiterais_.push_back(i);
            continue;
        }
        auto [g, novo] = grupoDe.try_emplace(p.forma.get(), grupos.size());
        if (novo)
            grupos.push_back({p.forma.get(), {}});
        auto& cs = grupos[g->second].condicoes;
        auto c = std::find_if(cs.begin(), cs.end(), [&](const Condicao& x) { return x.w == p.w; });
        if (c == cs.end())
            c = cs.insert(cs.end(), Condicao{p.w, {}});
        c->pedidos.push_back(i);
    }
    for (Grupo& g : grupos)
        validaLiterais(g);
    duasEtapas(grupos);
    for (Grupo& g : grupos)
        agrupa(g);
    respondeLiterais();
}

// A condition whose literal text the database rejects is answered by it (and
// raises its error in its turn).
void Resolucao::validaLiterais(Grupo& g) {
    const auto literalDe = [&](const Condicao& c) {
        return pedidos_[static_cast<size_t>(c.pedidos.front())].literal;
    };
    if (g.condicoes.empty() || leitura_.aceita(literalDe(g.condicoes.front())))
        return;
    for (Condicao& c : g.condicoes)
        if (!leitura_.aceita(literalDe(c)))
            paraLiteral(c);
}

void Resolucao::paraLiteral(Condicao& c) {
    if (c.respondida)
        return;
    c.respondida = true;
    paraLiterais_.insert(paraLiterais_.end(), c.pedidos.begin(), c.pedidos.end());
}

// Sets the figures of `c` from the sums of its rows per month.
void Resolucao::respondeCom(Grupo& g, Condicao& c, Acumulado& a, const std::vector<int>& escalas) {
    if (a.transbordou) {
        paraLiteral(c);
        return;
    }
    std::vector<Parcela> totais(static_cast<size_t>(a.somas));
    for (int i : c.pedidos) {
        Pedido& p = pedidos_[static_cast<size_t>(i)];
        std::fill(totais.begin(), totais.end(), Parcela{});
        bool cabe = true;
        for (int m = 0; m <= 12; ++m)
            if (noPeriodo(m, p.meses))
                for (int k = 0; k < a.somas; ++k)
                    cabe = totais[static_cast<size_t>(k)].acrescenta(a.mes(m)[k]) && cabe;
        const auto v = cabe ? valorDosTermos(*g.forma->termos, totais, escalas) : std::nullopt;
        if (!v) {
            paraLiteral(c);
            return;
        }
        p.valor = *v;
    }
    for (int i : c.pedidos)
        pedidos_[static_cast<size_t>(i)].resolvido = true;
    c.respondida = true;
}

void Resolucao::respondeLiterais() {
    std::sort(paraLiterais_.begin(), paraLiterais_.end());
    std::map<int, std::optional<Modelo>> modelos;
    QHash<QString, int> usos;
    for (int i : paraLiterais_) {
        auto m = modeloDe(pedidos_[static_cast<size_t>(i)]);
        if (m)
            ++usos[m->texto];
        modelos[i] = std::move(m);
    }
    for (int i : paraLiterais_) {
        Pedido& p = pedidos_[static_cast<size_t>(i)];
        const std::optional<Modelo>& m = modelos[i];
        std::optional<Moeda> v;
        if (m && usos.value(m->texto) > 1) {
            // The same text for other months: prepared once, run with the months.
            try {
                std::vector<int> meses;
                for (bool ehAte : m->ehAte)
                    meses.push_back(ehAte ? p.meses.ate : p.meses.de);
                v = leitura_.valor(leitura_.comando(m->texto), meses);
            } catch (const Erro&) {
                // The literal text below raises the error exactly as the user knows it.
            }
        }
        p.valor = v ? *v : valorLiteral(p.literal);
        p.resolvido = true;
        ++literais_;
    }
    paraLiterais_.clear();
}

std::optional<Reserva> Resolucao::usada(const std::optional<Reserva>& r) {
    if (!r)
        return std::nullopt;
    if (!reservaLida_) {
        reservaLida_ = true;
        try {
            leitura_.percorre(SubconsultaReservaEmpenho(), {}, [&](fb::Cursor& c) {
                chavesDaReserva_ = leChavesDaReserva(c, leitura_);
            });
        } catch (const Erro&) {
            chavesDaReserva_.reset();
        }
    }
    return chavesDaReserva_ ? r : std::nullopt;
}

// Whether a table column's collation compares bytes (the character set's own,
// unchanged default): then its length in bytes tells apart what its trailing
// blanks alone make equal.
bool Resolucao::colacaoBinaria(const fb::Coluna& c) {
    if (c.tabela.isEmpty() || c.campo.isEmpty())
        return false;
    if (!binarias_.contains(c.tabela)) {
        QSet<QString> campos;
        try {
            leitura_.percorre(QString::fromLatin1(ColacoesBinarias), {c.tabela},
                              [&](fb::Cursor& l) {
                                  while (l.proxima())
                                      campos.insert(l.texto(0));
                              });
        } catch (const Erro&) {
            campos.clear();
        }
        binarias_.insert(c.tabela, campos);
    }
    return binarias_.value(c.tabela).contains(c.campo);
}

Moeda Resolucao::valorLiteral(const QString& sql) {
    ++comandos_;
    ++linhas_;
    return ConsultaValor(conexao_, sql);
}

void Resolucao::agrupa(Grupo& g) {
    const std::vector<int> vivas = abertas(g);
    if (vivas.empty())
        return;
    const FormaDaSoma& f = g.forma->dados;
    // The columns each condition names must exist in the FROM: tried together, then apart.
    const auto colunasDe = [&](const std::vector<int>& quais) {
        QStringList r;
        for (int i : quais)
            for (const QString& c : analise(g.condicoes[static_cast<size_t>(i)].w).colunas)
                if (!r.contains(c, Qt::CaseInsensitive))
                    r << c;
        return r;
    };
    const auto sonda = [&](const QStringList& colunas) {
        return QStringLiteral("select ") +
               (colunas.isEmpty() ? QStringLiteral("1") : colunas.join(QStringLiteral(", "))) +
               QStringLiteral(" from ") + f.origem;
    };
    const auto ok = emAlgum(aceitos(static_cast<int>(vivas.size()),
                                    [&](const std::vector<int>& s) {
                                        std::vector<int> quais;
                                        for (int k : s)
                                            quais.push_back(vivas[static_cast<size_t>(k)]);
                                        return leitura_.aceita(sonda(colunasDe(quais)));
                                    }),
                            static_cast<int>(vivas.size()));
    std::vector<int> validas;
    for (size_t k = 0; k < vivas.size(); ++k) {
        if (ok[k])
            validas.push_back(vivas[k]);
        else
            paraLiteral(g.condicoes[static_cast<size_t>(vivas[k])]);
    }
    const auto tamanho = [&](int i) { return g.condicoes[static_cast<size_t>(i)].w.size() + 40; };
    for (const std::vector<int>& lote : lotes(validas, tamanho)) {
        const QStringList colunas = colunasDe(lote);
        std::optional<QStringList> grupo;
        try {
            grupo = colunasDeGrupo(colunas, leitura_.colunas(sonda(colunas)),
                                   [this](const fb::Coluna& c) { return colacaoBinaria(c); });
        } catch (const Erro&) {
        }
        if (!grupo) {
            for (int i : lote)
                paraLiteral(g.condicoes[static_cast<size_t>(i)]);
            continue;
        }
        agrupaLote(g, lote, *grupo);
    }
}

void Resolucao::agrupaLote(Grupo& g, const std::vector<int>& lote, const QStringList& grupo) {
    const FormaDaSoma& f = g.forma->dados;
    const std::vector<TermoDaSoma>& termos = *g.forma->termos;
    const std::optional<Reserva> reserva = usada(g.forma->reserva);
    const auto condicoes = [&](const std::vector<int>& s) {
        std::vector<int> quais;
        for (int k : s)
            quais.push_back(lote[static_cast<size_t>(k)]);
        return quais;
    };
    const auto texto = [&](const std::vector<int>& quais) {
        return textoAgrupado(f, termos, grupo, textos(g.condicoes, quais), reserva);
    };
    const int n = static_cast<int>(termos.size());
    for (const std::vector<int>& conjunto :
         aceitos(static_cast<int>(lote.size()),
                 [&](const std::vector<int>& s) { return leitura_.aceita(texto(condicoes(s))); })) {
        const std::vector<int> quais = condicoes(conjunto);
        std::shared_ptr<const Resposta> r;
        try {
            r = leitura_.responde(texto(quais), [&](fb::Cursor& c) {
                return leAgrupada(c, static_cast<int>(grupo.size()), !f.data.isEmpty(), n,
                                  static_cast<int>(quais.size()), chavesPara(reserva), leitura_);
            });
        } catch (const Erro&) {
            continue; // answered by their literal statements below
        }
        for (size_t j = 0; j < quais.size(); ++j) {
            Acumulado a(r->somas);
            for (size_t linha = 0; linha < r->linhas(); ++linha)
                if (r->condicao[linha * static_cast<size_t>(r->condicoes) + j])
                    a.acrescenta(r->meses[linha],
                                 &r->parcelas[linha * static_cast<size_t>(r->somas)]);
            respondeCom(g, g.condicoes[static_cast<size_t>(quais[j])], a, r->escalas);
        }
    }
    for (int i : lote)
        paraLiteral(g.condicoes[static_cast<size_t>(i)]);
}

} // namespace nq::plano
