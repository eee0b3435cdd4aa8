#include "apoio_execucao.h"
#include "apoio/dono_do_banco.h"

#include "core/globais.h"
#include "db/modulodados.h"
#include "report/preview/saida.h"
#include "tables/clientdataset.h"
#include "workbook/planilha.h"

namespace {

std::map<int, std::pair<QTemporaryDir*, nq::demo::Demonstracao*>>& demos() {
    static std::map<int, std::pair<QTemporaryDir*, nq::demo::Demonstracao*>> d;
    return d;
}

} // namespace

nq::Moeda Execucao::valor(const QString& tabela, const QString& id, const QString& campo) const {
    const auto t = tabelas.find(tabela);
    if (t == tabelas.end()) {
        ADD_FAILURE() << "sem a tabela " << tabela.toStdString();
        return {};
    }
    const auto l = t->second.find(id);
    if (l == t->second.end()) {
        ADD_FAILURE() << "sem a linha " << id.toStdString() << " em " << tabela.toStdString();
        return {};
    }
    return l->second.at(campo).asCurrency();
}

Figuras Execucao::impressas() const {
    Figuras f;
    for (const nq::Figura& x : figuras) {
        const bool nova =
            f.emplace(std::tuple{x.quadro, x.id, x.coluna}, *nq::Moeda::deTexto(x.valor)).second;
        EXPECT_TRUE(nova) << "figura repetida " << x.quadro.toStdString() << ' '
                          << x.id.toStdString() << ' ' << x.coluna.toStdString();
    }
    return f;
}

void confere(const Figuras& impresso, const Figuras& esperado) {
    for (const auto& [chave, valor] : esperado) {
        const auto& [quadro, id, coluna] = chave;
        const std::string onde =
            quadro.toStdString() + ' ' + id.toStdString() + ' ' + coluna.toStdString();
        const auto i = impresso.find(chave);
        if (i == impresso.end())
            ADD_FAILURE() << "não impresso: " << onde;
        else
            EXPECT_EQ(i->second.texto(2), valor.texto(2)) << onde;
    }
    EXPECT_EQ(impresso.size(), esperado.size()) << "figuras impressas a mais";
}

std::map<QString, QStringList> conteudoDoArquivo(const QString& arquivo) {
    nq::ClientDataSet t;
    t.loadFromFile(arquivo);
    std::map<QString, QStringList> linhas;
    for (t.first(); !t.eof(); t.next()) {
        QStringList campos;
        for (int c = 0; c < t.fieldCount(); ++c)
            campos << t.field(c).asString();
        linhas[t.fieldByName(QStringLiteral("ID")).asString()] = campos;
    }
    return linhas;
}

const nq::demo::Demonstracao& BancoDosAnexos::demo(int ano) {
    auto& d = demos()[ano];
    if (!d.second) {
        d.first = new QTemporaryDir;
        d.second = new nq::demo::Demonstracao(
            nq::demo::criaBancoDeTeste(d.first->path() + QStringLiteral("/banco"), ano));
    }
    return *d.second;
}

void BancoDosAnexos::TearDownTestSuite() {
    for (auto& [ano, d] : demos()) {
        delete d.second;
        delete d.first;
    }
    demos().clear();
}

void BancoDosAnexos::SetUp() {
    garanteAplicacao();
    dir_ = std::make_unique<QTemporaryDir>();
    nq::defineDiretorioDados(dados());
    instalado_ = std::make_unique<nq::LancadorInstalado>(valores);
    usaExercicio(2008, true);
}

void BancoDosAnexos::TearDown() {
    instalado_.reset();
    dm_.reset();
    dir_.reset();
}

void BancoDosAnexos::usaExercicio(int ano, bool comAnterior) {
    ano_ = ano;
    dm_.reset();
    nq::defineAnoExercicio(QString::number(ano));
    dm_ = std::make_unique<nq::Tdm>();
    dm_->Conexao.BeforeConnect = nullptr;
    dm_->Conexao.setParam(QStringLiteral("Database"), demo(ano).bancoAtual);
    if (comAnterior) {
        dm_->ConexaoAnt.setParam(QStringLiteral("Database"), demo(ano).bancoAnterior);
        dm_->ConexaoAnt.Open();
    }
}

Execucao BancoDosAnexos::roda(const std::function<std::unique_ptr<QWidget>()>& cria, int bimestre,
                              bool resposta) {
    valores.defineBimestre(bimestre);
    nq::MensagensDeTeste msgs(resposta);
    SaidaDeTeste saida;
    nq::SaidaInstalada instalada(saida);
    const std::unique_ptr<QWidget> janela = cria();
    janela->findChild<QPushButton*>(QStringLiteral("btncalcula"))->click();
    Execucao r;
    r.tabelas = std::move(saida.tabelas);
    r.documento = std::move(saida.documento);
    r.figuras = std::move(saida.figuras);
    r.mensagens = msgs->registro();
    return r;
}

void BancoDosAnexos::executa(const QString& sql) {
    nq::teste::executaComoDono(demo(ano_).bancoAtual, sql);
}

void digita(const QString& arquivo, const QString& id, const std::map<QString, nq::Moeda>& campos) {
    nq::ClientDataSet t;
    t.loadFromFile(arquivo);
    ASSERT_TRUE(t.locate(QStringLiteral("ID"), nq::Value(id))) << id.toStdString();
    t.edit();
    for (const auto& [campo, valor] : campos)
        t.fieldByName(campo).setAsCurrency(valor);
    t.post();
    t.saveToFile(arquivo);
}
