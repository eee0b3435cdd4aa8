#include "app/inicio.h"
#include "core/configuracao.h"
#include "core/globais.h"
#include "core/mensagens.h"
#include "db/modulodados.h"
#include "demo/demo.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace nq;

namespace {

const QString BaseNaoEncontrada =
    QStringLiteral("Base de Dados do sistema não encontrada !!! O Sistema será finalizado.");
const QString AvisoAnoAnterior =
    QStringLiteral("Não foi encontrada a Base de Dados do ano Anterior ! Alguns relatórios "
                   "ficarão incompletos sem essas informações!");

class Inicio : public ::testing::Test {
protected:
    void SetUp() override {
        base = dir.path() + "/VEXO_8/";
        defineAnoExercicio({});
        defineDiretorioDados({});
    }
    void TearDown() override { defineCaminhoVexoIni({}); }

    void escreveIni(const QString& ano, const QString& linhas = {}) {
        const QString caminho = dir.filePath("Vexo.ini");
        QFile f(caminho);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(
            QStringLiteral("[VEXO]\r\nAno=%1\r\nCaminho_Base_Dados=%2\r\n%3")
                .arg(ano, base, linhas.contains("Servidor=") ? linhas : "Servidor=\r\n" + linhas)
                .toUtf8());
        f.close();
        defineCaminhoVexoIni(caminho);
    }

    // The demo exercise and the year before it, with the Vexo.ini that points at them.
    demo::Demonstracao criaDemo() {
        demo::Demonstracao d = demo::criaBancoDeTeste(dir.path(), 2008);
        base = d.raiz;
        defineCaminhoVexoIni(d.ini);
        return d;
    }

    ResultadoInicio inicia() {
        Tdm dados;
        ResultadoInicio r = InicioNQ404(dados).executa();
        conectado = dados.Conexao.Connected();
        anteriorConectado = dados.ConexaoAnt.Connected();
        return r;
    }

    int vezes(const QString& texto) { return static_cast<int>(msgs->textos().count(texto)); }

    QTemporaryDir dir;
    QString base;
    MensagensDeTeste msgs;
    bool conectado = false;
    bool anteriorConectado = false;
};

TEST_F(Inicio, SemAnoAnteriorUmAvisoEContinua) {
    const demo::Demonstracao d = criaDemo();
    ASSERT_TRUE(QFile::remove(d.bancoAnterior));
    ASSERT_TRUE(QFile::remove(base + "TABDEF/MTCE.html"));
    const ResultadoInicio r = inicia();
    EXPECT_FALSE(r.encerrar);
    EXPECT_EQ(r.ano, "2008");
    EXPECT_EQ(r.municipio, d.exercicios.atual.cliente.nome);
    EXPECT_FALSE(r.municipio.isEmpty());
    EXPECT_TRUE(conectado);
    EXPECT_FALSE(anteriorConectado);
    EXPECT_EQ(vezes(AvisoAnoAnterior), 1);
    EXPECT_EQ(anoExercicio(), "2008");
    EXPECT_EQ(diretorioDados(), base + "ARQ2008/");
    // The missing instructions file is mentioned once, and start-up goes on.
    ASSERT_EQ(msgs->registro().size(), 2u);
    EXPECT_TRUE(msgs->registro()[0].texto.contains(
        "Faça o Download do Item: \"VEXO - Auxiliares(Tabdef\"Usando o Atulizador"));
}

TEST_F(Inicio, DemonstracaoComAjudaComecaSemAviso) {
    criaDemo();
    const ResultadoInicio r = inicia();
    EXPECT_TRUE(conectado);
    EXPECT_TRUE(anteriorConectado);
    EXPECT_EQ(r.arquivoAjuda, base + "TABDEF/MTCE.html");
    EXPECT_TRUE(msgs->registro().empty()) << msgs->textos().join('\n').toStdString();
    QFile html(r.arquivoAjuda);
    ASSERT_TRUE(html.open(QIODevice::ReadOnly));
    const QString texto = QString::fromUtf8(html.readAll());
    for (const char* assunto : {"Fechamento de um bimestre", "Digitação da administração indireta",
                                "A planilha do Tribunal de Contas", "Modo sem janelas"})
        EXPECT_TRUE(texto.contains(QString::fromUtf8(assunto))) << assunto;
}

TEST_F(Inicio, AjudaQueODesktopAbrePrimeiroDepoisAdoWindows) {
    criaDemo();
    ASSERT_TRUE(QFile::remove(base + "TABDEF/MTCE.html"));
    const auto cria = [this](const QString& nome) {
        QFile f(base + "TABDEF/" + nome);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    };
    cria("mtce.hlp");
    EXPECT_EQ(inicia().arquivoAjuda, base + "TABDEF/mtce.hlp");
    cria("Mtce.PDF");
    EXPECT_EQ(inicia().arquivoAjuda, base + "TABDEF/Mtce.PDF");
    cria("MTCE.htm");
    EXPECT_EQ(inicia().arquivoAjuda, base + "TABDEF/MTCE.htm");
    EXPECT_TRUE(msgs->registro().empty()) << msgs->textos().join('\n').toStdString();
}

TEST_F(Inicio, AnoAnteriorA2003Encerra) {
    escreveIni("2002");
    const ResultadoInicio r = inicia();
    EXPECT_TRUE(r.encerrar);
    EXPECT_FALSE(conectado);
    EXPECT_EQ(anoExercicio(), "");
    const auto& ultima = msgs->registro().back();
    EXPECT_EQ(ultima.texto, "Para Exercícios anteriores a 2003, este módulo deve ser executado "
                            "na versão 7.0 do VEXO.");
    EXPECT_EQ(ultima.titulo, "Atenção");
    EXPECT_EQ(ultima.icone, Icone::Exclamacao);
}

TEST_F(Inicio, BancoAusenteEncerra) {
    escreveIni("2008");
    ASSERT_TRUE(QDir().mkpath(base + "ARQ2007")); // nothing in it
    const ResultadoInicio r = inicia();
    EXPECT_TRUE(r.encerrar);
    EXPECT_FALSE(conectado);
    EXPECT_EQ(vezes(AvisoAnoAnterior), 0);
    const auto& ultima = msgs->registro().back();
    EXPECT_EQ(ultima.texto.section('\n', 0, 0), BaseNaoEncontrada);
    EXPECT_TRUE(ultima.texto.contains(base + "ARQ2008/VEXO2008.FDB não existe."))
        << ultima.texto.toStdString();
    EXPECT_EQ(ultima.titulo, "Erro na Base de Dados");
    EXPECT_EQ(ultima.icone, Icone::Erro);
}

// The first line as the family shows it, and below it what is really wrong.
TEST_F(Inicio, BancoQueNaoAbreDizACausaAbaixoDaMensagem) {
    const demo::Demonstracao d = criaDemo();
    const auto causa = [&] {
        msgs->limpa();
        const ResultadoInicio r = inicia();
        EXPECT_TRUE(r.encerrar);
        EXPECT_FALSE(conectado);
        if (msgs->registro().empty())
            return QString();
        const QString texto = msgs->registro().back().texto;
        EXPECT_EQ(texto.section('\n', 0, 0), BaseNaoEncontrada);
        return texto.section('\n', 1).trimmed();
    };

    {
        QProcess isql; // another program holding the embedded file
        isql.start("isql-fb", {"-user", "QTWVEXO8", d.bancoAtual});
        ASSERT_TRUE(isql.waitForStarted());
        isql.write("SELECT 'PRONTO' FROM RDB$DATABASE;\n");
        QByteArray saida;
        while (!saida.contains("PRONTO")) {
            ASSERT_TRUE(isql.waitForReadyRead(10000));
            saida += isql.readAllStandardOutput();
        }
        const QString emUso = causa();
        EXPECT_TRUE(emUso.contains("já está aberto por outro programa")) << emUso.toStdString();
        isql.write("QUIT;\n");
        isql.closeWriteChannel();
        EXPECT_TRUE(isql.waitForFinished(10000));
    }

    escreveIni("2008", "DLL=ibclient64.dll\r\n");
    EXPECT_TRUE(causa().startsWith("Biblioteca cliente do banco de dados desconhecida: "
                                   "ibclient64.dll"));

    escreveIni("2008", "Servidor=127.0.0.1/1\r\nSO_Servidor=LINUX\r\n");
    EXPECT_TRUE(causa().contains("Não foi possível conectar ao servidor do banco de dados "
                                 "127.0.0.1/1: ele recusou a conexão"));

    escreveIni("2008");
    QFile lixo(d.bancoAtual);
    ASSERT_TRUE(lixo.open(QIODevice::WriteOnly | QIODevice::Truncate));
    lixo.write(QByteArray("não é um banco de dados ").repeated(1000));
    lixo.close();
    const QString danificado = causa();
    EXPECT_TRUE(danificado.contains("não é um banco de dados Firebird válido ou está danificado"))
        << danificado.toStdString();
    EXPECT_FALSE(danificado.contains("motor")) << danificado.toStdString();
}

TEST_F(Inicio, ConfiguracaoRuimMostraOErroSemEncerrar) {
    defineCaminhoVexoIni(dir.filePath("ausente/Vexo.ini"));
    ResultadoInicio r = inicia();
    EXPECT_FALSE(r.encerrar);
    EXPECT_TRUE(r.ano.isEmpty());
    ASSERT_EQ(msgs->registro().size(), 1u);
    EXPECT_TRUE(msgs->registro()[0].texto.startsWith("Arquivo de configuração não encontrado"));
    EXPECT_EQ(msgs->registro()[0].icone, Icone::Erro);

    msgs->limpa();
    escreveIni("dois mil e oito");
    r = inicia();
    EXPECT_FALSE(conectado);
    EXPECT_EQ(anoExercicio(), "");
    EXPECT_TRUE(msgs->registro().back().texto.contains("\"dois mil e oito\""));
}

} // namespace
