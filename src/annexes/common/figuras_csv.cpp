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
};

namespace {

// The pipeline a detail component reads and the field that prints the figure;
// no table when the component prints no money.
struct Origem {
    TppDBPipeline* pipeline = nullptr;
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
        return {p, p->DataSource, d->DataField};
    }
    auto* v = dynamic_cast<TppVariable*>(&c);
    if (!v || v->DataType != TppDataType::dtCurrency || !c.Band() || !c.Band()->Report())
        return {};
    TppDBPipeline* p = c.Band()->Report()->DataPipeline;
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

template <class F> void paraCadaDetalhe(TppCustomReport& r, const F& f) {
    for (TppBand* banda : r.todasAsBandas())
        for (const auto& c : banda->componentes()) {
            if (auto* sub = dynamic_cast<TppSubReport*>(c.get()))
                paraCadaDetalhe(sub->Report(), f);
            else if (banda->tipo() == TppBandType::btDetail)
                if (auto* t = dynamic_cast<TppCustomText*>(c.get());
                    t && (dynamic_cast<TppVariable*>(t) ||
                          (dynamic_cast<TppDBText*>(t) && !dynamic_cast<TppDBCalc*>(t))))
                    f(*t);
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
    paraCadaDetalhe(relatorio, [this](TppCustomText& c) {
        auto g = std::make_unique<Gancho>();
        g->componente = &c;
        g->anterior = c.OnGetText;
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
}

void ColetorDeFiguras::registra(const Gancho& gancho, const QString& texto) {
    if (texto.trimmed().isEmpty())
        return;
    const Origem o = origemDe(*gancho.componente);
    if (!o.tabela)
        return;
    // A pipeline field aliased "ID" names the key of a table without an ID column.
    const QString id = o.pipeline->campoDaTabela(QStringLiteral("ID"));
    figuras_.push_back({o.tabela->name(), campoDaLinha(*o.tabela, id, true).trimmed(),
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
    QSaveFile saida(arquivo);
    if (!saida.open(QIODevice::WriteOnly) || saida.write(dados) != dados.size() || !saida.commit())
        throw Erro(QStringLiteral("Não foi possível gravar o arquivo %1: %2")
                       .arg(arquivo, saida.errorString()));
}

} // namespace nq
