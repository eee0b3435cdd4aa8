#include "apoio_anexos.h"
#include "apoio/dono_do_banco.h"

#include "core/configuracao.h"

#include "core/globais.h"
#include "db/consultas.h"
#include "tables/clientdataset.h"

#include <QFile>
#include <QScopeGuard>

void SaidaDeTeste::executa(nq::TppReport& relatorio) {
    nq::ColetorDeFiguras coletor(relatorio);
    nq::SaidaDeRelatorios::executa(relatorio);
    figuras = coletor.figuras();
}

void SaidaDeTeste::apresenta(nq::TppReport& relatorio, const nq::Documento& d) {
    documento = d;
    // By pipeline ("ppDBPipeline1") and by table ("cdsRec").
    for (const auto& p : relatorio.pipelines())
        if (p->DataSource)
            tabelas[p->DataSource->name()] = tabelas[p->Name] = fotoDaTabela(*p->DataSource);
    if (relatorio.OnPreviewFormClose)
        relatorio.OnPreviewFormClose();
}

QString Resultado::figura(const QString& quadro, const QString& id, const QString& coluna) const {
    for (const nq::Figura& f : figuras)
        if (f.quadro == quadro && f.id == id && f.coluna == coluna)
            return f.valor;
    return QStringLiteral("<ausente>");
}

int Resultado::figurasDaLinha(const QString& quadro, const QString& id) const {
    return static_cast<int>(std::count_if(figuras.begin(), figuras.end(), [&](const nq::Figura& f) {
        return f.quadro == quadro && f.id == id;
    }));
}

bool Resultado::perguntou(const QString& texto) const {
    return std::any_of(mensagens.begin(), mensagens.end(),
                       [&](const nq::MensagemMostrada& m) { return m.texto == texto; });
}

bool Resultado::mostrou(const QString& inicio) const {
    return std::any_of(mensagens.begin(), mensagens.end(),
                       [&](const nq::MensagemMostrada& m) { return m.texto.startsWith(inicio); });
}

QStringList Resultado::linhas(const QString& quadro, const QString& coluna) const {
    QStringList ids;
    for (const nq::Figura& f : figuras)
        if (f.quadro == quadro && f.coluna == coluna)
            ids << f.id;
    return ids;
}

void ComBancoDeTeste::TearDownTestSuite() {
    nq::defineCaminhoVexoIni({});
    ComBancoGerado::TearDownTestSuite();
}

void BancoDeAnexos::SetUpTestSuite() {
    garanteAplicacao();
}

void BancoDeAnexos::TearDownTestSuite() {
    delete demo_;
    delete tmp_;
    demo_ = nullptr;
    tmp_ = nullptr;
}

void BancoDeAnexos::SetUp() {
    if (proprio_) {
        tmpProprio_ = std::make_unique<QTemporaryDir>();
        proprioDemo_ = std::make_unique<nq::demo::Demonstracao>(
            nq::demo::criaBancoDeTeste(tmpProprio_->path() + "/banco"));
    } else if (!demo_) {
        tmp_ = new QTemporaryDir;
        demo_ = new nq::demo::Demonstracao(nq::demo::criaBancoDeTeste(tmp_->path() + "/banco"));
    }
    dir_ = std::make_unique<QTemporaryDir>();
    nq::defineDiretorioDados(dados());
    dm_ = std::make_unique<nq::Tdm>();
    dm_->Conexao.BeforeConnect = nullptr;
    dm_->Conexao.setParam(QStringLiteral("Database"), demo().bancoAtual);
    instalado_ = std::make_unique<nq::LancadorInstalado>(valores);
}

void BancoDeAnexos::TearDown() {
    instalado_.reset();
    dm_.reset();
    dir_.reset();
    proprioDemo_.reset();
    tmpProprio_.reset();
}

void BancoDeAnexos::abreAnoAnterior() {
    dm_->ConexaoAnt.setParam(QStringLiteral("Database"), demo().bancoAnterior);
    dm_->ConexaoAnt.Open();
}

void BancoDeAnexos::usaPlanilhaNaMemoria(Pasta& pasta) {
    const QString arquivo = dados() + "tce.xls";
    QFile f(arquivo);
    if (f.open(QIODevice::WriteOnly))
        f.write("planilha");
    valores.definePlanilha(arquivo);
    valores.defineFabricaDePlanilha(
        [&pasta] { return std::make_unique<PlanilhaNaMemoria>(pasta); });
}

void BancoDeAnexos::executa(const QString& sql) {
    nq::teste::executaComoDono(demo().bancoAtual, sql);
    dm_->qrCliente.close();
}

bool BancoDeAnexos::perguntaPlanilhaCom(const QString& nome,
                                        const std::function<Resultado()>& roda) {
    const auto restaura = qScopeGuard([this, antigo = exercicio().cliente.nome] {
        executa("UPDATE CADCLI SET CLNT1 = " + nq::textoSql(antigo));
    });
    executa("UPDATE CADCLI SET CLNT1 = " + nq::textoSql(nome));
    return roda().perguntou("Deseja Exportar os Dados para a Planilha do TCE ?");
}

void digita(const QString& arquivo, nq::ArquivoDigitado tipo, const nq::Value& chave,
            const std::map<QString, nq::Value>& valores) {
    const nq::DescricaoArquivo& d = nq::descricao(tipo);
    nq::ClientDataSet t;
    if (QFile::exists(arquivo)) {
        t.loadFromFile(arquivo);
    } else {
        for (const nq::FieldDef& c : d.colunas)
            t.addField(c.name, c.kind, c.size);
        t.createDataSet();
    }
    if (t.locate(d.chave, chave)) {
        t.edit();
    } else {
        t.append();
        t.fieldByName(d.chave).setValue(chave);
    }
    for (const auto& [campo, valor] : valores)
        t.fieldByName(campo).setValue(valor);
    t.post();
    t.saveToFile(arquivo);
}

nq::Moeda centavos(nq::demo::Centavos c) {
    return nq::Moeda::deDezMilesimos(c * 100);
}

bool noBimestre(const QDate& data, int k) {
    return data.month() >= 2 * k - 1 && data.month() <= 2 * k;
}

bool deReserva(const nq::demo::Exercicio& e, const nq::demo::Empenho& emp) {
    if (emp.tpem == QStringLiteral("RD"))
        return true;
    for (const auto& outro : e.empenhos)
        if (outro.pkemp == emp.pkempa && outro.tpem == QStringLiteral("RD"))
            return true;
    return false;
}
