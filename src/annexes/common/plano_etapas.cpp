#include "annexes/common/plano_resolucao.h"

#include "core/erro.h"

#include <QRegularExpression>
#include <map>
#include <set>
#include <unordered_set>

namespace nq::plano {

namespace {

QString chaveDaFonte(const Etapas& e) {
    const QChar s(0x1f);
    return e.itens + s + e.chaveDoItem + s + e.fixaDosItens;
}

bool itensSaoLancamentos(const Etapas& e) {
    return e.lancamentos.tabela.isEmpty();
}

Proprios propriosDe(const Etapas& e) {
    return {e.lancamentos.data, e.lancamentos.somas};
}

// Calls `f` with each open condition of `g` that the source's items answered,
// the item statement that did and the condition's column there.
template <class G, class F> void condicoesLidas(G& g, const Resolucao::Fonte& fonte, F f) {
    for (auto& c : g.condicoes) {
        if (c.respondida)
            continue;
        const auto [r, j] = fonte.coluna[static_cast<size_t>(fonte.ws.indexOf(c.w))];
        if (r >= 0)
            f(c, *fonte.respostas[static_cast<size_t>(r)], static_cast<size_t>(j));
    }
}

// Beyond this many items an IN list costs more than it saves (and the engine
// takes at most 1 500 values).
constexpr size_t Poucas = 1000;

} // namespace

void Resolucao::duasEtapas(std::vector<Grupo>& grupos) {
    std::map<QString, Fonte> fontes;
    std::vector<Grupo*> emEtapas;
    for (Grupo& g : grupos) {
        const FormaDaSoma& f = g.forma->dados;
        if (!f.etapas || f.etapas->lancamentos.data.isEmpty() != f.data.isEmpty() ||
            f.etapas->lancamentos.somas.size() != static_cast<qsizetype>(g.forma->termos->size()))
            continue;
        const std::vector<int> vivas = abertas(g);
        // Each W must resolve in the statement's own FROM as the literal text has it.
        const auto ok = emAlgum(aceitos(static_cast<int>(vivas.size()),
                                        [&](const std::vector<int>& s) {
                                            std::vector<int> quais;
                                            for (int k : s)
                                                quais.push_back(vivas[static_cast<size_t>(k)]);
                                            return leitura_.aceita(
                                                textoDaVerificacao(f, textos(g.condicoes, quais)));
                                        }),
                                static_cast<int>(vivas.size()));
        Fonte& fonte = fontes[chaveDaFonte(*f.etapas)];
        fonte.etapas = &*f.etapas;
        fonte.reserva = g.forma->reservaDosItens;
        if (itensSaoLancamentos(*f.etapas) &&
            std::find(fonte.proprios.begin(), fonte.proprios.end(), propriosDe(*f.etapas)) ==
                fonte.proprios.end())
            fonte.proprios.push_back(propriosDe(*f.etapas));
        for (size_t k = 0; k < vivas.size(); ++k) {
            Condicao& c = g.condicoes[static_cast<size_t>(vivas[k])];
            if (!ok[k])
                paraLiteral(c);
            else if (!fonte.ws.contains(c.w))
                fonte.ws << c.w;
        }
        emEtapas.push_back(&g);
    }
    for (auto& [chave, fonte] : fontes)
        leItens(fonte);
    // What each postings pass must hold: the months of every figure it answers,
    // and the items their conditions select.
    QHash<QString, Passagem> passagens;
    for (Grupo* g : emEtapas) {
        const Etapas& e = *g->forma->dados.etapas;
        const Fonte& fonte = fontes[chaveDaFonte(e)];
        if (itensSaoLancamentos(e) || fonte.respostas.empty())
            continue;
        Passagem& passagem = passagens[textoDaPassagem(e.lancamentos)];
        Meses& m = passagem.meses;
        for (const Condicao& c : g->condicoes)
            for (int i : c.pedidos) {
                const Meses p = pedidos_[static_cast<size_t>(i)].meses;
                m = p.vazio() || m.vazio() ? Meses{}
                                           : Meses{std::min(m.de, p.de), std::max(m.ate, p.ate)};
            }
        passagem.fontes.emplace_back(&e, itensSelecionados(*g, fonte, passagem));
    }
    for (Grupo* g : emEtapas) {
        const Etapas& e = *g->forma->dados.etapas;
        const Fonte& fonte = fontes[chaveDaFonte(e)];
        if (fonte.respostas.empty())
            continue;
        const QString texto =
            itensSaoLancamentos(e)
                ? QString()
                : textoPara(e.lancamentos, passagens.value(textoDaPassagem(e.lancamentos)));
        soma(*g, fonte, texto);
    }
}

// One statement evaluates every condition of the source on its items; a
// condition it cannot take (one that names a postings column) is left for a
// grouped statement.
void Resolucao::leItens(Fonte& fonte) {
    const std::optional<Reserva> reserva = usada(fonte.reserva);
    const auto texto = [&](const std::vector<int>& quais) {
        QStringList ws;
        for (int i : quais)
            ws << fonte.ws[i];
        return textoDosItens(*fonte.etapas, fonte.proprios, ws, reserva);
    };
    fonte.coluna.assign(static_cast<size_t>(fonte.ws.size()), {-1, -1});
    for (const std::vector<int>& conjunto :
         aceitos(static_cast<int>(fonte.ws.size()),
                 [&](const std::vector<int>& s) { return leitura_.aceita(texto(s)); })) {
        try {
            const int n = static_cast<int>(conjunto.size());
            fonte.respostas.push_back(leitura_.responde(texto(conjunto), [&](fb::Cursor& c) {
                return plano::leItens(c, fonte.proprios, n, chavesPara(reserva), leitura_);
            }));
        } catch (const Erro&) {
            continue; // those conditions are left for a grouped statement
        }
        for (size_t k = 0; k < conjunto.size(); ++k)
            fonte.coluna[static_cast<size_t>(conjunto[k])] = {
                static_cast<int>(fonte.respostas.size()) - 1, static_cast<int>(k)};
    }
}

// The figures of a shape from its items' conditions and the postings of each
// item (read by a pass, or the items' own).
void Resolucao::soma(Grupo& g, const Fonte& fonte, const QString& sqlDaPassagem) {
    const Etapas& e = *g.forma->dados.etapas;
    const size_t parte =
        static_cast<size_t>(std::find(fonte.proprios.begin(), fonte.proprios.end(), propriosDe(e)) -
                            fonte.proprios.begin());
    std::shared_ptr<const Resposta> passagem;
    QHash<int64_t, std::vector<size_t>> linhasDa;
    if (!itensSaoLancamentos(e)) {
        try {
            const Lancamentos& l = e.lancamentos;
            const int n = static_cast<int>(l.somas.size());
            passagem = leitura_.responde(sqlDaPassagem, [&](fb::Cursor& c) {
                return lePassagem(c, n, !l.data.isEmpty(), leitura_);
            });
        } catch (const Erro&) {
            return; // left for a grouped statement
        }
        for (size_t i = 0; i < passagem->linhas(); ++i)
            linhasDa[passagem->chaves[i]].push_back(i);
    }
    condicoesLidas(g, fonte, [&](Condicao& c, const Resposta& itens, size_t j) {
        const Resposta::Parte* proprios = passagem ? nullptr : &itens.partes[parte];
        const int somas = proprios ? proprios->somas : passagem->somas;
        const size_t condicoes = static_cast<size_t>(itens.condicoes);
        Acumulado a(somas);
        for (size_t linha = 0; linha < itens.linhas(); ++linha) {
            if (!itens.condicao[linha * condicoes + j])
                continue;
            if (proprios) {
                a.acrescenta(proprios->meses[linha],
                             &proprios->parcelas[linha * static_cast<size_t>(somas)]);
                continue;
            }
            if (itens.semChave[linha])
                continue;
            const auto linhas = linhasDa.constFind(itens.chaves[linha]);
            if (linhas == linhasDa.cend())
                continue;
            for (size_t p : *linhas)
                a.acrescenta(passagem->meses[p],
                             &passagem->parcelas[p * static_cast<size_t>(somas)]);
        }
        respondeCom(g, c, a, proprios ? proprios->escalas : passagem->escalas);
    });
}

// Adds to the pass the items that the open conditions of `g` select; gives how
// many items the source read. A pass of more than Poucas items reads every
// posting: past that neither count matters, and the rest is not looked at.
size_t Resolucao::itensSelecionados(const Grupo& g, const Fonte& fonte, Passagem& passagem) {
    std::set<const Resposta*> lidas;
    condicoesLidas(g, fonte, [&](const Condicao&, const Resposta& itens, size_t j) {
        lidas.insert(&itens);
        const size_t condicoes = static_cast<size_t>(itens.condicoes);
        for (size_t linha = 0; linha < itens.linhas() && passagem.usadas.size() <= Poucas; ++linha)
            if (!itens.semChave[linha] && itens.condicao[linha * condicoes + j])
                passagem.usadas.insert(itens.chaves[linha]);
    });
    if (passagem.usadas.size() > Poucas)
        return 0;
    std::unordered_set<int64_t> lidos;
    for (const Resposta* itens : lidas)
        for (size_t linha = 0; linha < itens->linhas(); ++linha)
            if (!itens->semChave[linha])
                lidos.insert(itens->chaves[linha]);
    return lidos.size();
}

QString Resolucao::textoPara(const Lancamentos& l, const Passagem& p) {
    // The whole year, when this run has read it already, holds the months asked.
    if (leitura_.guardada(textoDaPassagem(l)))
        return textoDaPassagem(l);
    const QString todos = textoDaPassagem(l, p.meses);
    if (p.usadas.size() > Poucas || leitura_.guardada(todos))
        return todos;
    const QString estreita =
        textoDaPassagem(l, p.meses, std::vector<int64_t>(p.usadas.begin(), p.usadas.end()));
    if (leitura_.guardada(estreita))
        return estreita;
    size_t itens = 0;
    for (const auto& [e, lidos] : p.fontes)
        itens = std::max(itens, lidos);
    // Items read only under fixed conditions are too few to tell: then the whole
    // table counts.
    const bool semFixas = std::all_of(p.fontes.begin(), p.fontes.end(), [](const auto& f) {
        return f.first->fixaDosItens.trimmed().isEmpty();
    });
    if ((p.usadas.size() * 4 > itens && semFixas) || !indexada(l.tabela, l.chave))
        return todos;
    if (p.usadas.size() * 4 > itens)
        for (const auto& [e, lidos] : p.fontes)
            itens = std::max(itens, itensDaTabela(*e, lidos));
    return p.usadas.size() * 4 <= itens ? estreita : todos;
}

// The items the postings may name: those read, or all of them when the items
// read were only those of the fixed conditions.
size_t Resolucao::itensDaTabela(const Etapas& e, size_t lidos) {
    if (e.fixaDosItens.trimmed().isEmpty())
        return lidos;
    if (!itensDaTabela_.contains(e.itens)) {
        size_t n = lidos;
        try {
            leitura_.percorre(QStringLiteral("select count(*) from ") + e.itens, {},
                              [&](fb::Cursor& c) {
                                  if (c.proxima())
                                      n = std::max(n, static_cast<size_t>(c.texto(0).toLongLong()));
                              });
        } catch (const Erro&) {
        }
        itensDaTabela_.insert(e.itens, n);
    }
    return itensDaTabela_.value(e.itens);
}

// Without an index on the item the engine would test the list on every row.
bool Resolucao::indexada(const QString& tabela, const QString& coluna) {
    static const QRegularExpression nome(QStringLiteral("^[A-Za-z_][A-Za-z0-9_$]*$"));
    if (!nome.match(tabela).hasMatch() || !nome.match(coluna).hasMatch())
        return false;
    const QString chave = tabela.toUpper() + QLatin1Char('.') + coluna.toUpper();
    if (!indexadas_.contains(chave)) {
        bool tem = false;
        try {
            leitura_.percorre(
                QString::fromLatin1(IndicesDaColuna), {tabela.toUpper(), coluna.toUpper()},
                [&](fb::Cursor& c) { tem = c.proxima() && c.texto(0).toLongLong() > 0; });
        } catch (const Erro&) {
        }
        indexadas_.insert(chave, tem);
    }
    return indexadas_.value(chave);
}

} // namespace nq::plano
