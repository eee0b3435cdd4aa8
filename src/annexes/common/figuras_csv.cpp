#include "annexes/common/figuras_csv.h"

#include "core/erro.h"
#include "core/gravacao_atomica.h"
#include "report/execucao.h"
#include "report/formato.h"
#include "report/modelo.h"
#include "tables/clientdataset.h"

namespace nq {

struct ColetorDeFiguras::Gancho {
    TppCustomText* componente = nullptr;
    std::function<void(QString&)> anterior;
    // For a group footer's figure: the row that began the group, whose line it totals.
    const Linha* linhaDoGrupo = nullptr;
};

struct ColetorDeFiguras::Linha {
    TppBand* cabecalho = nullptr;
    std::function<void()> anterior;
    QString id;
    QString descricao;
};

namespace {

// The pipeline a figure component reads and the field that prints the figure; no table
// when the component prints no money.
struct Origem {
    TppDBPipeline* pipeline = nullptr;
    ClientDataSet* tabela = nullptr;
    QString coluna;
};

// A picture with two decimal places ("#,0.00;-#,0.00", "0.00"): money, or a percentage.
bool formatoDeFigura(const QString& formato) {
    const QString positivo = formato.section(QLatin1Char(';'), 0, 0);
    return positivo.contains(QLatin1String(".00")) && !positivo.contains(QLatin1String(".000"));
}

// The pipeline of the rows a band prints: its group's, or its report's.
TppDBPipeline* pipelineDaBanda(const TppBand& b) {
    if (b.Group() && b.Group()->DataPipeline)
        return b.Group()->DataPipeline;
    return b.Report() ? b.Report()->DataPipeline : nullptr;
}

Origem origemDe(TppCustomText& c) {
    if (auto* d = dynamic_cast<TppDBText*>(&c)) {
        TppDBPipeline* p = Execucao::pipelineDe(c, d->DataPipeline, d->ParentDataPipeline);
        if (!p || !p->DataSource)
            return {};
        const int i = p->DataSource->fieldIndex(p->campoDaTabela(d->DataField));
        if (i < 0)
            return {};
        const FieldKind tipo = p->DataSource->fieldDef(i).kind;
        if (tipo != FieldKind::Money &&
            !(tipo == FieldKind::Float && formatoDeFigura(d->DisplayFormat)))
            return {};
        return {p, p->DataSource, d->DataField};
    }
    auto* v = dynamic_cast<TppVariable*>(&c);
    if (!v || v->DataType != TppDataType::dtCurrency || !c.Band())
        return {};
    TppDBPipeline* p = pipelineDaBanda(*c.Band());
    if (!p || !p->DataSource)
        return {};
    return {p, p->DataSource, v->Name};
}

QString campoDaLinha(ClientDataSet& t, const QString& nome, bool primeiroSeAusente) {
    int i = t.fieldIndex(nome);
    if (i < 0 && primeiroSeAusente && t.fieldCount() > 0)
        i = 0;
    return i < 0 ? QString() : t.field(i).asString();
}

// The line a figure belongs to: its ID, else the field the pipeline aliases "ID" (a
// table without an ID column names its key so), else the first field; the blanks at
// both ends removed.
QString idDaLinha(const TppDBPipeline& p) {
    return campoDaLinha(*p.DataSource, p.campoDaTabela(QStringLiteral("ID")), true).trimmed();
}

// Calls `f(componente, grupo)` for the value texts of every detail band and group footer
// (`grupo` then its group), subreports included.
template <class F> void paraCadaFigura(TppCustomReport& r, const F& f) {
    for (TppBand* banda : r.todasAsBandas())
        for (const auto& c : banda->componentes()) {
            if (auto* sub = dynamic_cast<TppSubReport*>(c.get())) {
                paraCadaFigura(sub->Report(), f);
                continue;
            }
            const bool rodape = banda->tipo() == TppBandType::btGroupFooter;
            if (banda->tipo() != TppBandType::btDetail && !rodape)
                continue;
            if (auto* t = dynamic_cast<TppCustomText*>(c.get());
                t && (dynamic_cast<TppVariable*>(t) ||
                      (dynamic_cast<TppDBText*>(t) && !dynamic_cast<TppDBCalc*>(t))))
                f(*t, rodape ? banda->Group() : nullptr);
        }
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
    paraCadaFigura(relatorio, [this](TppCustomText& c, TppGroup* grupo) {
        auto g = std::make_unique<Gancho>();
        g->componente = &c;
        g->anterior = c.OnGetText;
        if (grupo)
            g->linhaDoGrupo = &linhaDoGrupo(*grupo);
        const Gancho* gancho = g.get();
        c.OnGetText = [this, gancho](QString& texto) {
            if (gancho->anterior)
                gancho->anterior(texto);
            registra(*gancho, texto);
        };
        ganchos_.push_back(std::move(g));
    });
}

ColetorDeFiguras::~ColetorDeFiguras() {
    for (const auto& g : ganchos_)
        g->componente->OnGetText = g->anterior;
    for (const auto& l : linhas_)
        l->cabecalho->BeforeGenerate = l->anterior;
}

// The group header is generated with the group's first row current: its line is noted
// there, for the footer that comes after the group's last row.
const ColetorDeFiguras::Linha& ColetorDeFiguras::linhaDoGrupo(TppGroup& grupo) {
    for (const auto& l : linhas_)
        if (l->cabecalho == &grupo.HeaderBand())
            return *l;
    auto l = std::make_unique<Linha>();
    l->cabecalho = &grupo.HeaderBand();
    l->anterior = grupo.HeaderBand().BeforeGenerate;
    Linha* linha = l.get();
    grupo.HeaderBand().BeforeGenerate = [linha] {
        linha->id.clear();
        linha->descricao.clear();
        if (TppDBPipeline* p = pipelineDaBanda(*linha->cabecalho); p && p->DataSource) {
            linha->id = idDaLinha(*p);
            linha->descricao = campoDaLinha(*p->DataSource, QStringLiteral("NOME"), false);
        }
        if (linha->anterior)
            linha->anterior();
    };
    linhas_.push_back(std::move(l));
    return *linha;
}

void ColetorDeFiguras::registra(const Gancho& gancho, const QString& texto) {
    if (texto.trimmed().isEmpty())
        return;
    const Origem o = origemDe(*gancho.componente);
    if (!o.tabela)
        return;
    if (const Linha* l = gancho.linhaDoGrupo)
        figuras_.push_back({o.tabela->name(), l->id, l->descricao, o.coluna, numeroSimples(texto)});
    else
        figuras_.push_back({o.tabela->name(), idDaLinha(*o.pipeline),
                            campoDaLinha(*o.tabela, QStringLiteral("NOME"), false), o.coluna,
                            numeroSimples(texto)});
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
    gravaArquivoAtomico(arquivo, dados);
}

} // namespace nq
