#include "entry/catalogo.h"

#include "core/configuracao.h"
#include "core/erro.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <map>

namespace nq {

namespace {

const QString MarcaAno = QStringLiteral("{ANO}");

QString recurso(ArquivoDigitado a) {
    static const std::map<ArquivoDigitado, const char*> nomes = {
        {ArquivoDigitado::Anexo1Receita, "anexo1_receita"},
        {ArquivoDigitado::Anexo1Despesa, "anexo1_despesa"},
        {ArquivoDigitado::Anexo1BReceita, "anexo1b_receita"},
        {ArquivoDigitado::Anexo1BDespesa, "anexo1b_despesa"},
        {ArquivoDigitado::Anexo2, "anexo2"},
        {ArquivoDigitado::Anexo3, "anexo3"},
        {ArquivoDigitado::Anexo4Receita, "anexo4_receita"},
        {ArquivoDigitado::Anexo4ReceitaFin, "anexo4_receita_fin"},
        {ArquivoDigitado::Anexo4Despesa, "anexo4_despesa"},
        {ArquivoDigitado::Anexo4DespesaFin, "anexo4_despesa_fin"},
        {ArquivoDigitado::Anexo5Receita, "anexo5_receita"},
        {ArquivoDigitado::Anexo5Despesa, "anexo5_despesa"},
        {ArquivoDigitado::Anexo5Especificacao, "anexo5_especificacao"},
        {ArquivoDigitado::Anexo6, "anexo6"},
        {ArquivoDigitado::Anexo7, "anexo7"},
        {ArquivoDigitado::Justificativas, "justificativas"},
        {ArquivoDigitado::Anexo8, "anexo8"},
        {ArquivoDigitado::Anexo10, "anexo10"},
        {ArquivoDigitado::GestaoFiscal, "gestao_fiscal"},
        {ArquivoDigitado::GestaoFiscalDigitada, "gestao_fiscal_digitada"},
    };
    return QString::fromLatin1(nomes.at(a));
}

QJsonObject leRecurso(const QString& nome) {
    QFile f(QStringLiteral(":/entry/%1.json").arg(nome));
    if (!f.open(QIODevice::ReadOnly))
        throw Erro(QStringLiteral("A descrição do arquivo digitado \"%1\" não está no programa.")
                       .arg(nome));
    QJsonParseError erro;
    const auto doc = QJsonDocument::fromJson(f.readAll(), &erro);
    if (!doc.isObject())
        throw Erro(QStringLiteral("A descrição do arquivo digitado \"%1\" é inválida: %2")
                       .arg(nome, erro.errorString()));
    return doc.object();
}

FieldKind tipoDaColuna(const QString& tipo, const QString& nome) {
    if (tipo == QLatin1String("texto"))
        return FieldKind::Text;
    if (tipo == QLatin1String("moeda"))
        return FieldKind::Money;
    if (tipo == QLatin1String("inteiro"))
        return FieldKind::Integer;
    if (tipo == QLatin1String("memo"))
        return FieldKind::FormattedMemo;
    throw Erro(
        QStringLiteral("Tipo de coluna desconhecido \"%1\" na descrição \"%2\".").arg(tipo, nome));
}

Value valorJson(const QJsonValue& v) {
    if (v.isString())
        return Value(v.toString());
    return Value(static_cast<int32_t>(v.toInt()));
}

ItemSemeado leItem(const QJsonObject& o) {
    ItemSemeado item;
    item.daRotina = o.value(QLatin1String("daRotina")).toBool();
    if (o.contains(QLatin1String("ateAno")))
        item.ateAno = o.value(QLatin1String("ateAno")).toInt();
    if (o.contains(QLatin1String("desdeAno")))
        item.desdeAno = o.value(QLatin1String("desdeAno")).toInt();
    const QJsonObject valores = o.value(QLatin1String("valores")).toObject();
    for (auto it = valores.begin(); it != valores.end(); ++it)
        item.linha.define(it.key(), valorJson(it.value()));
    return item;
}

std::vector<ItemSemeado> leItens(const QJsonArray& linhas) {
    std::vector<ItemSemeado> itens;
    for (const auto& l : linhas)
        itens.push_back(leItem(l.toObject()));
    return itens;
}

DescricaoArquivo leDescricao(const QString& nome) {
    const QJsonObject o = leRecurso(nome);
    DescricaoArquivo d;
    d.arquivo = o.value(QLatin1String("arquivo")).toString();
    d.chave = o.value(QLatin1String("chave")).toString();
    for (const auto& c : o.value(QLatin1String("colunas")).toArray()) {
        const QJsonArray col = c.toArray();
        FieldDef def;
        def.name = col.at(0).toString();
        def.kind = tipoDaColuna(col.at(1).toString(), nome);
        def.size = col.size() > 2 ? col.at(2).toInt() : 0;
        d.colunas.push_back(def);
    }
    const QString outra = o.value(QLatin1String("linhasDe")).toString();
    d.itens = leItens(outra.isEmpty() ? o.value(QLatin1String("linhas")).toArray()
                                      : leRecurso(outra).value(QLatin1String("linhas")).toArray());
    d.semLinhas = o.value(QLatin1String("semLinhas")).toBool();
    d.zeraMoedaAoAcrescentar = o.value(QLatin1String("zeraMoedaAoAcrescentar")).toBool();
    for (const auto& c : o.value(QLatin1String("zeraSeNulo")).toArray())
        d.zeraSeNulo << c.toString();
    d.gravaACadaLinha = o.value(QLatin1String("gravaACadaLinha")).toBool();
    if (d.arquivo.isEmpty() || d.chave.isEmpty() || d.colunas.empty())
        throw Erro(
            QStringLiteral("A descrição do arquivo digitado \"%1\" está incompleta.").arg(nome));
    return d;
}

} // namespace

Value LinhaSemeada::valor(const QString& coluna) const {
    for (const auto& [nome, v] : valores_)
        if (nome.compare(coluna, Qt::CaseInsensitive) == 0)
            return v;
    return {};
}

void LinhaSemeada::define(const QString& coluna, const Value& valor) {
    for (auto& [nome, v] : valores_)
        if (nome.compare(coluna, Qt::CaseInsensitive) == 0) {
            v = valor;
            return;
        }
    valores_.emplace_back(coluna, valor);
}

bool ItemSemeado::valePara(std::optional<int> ano) const {
    if (!ateAno && !desdeAno)
        return true;
    if (!ano)
        throw Erro(QStringLiteral("Esta linha depende do ano, e nenhum ano foi informado."));
    return (!ateAno || *ano <= *ateAno) && (!desdeAno || *ano >= *desdeAno);
}

bool DescricaoArquivo::porAno() const {
    return arquivo.contains(MarcaAno);
}

QString DescricaoArquivo::nome(const QString& ano) const {
    if (!porAno())
        return arquivo;
    anoDoArquivo(ano);
    return QString(arquivo).replace(MarcaAno, ano);
}

std::vector<LinhaSemeada>
DescricaoArquivo::linhas(std::optional<int> ano, const std::vector<LinhaSemeada>& daRotina) const {
    std::vector<LinhaSemeada> r;
    for (const auto& item : itens) {
        if (item.daRotina)
            r.insert(r.end(), daRotina.begin(), daRotina.end());
        else if (item.valePara(ano))
            r.push_back(item.linha);
    }
    return r;
}

const DescricaoArquivo& descricao(ArquivoDigitado a) {
    static std::map<ArquivoDigitado, DescricaoArquivo> lidas;
    auto it = lidas.find(a);
    if (it == lidas.end())
        it = lidas.emplace(a, leDescricao(recurso(a))).first;
    return it->second;
}

QString nomeArquivo(ArquivoDigitado a, const QString& ano) {
    return descricao(a).nome(ano);
}

QString caminhoArquivo(const QString& diretorio, ArquivoDigitado a, const QString& ano) {
    return arquivoNoDiretorio(diretorio, nomeArquivo(a, ano));
}

int anoDoArquivo(const QString& ano) {
    static const QRegularExpression quatroDigitos(QStringLiteral("^[0-9]{4}$"));
    if (!quatroDigitos.match(ano).hasMatch())
        throw Erro(
            QStringLiteral("Ano inválido: \"%1\". Informe o ano com quatro dígitos.").arg(ano));
    return ano.toInt();
}

} // namespace nq
