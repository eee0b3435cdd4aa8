#include "core/erro.h"
#include "paginas_de_teste.h"
#include "report/devices/arquivo_morto.h"
#include "report/devices/dispositivo.h"

#include <QDataStream>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace nq;
using namespace nq::teste;

TEST(Dispositivos, CadaNomeDaListaCriaSeuDispositivo) {
    for (const QString& nome : nomesDosDispositivosDeArquivo()) {
        auto d = criaDispositivoDeArquivo(nome);
        ASSERT_TRUE(d) << nome.toStdString();
        EXPECT_EQ(d->nome(), nome);
    }
    EXPECT_FALSE(criaDispositivoDeArquivo(QStringLiteral("Screen")));
}

// Two pages are equal when archiving them again gives the same bytes; the fields that a
// preview shows are also compared one by one, so a symmetric slip cannot hide.
TEST(ArquivoMorto, DevolveAsMesmasPaginas) {
    QTemporaryDir dir;
    const Documento original = relatorio();
    const QString arquivo = dir.filePath(QStringLiteral("anexo.raf"));
    auto d = criaDispositivoDeArquivo(QStringLiteral("ArchiveFile"));
    d->defineArquivo(arquivo);
    enviaDocumento(*d, original);

    const Documento lido = leArquivoMorto(arquivo);
    EXPECT_EQ(lido.trabalho.nomeDocumento, QStringLiteral("RELATORIO2"));
    ASSERT_EQ(lido.paginas.size(), original.paginas.size());
    for (std::size_t p = 0; p < lido.paginas.size(); ++p) {
        const Pagina& a = original.paginas[p];
        const Pagina& b = lido.paginas[p];
        EXPECT_EQ(a.papel, b.papel);
        EXPECT_EQ(a.numero, b.numero);
        EXPECT_EQ(a.ultima, b.ultima);
        ASSERT_EQ(a.comandos.size(), b.comandos.size());
        for (std::size_t i = 0; i < a.comandos.size(); ++i) {
            ASSERT_EQ(a.comandos[i].index(), b.comandos[i].index());
            if (const auto* t = std::get_if<ComandoTexto>(&a.comandos[i])) {
                const auto& u = std::get<ComandoTexto>(b.comandos[i]);
                EXPECT_EQ(t->caixa, u.caixa);
                EXPECT_EQ(t->fonte, u.fonte);
                EXPECT_EQ(t->alinhamento, u.alinhamento);
                EXPECT_EQ(t->registro, u.registro);
                ASSERT_EQ(t->trechos.size(), u.trechos.size());
                EXPECT_EQ(t->trechos[0].texto, u.trechos[0].texto);
                EXPECT_EQ(t->trechos[0].linhaDeBase, u.trechos[0].linhaDeBase);
            } else if (const auto* l = std::get_if<ComandoLinha>(&a.comandos[i])) {
                const auto& m = std::get<ComandoLinha>(b.comandos[i]);
                EXPECT_EQ(l->caneta, m.caneta);
                EXPECT_EQ(l->x2, m.x2);
            } else if (const auto* img = std::get_if<ComandoImagem>(&a.comandos[i])) {
                EXPECT_EQ(img->imagem, std::get<ComandoImagem>(b.comandos[i]).imagem);
            }
        }
    }
    const QString copia = dir.filePath(QStringLiteral("copia.raf"));
    d->defineArquivo(copia);
    enviaDocumento(*d, lido);
    EXPECT_EQ(leArquivo(copia), leArquivo(arquivo));
}

TEST(ArquivoMorto, RecusaArquivoEstranhoOuCortado) {
    QTemporaryDir dir;
    const QString arquivo = dir.filePath(QStringLiteral("anexo.raf"));
    auto d = criaDispositivoDeArquivo(QStringLiteral("ArchiveFile"));
    d->defineArquivo(arquivo);
    enviaDocumento(*d, relatorio());
    const QByteArray inteiro = leArquivo(arquivo);

    const auto grava = [&](const QByteArray& dados) {
        QFile f(arquivo);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(dados);
    };
    grava(inteiro.left(inteiro.size() - 1)); // end mark missing
    EXPECT_THROW(leArquivoMorto(arquivo), Erro);
    grava(inteiro.left(inteiro.size() / 2));
    EXPECT_THROW(leArquivoMorto(arquivo), Erro);
    grava(QByteArray("%PDF-1.4 qualquer coisa"));
    EXPECT_THROW(leArquivoMorto(arquivo), Erro);
    EXPECT_THROW(leArquivoMorto(dir.filePath(QStringLiteral("nao_existe.raf"))), Erro);
}

TEST(GravacaoDeArquivo, FalhaDizPorQueENaoDeixaMeioArquivo) {
    QTemporaryDir dir;
    auto d = criaDispositivoDeArquivo(QStringLiteral("HTMLFile"));
    d->defineArquivo(dir.filePath(QStringLiteral("falta/anexo.htm")));
    try {
        enviaDocumento(*d, relatorio());
        FAIL() << "gravou numa pasta que não existe";
    } catch (const Erro& e) {
        EXPECT_TRUE(e.texto().contains(QStringLiteral("falta/anexo.htm"))) << e.what();
    }
    // A failure after the job started keeps the previous file as it was.
    const QString arquivo = dir.filePath(QStringLiteral("anexo.wk1"));
    {
        QFile f(arquivo);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("anterior");
    }
    Documento grande;
    Pagina p;
    for (int i = 0; i < 8200; ++i)
        p.comandos.push_back(texto(10000, 1000 + i * 3000, 20000, QStringLiteral("x")));
    grande.paginas.push_back(p);
    auto lotus = criaDispositivoDeArquivo(QStringLiteral("LotusFile"));
    lotus->defineArquivo(arquivo);
    EXPECT_THROW(enviaDocumento(*lotus, grande), Erro);
    EXPECT_EQ(leArquivo(arquivo), QByteArray("anterior"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("anexo.wk1")});
}

// Texts come back out of the PDF as they went in (pdf_test); here the sheets and the fonts.
TEST(Pdf, FontesEmbutidasETamanhoDoPapelDeCadaPagina) {
    if (QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty())
        GTEST_SKIP() << "pdfinfo (poppler-utils) não está instalado";
    QTemporaryDir dir;
    const QString arquivo = dir.filePath(QStringLiteral("anexo.pdf"));
    auto d = criaDispositivoDeArquivo(QStringLiteral("PDFFile"));
    d->defineArquivo(arquivo);
    Documento doc = relatorio();
    doc.paginas[1].papel = Papel{QStringLiteral("A4"), 9, 210000, 297000};
    enviaDocumento(*d, doc);

    const QString info = QString::fromUtf8(
        executa(QStringLiteral("pdfinfo"), {QStringLiteral("-f"), QStringLiteral("1"),
                                            QStringLiteral("-l"), QStringLiteral("2"), arquivo}));
    // 216 x 279 mm and 210 x 297 mm, in whole points.
    EXPECT_TRUE(info.contains(QStringLiteral("Page    1 size:  612 x 791 pts")))
        << info.toStdString();
    EXPECT_TRUE(info.contains(QStringLiteral("Page    2 size:  595 x 842 pts")))
        << info.toStdString();

    const QStringList fontes =
        QString::fromUtf8(executa(QStringLiteral("pdffonts"), {arquivo})).split(QLatin1Char('\n'));
    ASSERT_GT(fontes.size(), 3);
    for (const QString& linha : fontes.mid(2)) {
        if (linha.trimmed().isEmpty())
            continue;
        // Columns: name type encoding emb sub uni object id
        const QStringList c = linha.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        ASSERT_GE(c.size(), 7);
        EXPECT_EQ(c[c.size() - 5], QStringLiteral("yes")) << linha.toStdString();
    }
}
