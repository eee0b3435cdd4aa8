#include "entry/preparacao.h"

#include "core/erro.h"
#include "tables/clientdataset.h"

#include <QFileInfo>
#include <memory>

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
        if (criado_)
            criaVazio();
        else if (!d_.semLinhas)
            carrega();
        confere();
    }

    void grava() {
        if (d_.semLinhas) {
            if (criado_)
                tabela_.saveToFile(caminho_, FormatoPacote::Xml);
            return;
        }
        for (const auto& linha : linhas_) {
            GravaLinha(tabela_, d_, linha);
            if (d_.gravaACadaLinha)
                tabela_.saveToFile(caminho_, FormatoPacote::Xml);
        }
        if (!d_.gravaACadaLinha || linhas_.empty())
            tabela_.saveToFile(caminho_, FormatoPacote::Xml);
        tabela_.close();
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
};

} // namespace

void GravaLinha(ClientDataSet& tabela, const DescricaoArquivo& d, const LinhaSemeada& linha) {
    const FieldDef& defChave = tabela.fieldByName(d.chave).def();
    const Value chave = Dados::ajusta(defChave, cabeNaColuna(defChave, linha.valor(d.chave)));
    if (tabela.locate(d.chave, chave)) {
        tabela.edit();
    } else {
        tabela.append();
        if (d.zeraMoedaAoAcrescentar)
            zeraMoeda(tabela);
    }
    for (const auto& [nome, v] : linha.valores()) {
        Field f = tabela.fieldByName(nome);
        f.setValue(cabeNaColuna(f.def(), v));
    }
    for (const auto& nome : d.zeraSeNulo) {
        Field f = tabela.fieldByName(nome);
        if (f.isNull())
            f.setAsCurrency(Moeda());
    }
    tabela.post();
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
