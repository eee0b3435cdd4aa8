#include "report/modelo.h"

#include "core/erro.h"

namespace nq {

TppBandType TppComponent::BandType() const {
    return banda_ ? banda_->tipo() : TppBandType::btNotKnown;
}

int TppComponent::GroupNo() const {
    return banda_ && banda_->Group() ? banda_->Group()->indice() : -1;
}

TppSubReport::TppSubReport() : relatorio_(std::make_unique<TppChildReport>(this)) {}

TppSubReport::~TppSubReport() = default;

TppGroup::TppGroup() {
    cabecalho_.grupo_ = this;
    rodape_.grupo_ = this;
}

QString TppDBPipeline::campoDaTabela(const QString& nome) const {
    for (const TppField& f : Fields)
        if (f.FieldAlias.compare(nome, Qt::CaseInsensitive) == 0 ||
            f.FieldName.compare(nome, Qt::CaseInsensitive) == 0)
            return f.FieldName;
    return nome;
}

TppCustomReport::~TppCustomReport() = default;

TppBand* TppCustomReport::banda(TppBandType tipo) const {
    for (const auto& b : bandas_)
        if (b->tipo() == tipo)
            return b.get();
    return nullptr;
}

TppGroup& TppCustomReport::adicionaGrupo() {
    auto g = std::make_unique<TppGroup>();
    g->indice_ = static_cast<int>(grupos_.size());
    g->cabecalho_.relatorio_ = this;
    g->rodape_.relatorio_ = this;
    grupos_.push_back(std::move(g));
    return *grupos_.back();
}

std::vector<TppBand*> TppCustomReport::todasAsBandas() const {
    std::vector<TppBand*> todas;
    for (const auto& b : bandas_)
        todas.push_back(b.get());
    for (const auto& g : grupos_) {
        todas.push_back(&g->HeaderBand());
        todas.push_back(&g->FooterBand());
    }
    return todas;
}

namespace {

TppComponent* procura(const TppCustomReport& r, const QString& nome, bool porUserName) {
    for (TppBand* b : r.todasAsBandas())
        for (const auto& c : b->componentes()) {
            if ((porUserName ? c->UserName : c->Name) == nome)
                return c.get();
            if (auto* sub = dynamic_cast<TppSubReport*>(c.get()))
                if (TppComponent* achado = procura(sub->Report(), nome, porUserName))
                    return achado;
        }
    return nullptr;
}

} // namespace

TppComponent* TppCustomReport::componente(const QString& nome) const {
    if (TppComponent* c = procura(*this, nome, false))
        return c;
    return procura(*this, nome, true);
}

TppGroup* TppCustomReport::grupo(const QString& nome) const {
    for (const auto& g : grupos_)
        if (g->Name == nome)
            return g.get();
    return nullptr;
}

void TppCustomReport::erroComponenteAusente(const QString& nome) const {
    throw Erro(QStringLiteral("O relatório \"%1\" não tem o componente \"%2\" do tipo esperado.")
                   .arg(Name, nome));
}

TppReport::TppReport() = default;

TppReport::~TppReport() = default;

TppDBPipeline& TppReport::criaPipeline(const QString& nome) {
    if (pipeline(nome))
        throw Erro(
            QStringLiteral("O relatório \"%1\" já tem a fonte de dados \"%2\".").arg(Name, nome));
    pipelines_.push_back(std::make_unique<TppDBPipeline>());
    pipelines_.back()->Name = nome;
    return *pipelines_.back();
}

TppDBPipeline* TppReport::pipeline(const QString& nome) const {
    for (const auto& p : pipelines_)
        if (p->Name == nome)
            return p.get();
    return nullptr;
}

void TppReport::ligaTabela(const QString& nome, ClientDataSet& tabela) {
    TppDBPipeline* p = pipeline(nome);
    if (!p)
        throw Erro(
            QStringLiteral("O relatório \"%1\" não tem a fonte de dados \"%2\".").arg(Name, nome));
    p->DataSource = &tabela;
}

} // namespace nq
