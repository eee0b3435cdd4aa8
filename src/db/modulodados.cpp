#include "db/modulodados.h"

#include "core/configuracao.h"
#include "core/erro.h"
#include "core/mensagens.h"

namespace nq {

namespace {

Tdm*& instancia() {
    static Tdm* dm = nullptr;
    return dm;
}

void configuraConexao(TCRSQLConnection& c) {
    c.ConnectionName = QStringLiteral("Devart InterBase");
    c.DriverName = QStringLiteral("DevartInterBase");
    c.GetDriverFunc = QStringLiteral("getSQLDriverInterBase");
    c.LibraryName = QStringLiteral("dbexpida.dll");
    c.VendorLib = QStringLiteral("gds32.DLL");
    c.LoginPrompt = false;
    c.Params = TCRSQLConnection::parametrosPadrao();
}

} // namespace

Tdm::Tdm()
    : Conexao(QStringLiteral("Conexao")), ConexaoAnt(QStringLiteral("ConexaoAnt")),
      qrCliente(QStringLiteral("qrCliente"), &Conexao),
      qrAtualiza(QStringLiteral("qrAtualiza"), &Conexao),
      cdsAux(QStringLiteral("cdsAux"), &Conexao), cdsAux2(QStringLiteral("cdsAux2"), &Conexao),
      cdsAuxAnt(QStringLiteral("cdsAuxAnt"), &ConexaoAnt), cdsXML(QStringLiteral("cdsXML")) {
    if (instancia())
        throw Erro(QStringLiteral("O módulo de dados já foi criado."));
    configuraConexao(Conexao);
    configuraConexao(ConexaoAnt);
    Conexao.BeforeConnect = [this](TCRSQLConnection& c) { ConexaoBeforeConnect(c); };
    qrCliente.setCommandText(QStringLiteral("SELECT * FROM CADCLI"));
    TD.TransactionID = 1;
    TD.IsolationLevel = 0;
    instancia() = this;
}

Tdm::~Tdm() {
    instancia() = nullptr;
    // Datasets hold no database state; connections go last.
    ConexaoAnt.Close();
    Conexao.Close();
}

void Tdm::ConexaoBeforeConnect(TCRSQLConnection&) {
    const int ano = anoVexoIni();
    QString dll = leVexoIni(QStringLiteral("DLL"));
    if (dll.isEmpty())
        dll = QStringLiteral("gds32.DLL");

    const QString driver = diretorioDoExecutavel() + QStringLiteral("dbexpida.dll");
    Conexao.LibraryName = driver;
    Conexao.VendorLib = dll;
    Conexao.setParam(
        QStringLiteral("DataBase"),
        caminhoDoBanco(CaminhoDiretorio(QStringLiteral("B")),
                       QStringLiteral("VEXO%1.FDB").arg(leVexoIni(QStringLiteral("Ano")))));

    const QString anterior = QStringLiteral("VEXO%1.FDB").arg(ano - 1);
    if (TestaConexao(anterior, QStringLiteral("DA"))) {
        ConexaoAnt.Close();
        ConexaoAnt.LibraryName = driver;
        ConexaoAnt.VendorLib = dll;
        ConexaoAnt.setParam(QStringLiteral("DataBase"),
                            caminhoDoBanco(CaminhoDiretorio(QStringLiteral("BA")), anterior));
        ConexaoAnt.Open();
        return;
    }
    mensagens().mostra(QStringLiteral("Não foi encontrada a Base de Dados do ano Anterior ! Alguns "
                                      "relatórios ficarão incompletos sem essas informações!"),
                       QStringLiteral("Atençao"), Icone::Exclamacao);
}

Tdm& dm() {
    if (!instancia())
        throw Erro(QStringLiteral("O módulo de dados não foi criado."));
    return *instancia();
}

} // namespace nq
