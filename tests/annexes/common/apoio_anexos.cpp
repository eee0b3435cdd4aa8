#include "apoio_anexos.h"

#include "core/globais.h"
#include "report/despejo.h"
#include "report/devices/dispositivo.h"
#include "tables/clientdataset.h"
#include "workbook/planilha.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>

namespace apoio {

namespace {

class PlanilhaEmMemoria : public nq::Planilha {
public:
    explicit PlanilhaEmMemoria(Pasta& p) : p_(p) {}
    void abre(const QString&) override {}
    void criaNova(const QStringList&) override {}
    void selecionaFolha(const QString& nome) override { folha_ = nome; }
    nq::ValorCelula le(const QString& endereco) override { return p_.folhas[folha_][endereco]; }
    void escreveNumero(const QString& endereco, double valor) override {
        p_.folhas[folha_][endereco] = nq::ValorCelula::deNumero(valor);
    }
    void escreveTexto(const QString& endereco, const QString& texto) override {
        p_.folhas[folha_][endereco] = nq::ValorCelula::deTexto(texto);
    }
    void salvaComo(const QString&) override {}
    void mostra() override { p_.mostrada = true; }
    void fecha() override {}

private:
    Pasta& p_;
    QString folha_;
};

} // namespace

void garanteAplicacao() {
    static int argc = 1;
    static char nome[] = "anexos_testes";
    static char* argv[] = {nome, nullptr};
    if (!QCoreApplication::instance())
        new QApplication(argc, argv);
}

void Execucao::executa(nq::TppReport& relatorio) {
    nq::ColetorDeFiguras coletor(relatorio);
    nq::SaidaDeRelatorios::executa(relatorio);
    figuras = coletor.figuras();
}

void Execucao::apresenta(nq::TppReport& relatorio, const nq::Documento& d) {
    ++impressoes;
    documento = d;
    for (const auto& p : relatorio.pipelines()) {
        const nq::ClientDataSet* t = p->DataSource;
        if (!t || !t->active())
            continue;
        Tabela& linhas = tabelas[p->Name];
        for (int i = 0; i < t->recordCount(); ++i) {
            auto& linha = linhas.emplace_back();
            for (int c = 0; c < t->fieldCount(); ++c)
                linha[t->fieldDef(c).name] = t->valueAt(i, c);
        }
    }
    if (relatorio.OnPreviewFormClose)
        relatorio.OnPreviewFormClose();
}

QString Execucao::figura(const QString& quadro, const QString& id, const QString& coluna,
                         const QString& descricao) const {
    for (const nq::Figura& f : figuras)
        if (f.quadro == quadro && f.id == id && f.coluna == coluna &&
            (descricao.isEmpty() || f.descricao == descricao))
            return f.valor;
    return QStringLiteral("<ausente>");
}

bool Execucao::mostrou(const QString& inicio) const {
    for (const auto& m : mensagens)
        if (m.texto.startsWith(inicio))
            return true;
    return false;
}

QStringList Execucao::coluna(const QString& pipeline, const QString& campo) const {
    QStringList valores;
    for (const auto& linha : tabelas.at(pipeline))
        valores << linha.at(campo).asString().trimmed();
    return valores;
}

void BancoDeAnexo::SetUpTestSuite() {
    garanteAplicacao();
    tmp_ = new QTemporaryDir;
    demo_ = new nq::demo::Demonstracao(nq::demo::criaBancoDeTeste(tmp_->path() + "/banco"));
}

void BancoDeAnexo::TearDownTestSuite() {
    delete demo_;
    delete tmp_;
    demo_ = nullptr;
    tmp_ = nullptr;
}

void BancoDeAnexo::SetUp() {
    dir_ = std::make_unique<QTemporaryDir>();
    nq::defineDiretorioDados(dados());
    dm_ = std::make_unique<nq::Tdm>();
    dm_->Conexao.BeforeConnect = nullptr;
    dm_->Conexao.setParam(QStringLiteral("Database"), demo_->bancoAtual);
    instalado_ = std::make_unique<nq::LancadorInstalado>(valores);
}

void BancoDeAnexo::TearDown() {
    instalado_.reset();
    dm_.reset();
    dir_.reset();
    nq::defineDiretorioDados({});
}

void BancoDeAnexo::escolheBimestre(int bimestre) {
    valores.defineBimestre(bimestre);
    valores.defineBimestreSelecionado(bimestre);
}

Pasta& BancoDeAnexo::planilhaEmMemoria() {
    const QString arquivo = dados() + "tce.xls";
    QFile f(arquivo);
    if (f.open(QIODevice::WriteOnly))
        f.write("planilha");
    valores.definePlanilha(arquivo);
    valores.defineFabricaDePlanilha([this] { return std::make_unique<PlanilhaEmMemoria>(pasta_); });
    return pasta_;
}

void BancoDeAnexo::executa(const QString& sql) {
    nq::TCRSQLConnection dono;
    dono.Params = nq::TCRSQLConnection::parametrosPadrao();
    dono.setParam(QStringLiteral("User_Name"), QStringLiteral("SYSDBA"));
    dono.setParam(QStringLiteral("Database"), demo_->bancoAtual);
    dono.ExecuteDirect(sql);
    dm_->qrCliente.close();
}

nq::Moeda emMoeda(nq::demo::Centavos c) {
    return nq::Moeda::deDezMilesimos(c * 100);
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

void comparaComGolden(const QString& pasta, const QString& nome, const nq::Documento& documento) {
    const QString atual = nq::despejo(documento);
    const QString caminho =
        QStringLiteral(NQ404_FONTE "/tests/annexes/%1/golden/%2.txt").arg(pasta, nome);
    QFile f(caminho);
    if (qEnvironmentVariableIsSet("NQ404_ATUALIZA_GOLDEN")) {
        QDir().mkpath(QFileInfo(caminho).absolutePath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(atual.toUtf8());
        return;
    }
    ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << "sem referência: " << caminho.toStdString();
    if (QString::fromUtf8(f.readAll()) == atual)
        return;
    QDir().mkpath(QStringLiteral(NQ404_BIN "/golden-atual"));
    QFile saida(QStringLiteral(NQ404_BIN "/golden-atual/") + nome + ".txt");
    if (saida.open(QIODevice::WriteOnly | QIODevice::Truncate))
        saida.write(atual.toUtf8());
    ADD_FAILURE() << "as páginas diferem de " << caminho.toStdString() << "; atual em "
                  << saida.fileName().toStdString();
}

void csvIgualAoPdf(const Execucao& r, const QString& pdf) {
    auto dispositivo = nq::criaDispositivoDeArquivo(QStringLiteral("PDFFile"));
    dispositivo->defineArquivo(pdf);
    nq::enviaDocumento(*dispositivo, r.documento);
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    ASSERT_TRUE(p.waitForFinished(30000) && p.exitCode() == 0);
    static const QRegularExpression numero(QStringLiteral("-?\\d{1,3}(?:\\.\\d{3})*,\\d{2}"));
    QStringList doPdf, doCsv;
    for (const auto& m : numero.globalMatch(QString::fromUtf8(p.readAllStandardOutput())))
        doPdf << nq::numeroSimples(m.captured());
    for (const nq::Figura& f : r.figuras)
        doCsv << f.valor;
    EXPECT_FALSE(doCsv.isEmpty());
    EXPECT_EQ(doCsv, doPdf);
}

} // namespace apoio
