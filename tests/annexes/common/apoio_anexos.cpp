#include "apoio_anexos.h"

#include "core/globais.h"
#include "report/despejo.h"
#include "report/devices/dispositivo.h"
#include "tables/clientdataset.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>

namespace apoio {

namespace {

Tabela foto(const nq::ClientDataSet& t) {
    Tabela linhas;
    for (int i = 0; i < t.recordCount(); ++i) {
        Linha& l = linhas.emplace_back();
        for (int c = 0; c < t.fieldCount(); ++c)
            l[t.fieldDef(c).name] = t.valueAt(i, c);
    }
    return linhas;
}

} // namespace

void garanteAplicacao() {
    static int argc = 1;
    static char nome[] = "anexos_testes";
    static char* argv[] = {nome, nullptr};
    if (!QCoreApplication::instance())
        new QApplication(argc, argv);
}

void SaidaCapturada::executa(nq::TppReport& relatorio) {
    nq::ColetorDeFiguras coletor(relatorio);
    nq::SaidaDeRelatorios::executa(relatorio);
    figuras = coletor.figuras();
}

void SaidaCapturada::apresenta(nq::TppReport& relatorio, const nq::Documento& d) {
    ++impressoes;
    documento = d;
    for (const auto& p : relatorio.pipelines())
        if (p->DataSource && p->DataSource->active())
            tabelas[p->Name] = foto(*p->DataSource);
    if (relatorio.OnPreviewFormClose)
        relatorio.OnPreviewFormClose();
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

void BancoDeAnexo::executa(const QString& sql) {
    nq::TCRSQLConnection dono;
    dono.Params = nq::TCRSQLConnection::parametrosPadrao();
    dono.setParam(QStringLiteral("User_Name"), QStringLiteral("SYSDBA"));
    dono.setParam(QStringLiteral("Database"), demo_->bancoAtual);
    dono.ExecuteDirect(sql);
    dm_->qrCliente.close();
}

void BancoDeAnexo::escolheBimestre(int bimestre) {
    valores.defineBimestre(bimestre);
    valores.defineBimestreSelecionado(bimestre);
}

nq::Moeda emMoeda(nq::demo::Centavos c) {
    return nq::Moeda::deDezMilesimos(c * 100);
}

QString figura(const std::vector<nq::Figura>& figuras, const QString& quadro, const QString& id,
               const QString& coluna, const QString& descricao) {
    for (const nq::Figura& f : figuras)
        if (f.quadro == quadro && f.id == id && f.coluna == coluna &&
            (descricao.isEmpty() || f.descricao == descricao))
            return f.valor;
    return QStringLiteral("<ausente>");
}

void comparaComGolden(const QString& pasta, const QString& nome, const QString& atual) {
    const QString caminho =
        QStringLiteral(NQ404_FONTE "/tests/annexes/%1/golden/%2.txt").arg(pasta, nome);
    if (qEnvironmentVariableIsSet("NQ404_ATUALIZA_GOLDEN")) {
        QDir().mkpath(QFileInfo(caminho).absolutePath());
        QFile f(caminho);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(atual.toUtf8());
        return;
    }
    QFile f(caminho);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << "sem referência: " << caminho.toStdString();
    if (QString::fromUtf8(f.readAll()) == atual)
        return;
    const QString dir = QStringLiteral(NQ404_BIN "/golden-atual");
    QDir().mkpath(dir);
    QFile saida(dir + '/' + nome + ".txt");
    if (saida.open(QIODevice::WriteOnly | QIODevice::Truncate))
        saida.write(atual.toUtf8());
    ADD_FAILURE() << "as páginas diferem de " << caminho.toStdString() << "; atual em "
                  << saida.fileName().toStdString();
}

QStringList figurasDoPdf(const nq::Documento& documento, const QString& pdf) {
    auto dispositivo = nq::criaDispositivoDeArquivo(QStringLiteral("PDFFile"));
    dispositivo->defineArquivo(pdf);
    nq::enviaDocumento(*dispositivo, documento);
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return {QStringLiteral("<pdftotext falhou>")};
    const QString texto = QString::fromUtf8(p.readAllStandardOutput());
    static const QRegularExpression numero(QStringLiteral("-?\\d{1,3}(?:\\.\\d{3})*,\\d{2}"));
    QStringList figuras;
    for (const auto& m : numero.globalMatch(texto))
        figuras << nq::numeroSimples(m.captured());
    return figuras;
}

} // namespace apoio
