#include "apoio_anexo1.h"
#include "apoio/dono_do_banco.h"

#include "annexes/anexo1/anexo1.h"
#include "core/globais.h"
#include "report/preview/saida.h"
#include "tables/clientdataset.h"

#include <QPushButton>

void SaidaDeTeste::executa(nq::TppReport& relatorio) {
    nq::ColetorDeFiguras coletor(relatorio);
    nq::SaidaDeRelatorios::executa(relatorio);
    figuras = coletor.figuras();
}

void SaidaDeTeste::apresenta(nq::TppReport& relatorio, const nq::Documento& d) {
    documento = d;
    receita = fotoDaTabela(*relatorio.pipeline(QStringLiteral("ppDBPipeline1"))->DataSource);
    despesa = fotoDaTabela(*relatorio.pipeline(QStringLiteral("ppDBPipeline2"))->DataSource);
    if (relatorio.OnPreviewFormClose)
        relatorio.OnPreviewFormClose();
}

nq::Moeda moeda(const Linhas& l, const QString& id, const QString& campo) {
    const auto linha = l.find(id);
    if (linha == l.end())
        ADD_FAILURE() << "sem a linha " << id.toStdString();
    return linha == l.end() ? nq::Moeda() : linha->second.at(campo).asCurrency();
}

void BancoDoAnexo1::SetUpTestSuite() {
    garanteAplicacao();
    tmp_ = new QTemporaryDir;
    demo_ = new nq::demo::Demonstracao(nq::demo::criaBancoDeTeste(tmp_->path() + "/banco"));
}

void BancoDoAnexo1::TearDownTestSuite() {
    delete demo_;
    delete tmp_;
    demo_ = nullptr;
    tmp_ = nullptr;
}

void BancoDoAnexo1::SetUp() {
    dir_ = std::make_unique<QTemporaryDir>();
    nq::defineDiretorioDados(dados());
    dm_ = std::make_unique<nq::Tdm>();
    dm_->Conexao.BeforeConnect = nullptr;
    dm_->Conexao.setParam(QStringLiteral("Database"), demo_->bancoAtual);
    instalado_ = std::make_unique<nq::LancadorInstalado>(valores);
}

void BancoDoAnexo1::TearDown() {
    instalado_.reset();
    dm_.reset();
    dir_.reset();
}

void BancoDoAnexo1::executa(const QString& sql) {
    nq::teste::executaComoDono(demo_->bancoAtual, sql);
    dm_->qrCliente.close();
}

Resultado BancoDoAnexo1::roda(int bimestre, bool divide, std::vector<bool> respostas) {
    valores.defineBimestre(bimestre);
    nq::MensagensDeTeste msgs;
    msgs->enfileiraResposta(divide);
    for (bool r : respostas)
        msgs->enfileiraResposta(r);
    SaidaDeTeste saida;
    nq::SaidaInstalada instalada(saida);
    nq::TImpAnexo1 janela;
    janela.btncalcula->click();
    return {saida.receita, saida.despesa,    std::move(saida.documento),
            saida.figuras, msgs->registro(), janela.comandosExecutados()};
}
