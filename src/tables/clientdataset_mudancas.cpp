#include "core/erro.h"
#include "tables/clientdataset_impl.h"

namespace nq {

// --- Change ----------------------------------------------------------------------

void ClientDataSet::checkBrowseMode() {
    if (estado_ == DataSetState::Edit || estado_ == DataSetState::Insert)
        post();
}

void ClientDataSet::append() {
    exigeAberta(QStringLiteral("acrescentar um registro"));
    checkBrowseMode();
    d_->buffer.assign(d_->dados.campos(), Value());
    d_->linhaEditada = -1;
    mudaEstado(DataSetState::Insert);
}

void ClientDataSet::edit() {
    exigeAberta(QStringLiteral("editar"));
    if (estado_ == DataSetState::Edit || estado_ == DataSetState::Insert)
        return;
    d_->garanteVisao();
    const int linha = d_->linhaAtual();
    if (linha < 0)
        throw Erro(QStringLiteral("%1 não tem registro para editar.").arg(descricao()));
    d_->buffer.clear();
    for (int c = 0; c < d_->dados.campos(); ++c)
        d_->buffer.push_back(d_->dados.valor(linha, c));
    d_->linhaEditada = linha;
    mudaEstado(DataSetState::Edit);
}

void ClientDataSet::post() {
    if (estado_ != DataSetState::Edit && estado_ != DataSetState::Insert)
        throw Erro(
            QStringLiteral("%1 não está em edição: não há registro para gravar.").arg(descricao()));
    const int persistentes = d_->persistentes();
    for (int c = 0; c < persistentes; ++c)
        if (d_->dados.def(c).required && d_->buffer[c].isNull())
            throw Erro(
                QStringLiteral("O campo %1 precisa de um valor.").arg(d_->dados.def(c).name));
    d_->garanteVisao();
    const bool inserindo = estado_ == DataSetState::Insert;
    const int linha = inserindo ? d_->dados.acrescentaLinha() : d_->linhaEditada;
    const int posicaoAntiga = inserindo                   ? -1
                              : d_->linhaAtual() == linha ? d_->atual
                                                          : d_->visao.posicaoDe(linha);
    for (int c = 0; c < persistentes; ++c)
        d_->dados.define(linha, c, d_->buffer[c]);
    d_->buffer.clear();
    d_->linhaEditada = -1;
    estado_ = DataSetState::Browse;

    // Until the row has its calculated values it cannot be placed by them; if
    // the handler fails the view is rebuilt on the next access.
    d_->visaoSuja = true;
    recalcula(linha);
    d_->visaoSuja = false;
    const int posicao = d_->visao.reposiciona(d_->dados, linha, posicaoAntiga);
    const int vizinha =
        std::min(posicaoAntiga < 0 ? d_->atual : posicaoAntiga, d_->visao.tamanho() - 1);
    d_->ficaEm(posicao >= 0 ? posicao : vizinha);
    notifica(DataSetEvent::RowChanged, posicao);
    notifica(DataSetEvent::StateChanged);
}

void ClientDataSet::cancel() {
    if (estado_ != DataSetState::Edit && estado_ != DataSetState::Insert)
        return;
    d_->buffer.clear();
    d_->linhaEditada = -1;
    mudaEstado(DataSetState::Browse);
}

void ClientDataSet::emptyDataSet() {
    exigeAberta(QStringLiteral("apagar os registros"));
    cancel();
    d_->dados.limpaLinhas();
    d_->visao.refaz(d_->dados);
    d_->visaoSuja = false;
    d_->ficaEm(-1);
    notifica(DataSetEvent::DataChanged);
}

// --- Index and filter --------------------------------------------------------------

void ClientDataSet::aplicaOrdemEFiltro(std::vector<int> campos, const Filtro* filtro) {
    d_->garanteVisao();
    const int linha = d_->linhaAtual();
    d_->visao.configura(std::move(campos), filtro);
    d_->visao.refaz(d_->dados);
    d_->visaoSuja = false;
    const int posicao = linha >= 0 ? d_->visao.posicaoDe(linha) : -1;
    d_->ficaEm(posicao >= 0 || d_->visao.tamanho() == 0 ? posicao : 0);
    notifica(DataSetEvent::DataChanged);
}

QString ClientDataSet::indexFieldNames() const {
    return d_->camposIndice;
}

QString ClientDataSet::indexName() const {
    return d_->nomeIndice;
}

void ClientDataSet::setIndexFieldNames(const QString& fields) {
    std::vector<int> campos;
    if (active()) {
        checkBrowseMode();
        campos = camposDaOrdem(d_->dados, fields);
    }
    d_->camposIndice = fields;
    d_->nomeIndice.clear();
    if (active())
        aplicaOrdemEFiltro(std::move(campos), d_->filtroAtivo());
}

void ClientDataSet::addIndex(const QString& name, const QString& fields) {
    if (name.trimmed().isEmpty())
        throw Erro(QStringLiteral("Um índice de %1 precisa de um nome.").arg(descricao(false)));
    if (active())
        camposDaOrdem(d_->dados, fields);
    d_->indices[name.trimmed().toUpper()] = fields;
    if (active() && d_->nomeIndice.compare(name.trimmed(), Qt::CaseInsensitive) == 0)
        setIndexName(d_->nomeIndice);
}

void ClientDataSet::setIndexName(const QString& name) {
    const QString nome = name.trimmed();
    if (!nome.isEmpty() && !d_->indices.count(nome.toUpper()))
        throw Erro(QStringLiteral("%1 não tem o índice %2.").arg(descricao(), nome));
    std::vector<int> campos;
    if (active()) {
        checkBrowseMode();
        if (!nome.isEmpty())
            campos = camposDaOrdem(d_->dados, d_->indices[nome.toUpper()]);
    }
    d_->nomeIndice = nome;
    d_->camposIndice.clear();
    if (active())
        aplicaOrdemEFiltro(std::move(campos), d_->filtroAtivo());
}

QString ClientDataSet::filter() const {
    return d_->textoFiltro;
}

bool ClientDataSet::filtered() const {
    return d_->filtrado;
}

void ClientDataSet::setFilter(const QString& expression) {
    std::optional<Filtro> novo;
    if (!expression.trimmed().isEmpty()) {
        novo.emplace(expression);
        if (active() && d_->filtrado)
            novo->vincula(d_->dados);
    }
    if (active())
        checkBrowseMode();
    d_->filtro = std::move(novo);
    d_->textoFiltro = expression;
    if (active()) {
        aplicaOrdemEFiltro(camposDaOrdem(d_->dados, d_->ordemAtiva()), d_->filtroAtivo());
        first();
    }
}

void ClientDataSet::setFiltered(bool on) {
    if (on && active() && d_->filtro) {
        Filtro vinculado = *d_->filtro;
        vinculado.vincula(d_->dados);
        d_->filtro = std::move(vinculado);
    }
    if (active())
        checkBrowseMode();
    d_->filtrado = on;
    if (active()) {
        aplicaOrdemEFiltro(camposDaOrdem(d_->dados, d_->ordemAtiva()), d_->filtroAtivo());
        first();
    }
}

// --- Observers -------------------------------------------------------------------

int ClientDataSet::addObserver(Observador o) {
    return d_->observadores.adiciona(std::move(o));
}

void ClientDataSet::removeObserver(int id) {
    d_->observadores.remove(id);
}

void ClientDataSet::disableControls() {
    d_->observadores.pausa();
}

void ClientDataSet::enableControls() {
    d_->observadores.retoma(DataSetEvent::DataChanged);
}

} // namespace nq
