#include "annexes/common/figuras_csv.h"

#include "core/erro.h"
#include "report/execucao.h"
#include "report/formato.h"
#include "report/modelo.h"
#include "tables/clientdataset.h"

#include <QSaveFile>

namespace nq {

struct ColetorDeFiguras::Gancho {
    TppCustomText* componente = nullptr;
    std::function<void(QString&)> anterior;
    // A heading's figure prints again on every page: it is recorded once.
    bool doCabecalho = false;
    mutable bool registrado = false;
};

struct ColetorDeFiguras::InicioDeGrupo {
    TppGroup* grupo = nullptr;
    std::function<void()> anterior;
};

namespace {

// The table a detail component reads and the field that prints the figure;
// no table when the component prints no money.
struct Origem {
    ClientDataSet* tabela = nullptr;
    QString coluna;
};

Origem origemDe(TppCustomText& c) {
    if (auto* d = dynamic_cast<TppDBText*>(&c)) {
        TppDBPipeline* p = Execucao::pipelineDe(c, d->DataPipeline, d->ParentDataPipeline);
        if (!p || !p->DataSource)
            return {};
        const int i = p->DataSource->fieldIndex(p->campoDaTabela(d->DataField));
        if (i < 0 || p->DataSource->fieldDef(i).kind != FieldKind::Money)
            return {};
        return {p->DataSource, d->DataField};
    }
    auto* v = dynamic_cast<TppVariable*>(&c);
    if (!v || v->DataType != TppDataType::dtCurrency || !c.Band() || !c.Band()->Report())
        return {};
    TppDBPipeline* p = c.Band()->Report()->DataPipeline;
    if (!p || !p->DataSource)
        return {};
    return {p->DataSource, v->Name};
}

QString campoDaLinha(ClientDataSet& t, const QString& nome, bool primeiroSeAusente) {
    int i = t.fieldIndex(nome);
    if (i < 0 && primeiroSeAusente && t.fieldCount() > 0)
        i = 0;
    return i < 0 ? QString() : t.field(i).asString();
}

bool bandaDeLinhas(TppBandType tipo) {
    return tipo == TppBandType::btDetail || tipo == TppBandType::btGroupHeader ||
           tipo == TppBandType::btGroupFooter;
}

bool bandaDeCabecalho(TppBandType tipo) {
    return tipo == TppBandType::btHeader || tipo == TppBandType::btTitle;
}

// Calls `texto` for every text of a detail or group band that may print a
// figure, and for every data field of a heading (with true), and `grupo` for
// every group, in `r` and its subreports.
template <class F, class G> void paraCadaLinha(TppCustomReport& r, const F& texto, const G& grupo) {
    for (const auto& g : r.grupos())
        grupo(*g);
    for (TppBand* banda : r.todasAsBandas())
        for (const auto& c : banda->componentes()) {
            auto* t = dynamic_cast<TppCustomText*>(c.get());
            const bool dado = dynamic_cast<TppDBText*>(t) && !dynamic_cast<TppDBCalc*>(t);
            if (auto* sub = dynamic_cast<TppSubReport*>(c.get()))
                paraCadaLinha(sub->Report(), texto, grupo);
            else if (bandaDeLinhas(banda->tipo()) && (dado || dynamic_cast<TppVariable*>(t)))
                texto(*t, false);
            else if (bandaDeCabecalho(banda->tipo()) && dado)
                texto(*t, true);
        }
}

// The table a group breaks on.
ClientDataSet* tabelaDoGrupo(const TppGroup& g) {
    TppDBPipeline* p = g.DataPipeline;
    if (!p && g.HeaderBand().Report())
        p = g.HeaderBand().Report()->DataPipeline;
    return p ? p->DataSource : nullptr;
}

QString campoCsv(const QString& texto) {
    if (!texto.contains(QLatin1Char(';')) && !texto.contains(QLatin1Char('"')) &&
        !texto.contains(QLatin1Char('\n')) && !texto.contains(QLatin1Char('\r')))
        return texto;
    QString t = texto;
    t.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + t + QLatin1Char('"');
}

} // namespace

ColetorDeFiguras::ColetorDeFiguras(TppReport& relatorio) {
    const auto texto = [this](TppCustomText& c, bool doCabecalho) {
        auto g = std::make_unique<Gancho>();
        g->componente = &c;
        g->anterior = c.OnGetText;
        g->doCabecalho = doCabecalho;
        const Gancho* gancho = g.get();
        c.OnGetText = [this, gancho](QString& texto) {
            if (gancho->anterior)
                gancho->anterior(texto);
            registra(*gancho, texto);
        };
        ganchos_.push_back(std::move(g));
    };
    // The group's first row is current when its header is generated.
    const auto grupo = [this](TppGroup& g) {
        auto inicio = std::make_unique<InicioDeGrupo>();
        inicio->grupo = &g;
        inicio->anterior = g.HeaderBand().BeforeGenerate;
        const InicioDeGrupo* i = inicio.get();
        g.HeaderBand().BeforeGenerate = [this, i] {
            if (i->anterior)
                i->anterior();
            Linha linha;
            if (ClientDataSet* t = tabelaDoGrupo(*i->grupo))
                linha = {campoDaLinha(*t, QStringLiteral("ID"), true),
                         campoDaLinha(*t, QStringLiteral("NOME"), false)};
            std::erase_if(linhasDosGrupos_, [i](const auto& p) { return p.first == i->grupo; });
            linhasDosGrupos_.emplace_back(i->grupo, linha);
        };
        inicios_.push_back(std::move(inicio));
    };
    paraCadaLinha(relatorio, texto, grupo);
}

ColetorDeFiguras::~ColetorDeFiguras() {
    for (const auto& g : ganchos_)
        g->componente->OnGetText = g->anterior;
    for (const auto& i : inicios_)
        i->grupo->HeaderBand().BeforeGenerate = i->anterior;
}

void ColetorDeFiguras::registra(const Gancho& gancho, const QString& texto) {
    if (texto.trimmed().isEmpty() || (gancho.doCabecalho && gancho.registrado))
        return;
    const Origem o = origemDe(*gancho.componente);
    if (!o.tabela)
        return;
    Linha linha{campoDaLinha(*o.tabela, QStringLiteral("ID"), true),
                campoDaLinha(*o.tabela, QStringLiteral("NOME"), false)};
    if (const TppGroup* g = gancho.componente->Band()->Group())
        for (const auto& [grupo, doGrupo] : linhasDosGrupos_)
            if (grupo == g)
                linha = doGrupo;
    Figura f{o.tabela->name(), linha.id, linha.descricao, o.coluna, numeroSimples(texto)};
    // The heading comes first on the page, though the pages are laid out after the lines.
    if (gancho.doCabecalho)
        figuras_.insert(figuras_.begin() + figurasDoCabecalho_++, std::move(f));
    else
        figuras_.push_back(std::move(f));
    gancho.registrado = true;
}

QString numeroSimples(const QString& impresso) {
    const QLocale locale = localeDosRelatorios();
    QString t = impresso.trimmed();
    t.remove(locale.groupSeparator());
    t.replace(locale.negativeSign(), QStringLiteral("-"));
    t.replace(locale.decimalPoint(), QStringLiteral("."));
    return t;
}

void gravaFigurasCsv(const QString& arquivo, const std::vector<Figura>& figuras) {
    QByteArray dados = QByteArrayLiteral("quadro;id;descricao;coluna;valor\n");
    for (const Figura& f : figuras)
        dados += (QStringList{campoCsv(f.quadro), campoCsv(f.id), campoCsv(f.descricao),
                              campoCsv(f.coluna), campoCsv(f.valor)}
                      .join(QLatin1Char(';')) +
                  QLatin1Char('\n'))
                     .toUtf8();
    QSaveFile saida(arquivo);
    if (!saida.open(QIODevice::WriteOnly) || saida.write(dados) != dados.size() || !saida.commit())
        throw Erro(QStringLiteral("Não foi possível gravar o arquivo %1: %2")
                       .arg(arquivo, saida.errorString()));
}

} // namespace nq
