#include "banco_teste.h"

#include "core/configuracao.h"

#include <QDir>
#include <QFile>

namespace nq::teste {

fb::ParametrosConexao parametrosFamilia(const QString& conjunto) {
    fb::ParametrosConexao p;
    p.usuario = QStringLiteral("QTWVEXO8");
    p.senha = QStringLiteral("mavu");
    p.conjuntoCaracteres = conjunto;
    return p;
}

void criaBancoDeTeste(const QString& caminho, const QString& municipio) {
    fb::ParametrosCriacao criacao;
    criacao.gravacaoForcada = false;
    auto banco = fb::Banco::cria(caminho, parametrosFamilia(), criacao);
    {
        fb::Transacao t = banco->inicia();
        for (const char* ddl :
             {"CREATE TABLE CADCLI (CLNT1 VARCHAR(60), CID VARCHAR(40), MEXER CHAR(4))",
              "CREATE TABLE PARAMEDU (RD CHAR(1))",
              "CREATE TABLE RECEIT (FICHA INTEGER, DTLAN DATE, VAREC NUMERIC(15,2))",
              "CREATE TABLE DESPES (PKEMP INTEGER NOT NULL PRIMARY KEY, PKEMPA INTEGER, "
              "TPEM CHAR(2), VADEM NUMERIC(15,2))",
              "CREATE TABLE TIPOS (TEXTO CHAR(10), PEQUENO SMALLINT, GRANDE BIGINT, "
              "TAXA NUMERIC(18,4), FATOR DOUBLE PRECISION, DIA DATE, HORA TIME, "
              "MOMENTO TIMESTAMP, NOTA BLOB SUB_TYPE TEXT, SIM BOOLEAN)"})
            banco->executa(t, QString::fromUtf8(ddl));
        t.confirma();
    }
    fb::Transacao t = banco->inicia();
    auto cli = banco->prepara(t, QStringLiteral("INSERT INTO CADCLI VALUES (?, ?, ?)"));
    cli.executa(t, municipio, QString::fromUtf8("São João"), QStringLiteral("2008"));
    banco->executa(t, QStringLiteral("INSERT INTO PARAMEDU VALUES ('F')"));
    t.confirma();
}

ArvoreVexo::ArvoreVexo(int ano) : ano_(ano) {
    escreveIni();
}

ArvoreVexo::~ArvoreVexo() {
    defineCaminhoVexoIni({});
}

QString ArvoreVexo::caminhoBanco(int ano) const {
    return raiz() + QStringLiteral("ARQ%1/VEXO%1.FDB").arg(ano);
}

void ArvoreVexo::criaBanco(int ano, const QString& municipio) {
    QDir().mkpath(raiz() + QStringLiteral("ARQ%1").arg(ano));
    criaBancoDeTeste(caminhoBanco(ano), municipio);
}

void ArvoreVexo::escreveIni(const QString& linhasExtras, const QString& ano) {
    const QString ini = dir_.path() + QStringLiteral("/Vexo.ini");
    QFile f(ini);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(QStringLiteral("[VEXO]\nAno=%1\nCaminho_Base_Dados=%2\n%3\n")
                .arg(ano.isEmpty() ? QString::number(ano_) : ano, raiz(), linhasExtras)
                .toUtf8());
    f.close();
    defineCaminhoVexoIni(ini);
}

} // namespace nq::teste
