#include "report/gerador.h"

#include "report/desenhista.h"
#include "report/texto_rico.h"

#include <algorithm>

namespace nq {

namespace {

bool sobrepoeNaHorizontal(const TppComponent& a, const TppComponent& b) {
    return a.mmLeft < b.mmLeft + b.mmWidth && b.mmLeft < a.mmLeft + a.mmWidth;
}

void acrescenta(Faixa& f, ComandoDeDesenho comando, const Retangulo& caixa,
                bool divisivel = false) {
    f.elementos.push_back({std::move(comando), caixa.topo, caixa.base(), divisivel});
}

// The border lines of a text component.
void acrescentaBorda(Faixa& f, const TppBorder& b, const Retangulo& r) {
    if (!b.Visible)
        return;
    const Caneta caneta{b.Color, b.Weight,
                        b.Style == TPenStyle::psDot    ? EstiloCaneta::Pontilhado
                        : b.Style == TPenStyle::psDash ? EstiloCaneta::Tracejado
                                                       : EstiloCaneta::Solido};
    if (b.bpTop)
        acrescenta(f, ComandoLinha{r.esquerda, r.topo, r.direita(), r.topo, caneta}, r);
    if (b.bpBottom)
        acrescenta(f, ComandoLinha{r.esquerda, r.base(), r.direita(), r.base(), caneta}, r);
    if (b.bpLeft)
        acrescenta(f, ComandoLinha{r.esquerda, r.topo, r.esquerda, r.base(), caneta}, r);
    if (b.bpRight)
        acrescenta(f, ComandoLinha{r.direita(), r.topo, r.direita(), r.base(), caneta}, r);
}

void acrescentaGrafico(Faixa& f, const TppCustomGraphic& g, const Retangulo& caixa,
                       bool divisivel) {
    if (auto* l = dynamic_cast<const TppLine*>(&g))
        for (const ComandoLinha& c : desenhista::linha(*l, caixa))
            acrescenta(f, c, caixa, divisivel);
    else if (auto* s = dynamic_cast<const TppShape*>(&g))
        acrescenta(f, desenhista::forma(*s, caixa), caixa, divisivel);
}

// Texts that print a value of the data (not captions, page numbers or dates).
bool ehDeDados(const TppCustomText& t) {
    return dynamic_cast<const TppDBText*>(&t) || dynamic_cast<const TppVariable*>(&t);
}

} // namespace

const std::vector<GeradorDeFaixas::Componente>& GeradorDeFaixas::componentes(const TppBand& b) {
    std::vector<Componente>& ordem = bandas_[&b];
    const auto& daBanda = b.componentes();
    bool valida = ordem.size() == daBanda.size();
    for (std::size_t i = 0; valida && i < ordem.size(); ++i)
        valida = ordem[i].componente->mmTop == ordem[i].topo;
    if (valida)
        return ordem;
    ordem.clear();
    for (const auto& c : daBanda) {
        auto* texto = dynamic_cast<TppCustomText*>(c.get());
        ordem.push_back({c.get(), c->mmTop, dynamic_cast<TppStretchable*>(c.get()),
                         dynamic_cast<TppSubReport*>(c.get()),
                         dynamic_cast<TppCustomGraphic*>(c.get()), texto,
                         texto && ehDeDados(*texto)});
    }
    std::stable_sort(ordem.begin(), ordem.end(),
                     [](const Componente& a, const Componente& c) { return a.topo < c.topo; });
    return ordem;
}

void GeradorDeFaixas::geraPrincipal(TppReport& r, bool comDetalhes, Paginador& paginador) {
    paginador_ = &paginador;
    principal_ = &r;
    secoesPaginadas_ = 0;
    paginador.abreSecao(r, false);
    geraRelatorio(r, esquerdaDaPagina_, larguraDaPagina_, comDetalhes);
    terminaPrincipal();
    paginador_ = nullptr;
    principal_ = nullptr;
}

void GeradorDeFaixas::terminaPrincipal() {
    if (paginador_->faixa().altura > 0 || secoesPaginadas_ == 0) {
        paginador_->fechaSecao();
        ++secoesPaginadas_;
    }
}

void GeradorDeFaixas::fechaSecao() {
    // A group still open goes on in the next section: it never decided this one's cuts.
    std::erase_if(paginador_->faixa().grupos,
                  [](const Faixa::Grupo& g) { return g.fim == Faixa::Grupo::Aberto; });
    terminaPrincipal();
    std::vector<Secao> pendentes = std::move(secoesPendentes_);
    secoesPendentes_.clear();
    for (Secao& s : pendentes) {
        paginador_->pagina(std::move(s));
        ++secoesPaginadas_;
    }
    paginador_->abreSecao(*principal_, false);
}

Faixa GeradorDeFaixas::geraRelatorio(TppCustomReport& r, int esquerda, int largura,
                                     bool comDetalhes) {
    const bool principal = &r == principal_;
    Faixa local;
    // The main report's body goes straight to the paginator, which pages it as it grows.
    auto corpo = [&]() -> Faixa& { return principal ? paginador_->faixa() : local; };
    int y = 0;
    auto anexa = [&](Faixa&& banda, bool detalheEstatico) {
        const int altura = banda.altura;
        if (detalheEstatico && altura > 0)
            corpo().detalhesEstaticos.push_back({y, y + altura});
        corpo().acrescenta(std::move(banda), 0, y);
        y += altura;
        corpo().altura = std::max(corpo().altura, y);
        if (!principal)
            return;
        if (!secoesPendentes_.empty()) {
            fechaSecao();
            y = 0;
        } else {
            paginador_->avanca();
        }
    };
    auto gera = [&](TppBand& b) { return geraBanda(b, esquerda, largura); };

    if (TppBand* titulo = r.banda(TppBandType::btTitle))
        anexa(gera(*titulo), false);

    TppDBPipeline* p = r.DataPipeline;
    std::vector<int> registros{-1}; // without a pipeline the detail prints once
    if (p) {
        registros = ex_.registros(*p);
        if (registros.empty() && !p->SkipWhenNoRecords)
            registros = {-1};
    }
    if (!comDetalhes)
        registros.clear();
    const int posicaoAnterior = p ? ex_.posicao(*p) : -1;

    struct Aberto {
        bool aberto = false;
        QString valor;
        int inicio = 0;
        int fimDoCabecalho = 0;
        int detalhes = 0;
        std::vector<Faixa::Elemento> cabecalho;
        int id = -1;
    };
    const auto& grupos = r.grupos();
    std::vector<Aberto> abertos(grupos.size());
    auto valorDeQuebra = [&](const TppGroup& g) {
        QString v;
        if (g.BreakType == TppBreakType::btDataField)
            v = ex_.valor(g.DataPipeline ? g.DataPipeline : p, g.BreakName).asString();
        if (g.OnGetBreakValue)
            g.OnGetBreakValue(v);
        return v;
    };
    auto abre = [&](size_t j, const QString& valor) {
        TppGroup& g = *grupos[j];
        ex_.grupoComeca(g);
        if (g.NewPage && y > 0)
            corpo().quebrasDePagina.push_back(y);
        Faixa cabecalho = gera(g.HeaderBand());
        abertos[j] = {true, valor, y, y + cabecalho.altura, 0, cabecalho.elementos};
        if (principal) {
            // The paginator must know a group from its first line: a page may be cut
            // while the group is still open.
            abertos[j].id = proximoGrupo_++;
            corpo().grupos.push_back({y, y + cabecalho.altura, Faixa::Grupo::Aberto, g.KeepTogether,
                                      g.ReprintOnSubsequentPage, g.mmNewPageThreshold,
                                      cabecalho.elementos, abertos[j].id});
        }
        anexa(std::move(cabecalho), false);
        abertos[j].fimDoCabecalho = y;
    };
    auto fecha = [&](size_t j) {
        TppGroup& g = *grupos[j];
        Aberto& a = abertos[j];
        ex_.grupoAntesDoRodape(g);
        if (!(g.FooterBand().HideWhenOneDetail && a.detalhes == 1))
            anexa(gera(g.FooterBand()), false);
        ex_.grupoTermina(g);
        if (principal) {
            for (Faixa::Grupo& aberto : corpo().grupos)
                if (aberto.id == a.id)
                    aberto.fim = y;
        } else {
            corpo().grupos.push_back({a.inicio, a.fimDoCabecalho, y, g.KeepTogether,
                                      g.ReprintOnSubsequentPage, g.mmNewPageThreshold,
                                      std::move(a.cabecalho)});
        }
        a = Aberto();
    };

    auto* detalhe = dynamic_cast<TppDetailBand*>(r.banda(TppBandType::btDetail));
    if (&r == principal_)
        detalhePrincipal_ = detalhe;
    int detalhesImpressos = 0;
    for (size_t i = 0; i < registros.size(); ++i) {
        if (p) {
            ex_.posiciona(*p, registros[i]);
            const std::function<void()>* eventos[] = {i == 0 ? &p->OnFirst : &p->OnNext,
                                                      &p->OnRecordPositionChange, &p->OnTraversal};
            for (const auto* e : eventos)
                if (*e)
                    (*e)();
        }
        std::vector<QString> valores;
        size_t quebra = grupos.size();
        for (size_t j = 0; j < grupos.size(); ++j) {
            valores.push_back(valorDeQuebra(*grupos[j]));
            if (quebra == grupos.size() && (!abertos[j].aberto || abertos[j].valor != valores[j]))
                quebra = j;
        }
        if (quebra < grupos.size()) {
            const bool houveAnterior = abertos[quebra].aberto;
            if (houveAnterior && grupos[quebra]->BeforeGroupBreak)
                grupos[quebra]->BeforeGroupBreak();
            for (size_t j = grupos.size(); j-- > quebra;)
                if (abertos[j].aberto)
                    fecha(j);
            for (size_t j = quebra; j < grupos.size(); ++j)
                abre(j, valores[j]);
            if (houveAnterior && grupos[quebra]->AfterGroupBreak)
                grupos[quebra]->AfterGroupBreak();
        }
        ex_.acumula(r);
        for (Aberto& a : abertos)
            ++a.detalhes;
        if (!detalhe)
            continue;
        if (&r == principal_)
            registroDoMestre_ = registros[i] >= 0 ? static_cast<int>(i) : -1;
        for (int vez = 0; vez < std::max(detalhe->BandsPerRecord, 1); ++vez) {
            if (detalhe->PrintCount > 0 && detalhesImpressos >= detalhe->PrintCount)
                break;
            anexa(gera(*detalhe), detalhe->PrintHeight == TppPrintHeightType::phStatic);
            ++detalhesImpressos;
        }
    }
    for (size_t j = grupos.size(); j-- > 0;)
        if (abertos[j].aberto)
            fecha(j);
    if (auto* sumario = dynamic_cast<TppSummaryBand*>(r.banda(TppBandType::btSummary))) {
        if (sumario->AlignToBottom)
            corpo().inicioAlinhadoAoFundo = y;
        anexa(gera(*sumario), false);
    }
    if (p)
        ex_.posiciona(*p, posicaoAnterior);
    return local;
}

Faixa GeradorDeFaixas::geraBanda(TppBand& b, int esquerda, int largura) {
    if (b.BeforeGenerate)
        b.BeforeGenerate();
    ex_.calcula(b);
    if (b.BeforePrint)
        b.BeforePrint();
    const int registro = &b == detalhePrincipal_ ? registroDoMestre_ : -1;
    Faixa f;
    if (!b.Visible) {
        if (b.AfterGenerate)
            b.AfterGenerate();
        return f;
    }
    const bool dinamica = b.PrintHeight == TppPrintHeightType::phDynamic;

    struct Esticado {
        const TppComponent* componente;
        int deslocamento;
        int crescimento;
    };
    std::vector<Esticado> esticados;
    std::vector<std::pair<TppCustomGraphic*, int>> seguemABanda;
    int fundo = 0;
    int crescimento = 0; // how far the lowest stretchable pushed what lies below it
    bool temEsticavel = false;
    for (const Componente& k : componentes(b)) {
        TppComponent* c = k.componente;
        if (c->OnPrint)
            c->OnPrint();
        if (!c->Visible)
            continue;
        // Below a stretchable that grew (or the one it is tied to), a component moves down.
        TppStretchable* esticavel = k.esticavel;
        int deslocamento = 0;
        for (const Esticado& e : esticados) {
            const bool abaixo = e.componente->mmTop + e.componente->mmHeight <= c->mmTop &&
                                sobrepoeNaHorizontal(*e.componente, *c);
            if (abaixo || (esticavel && esticavel->ShiftRelativeTo == e.componente))
                deslocamento = std::max(deslocamento, e.deslocamento + e.crescimento);
        }
        const Retangulo caixa{esquerda + c->mmLeft, c->mmTop + deslocamento, c->mmWidth,
                              c->mmHeight};
        if (TppSubReport* sub = k.subrelatorio;
            sub && sub->PrintBehavior == TppPrintBehavior::pbSection) {
            std::vector<Secao> antes = std::move(secoesPendentes_);
            secoesPendentes_.clear();
            Faixa corpo = geraRelatorio(sub->Report(), esquerdaDaPagina_, larguraDaPagina_, true);
            antes.push_back({&sub->Report(), std::move(corpo), sub->ResetPageNo});
            for (Secao& s : secoesPendentes_)
                antes.push_back(std::move(s));
            secoesPendentes_ = std::move(antes);
            continue;
        }
        if (esticavel) {
            auto* memo = dynamic_cast<TppMemo*>(c);
            TppSubReport* sub = k.subrelatorio;
            // A formatted text is printed whole even in a static band, which grows for it
            // (never shrinks): a justification cut at its box would lose what was written.
            const bool rico = dynamic_cast<TppDBRichText*>(c) != nullptr;
            const bool estica = (dinamica || rico) && !(memo && !memo->Stretch) &&
                                !(sub && sub->PrintBehavior == TppPrintBehavior::pbFixed);
            Faixa conteudo = geraEsticavel(*esticavel, caixa.esquerda, caixa.largura);
            if (!estica)
                conteudo.corta(c->mmHeight);
            int altura = estica ? conteudo.altura : c->mmHeight;
            if (estica && !dinamica)
                altura = std::max(altura, c->mmHeight);
            f.incorpora(conteudo, 0, caixa.topo);
            esticados.push_back({c, deslocamento, altura - c->mmHeight});
            fundo = std::max(fundo, caixa.topo + altura);
            crescimento = std::max(crescimento, deslocamento + altura - c->mmHeight);
            temEsticavel = true;
            continue;
        }
        if (TppCustomGraphic* g = k.grafico) {
            if (g->ParentHeight || g->StretchWithParent || g->ParentWidth) {
                seguemABanda.emplace_back(g, caixa.topo);
                if (!g->ParentHeight)
                    fundo = std::max(fundo, caixa.base());
                continue;
            }
            acrescentaGrafico(f, *g, caixa, false);
        } else if (TppCustomText* t = k.texto) {
            ComandoTexto comando = desenhista::texto(*t, ex_.texto(*t), caixa);
            if (k.deDados)
                comando.registro = registro;
            acrescenta(f, std::move(comando), caixa);
            acrescentaBorda(f, t->Border, caixa);
        }
        fundo = std::max(fundo, caixa.base());
    }
    const bool cresceu = !dinamica && crescimento > 0;
    const int altura = dinamica ? fundo : b.mmHeight + (cresceu ? crescimento : 0);
    for (auto [g, topo] : seguemABanda) {
        Retangulo caixa{esquerda + g->mmLeft, topo, g->mmWidth, g->mmHeight};
        if (g->ParentHeight) {
            caixa.topo = 0;
            caixa.altura = altura;
        } else if (g->StretchWithParent) {
            caixa.altura += altura - b.mmHeight;
        }
        if (g->ParentWidth) {
            caixa.esquerda = esquerda;
            caixa.largura = largura;
        }
        acrescentaGrafico(f, *g, caixa, true);
    }
    f.altura = altura;
    // A band without stretchables moves to the next page whole; one whose stretchables grew
    // may be cut between their lines.
    if ((!dinamica && !cresceu) || !temEsticavel)
        f.indivisiveis.push_back({0, altura});
    if (b.AfterGenerate)
        b.AfterGenerate();
    if (b.AfterPrint)
        b.AfterPrint();
    return f;
}

Faixa GeradorDeFaixas::geraEsticavel(TppStretchable& c, int esquerda, int largura) {
    Faixa f;
    auto poeLinhas = [&f](const std::vector<ComandoTexto>& linhas) {
        for (const ComandoTexto& l : linhas) {
            acrescenta(f, l, l.caixa);
            f.altura = l.caixa.base();
        }
    };
    if (auto* memo = dynamic_cast<TppMemo*>(&c)) {
        const QString texto = memo->Lines.join(QLatin1Char('\n'));
        if (!texto.isEmpty())
            poeLinhas(desenhista::linhas(*memo, texto, {esquerda, 0, largura, c.mmHeight},
                                         memo->mmLeading, memo->CharWrap));
    } else if (auto* rico = dynamic_cast<TppDBRichText*>(&c)) {
        const QString texto =
            ex_.valor(Execucao::pipelineDe(c, rico->DataPipeline, rico->ParentDataPipeline),
                      rico->DataField)
                .asString();
        if (!texto.trimmed().isEmpty())
            poeLinhas(linhasRicas(
                *rico, leTextoRico(texto, rico->Font),
                {esquerda + rico->mmLeftMargin, 0, largura - rico->mmLeftMargin, c.mmHeight}));
    } else if (auto* sub = dynamic_cast<TppSubReport*>(&c)) {
        const bool larguraDaPagina = sub->ParentWidth;
        f = geraRelatorio(sub->Report(), larguraDaPagina ? esquerdaDaPagina_ : esquerda,
                          larguraDaPagina ? larguraDaPagina_ : largura, true);
    }
    return f;
}

} // namespace nq
