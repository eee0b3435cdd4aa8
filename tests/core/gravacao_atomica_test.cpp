#include "core/gravacao_atomica.h"

#include "apoio/disco_pequeno.h"
#include "apoio/falha_de_gravacao.h"
#include "core/erro.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

using nq::PassoDaGravacao;

QByteArray conteudo(const QString& arquivo) {
    QFile f(arquivo);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<ausente>");
}

void escreve(const QString& arquivo, const QByteArray& dados) {
    QFile f(arquivo);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(dados);
}

QString erroDe(const std::function<void()>& f) {
    try {
        f();
    } catch (const nq::Erro& e) {
        return e.texto();
    }
    return {};
}

// The names in the directory, hidden ones too, in code order, comma-separated.
QString arquivosDe(const QString& dir) {
    QStringList nomes =
        QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    std::sort(nomes.begin(), nomes.end());
    return nomes.join(',');
}

TEST(GravacaoAtomica, SubstituiMantendoPermissoesESegueAtalhos) {
    QTemporaryDir dir;
    const QString alvo = dir.filePath("NQ404_Anexo1_Receita.xml");
    escreve(alvo, "antigo");
    ::chmod(QFile::encodeName(alvo).constData(), 0640);
    nq::gravaArquivoAtomico(alvo, "novo");
    EXPECT_EQ(conteudo(alvo), "novo");
    struct stat st {};
    ::stat(QFile::encodeName(alvo).constData(), &st);
    EXPECT_EQ(st.st_mode & 07777, 0640u);

    // Through a link the file it points at is written; the link stays a link.
    const QString atalho = dir.filePath("atalho.xml");
    ASSERT_TRUE(QFile::link(alvo, atalho));
    nq::gravaArquivoAtomico(atalho, "pelo atalho");
    EXPECT_TRUE(QFileInfo(atalho).isSymLink());
    EXPECT_EQ(conteudo(alvo), "pelo atalho");

    nq::gravaArquivoAtomico(dir.filePath("novo.csv"), "");
    EXPECT_TRUE(QFileInfo(dir.filePath("novo.csv")).isFile());
    EXPECT_EQ(arquivosDe(dir.path()), "NQ404_Anexo1_Receita.xml,atalho.xml,novo.csv");
}

TEST(GravacaoAtomica, QualquerPassoQueFalhaDeixaOArquivoAnteriorInteiro) {
    QTemporaryDir dir;
    const QString alvo = dir.filePath("NQ404_RCL3.XML");
    escreve(alvo, "anterior");
    for (PassoDaGravacao passo :
         {PassoDaGravacao::Cria, PassoDaGravacao::Escreve, PassoDaGravacao::Sincroniza,
          PassoDaGravacao::Fecha, PassoDaGravacao::Renomeia}) {
        SCOPED_TRACE(static_cast<int>(passo));
        const GravacaoQueFalha falha(passo, ENOSPC);
        EXPECT_EQ(erroDe([&] { nq::gravaArquivoAtomico(alvo, QByteArray(100000, 'n')); }),
                  QString("Não foi possível gravar o arquivo \"%1\": disco cheio.").arg(alvo));
        EXPECT_EQ(conteudo(alvo), "anterior");
        EXPECT_EQ(arquivosDe(dir.path()), "NQ404_RCL3.XML");
    }
    {
        // A device that writes in pieces fails on the first and reports it at the end.
        const GravacaoQueFalha falha(PassoDaGravacao::Escreve, EIO);
        nq::GravacaoAtomica g(alvo);
        g.abre();
        EXPECT_EQ(g.write("a"), -1);
        EXPECT_EQ(g.write("b"), -1);
        EXPECT_TRUE(erroDe([&] { g.conclui(); }).endsWith("erro de leitura ou gravação no disco."));
        EXPECT_EQ(conteudo(alvo), "anterior");
    }
    {
        // Once renamed the new file is in place: the message says so.
        const GravacaoQueFalha falha(PassoDaGravacao::SincronizaPasta, EIO);
        EXPECT_TRUE(erroDe([&] {
                        nq::gravaArquivoAtomico(alvo, "novo");
                    }).contains("foi gravado, mas a gravação não pôde ser confirmada"));
        EXPECT_EQ(conteudo(alvo), "novo");
    }
    // Abandoned half-way (an exception between abre and conclui): nothing changes.
    {
        nq::GravacaoAtomica g(alvo);
        g.abre();
        g.write("meio");
    }
    EXPECT_EQ(conteudo(alvo), "novo");
    EXPECT_EQ(arquivosDe(dir.path()), "NQ404_RCL3.XML");
}

TEST(GravacaoAtomica, RecusaOQueNaoEArquivoComumOuEstaProtegido) {
    QTemporaryDir dir;
    const QString fifo = dir.filePath("fila");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_TRUE(
        erroDe([&] { nq::gravaArquivoAtomico(fifo, "x"); }).endsWith("não é um arquivo comum."));
    EXPECT_TRUE(erroDe([&] { nq::gravaArquivoAtomico(dir.path(), "x"); }).endsWith("é uma pasta."));

    const QString protegido = dir.filePath("NQ404_RCL3.XML");
    escreve(protegido, "anterior");
    QFile::setPermissions(protegido, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    EXPECT_TRUE(erroDe([&] {
                    nq::gravaArquivoAtomico(protegido, "x");
                }).endsWith("o arquivo está protegido contra gravação."));
    EXPECT_EQ(conteudo(protegido), "anterior");

    ASSERT_TRUE(QFile::link(dir.filePath("nao-existe"), dir.filePath("quebrado")));
    EXPECT_TRUE(erroDe([&] {
                    nq::gravaArquivoAtomico(dir.filePath("quebrado"), "x");
                }).endsWith("é um atalho para um arquivo que não existe."));
    EXPECT_TRUE(erroDe([&] {
                    nq::gravaArquivoAtomico(dir.filePath("sem/pasta.csv"), "x");
                }).endsWith("a pasta não existe."));
    EXPECT_EQ(arquivosDe(dir.path()), "NQ404_RCL3.XML,fila,quebrado");
}

TEST(GravacaoAtomica, ArquivoProntoDeOutroProgramaEArquivosPendentes) {
    QTemporaryDir dir;
    const QString alvo = dir.filePath("preenchida.xls");
    escreve(alvo, "anterior");
    escreve(dir.filePath(".pronto"), "copia");
    {
        const GravacaoQueFalha falha(PassoDaGravacao::Renomeia, EIO);
        EXPECT_FALSE(
            erroDe([&] { nq::instalaArquivoPronto(dir.filePath(".pronto"), alvo); }).isEmpty());
    }
    EXPECT_EQ(arquivosDe(dir.path()), "preenchida.xls");
    EXPECT_EQ(conteudo(alvo), "anterior");
    escreve(dir.filePath(".pronto"), "copia");
    nq::instalaArquivoPronto(dir.filePath(".pronto"), alvo);
    EXPECT_EQ(conteudo(alvo), "copia");

    // What an interrupted run removes: registered files and saves under way.
    escreve(dir.filePath(".provisorio.pdf"), "pdf");
    const nq::ArquivoPendente pendente(dir.filePath(".provisorio.pdf"));
    nq::GravacaoAtomica g(alvo);
    g.abre();
    g.write("meio");
    EXPECT_EQ(arquivosDe(dir.path()).count(','), 2);
    nq::removeArquivosPendentes();
    EXPECT_EQ(arquivosDe(dir.path()), "preenchida.xls");
}

TEST(GravacaoAtomica, DiscoCheioDeVerdade) {
    DiscoPequeno disco(256);
    EXIGE_DISCO_PEQUENO(disco);
    const QString alvo = disco.caminho() + "/NQ404_Anexo3_2008.xml";
    const QByteArray anterior(20000, 'a');
    nq::gravaArquivoAtomico(alvo, anterior);
    disco.enche(8192);
    // Bigger than what is left: the write fails part-way.
    EXPECT_EQ(erroDe([&] { nq::gravaArquivoAtomico(alvo, QByteArray(30000, 'b')); }),
              QString("Não foi possível gravar o arquivo \"%1\": disco cheio.").arg(alvo));
    EXPECT_EQ(conteudo(alvo), anterior);
    EXPECT_EQ(arquivosDe(disco.caminho()), ".enchimento,NQ404_Anexo3_2008.xml");
    disco.esvazia();
    nq::gravaArquivoAtomico(alvo, QByteArray(30000, 'b'));
    EXPECT_EQ(conteudo(alvo), QByteArray(30000, 'b'));
}

} // namespace
