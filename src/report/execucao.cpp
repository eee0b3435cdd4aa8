#include "report/execucao.h"

#include "core/erro.h"
#include "report/formato.h"
#include "report/motor.h"
#include "report/verificacao.h"
#include "tables/clientdataset.h"

#include <algorithm>

namespace nq {

namespace {

// Calls `f(banda, componente)` for every component of `r` and of its subreports.
template <class F> void percorre(const TppCustomReport& r, F&& f) {
    for (TppBand* b : r.todasAsBandas())
        for (const auto& c : b->componentes()) {
            f(*b, *c);
            if (auto* sub = dynamic_cast<TppSubReport*>(c.get()))
                percorre(sub->Report(), f);
        }
}

void percorreRelatorios(const TppCustomReport& r,
                        const std::function<void(const TppCustomReport&)>& f) {
    f(r);
    percorre(r, [&f](TppBand&, TppComponent& c) {
        if (auto* sub = dynamic_cast<TppSubReport*>(&c))
            f(sub->Report());
    });
}

[[noreturn]] void erroDeCampo(const TppDBPipeline& p, const QString& campo) {
    throw Erro(
        QStringLiteral("O campo \"%1\" não existe na fonte de dados \"%2\".").arg(campo, p.Name));
}

Value soma(const Value& a, const Value& b) {
    if (a.isNull())
        return b;
    if (std::holds_alternative<Moeda>(a.dados()) && std::holds_alternative<Moeda>(b.dados()))
        return Value(a.asCurrency() + b.asCurrency());
    return Value(a.asFloat() + b.asFloat());
}

bool menor(const Value& a, const Value& b) {
    if (std::holds_alternative<QString>(a.dados()))
        return a.asString() < b.asString();
    if (std::holds_alternative<Moeda>(a.dados()) && std::holds_alternative<Moeda>(b.dados()))
        return a.asCurrency() < b.asCurrency();
    return a.asFloat() < b.asFloat();
}

} // namespace

Execucao::Execucao(TppReport& relatorio)
    : relatorio_(relatorio), inicio_(QDateTime::currentDateTime()) {
    verificaRecursos(relatorio_);
    percorre(relatorio_, [this](TppBand&, TppComponent& c) {
        if (auto* v = dynamic_cast<TppVariable*>(&c))
            variaveis_.push_back(v);
        if (auto* calc = dynamic_cast<TppDBCalc*>(&c))
            calculos_.push_back(calc);
    });
    for (TppVariable* v : variaveis_)
        zera(*v);
    try {
        abrePipelines();
    } catch (...) {
        fechaPipelines();
        throw;
    }
}

Execucao::~Execucao() {
    fechaPipelines();
}

void Execucao::abrePipelines() {
    std::vector<TppDBPipeline*> usados;
    auto usa = [&usados](TppDBPipeline* p) {
        if (p && std::find(usados.begin(), usados.end(), p) == usados.end())
            usados.push_back(p);
    };
    percorreRelatorios(relatorio_, [&usa](const TppCustomReport& r) {
        usa(r.DataPipeline);
        for (const auto& g : r.grupos())
            usa(g->DataPipeline);
    });
    // Data-aware components: their pipelines, and the fields they read.
    std::vector<std::pair<TppDBPipeline*, QString>> campos;
    percorre(relatorio_, [&](TppBand&, TppComponent& c) {
        if (auto* t = dynamic_cast<TppDBText*>(&c))
            campos.emplace_back(pipelineDe(c, t->DataPipeline, t->ParentDataPipeline),
                                t->DataField);
        if (auto* t = dynamic_cast<TppDBRichText*>(&c))
            campos.emplace_back(pipelineDe(c, t->DataPipeline, t->ParentDataPipeline),
                                t->DataField);
    });
    for (const auto& [p, campo] : campos)
        usa(p);
    for (TppDBPipeline* p : usados) {
        if (p->BeforeOpen)
            p->BeforeOpen();
        ClientDataSet* tabela = p->DataSource;
        if (tabela && !tabela->active() && p->OpenDataSource) {
            try {
                tabela->open();
            } catch (const Erro&) {
                // Reported below with the pipeline's name, as the user knows it.
            }
        }
        if (!tabela || !tabela->active())
            throw Erro(textos_do_motor::FonteDeDados + QStringLiteral(": ") + p->Name);
        abertos_.push_back(p);
        marcadores_[p] = tabela->bookmark();
        const std::vector<int> rs = registros(*p);
        inicial_[p] = rs.empty() ? -1 : rs.front();
        posiciona(*p, inicial_[p]);
        if (p->AfterOpen)
            p->AfterOpen();
    }
    for (const auto& [p, campo] : campos)
        if (p && !campo.isEmpty() && p->DataSource->fieldIndex(p->campoDaTabela(campo)) < 0)
            erroDeCampo(*p, campo);
}

void Execucao::fechaPipelines() {
    for (TppDBPipeline* p : abertos_) {
        try {
            const int marcador = marcadores_[p];
            if (marcador >= 0 && p->DataSource->active())
                p->DataSource->gotoBookmark(marcador);
            if (!p->CloseDataSource)
                continue;
            if (p->BeforeClose)
                p->BeforeClose();
            p->DataSource->close();
            if (p->AfterClose)
                p->AfterClose();
        } catch (const Erro&) {
            // Closing after the run must not hide the run's own result or error.
        }
    }
}

Execucao::PosicoesDoFim::PosicoesDoFim(Execucao& ex) : ex_(ex) {
    for (TppDBPipeline* p : ex_.abertos_) {
        const ClientDataSet* t = p->DataSource;
        atuais_.push_back({p, ex_.posicao(*p), t && t->active() ? t->recNo() : 0});
        ex_.posiciona(*p, ex_.inicial_[p]);
    }
}

Execucao::PosicoesDoFim::~PosicoesDoFim() {
    // The tables go back to the very rows they were on, which event handlers may have moved.
    for (const Posicao& a : atuais_) {
        ex_.atual_[a.pipeline] = a.registro;
        ClientDataSet* t = a.pipeline->DataSource;
        if (t && t->active() && a.linhaDaTabela > 0 && t->recNo() != a.linhaDaTabela)
            t->setRecNo(a.linhaDaTabela);
    }
}

std::vector<int> Execucao::registros(const TppDBPipeline& p) const {
    const ClientDataSet* t = p.DataSource;
    const int n = t && t->active() ? t->recordCount() : 0;
    if (n == 0)
        return {};
    const int atual = std::max(t->recNo() - 1, 0);
    int primeiro = 0;
    if (p.RangeBegin == TppRangeBegin::rbLastRecord)
        primeiro = n - 1;
    else if (p.RangeBegin == TppRangeBegin::rbCurrentRecord)
        primeiro = atual;
    int ultimo = n - 1;
    if (p.RangeEnd == TppRangeEnd::reFirstRecord)
        ultimo = 0;
    else if (p.RangeEnd == TppRangeEnd::reCurrentRecord)
        ultimo = atual;
    else if (p.RangeEnd == TppRangeEnd::reCount)
        ultimo = std::min(n - 1, primeiro + std::max(p.RangeEndCount, 1) - 1);
    std::vector<int> rs;
    for (int i = primeiro; i <= ultimo; i += std::max(p.MoveBy, 1))
        rs.push_back(i);
    return rs;
}

void Execucao::posiciona(const TppDBPipeline& p, int registro) {
    atual_[&p] = registro;
    ClientDataSet* t = p.DataSource;
    if (registro >= 0 && t && t->active() && t->recNo() != registro + 1)
        t->setRecNo(registro + 1);
}

int Execucao::posicao(const TppDBPipeline& p) const {
    const auto it = atual_.find(&p);
    return it == atual_.end() ? -1 : it->second;
}

Value Execucao::valor(const TppDBPipeline* p, const QString& campo) const {
    if (!p || campo.isEmpty())
        return {};
    const int registro = posicao(*p);
    if (registro < 0)
        return {};
    return p->DataSource->valueAt(registro, indiceDoCampo(*p, campo));
}

int Execucao::indiceDoCampo(const TppDBPipeline& p, const QString& campo) const {
    const int indice = p.DataSource->fieldIndex(p.campoDaTabela(campo));
    if (indice < 0)
        erroDeCampo(p, campo);
    return indice;
}

TppDBPipeline* Execucao::pipelineDe(const TppComponent& c, TppDBPipeline* proprio, bool doPai) {
    if (proprio)
        return proprio;
    if (doPai && c.Band() && c.Band()->Report())
        return c.Band()->Report()->DataPipeline;
    return nullptr;
}

Execucao::TextoResolvido& Execucao::resolvido(TppCustomText& c) {
    auto [it, novo] = textos_.try_emplace(&c);
    if (novo) {
        using Tipo = TextoResolvido::Tipo;
        // A calculation is a data text too: it is asked first.
        Tipo& tipo = it->second.tipo;
        if (dynamic_cast<TppLabel*>(&c))
            tipo = Tipo::Rotulo;
        else if (dynamic_cast<TppDBCalc*>(&c))
            tipo = Tipo::Agregado;
        else if (dynamic_cast<TppDBText*>(&c))
            tipo = Tipo::Dados;
        else if (dynamic_cast<TppVariable*>(&c))
            tipo = Tipo::Variavel;
        else if (dynamic_cast<TppSystemVariable*>(&c))
            tipo = Tipo::Sistema;
        else
            tipo = Tipo::Outro;
    }
    return it->second;
}

QString Execucao::texto(TppCustomText& c) {
    using Tipo = TextoResolvido::Tipo;
    TextoResolvido& r = resolvido(c);
    QString t;
    switch (r.tipo) {
    case Tipo::Rotulo:
        t = static_cast<TppLabel&>(c).Caption;
        break;
    case Tipo::Agregado: {
        const auto& calc = static_cast<TppDBCalc&>(c);
        t = formataValor(valorDoAgregado(calc), calc.DisplayFormat, calc.BlankWhenZero);
        break;
    }
    case Tipo::Dados: {
        auto& d = static_cast<TppDBText&>(c);
        const TppDBPipeline* p = pipelineDe(c, d.DataPipeline, d.ParentDataPipeline);
        Value v;
        if (const int registro = p && !d.DataField.isEmpty() ? posicao(*p) : -1; registro >= 0) {
            if (r.indice < 0 || r.pipeline != p || r.campo != d.DataField)
                r = {Tipo::Dados, p, d.DataField, indiceDoCampo(*p, d.DataField)};
            v = p->DataSource->valueAt(registro, r.indice);
        }
        t = formataValor(v, d.DisplayFormat, d.BlankWhenZero);
        if (d.OnFormat)
            d.OnFormat(d.DisplayFormat, v, t);
        if (d.SuppressRepeatedValues) {
            auto [it, novo] = ultimoTexto_.try_emplace(&d, t);
            if (!novo && it->second == t)
                t.clear();
            else
                it->second = t;
        }
        break;
    }
    case Tipo::Variavel: {
        const auto& v = static_cast<TppVariable&>(c);
        t = formataValor(v.value, v.DisplayFormat, v.BlankWhenZero);
        break;
    }
    case Tipo::Sistema:
        t = textoDeSistema(static_cast<TppSystemVariable&>(c));
        break;
    case Tipo::Outro:
        break;
    }
    if (c.OnGetText)
        c.OnGetText(t);
    return t;
}

QString Execucao::textoDeSistema(const TppSystemVariable& v) const {
    const QLocale locale = localeDosRelatorios();
    const QDateTime agora = QDateTime::currentDateTime();
    switch (v.VarType) {
    case TppVarType::vtDate:
        return locale.toString(agora.date(), QLocale::ShortFormat);
    case TppVarType::vtTime:
        return locale.toString(agora.time(), QLocale::ShortFormat);
    case TppVarType::vtDateTime:
        return locale.toString(agora, QLocale::ShortFormat);
    case TppVarType::vtPrintDateTime:
        return locale.toString(inicio_, QLocale::ShortFormat);
    case TppVarType::vtDocumentName:
        return relatorio_.PrinterSetup.DocumentName;
    case TppVarType::vtPageNo:
        return QString::number(paginaRelativa);
    case TppVarType::vtPageNoDesc:
        return QStringLiteral("Página %1").arg(paginaRelativa);
    case TppVarType::vtCopyNo:
        return QStringLiteral("1");
    case TppVarType::vtCopyNoDesc:
        return QStringLiteral("Cópia 1");
    case TppVarType::vtPageCount:
    case TppVarType::vtPageSet:
    case TppVarType::vtPageSetDesc:
    case TppVarType::vtSearchDesc:
        break;
    }
    return {};
}

void Execucao::zera(TppVariable& v) {
    switch (v.DataType) {
    case TppDataType::dtCurrency:
        v.value = Value(Moeda());
        break;
    case TppDataType::dtInteger:
    case TppDataType::dtLongint:
    case TppDataType::dtLargeInt:
        v.value = Value(int32_t{0});
        break;
    case TppDataType::dtSingle:
    case TppDataType::dtDouble:
    case TppDataType::dtExtended:
        v.value = Value(0.0);
        break;
    case TppDataType::dtString:
    case TppDataType::dtChar:
    case TppDataType::dtMemo:
        v.value = Value(QString());
        break;
    default:
        v.value = Value();
        break;
    }
    if (v.OnReset)
        v.OnReset(v, v.value);
}

void Execucao::calcula(const TppBand& banda) {
    VariaveisDaBanda& daBanda = variaveisDasBandas_[&banda];
    bool emOrdem = daBanda.ordenadas && daBanda.componentes == banda.componentes().size();
    for (std::size_t i = 0; emOrdem && i < daBanda.variaveis.size(); ++i)
        emOrdem = daBanda.variaveis[i]->CalcOrder == daBanda.ordens[i];
    if (!emOrdem) {
        daBanda = {{}, {}, banda.componentes().size(), true};
        for (const auto& c : banda.componentes())
            if (auto* v = dynamic_cast<TppVariable*>(c.get()))
                daBanda.variaveis.push_back(v);
        std::stable_sort(
            daBanda.variaveis.begin(), daBanda.variaveis.end(),
            [](const TppVariable* a, const TppVariable* b) { return a->CalcOrder < b->CalcOrder; });
        for (const TppVariable* v : daBanda.variaveis)
            daBanda.ordens.push_back(v->CalcOrder);
    }
    for (TppVariable* v : daBanda.variaveis)
        if (v->OnCalc)
            v->OnCalc(*v, v->value);
}

void Execucao::grupoComeca(const TppGroup& g) {
    for (TppVariable* v : variaveis_)
        if (v->ResetComponent == &g && (v->ResetType == TppVarEventType::veGroupStart ||
                                        v->ResetType == TppVarEventType::veGroupBeforeHeader))
            zera(*v);
    for (TppDBCalc* c : calculos_)
        if (c->ResetGroup == &g)
            agregados_.erase(c);
    std::erase_if(ultimoTexto_, [&g](const auto& par) { return par.first->ResetGroup == &g; });
}

void Execucao::grupoAntesDoRodape(const TppGroup& g) {
    for (TppVariable* v : variaveis_)
        if (v->ResetComponent == &g && v->ResetType == TppVarEventType::veGroupBeforeFooter)
            zera(*v);
}

void Execucao::grupoTermina(const TppGroup& g) {
    for (TppVariable* v : variaveis_)
        if (v->ResetComponent == &g && v->ResetType == TppVarEventType::veGroupEnd)
            zera(*v);
}

void Execucao::acumula(const TppCustomReport& r) {
    for (TppDBCalc* c : calculos_) {
        if (!c->Band() || c->Band()->Report() != &r)
            continue;
        const Value v = valor(pipelineDe(*c, c->DataPipeline, c->ParentDataPipeline), c->DataField);
        Agregado& a = agregados_[c];
        ++a.quantidade;
        if (v.isNull())
            continue;
        if (c->DBCalcType != TppDBCalcType::dcCount)
            a.soma = soma(a.soma, v);
        if (a.minimo.isNull() || menor(v, a.minimo))
            a.minimo = v;
        if (a.maximo.isNull() || menor(a.maximo, v))
            a.maximo = v;
    }
}

Value Execucao::valorDoAgregado(const TppDBCalc& c) const {
    const auto it = agregados_.find(&c);
    const Agregado a = it == agregados_.end() ? Agregado{} : it->second;
    switch (c.DBCalcType) {
    case TppDBCalcType::dcCount:
        return Value(int32_t(a.quantidade));
    case TppDBCalcType::dcSum:
        return a.soma;
    case TppDBCalcType::dcMinimum:
        return a.minimo;
    case TppDBCalcType::dcMaximum:
        return a.maximo;
    case TppDBCalcType::dcAverage:
        if (a.quantidade == 0 || a.soma.isNull())
            return {};
        if (std::holds_alternative<Moeda>(a.soma.dados()))
            return Value(a.soma.asCurrency() / a.quantidade);
        return Value(a.soma.asFloat() / a.quantidade);
    }
    return {};
}

} // namespace nq
