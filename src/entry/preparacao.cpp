#include "entry/preparacao.h"

#include "core/erro.h"
#include "core/mensagens.h"
#include "tables/clientdataset.h"

#include <QFileInfo>
#include <QStringList>
#include <memory>
#include <optional>

namespace nq {

namespace {

// Texts longer than the file's column are cut to it, as the column keeps them.
Value cabeNaColuna(const FieldDef& def, const Value& v) {
    if (def.kind != FieldKind::Text || def.size <= 0 || v.isNull())
        return v;
    const QString texto = v.asString();
    return texto.size() > def.size ? Value(texto.left(def.size)) : v;
}

void zeraMoeda(ClientDataSet& tabela) {
    for (int i = 0; i < tabela.fieldCount(); ++i)
        if (tabela.fieldDef(i).kind == FieldKind::Money && !tabela.fieldDef(i).calculated)
            tabela.field(i).setAsCurrency(Moeda());
}

void exigeDiretorio(const QString& diretorio) {
    if (diretorio.isEmpty())
        throw Erro(QStringLiteral("O diretório de dados não foi definido."));
    if (!QFileInfo(diretorio).isDir())
        throw Erro(QStringLiteral("O diretório de dados não existe: %1").arg(diretorio));
}

// One typed-data file: read (or built empty when missing) and checked by abre,
// written by grava.
class ArquivoEmPreparo {
public:
    ArquivoEmPreparo(const QString& diretorio, const PedidoDePreparo& p)
        : d_(descricao(p.arquivo)), linhas_(d_.linhas(p.anoDasLinhas, p.daRotina)),
          caminho_(caminhoArquivo(diretorio, p.arquivo, p.anoDoNome)),
          tabela_(QFileInfo(caminho_).fileName()) {}

    void abre() {
        criado_ = !QFileInfo::exists(caminho_);
        if (criado_) {
            criaVazio();
        } else if (!d_.semLinhas) {
            carrega();
            for (const FieldDef& c : d_.colunas)
                if (c.kind == FieldKind::Money)
                    exigeMoeda(c.name);
        }
        confere();
    }

    // Saved only when something changed: after every changed row for the files
    // that keep each row as it is seeded, otherwise once at the end.
    void grava() {
        if (d_.semLinhas) {
            if (criado_)
                tabela_.saveToFile(caminho_, FormatoPacote::Xml);
            return;
        }
        bool pendente = criado_ || !convertidas_.isEmpty();
        for (const auto& linha : linhas_) {
            pendente = GravaLinha(tabela_, d_, linha) || pendente;
            if (d_.gravaACadaLinha && pendente) {
                tabela_.saveToFile(caminho_, FormatoPacote::Xml);
                pendente = false;
            }
        }
        if (pendente)
            tabela_.saveToFile(caminho_, FormatoPacote::Xml);
        tabela_.close();
        // Told once the converted file is saved, so never for a conversion that did not stay.
        for (const QString& texto : convertidas_)
            mensagens().mostra(texto, QStringLiteral("Atenção"), Icone::Informacao);
    }

private:
    void criaVazio() {
        tabela_.clearFields();
        for (const auto& c : d_.colunas)
            tabela_.addField(c.name, c.kind, c.size);
        tabela_.createDataSet();
    }

    void carrega() {
        tabela_.setFileName(caminho_);
        tabela_.open();
    }

    // A money column of another type is never half-used: the figures a report
    // would drop or print unformatted are either all money or refused.
    void exigeMoeda(const QString& nome) {
        const int campo = tabela_.fieldIndex(nome);
        if (campo < 0 || tabela_.fieldDef(campo).kind == FieldKind::Money)
            return;
        const FieldKind tipo = tabela_.fieldDef(campo).kind;
        std::vector<std::vector<Value>> linhas(tabela_.recordCount());
        for (int l = 0; l < tabela_.recordCount(); ++l) {
            for (int c = 0; c < tabela_.fieldCount(); ++c)
                linhas[l].push_back(tabela_.valueAt(l, c));
            Value& v = linhas[l][campo];
            const std::optional<Moeda> m = comoMoeda(v);
            if (!m)
                throw Erro(
                    QStringLiteral("O arquivo \"%1\" tem a coluna %2 gravada como %3, e "
                                   "não como valor monetário, e o valor \"%4\" da linha "
                                   "%5 não é um valor monetário. Corrija o arquivo (ou "
                                   "digite os valores de novo num arquivo novo) antes de "
                                   "usá-lo.")
                        .arg(caminho_, tabela_.fieldDef(campo).name, nomeDoTipo(tipo), v.asString())
                        .arg(l + 1));
            v = v.isNull() || (tipo == FieldKind::Text && v.asString().trimmed().isEmpty())
                    ? Value()
                    : Value(*m);
        }
        std::vector<FieldDef> defs;
        for (int c = 0; c < tabela_.fieldCount(); ++c)
            defs.push_back(tabela_.fieldDef(c));
        defs[campo].kind = FieldKind::Money;
        defs[campo].size = 0;
        tabela_.close();
        tabela_.clearFields();
        for (const FieldDef& def : defs)
            tabela_.addField(def.name, def.kind, def.size, def.required);
        tabela_.createDataSet();
        for (const auto& linha : linhas)
            tabela_.appendRecord(linha);
        convertidas_ << QStringLiteral("A coluna %1 do arquivo \"%2\" estava gravada como %3; "
                                       "seus valores foram convertidos, sem alteração, para "
                                       "valores monetários.")
                            .arg(defs[campo].name, caminho_, nomeDoTipo(tipo));
    }

    // The value as money when it reads exactly as such (a blank text is a null).
    static std::optional<Moeda> comoMoeda(const Value& v) {
        if (v.isNull())
            return Moeda();
        if (const QString* t = std::get_if<QString>(&v.dados()))
            return t->trimmed().isEmpty() ? Moeda() : Moeda::deTexto(*t);
        if (const int32_t* i = std::get_if<int32_t>(&v.dados()))
            return Moeda::deInteiro(*i);
        if (const double* d = std::get_if<double>(&v.dados())) {
            try {
                const Moeda m = Moeda::deDouble(*d);
                if (m.paraDouble() == *d)
                    return m;
            } catch (const Erro&) {
            }
        }
        return std::nullopt;
    }

    const FieldDef& coluna(const QString& nome) const {
        const int i = tabela_.fieldIndex(nome);
        if (i < 0)
            throw Erro(QStringLiteral("O arquivo \"%1\" não tem a coluna %2.").arg(caminho_, nome));
        return tabela_.fieldDef(i);
    }

    // Every value the rows write must fit its column before anything is written.
    void confere() const {
        if (d_.semLinhas)
            return;
        coluna(d_.chave);
        for (const auto& nome : d_.zeraSeNulo)
            coluna(nome);
        for (const auto& linha : linhas_)
            for (const auto& [nome, v] : linha.valores()) {
                const FieldDef& def = coluna(nome);
                try {
                    Dados::ajusta(def, cabeNaColuna(def, v));
                } catch (const Erro& e) {
                    throw Erro(QStringLiteral("Arquivo \"%1\": %2").arg(caminho_, e.texto()));
                }
            }
        exigeObrigatoriosPreenchidos();
    }

    // A file that marks a column required (one this program did not write) would
    // refuse a new row half-way through, after earlier rows were already saved.
    void exigeObrigatoriosPreenchidos() const {
        for (int i = 0; i < tabela_.fieldCount(); ++i) {
            const FieldDef& def = tabela_.fieldDef(i);
            if (!def.required || def.calculated ||
                d_.zeraSeNulo.contains(def.name, Qt::CaseInsensitive) ||
                (d_.zeraMoedaAoAcrescentar && def.kind == FieldKind::Money))
                continue;
            for (const auto& linha : linhas_)
                if (linha.valor(def.name).isNull())
                    throw Erro(QStringLiteral("Arquivo \"%1\": a coluna %2 está marcada como "
                                              "obrigatória e a preparação não a preenche.")
                                   .arg(caminho_, def.name));
        }
    }

    const DescricaoArquivo& d_;
    std::vector<LinhaSemeada> linhas_;
    QString caminho_;
    ClientDataSet tabela_;
    bool criado_ = false;
    QStringList convertidas_;
};

} // namespace

bool GravaLinha(ClientDataSet& tabela, const DescricaoArquivo& d, const LinhaSemeada& linha) {
    const FieldDef& defChave = tabela.fieldByName(d.chave).def();
    const Value chave = Dados::ajusta(defChave, cabeNaColuna(defChave, linha.valor(d.chave)));
    bool mudou = false;
    if (tabela.locate(d.chave, chave)) {
        tabela.edit();
    } else {
        tabela.append();
        mudou = true;
        if (d.zeraMoedaAoAcrescentar)
            zeraMoeda(tabela);
    }
    for (const auto& [nome, v] : linha.valores()) {
        Field f = tabela.fieldByName(nome);
        const Value novo = Dados::ajusta(f.def(), cabeNaColuna(f.def(), v));
        if (!(f.value() == novo)) {
            f.setValue(novo);
            mudou = true;
        }
    }
    for (const auto& nome : d.zeraSeNulo) {
        Field f = tabela.fieldByName(nome);
        if (f.isNull()) {
            f.setAsCurrency(Moeda());
            mudou = true;
        }
    }
    if (mudou)
        tabela.post();
    else
        tabela.cancel();
    return mudou;
}

void preparaArquivos(const QString& diretorio, const std::vector<PedidoDePreparo>& pedidos) {
    exigeDiretorio(diretorio);
    std::vector<std::unique_ptr<ArquivoEmPreparo>> arquivos;
    for (const auto& p : pedidos) {
        arquivos.push_back(std::make_unique<ArquivoEmPreparo>(diretorio, p));
        arquivos.back()->abre();
    }
    for (auto& a : arquivos)
        a->grava();
}

} // namespace nq
