#include "tables/clientdataset.h"

#include "core/erro.h"
#include "tables/clientdataset_impl.h"

namespace nq {

// --- Field ---------------------------------------------------------------------

const FieldDef& Field::def() const {
    return tabela_->fieldDef(indice_);
}

Value Field::value() const {
    return tabela_->valorAtivo(indice_);
}

QString Field::asString() const {
    return value().asString();
}

Moeda Field::asCurrency() const {
    return value().convertido(FieldKind::Money, name()).asCurrency();
}

int32_t Field::asInteger() const {
    return value().convertido(FieldKind::Integer, name()).asInteger();
}

double Field::asFloat() const {
    return value().convertido(FieldKind::Float, name()).asFloat();
}

void Field::setValue(const Value& v) {
    tabela_->defineValorAtivo(indice_, v);
}

// --- ClientDataSet ---------------------------------------------------------------

ClientDataSet::ClientDataSet(const QString& name) : nome_(name), d_(std::make_unique<Impl>()) {}

ClientDataSet::~ClientDataSet() = default;

QString ClientDataSet::descricao(bool inicioDeFrase) const {
    const QString tabela = inicioDeFrase ? QStringLiteral("A tabela") : QStringLiteral("a tabela");
    return nome_.isEmpty() ? tabela : tabela + ' ' + nome_;
}

void ClientDataSet::exigeAberta(const QString& operacao) const {
    if (!active())
        throw Erro(
            QStringLiteral("%1 está fechada: não é possível %2.").arg(descricao(), operacao));
}

void ClientDataSet::exigeFechada(const QString& operacao) const {
    if (active())
        throw Erro(
            QStringLiteral("%1 está aberta: feche-a antes de %2.").arg(descricao(), operacao));
}

void ClientDataSet::notifica(DataSetEvent evento, int linha) {
    d_->observadores.notifica(evento, linha);
}

void ClientDataSet::mudaEstado(DataSetState estado) {
    estado_ = estado;
    notifica(DataSetEvent::StateChanged);
}

// --- Structure -------------------------------------------------------------------

void ClientDataSet::clearFields() {
    exigeFechada(QStringLiteral("mudar os seus campos"));
    d_->definicoes.clear();
    d_->dados = d_->estruturaVazia();
    notifica(DataSetEvent::Structure);
}

void ClientDataSet::addField(const QString& name, FieldKind kind, int size, bool required) {
    d_->definicoes.push_back({name, kind, size, required, false});
    try {
        Dados nova = d_->estruturaVazia();
        if (!active())
            d_->dados = std::move(nova);
    } catch (...) {
        d_->definicoes.pop_back();
        throw;
    }
}

void ClientDataSet::addCalculatedField(const QString& name, FieldKind kind, int size) {
    const FieldDef def{name, kind, size, false, true};
    if (active()) {
        checkBrowseMode();
        d_->dados.acrescentaCampo(def);
        d_->calculados.push_back(def);
        recalculaTudo();
        return;
    }
    d_->calculados.push_back(def);
    try {
        d_->dados = d_->estruturaVazia();
    } catch (...) {
        d_->calculados.pop_back();
        throw;
    }
}

void ClientDataSet::createDataSet() {
    if (d_->definicoes.empty())
        throw Erro(QStringLiteral("%1 não tem campos definidos.").arg(descricao()));
    close();
    instala(d_->estruturaVazia());
}

int ClientDataSet::fieldCount() const {
    return d_->dados.campos();
}

const FieldDef& ClientDataSet::fieldDef(int index) const {
    if (index < 0 || index >= fieldCount())
        throw Erro(QStringLiteral("%1 não tem o campo de número %2.").arg(descricao()).arg(index));
    return d_->dados.def(index);
}

int ClientDataSet::fieldIndex(const QString& name) const {
    return d_->dados.indiceDoCampo(name.trimmed());
}

Field ClientDataSet::fieldByName(const QString& name) {
    const int i = fieldIndex(name);
    if (i < 0)
        throw Erro(QStringLiteral("%1 não tem o campo %2.").arg(descricao(), name));
    return Field(this, i);
}

Field ClientDataSet::field(int index) {
    fieldDef(index);
    return Field(this, index);
}

QStringList ClientDataSet::fieldNames() const {
    QStringList nomes;
    for (const FieldDef& def : d_->dados.definicoes())
        nomes << def.name;
    return nomes;
}

// --- Calculated fields -----------------------------------------------------------

void ClientDataSet::setOnCalcFields(std::function<void(ClientDataSet&)> handler) {
    d_->aoCalcular = std::move(handler);
    if (active())
        refreshCalcFields();
}

void ClientDataSet::refreshCalcFields() {
    exigeAberta(QStringLiteral("recalcular os campos"));
    checkBrowseMode();
    recalculaTudo();
    aplicaOrdemEFiltro(camposDaOrdem(d_->dados, d_->ordemAtiva()), d_->filtroAtivo());
}

void ClientDataSet::recalculaTudo() {
    for (int l = 0; l < d_->dados.linhas(); ++l)
        recalcula(l);
}

void ClientDataSet::recalcula(int linha) {
    if (d_->calculados.empty())
        return;
    for (int c = d_->persistentes(); c < d_->dados.campos(); ++c)
        d_->dados.define(linha, c, Value());
    if (!d_->aoCalcular)
        return;
    struct Restaura {
        ClientDataSet* t;
        DataSetState estado;
        ~Restaura() {
            t->estado_ = estado;
            t->d_->linhaCalculada = -1;
        }
    } restaura{this, estado_};
    estado_ = DataSetState::CalcFields;
    d_->linhaCalculada = linha;
    d_->aoCalcular(*this);
}

// --- Active row values -----------------------------------------------------------

Value ClientDataSet::valorAtivo(int campo) const {
    switch (estado_) {
    case DataSetState::Inactive:
        throw Erro(QStringLiteral("%1 está fechada: não é possível ler o campo %2.")
                       .arg(descricao(), d_->dados.def(campo).name));
    case DataSetState::CalcFields:
        return d_->dados.valor(d_->linhaCalculada, campo);
    case DataSetState::Edit:
    case DataSetState::Insert:
        return d_->buffer[campo];
    case DataSetState::Browse:
        break;
    }
    d_->garanteVisao();
    const int linha = d_->linhaAtual();
    return linha < 0 ? Value() : d_->dados.valor(linha, campo);
}

void ClientDataSet::defineValorAtivo(int campo, const Value& v) {
    const FieldDef& def = d_->dados.def(campo);
    if (estado_ == DataSetState::CalcFields) {
        if (!def.calculated)
            throw Erro(QStringLiteral("Durante o cálculo só os campos calculados recebem valor "
                                      "(campo %1).")
                           .arg(def.name));
        d_->dados.define(d_->linhaCalculada, campo, v);
        return;
    }
    if (estado_ != DataSetState::Edit && estado_ != DataSetState::Insert)
        throw Erro(QStringLiteral("%1 não está em edição: não é possível alterar o campo %2.")
                       .arg(descricao(), def.name));
    if (def.calculated)
        throw Erro(QStringLiteral("O campo calculado %1 só recebe valor no cálculo dos campos.")
                       .arg(def.name));
    d_->buffer[campo] = Dados::ajusta(def, v);
}

// --- Opening and filling ---------------------------------------------------------

void ClientDataSet::open() {
    if (active())
        return;
    if (!comando_.isEmpty()) {
        if (!provedor_)
            throw Erro(QStringLiteral("%1 não tem conexão para executar o comando \"%2\".")
                           .arg(descricao(), comando_));
        try {
            provedor_->preenche(comando_, *this);
            if (!active())
                throw Erro(QStringLiteral("O comando \"%1\" não abriu %2.")
                               .arg(comando_, descricao(false)));
        } catch (...) {
            close();
            throw;
        }
        first();
    } else if (!arquivo_.isEmpty()) {
        loadFromFile(arquivo_);
    } else {
        createDataSet();
    }
}

void ClientDataSet::close() {
    if (!active())
        return;
    d_->buffer.clear();
    d_->linhaEditada = -1;
    d_->dados = d_->estruturaVazia();
    d_->visao.configura({}, nullptr);
    d_->visao.refaz(d_->dados);
    d_->visaoSuja = false;
    d_->ficaEm(-1);
    estado_ = DataSetState::Inactive;
    notifica(DataSetEvent::Structure);
}

std::vector<int> ClientDataSet::camposDaOrdem(const Dados& dados, const QString& campos) const {
    std::vector<int> indices;
    for (const QString& nome : campos.split(';', Qt::SkipEmptyParts)) {
        const int i = dados.indiceDoCampo(nome.trimmed());
        if (i < 0)
            throw Erro(QStringLiteral("%1 não tem o campo %2, pedido na ordem \"%3\".")
                           .arg(descricao(), nome.trimmed(), campos));
        indices.push_back(i);
    }
    return indices;
}

void ClientDataSet::instala(Dados novos) {
    // Everything that can refuse the new data is checked before the table changes.
    std::vector<int> ordem = camposDaOrdem(novos, d_->ordemAtiva());
    std::optional<Filtro> filtro = d_->filtro;
    if (filtro && d_->filtrado)
        filtro->vincula(novos);

    d_->dados = std::move(novos);
    d_->filtro = std::move(filtro);
    d_->atual = -1;
    d_->buffer.clear();
    d_->linhaEditada = -1;
    estado_ = DataSetState::Browse;
    d_->visao.configura(ordem, d_->filtroAtivo());
    d_->visaoSuja = true;
    recalculaTudo();
    d_->garanteVisao();
    d_->ficaEm(d_->visao.tamanho() > 0 ? 0 : -1);
    d_->bof = true;
    notifica(DataSetEvent::Structure);
}

void ClientDataSet::appendRecord(const std::vector<Value>& values) {
    exigeAberta(QStringLiteral("acrescentar registros"));
    checkBrowseMode();
    d_->garanteVisao();
    const int n = d_->persistentes();
    if (static_cast<int>(values.size()) != n)
        throw Erro(QStringLiteral("%1 tem %2 campos, mas o registro traz %3 valores.")
                       .arg(descricao())
                       .arg(n)
                       .arg(values.size()));
    std::vector<Value> ajustados;
    ajustados.reserve(n);
    for (int c = 0; c < n; ++c)
        ajustados.push_back(Dados::ajusta(d_->dados.def(c), values[c]));
    const int linha = d_->dados.acrescentaLinha();
    for (int c = 0; c < n; ++c)
        d_->dados.define(linha, c, ajustados[c]);
    d_->visaoSuja = true;
    recalcula(linha);
    if (!d_->visao.ordenada()) {
        // Storage order: the new row goes at the end, no need to sort.
        d_->visaoSuja = false;
        if (d_->visao.reposiciona(d_->dados, linha, -1) >= 0 && d_->atual < 0)
            d_->ficaEm(0);
    }
    notifica(DataSetEvent::DataChanged);
}

// --- Files -----------------------------------------------------------------------

void ClientDataSet::loadFromFile(const QString& fileName) {
    const QString arquivo = fileName.isEmpty() ? arquivo_ : fileName;
    if (arquivo.isEmpty())
        throw Erro(QStringLiteral("%1 não tem arquivo definido para carregar.").arg(descricao()));
    Dados novos = lePacote(arquivo);
    const int persistentes = novos.campos();
    for (const FieldDef& def : d_->calculados) {
        try {
            novos.acrescentaCampo(def);
        } catch (const Erro&) {
            throw Erro(QStringLiteral("O arquivo \"%1\" tem um campo %2, que %3 calcula.")
                           .arg(arquivo, def.name, descricao(false)));
        }
    }
    std::vector<FieldDef> definicoes(novos.definicoes().begin(),
                                     novos.definicoes().begin() + persistentes);
    instala(std::move(novos));
    d_->definicoes = std::move(definicoes);
}

void ClientDataSet::saveToFile(const QString& fileName, FormatoPacote formato) {
    exigeAberta(QStringLiteral("gravar o arquivo"));
    const QString arquivo = fileName.isEmpty() ? arquivo_ : fileName;
    if (arquivo.isEmpty())
        throw Erro(QStringLiteral("%1 não tem arquivo definido para gravar.").arg(descricao()));
    checkBrowseMode();
    gravaPacote(d_->dados, arquivo, formato);
}

// --- Navigation ------------------------------------------------------------------

void ClientDataSet::first() {
    exigeAberta(QStringLiteral("navegar"));
    checkBrowseMode();
    d_->garanteVisao();
    d_->ficaEm(d_->visao.tamanho() > 0 ? 0 : -1);
    d_->bof = true;
    notifica(DataSetEvent::Scrolled);
}

void ClientDataSet::last() {
    exigeAberta(QStringLiteral("navegar"));
    checkBrowseMode();
    d_->garanteVisao();
    d_->ficaEm(d_->visao.tamanho() - 1);
    d_->eof = true;
    notifica(DataSetEvent::Scrolled);
}

void ClientDataSet::next() {
    exigeAberta(QStringLiteral("navegar"));
    checkBrowseMode();
    d_->garanteVisao();
    if (d_->atual + 1 < d_->visao.tamanho()) {
        d_->ficaEm(d_->atual + 1);
        notifica(DataSetEvent::Scrolled);
    } else {
        d_->eof = true;
    }
}

void ClientDataSet::prior() {
    exigeAberta(QStringLiteral("navegar"));
    checkBrowseMode();
    d_->garanteVisao();
    if (d_->atual > 0) {
        d_->ficaEm(d_->atual - 1);
        notifica(DataSetEvent::Scrolled);
    } else {
        d_->bof = true;
    }
}

bool ClientDataSet::eof() const {
    d_->garanteVisao();
    return d_->eof;
}

bool ClientDataSet::bof() const {
    d_->garanteVisao();
    return d_->bof;
}

int ClientDataSet::recordCount() const {
    d_->garanteVisao();
    return d_->visao.tamanho();
}

int ClientDataSet::recNo() const {
    d_->garanteVisao();
    return d_->atual + 1;
}

void ClientDataSet::setRecNo(int recNo) {
    exigeAberta(QStringLiteral("navegar"));
    checkBrowseMode();
    d_->garanteVisao();
    if (recNo < 1 || recNo > d_->visao.tamanho())
        throw Erro(QStringLiteral("%1 não tem o registro %2 (tem %3).")
                       .arg(descricao())
                       .arg(recNo)
                       .arg(d_->visao.tamanho()));
    d_->ficaEm(recNo - 1);
    notifica(DataSetEvent::Scrolled);
}

int ClientDataSet::bookmark() const {
    d_->garanteVisao();
    return d_->linhaAtual();
}

void ClientDataSet::gotoBookmark(int bookmark) {
    exigeAberta(QStringLiteral("navegar"));
    checkBrowseMode();
    d_->garanteVisao();
    const int posicao = bookmark >= 0 ? d_->visao.posicaoDe(bookmark) : -1;
    if (posicao < 0)
        throw Erro(QStringLiteral("%1 não mostra mais o registro marcado.").arg(descricao()));
    d_->ficaEm(posicao);
    notifica(DataSetEvent::Scrolled);
}

Value ClientDataSet::valueAt(int linha, int fieldIndex) const {
    exigeAberta(QStringLiteral("ler registros"));
    d_->garanteVisao();
    if (linha < 0 || linha >= d_->visao.tamanho())
        throw Erro(QStringLiteral("%1 não tem o registro %2 (tem %3).")
                       .arg(descricao())
                       .arg(linha + 1)
                       .arg(d_->visao.tamanho()));
    fieldDef(fieldIndex);
    return d_->dados.valor(d_->visao.linhas()[linha], fieldIndex);
}

// --- Locate ----------------------------------------------------------------------

bool ClientDataSet::locate(const QString& fieldName, const Value& value, bool caseInsensitive) {
    exigeAberta(QStringLiteral("localizar registros"));
    checkBrowseMode();
    d_->garanteVisao();
    const Field campo = fieldByName(fieldName);
    const Value alvo = value.convertido(campo.kind(), campo.name());
    const Coluna& coluna = d_->dados.coluna(campo.index());
    const std::vector<int>& linhas = d_->visao.linhas();
    for (int p = 0; p < static_cast<int>(linhas.size()); ++p) {
        const bool igual = alvo.isNull() ? coluna.nulo(linhas[p])
                                         : coluna.comparaCom(linhas[p], alvo, caseInsensitive) == 0;
        if (igual) {
            d_->ficaEm(p);
            notifica(DataSetEvent::Scrolled);
            return true;
        }
    }
    return false;
}

} // namespace nq
