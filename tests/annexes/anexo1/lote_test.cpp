#include "apoio_anexo1.h"

#include "annexes/anexo1/anexo1.h"
#include "annexes/anexo3/anexo3.h"
#include "apoio/descritor_capturado.h"
#include "apoio/disco_pequeno.h"
#include "apoio/dono_do_banco.h"
#include "apoio/falha_de_gravacao.h"
#include "app/lote.h"
#include "core/configuracao.h"
#include "core/erro.h"
#include "core/gravacao_atomica.h"
#include "db/consultas.h"
#include "demo/demo.h"
#include "tables/pacote.h"
#include "workbook/libreoffice.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString erroDe(const QStringList& argumentos) {
    try {
        nq::leOpcoesDoLote(QStringList{"nq404"} + argumentos);
    } catch (const nq::Erro& e) {
        return e.texto();
    }
    return {};
}

QStringList linhasDe(const QString& arquivo) {
    QFile f(arquivo);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts);
}

QByteArray conteudo(const QString& arquivo) {
    QFile f(arquivo);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Every name in the folder, hidden ones too, in code order.
QString arquivosEm(const QString& dir) {
    QStringList nomes =
        QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    std::sort(nomes.begin(), nomes.end());
    return nomes.join(',');
}

// What the run writes to standard error while this object lives.
class ErrosCapturados : public DescritorCapturado {
public:
    ErrosCapturados() : DescritorCapturado(2) {}
};

TEST(LoteOpcoes, EntradaRuimDizOQueEstaErrado) {
    EXPECT_EQ(erroDe({"--anexo", "9"}),
              "Anexo desconhecido: \"9\". Use 1, 1b, 2, 3, 4, 5, 6, 7, 8, 10 ou rgf.");
    EXPECT_EQ(erroDe({"--bimestre", "7"}), "Bimestre inválido: \"7\" (de 1 a 6).");
    EXPECT_EQ(erroDe({"--bimestre=0"}), "Bimestre inválido: \"0\" (de 1 a 6).");
    EXPECT_EQ(erroDe({"--bimestre", "três"}), "Bimestre inválido: \"três\" (de 1 a 6).");
    EXPECT_EQ(erroDe({"--responder", "talvez"}), "Resposta inválida: \"talvez\" (sim ou nao).");
    EXPECT_EQ(erroDe({"--formato", "x"}), "Opção desconhecida: --formato.");
    EXPECT_EQ(erroDe({"--pdf"}), "Falta o valor da opção --pdf.");
    EXPECT_EQ(erroDe({"anexo1.pdf"}), "Argumento inesperado: \"anexo1.pdf\".");

    const nq::OpcoesDoLote o = nq::leOpcoesDoLote(
        {"nq404", "--anexo", "1B", "--bimestre=3", "--responder", "sim", "--pdf", "a.pdf"});
    EXPECT_EQ(o.anexo, "1b");
    EXPECT_EQ(o.bimestre, 3);
    EXPECT_TRUE(o.responde);
    EXPECT_EQ(o.pdf, "a.pdf");
    EXPECT_TRUE(nq::leOpcoesDoLote({"nq404", "--help"}).ajuda);
    EXPECT_TRUE(nq::ajudaDoLote().contains("--planilha-saida"));
    EXPECT_TRUE(nq::leOpcoesDoLote({"nq404", "--lista-anexos"}).listaAnexos);
    EXPECT_EQ(nq::listaDeAnexos({{"Form101", {}}, {"ImpAnexo1", {}}}), QStringList({"1", "rgf"}));
}

class Lote : public ComBancoDeTeste {
protected:
    nq::OpcoesDoLote opcoes(int bimestre) const {
        nq::OpcoesDoLote o;
        o.anexo = "1";
        o.bimestre = bimestre;
        o.ini = demo_->ini;
        o.pdf = saida.filePath("anexo1.pdf");
        o.csv = saida.filePath("anexo1.csv");
        return o;
    }
    int executa(const nq::OpcoesDoLote& o) const { return nq::executaLote(o, anexos); }

    // A workbook of the Court of Accounts' layout, with the deductions line's caption.
    QString planilha(const QString& legenda) const {
        nq::LibreOffice office;
        auto p = office.novaPlanilha();
        p->criaNova({"Com", "mod1 6b"});
        p->selecionaFolha("mod1 6b");
        p->escreveTexto("A26", legenda);
        const QString arquivo = saida.filePath("tce.xls");
        p->salvaComo(arquivo);
        p->fecha();
        return arquivo;
    }

    // Changes the exercise as its owner (the program only reads).
    static void altera(const QString& sql) { nq::teste::executaComoDono(demo_->bancoAtual, sql); }
    static QString dados() { return QFileInfo(demo_->bancoAtual).absolutePath(); }

    nq::AnexosDisponiveis anexos{
        {"ImpAnexo1", [](QWidget* dono) -> QWidget* { return new nq::TImpAnexo1(dono); }},
        {"ImpAnexo3", [](QWidget* dono) -> QWidget* { return new nq::TImpAnexo3(dono); }}};
    QTemporaryDir saida;
};

TEST_F(Lote, EntradaRuimTerminaComStatusDoisSemDeixarArquivos) {
    nq::OpcoesDoLote o = opcoes(3);
    o.anexo = "2";
    EXPECT_EQ(executa(o), 2); // not in this build
    o = opcoes(3);
    o.ini = saida.filePath("nao-existe/Vexo.ini");
    EXPECT_EQ(executa(o), 2);
    o = opcoes(3);
    o.csv = saida.filePath("sem-diretorio/anexo1.csv");
    EXPECT_EQ(executa(o), 2);
    o = opcoes(3);
    o.pdf = saida.path(); // a directory
    EXPECT_EQ(executa(o), 2);
    o = opcoes(0);
    EXPECT_EQ(executa(o), 2);
    o = opcoes(3);
    o.planilha = saida.filePath("nao-existe.xls");
    o.planilhaSaida = saida.filePath("preenchida.xls");
    EXPECT_EQ(executa(o), 2);
    EXPECT_EQ(QDir(saida.path()).entryList(QDir::Files | QDir::NoDotAndDotDot), QStringList());
}

TEST_F(Lote, PdfECsvDoTerceiroBimestre) {
    const nq::OpcoesDoLote o = opcoes(3);
    ASSERT_EQ(executa(o), 0);
    const QStringList csv = linhasDe(o.csv);
    ASSERT_GT(csv.size(), 1);
    EXPECT_EQ(csv.first(), "quadro;id;descricao;coluna;valor");
    EXPECT_TRUE(csv.contains("cdsRec;00010;Receitas Correntes (A);PREVISTO_BIM3;0.00"));

    QProcess p;
    p.start("pdftotext", {"-layout", o.pdf, "-"});
    ASSERT_TRUE(p.waitForFinished(30000));
    const QString texto = QString::fromUtf8(p.readAllStandardOutput());
    EXPECT_TRUE(texto.contains("3º BIMESTRE DE 2008"));
    EXPECT_TRUE(texto.contains("SUPERÁVIT/DÉFICIT (A+B-C-D)"));

    // The PDF is titled as the launcher names the annex, not with the designer's "Report".
    p.start("pdfinfo", {o.pdf});
    ASSERT_TRUE(p.waitForFinished(30000));
    const QString info = QString::fromUtf8(p.readAllStandardOutput());
    EXPECT_TRUE(info.contains(QRegularExpression("Title: +Anexo 1 - .* - 3º Bimestre de 2008")))
        << info.toStdString();
}

TEST_F(Lote, SaidaQueNomeiaUmArquivoDaExecucaoERecusadaAntesDeTudo) {
    ASSERT_EQ(executa(opcoes(1)), 0); // the typed files exist
    QFile::remove(saida.filePath("anexo1.pdf"));
    QFile::remove(saida.filePath("anexo1.csv"));
    const QString receita = dados() + "/NQ404_Anexo1_Receita.xml";
    // Every attachment touches the database's header: its size tells it was not replaced.
    const qint64 banco = QFileInfo(demo_->bancoAtual).size();
    const QByteArray digitado = conteudo(receita);
    const auto recusada = [&](const nq::OpcoesDoLote& o, const QString& motivo) {
        ErrosCapturados erros;
        EXPECT_EQ(executa(o), 2);
        const QString texto = erros.texto();
        EXPECT_TRUE(texto.contains(motivo)) << texto.toStdString();
    };
    nq::OpcoesDoLote o = opcoes(3);
    o.pdf = demo_->bancoAtual;
    recusada(o, "é o banco de dados do ano");
    o = opcoes(3);
    o.csv = receita;
    recusada(o, "um arquivo da pasta de dados");
    o.csv = dados() + "/nq404_anexo1_receita2.xml"; // the work copy the run makes
    recusada(o, "nome de um arquivo do próprio programa");
    o = opcoes(3);
    o.ini = saida.filePath("Vexo.ini");
    ASSERT_TRUE(QFile::copy(demo_->ini, o.ini));
    o.pdf = o.ini;
    recusada(o, "é --ini");
    EXPECT_EQ(QFileInfo(demo_->bancoAtual).size(), banco);
    EXPECT_EQ(conteudo(receita), digitado);
    EXPECT_EQ(arquivosEm(saida.path()), "Vexo.ini");
}

TEST_F(Lote, FalhaAoGravarNaoDeixaSaidaNemEstragaArquivoDigitado) {
    ASSERT_EQ(executa(opcoes(1)), 0);
    QFile::remove(saida.filePath("anexo1.csv"));
    const QString receita = dados() + "/NQ404_Anexo1_Receita.xml";
    const QByteArray digitado = conteudo(receita);
    nq::OpcoesDoLote o = opcoes(3);
    nq::gravaArquivoAtomico(o.pdf, "anterior");
    {
        // The annex's work copy: the typed file is read, never written.
        const GravacaoQueFalha falha(nq::PassoDaGravacao::Escreve, ENOSPC, "NQ404_");
        ErrosCapturados erros;
        EXPECT_EQ(executa(o), 1);
        const QString texto = erros.texto();
        EXPECT_TRUE(texto.contains("NQ404_Anexo1_Receita2.xml\": disco cheio."))
            << texto.toStdString();
        EXPECT_TRUE(texto.contains("nenhum arquivo de saída foi gravado"));
    }
    {
        // The PDF itself: named as the user gave it, with the cause.
        const GravacaoQueFalha falha(nq::PassoDaGravacao::Sincroniza, ENOSPC, "anexo1.pdf");
        ErrosCapturados erros;
        EXPECT_EQ(executa(o), 1);
        const QString texto = erros.texto();
        EXPECT_TRUE(texto.contains(QString("\"%1\": disco cheio.").arg(o.pdf)))
            << texto.toStdString();
    }
    EXPECT_EQ(conteudo(receita), digitado);
    EXPECT_EQ(conteudo(o.pdf), "anterior");
    EXPECT_EQ(arquivosEm(saida.path()), "anexo1.pdf");
    // The failed runs took their work copies with them.
    EXPECT_FALSE(arquivosEm(dados()).contains("Receita2"));
}

TEST_F(Lote, DiscoCheioDeVerdade) {
    DiscoPequeno disco(12 * 1024);
    EXIGE_DISCO_PEQUENO(disco);
    // The exercise copied to a small disk of its own, its typed files made there.
    const QString raiz = disco.caminho() + "/VEXO_8/";
    for (const QString& arq : {QString("ARQ2008"), QString("ARQ2007")}) {
        ASSERT_TRUE(QDir().mkpath(raiz + arq));
        const QString banco = "/VEXO" + arq.mid(3) + ".FDB";
        ASSERT_TRUE(QFile::copy(demo_->raiz + arq + banco, raiz + arq + banco));
    }
    nq::OpcoesDoLote o = opcoes(3);
    o.ini = saida.filePath("Vexo.ini");
    nq::gravaArquivoAtomico(o.ini,
                            ("[VEXO]\nAno=2008\nCaminho_Base_Dados=" + raiz + "\n").toUtf8());
    o.pdf = saida.filePath("anexo1.pdf");
    ASSERT_EQ(executa(o), 0);
    const QString receita = raiz + "ARQ2008/NQ404_Anexo1_Receita.xml";
    const QByteArray digitado = conteudo(receita);
    ASSERT_FALSE(digitado.isEmpty());
    QFile::remove(o.pdf);
    QFile::remove(o.csv);

    disco.enche();
    ErrosCapturados erros;
    EXPECT_EQ(executa(o), 1);
    const QString texto = erros.texto();
    EXPECT_TRUE(texto.contains("disco cheio")) << texto.toStdString();
    EXPECT_EQ(conteudo(receita), digitado);
    EXPECT_EQ(arquivosEm(saida.path()), "Vexo.ini");
    EXPECT_EQ(nq::lePacote(receita).linhas(), 26);
}

TEST_F(Lote, ArquivoDaRclQueNaoPodeSerGravadoDizOQueFalhou) {
    nq::OpcoesDoLote o = opcoes(3);
    o.anexo = "3";
    ASSERT_EQ(executa(o), 0);
    const QString rcl = dados() + "/NQ404_RCL3.XML";
    ASSERT_TRUE(QFile::exists(rcl));
    QFile::remove(o.pdf);
    QFile::remove(o.csv);
    ::chmod(QFile::encodeName(rcl).constData(), 0444);
    const QByteArray antes = conteudo(rcl);
    ErrosCapturados erros;
    EXPECT_EQ(executa(o), 1);
    const QString texto = erros.texto();
    ::chmod(QFile::encodeName(rcl).constData(), 0644);
    EXPECT_TRUE(texto.contains(QString("Não foi possível gravar o arquivo \"%1\": o arquivo está "
                                       "protegido contra gravação.")
                                   .arg(rcl)))
        << texto.toStdString();
    EXPECT_FALSE(texto.contains("não foi gravado")) << texto.toStdString();
    EXPECT_EQ(conteudo(rcl), antes);
    EXPECT_EQ(arquivosEm(saida.path()), "");

    const GravacaoQueFalha falha(nq::PassoDaGravacao::Escreve, ENOSPC, "NQ404_RCL");
    ErrosCapturados cheio;
    EXPECT_EQ(executa(o), 1);
    EXPECT_TRUE(cheio.texto().contains("disco cheio"));
    EXPECT_EQ(conteudo(rcl), antes);
    EXPECT_EQ(arquivosEm(saida.path()), "");
}

TEST_F(Lote, PlanilhaDeOutraVersaoFicaIntactaESemCopia) {
    const QString tce = planilha("Deduções");
    const QByteArray antes = conteudo(tce);
    nq::OpcoesDoLote o = opcoes(2);
    o.planilha = tce;
    o.planilhaSaida = saida.filePath("preenchida.xls");
    o.responde = true;
    EXPECT_EQ(executa(o), 1);
    EXPECT_EQ(conteudo(tce), antes);
    // The report came before the workbook step; a failed run leaves none of it.
    EXPECT_EQ(arquivosEm(saida.path()), "tce.xls");
}

TEST_F(Lote, PlanilhaRecebeARedutoraComSinalInvertido) {
    // The workbook is filled because an output was named, without dividing the forecast.
    nq::OpcoesDoLote o = opcoes(2);
    o.planilha = planilha("(-) Contas Redutoras");
    o.planilhaSaida = saida.filePath("preenchida.xls");
    o.responde = false;
    ASSERT_EQ(executa(o), 0);
    EXPECT_TRUE(linhasDe(o.csv).contains("cdsRec;00010;Receitas Correntes (A);PREVISTO_BIM2;0.00"));

    QString realizado;
    for (const QString& l : linhasDe(o.csv))
        if (l.startsWith("cdsRec;00145;") && l.section(';', 3, 3) == "REALIZADO_BIM2")
            realizado = l.section(';', 4);
    ASSERT_TRUE(realizado.startsWith('-')) << realizado.toStdString();

    nq::LibreOffice office;
    auto p = office.novaPlanilha();
    p->abre(o.planilhaSaida);
    p->selecionaFolha("mod1 6b");
    EXPECT_EQ(p->le("G26").numero, -realizado.toDouble());
    p->selecionaFolha("Com");
    EXPECT_EQ(p->le("AH6").numero, 2);
    p->fecha();
}

TEST_F(Lote, CamaraNaoPreencheAPlanilhaEDizPorque) {
    nq::OpcoesDoLote o = opcoes(2);
    o.planilha = planilha("(-) Contas Redutoras");
    o.planilhaSaida = saida.filePath("preenchida.xls");
    altera("UPDATE CADCLI SET CLNT1 = 'CÂMARA MUNICIPAL DE TESTE'");
    ErrosCapturados erros;
    const int status = executa(o);
    altera("UPDATE CADCLI SET CLNT1 = 'Prefeitura Municipal de Teste'");
    EXPECT_EQ(status, 1);
    const QString texto = erros.texto();
    EXPECT_TRUE(texto.contains("a planilha do TCE não é preenchida para uma Câmara "
                               "(\"CÂMARA MUNICIPAL DE TESTE\")"))
        << texto.toStdString();
    EXPECT_EQ(arquivosEm(saida.path()), "tce.xls");
}

// The program itself, stopped by a signal while the office fills the workbook.
TEST_F(Lote, InterrupcaoNaoDeixaSaidaEMantemOsArquivosDigitados) {
    const QString tce = planilha("(-) Contas Redutoras");
    ASSERT_EQ(executa(opcoes(1)), 0);
    QFile::remove(saida.filePath("anexo1.pdf"));
    QFile::remove(saida.filePath("anexo1.csv"));
    const QString receita = dados() + "/NQ404_Anexo1_Receita.xml";
    const QByteArray digitado = conteudo(receita);
    for (const auto& [sinal, status] : {std::pair{SIGINT, 130}, std::pair{SIGTERM, 143}}) {
        QProcess p;
        p.setReadChannel(QProcess::StandardError);
        p.start(QString(NQ404_BIN) + "/nq404",
                {"--ini", demo_->ini, "--anexo", "1", "--bimestre", "2", "--pdf",
                 saida.filePath("anexo1.pdf"), "--csv", saida.filePath("anexo1.csv"), "--planilha",
                 tce, "--planilha-saida", saida.filePath("preenchida.xls")});
        ASSERT_TRUE(p.waitForStarted());
        QByteArray erros;
        while (!erros.contains("Planilha do TCE ? -> Sim") && p.waitForReadyRead(60000))
            erros += p.readAllStandardError();
        ASSERT_TRUE(erros.contains("-> Sim")) << erros.toStdString();
        ::kill(static_cast<pid_t>(p.processId()), sinal);
        ASSERT_TRUE(p.waitForFinished(60000));
        erros += p.readAllStandardError();
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(p.exitCode(), status) << erros.toStdString();
        EXPECT_TRUE(erros.contains("interrompido")) << erros.toStdString();
        EXPECT_EQ(arquivosEm(saida.path()), "tce.xls");
        EXPECT_EQ(conteudo(receita), digitado);
        // The annex's work copies went with the run.
        EXPECT_FALSE(arquivosEm(dados()).contains("Receita2"));
    }
}

} // namespace
