#include "tables/dados.h"

#include "core/erro.h"

namespace nq {

namespace {

template <typename T> int ordem(const T& a, const T& b) {
    return a < b ? -1 : (b < a ? 1 : 0);
}

} // namespace

Value Coluna::valor(int linha) const {
    if (nulos_[linha])
        return {};
    switch (tipo_) {
    case FieldKind::Text:
    case FieldKind::FormattedMemo:
        return Value(textos_[linha]);
    case FieldKind::Money:
        return Value(Moeda::deDezMilesimos(numeros_[linha]));
    case FieldKind::Integer:
        return Value(static_cast<int32_t>(numeros_[linha]));
    case FieldKind::Float:
        return Value(reais_[linha]);
    }
    return {};
}

void Coluna::define(int linha, const Value& v) {
    nulos_[linha] = v.isNull() ? 1 : 0;
    switch (tipo_) {
    case FieldKind::Text:
    case FieldKind::FormattedMemo:
        textos_[linha] = v.isNull() ? QString() : std::get<QString>(v.dados());
        break;
    case FieldKind::Money:
        numeros_[linha] = v.isNull() ? 0 : std::get<Moeda>(v.dados()).dezMilesimos();
        break;
    case FieldKind::Integer:
        numeros_[linha] = v.isNull() ? 0 : std::get<int32_t>(v.dados());
        break;
    case FieldKind::Float:
        reais_[linha] = v.isNull() ? 0.0 : std::get<double>(v.dados());
        break;
    }
}

void Coluna::acrescentaNulo() {
    nulos_.push_back(1);
    if (ehTexto())
        textos_.emplace_back();
    else if (tipo_ == FieldKind::Float)
        reais_.push_back(0.0);
    else
        numeros_.push_back(0);
}

void Coluna::reserva(int linhas) {
    nulos_.reserve(linhas);
    if (ehTexto())
        textos_.reserve(linhas);
    else if (tipo_ == FieldKind::Float)
        reais_.reserve(linhas);
    else
        numeros_.reserve(linhas);
}

void Coluna::limpa() {
    nulos_.clear();
    textos_.clear();
    numeros_.clear();
    reais_.clear();
}

int Coluna::compara(int a, int b) const {
    if (nulos_[a] || nulos_[b])
        return ordem(nulos_[b], nulos_[a]);
    if (ehTexto())
        return ordem(QStringView(textos_[a]).compare(textos_[b]), 0);
    if (tipo_ == FieldKind::Float)
        return ordem(reais_[a], reais_[b]);
    return ordem(numeros_[a], numeros_[b]);
}

int Coluna::comparaCom(int linha, const Value& v, bool ignoraCaixa) const {
    if (ehTexto()) {
        const Qt::CaseSensitivity caixa = ignoraCaixa ? Qt::CaseInsensitive : Qt::CaseSensitive;
        return ordem(QStringView(textos_[linha]).compare(std::get<QString>(v.dados()), caixa), 0);
    }
    switch (tipo_) {
    case FieldKind::Money:
        return ordem(numeros_[linha], std::get<Moeda>(v.dados()).dezMilesimos());
    case FieldKind::Integer:
        return ordem(numeros_[linha], static_cast<int64_t>(std::get<int32_t>(v.dados())));
    default:
        return ordem(reais_[linha], std::get<double>(v.dados()));
    }
}

bool Coluna::comecaCom(int linha, const QString& prefixo) const {
    return textos_[linha].startsWith(prefixo);
}

void Dados::acrescentaCampo(const FieldDef& def) {
    const QString chave = def.name.toUpper();
    if (def.name.trimmed().isEmpty())
        throw Erro(QStringLiteral("Um campo precisa de um nome."));
    if (indices_.contains(chave))
        throw Erro(QStringLiteral("O campo %1 está definido mais de uma vez.").arg(def.name));
    if (def.size < 0)
        throw Erro(
            QStringLiteral("O campo %1 tem largura inválida (%2).").arg(def.name).arg(def.size));
    indices_.insert(chave, campos());
    defs_.push_back(def);
    if (def.kind != FieldKind::Text)
        defs_.back().size = 0;
    colunas_.emplace_back(def.kind);
    for (int i = 0; i < linhas_; ++i)
        colunas_.back().acrescentaNulo();
}

int Dados::acrescentaLinha() {
    for (Coluna& c : colunas_)
        c.acrescentaNulo();
    return linhas_++;
}

void Dados::reservaLinhas(int linhas) {
    for (Coluna& c : colunas_)
        c.reserva(linhas);
}

void Dados::limpaLinhas() {
    for (Coluna& c : colunas_)
        c.limpa();
    linhas_ = 0;
}

void Dados::define(int linha, int campo, const Value& v) {
    colunas_[campo].define(linha, ajusta(defs_[campo], v));
}

Value Dados::ajusta(const FieldDef& def, const Value& v) {
    Value r = v.convertido(def.kind, def.name);
    if (def.kind == FieldKind::Text && def.size > 0 && !r.isNull()) {
        const QString& texto = std::get<QString>(r.dados());
        if (texto.size() > def.size)
            throw Erro(QStringLiteral("O texto \"%1\" tem %2 caracteres e não cabe no campo %3 "
                                      "(largura %4).")
                           .arg(texto)
                           .arg(texto.size())
                           .arg(def.name)
                           .arg(def.size));
    }
    return r;
}

} // namespace nq
