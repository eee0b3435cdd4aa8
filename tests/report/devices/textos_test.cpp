#include "paginas_de_teste.h"
#include "report/devices/arquivo_de_impressora.h"
#include "report/devices/relatorio_texto.h"
#include "report/devices/texto.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace nq;
using namespace nq::teste;

namespace {

QString gravaTexto(int tipo, const Documento& doc, const QTemporaryDir& dir) {
    DispositivoArquivoTexto d(tipoArquivoTexto(tipo));
    const QString arquivo = dir.filePath(QStringLiteral("anexo%1.txt").arg(tipo));
    d.defineArquivo(arquivo);
    enviaDocumento(d, doc);
    return QString::fromUtf8(leArquivo(arquivo));
}

} // namespace

TEST(ArquivoTexto, UmaLinhaPorRegistroNosTresTipos) {
    QTemporaryDir dir;
    const Documento doc = relatorio();

    const QString virgula = gravaTexto(0, doc, dir);
    const QStringList linhas = virgula.split(QStringLiteral("\r\n"));
    ASSERT_EQ(linhas.size(), 7); // six records and the end of the last line
    EXPECT_EQ(linhas[0], QStringLiteral("001,Receita Tributária,\"1.234,56\",\"0,00\""));
    EXPECT_EQ(linhas[4], QStringLiteral("005,\"Dívida \"\"Ativa\"\"\",\"12,30\",\"400,00\""));
    EXPECT_TRUE(linhas[6].isEmpty());
    EXPECT_FALSE(virgula.contains(QRegularExpression(QStringLiteral("[^\r]\n"))));

    const QStringList tab = gravaTexto(1, doc, dir).split(QStringLiteral("\r\n"));
    EXPECT_EQ(tab[1], QStringLiteral("002\tImpostos, Taxas\t-5,00\t100,00"));

    // Fixed columns: each value padded to its column, figures to the right.
    const QStringList fixas = gravaTexto(7, doc, dir).split(QStringLiteral("\r\n"));
    ASSERT_EQ(fixas.size(), 7);
    for (int i = 1; i < 6; ++i)
        EXPECT_EQ(fixas[i].size(), fixas[0].size()) << fixas[i].toStdString();
    const qsizetype fim = fixas[0].indexOf(QStringLiteral("1.234,56")) + 8;
    EXPECT_EQ(fixas[3].indexOf(QStringLiteral("1.000.000,10")) + 12, fim);
    EXPECT_TRUE(fixas[0].startsWith(QStringLiteral("001")));
    EXPECT_TRUE(fixas[0].contains(QStringLiteral("Receita Tributária ")));
}

TEST(ArquivoTexto, SemRegistrosGravaArquivoVazio) {
    QTemporaryDir dir;
    Documento doc = relatorio();
    for (Pagina& p : doc.paginas)
        for (ComandoDeDesenho& c : p.comandos)
            if (auto* t = std::get_if<ComandoTexto>(&c))
                t->registro = -1;
    EXPECT_TRUE(gravaTexto(0, doc, dir).isEmpty());
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("anexo0.txt"))));
}

TEST(TextoDeRelatorio, TextosNaGradeAlinhadosComoImpressos) {
    const Documento doc = relatorio();
    DispositivoTextoDeRelatorio d;
    const QStringList l = d.linhasDaPagina(doc.paginas[0]);
    const auto linhaCom = [&](const QString& t) {
        for (int i = 0; i < l.size(); ++i)
            if (l[i].contains(t))
                return i;
        return -1;
    };
    const int cabecalho = linhaCom(QStringLiteral("ESPECIFICAÇÃO"));
    const int primeira = linhaCom(QStringLiteral("Receita Tributária"));
    const int terceira = linhaCom(QStringLiteral("Contribuições"));
    ASSERT_GE(cabecalho, 0);
    EXPECT_LT(cabecalho, primeira);
    EXPECT_LT(primeira, terceira);
    EXPECT_TRUE(l[primeira].contains(QStringLiteral("001")));
    // Right ends of a right-aligned column meet, whatever the value's length.
    const qsizetype a = l[primeira].indexOf(QStringLiteral("1.234,56")) + 8;
    const qsizetype b =
        l[linhaCom(QStringLiteral("Impostos"))].indexOf(QStringLiteral("-5,00")) + 5;
    const qsizetype c = l[cabecalho].indexOf(QStringLiteral("PREVISTO")) + 8;
    EXPECT_EQ(a, b);
    EXPECT_EQ(a, c);
    // The 20 cpi grid puts the text at 35 mm in column 35 / 1.27.
    EXPECT_EQ(l[primeira].indexOf(QStringLiteral("Receita")), qRound(35000 / 1270.0));
    EXPECT_GE(linhaCom(QStringLiteral("PREFEITURA MUNICIPAL DE AÇÃO")), 0);
}

TEST(TextoDeRelatorio, TextosSobrepostosNaoSePerdemEPaginasSeparadas) {
    QTemporaryDir dir;
    Documento doc = relatorio();
    doc.paginas[0].comandos.push_back(texto(36000, 28000, 60000, QStringLiteral("SOBREPOSTO")));
    DispositivoTextoDeRelatorio d;
    const QString arquivo = dir.filePath(QStringLiteral("r.txt"));
    d.defineArquivo(arquivo);
    enviaDocumento(d, doc);
    const QString t = QString::fromUtf8(leArquivo(arquivo));
    EXPECT_TRUE(t.contains(QStringLiteral("SOBREPOSTO")));
    EXPECT_TRUE(t.contains(QStringLiteral("Receita Tributária")));
    EXPECT_EQ(t.count(QLatin1Char('\f')), 1);
    EXPECT_EQ(t.count(QLatin1Char('\n')), t.count(QStringLiteral("\r\n")));
}

TEST(ArquivoDeImpressora, CodigosEscPPaginasETextoEmCp850) {
    QTemporaryDir dir;
    DispositivoArquivoDeImpressora d;
    const QString arquivo = dir.filePath(QStringLiteral("anexo.prn"));
    d.defineArquivo(arquivo);
    enviaDocumento(d, relatorio());
    const QByteArray b = leArquivo(arquivo);
    EXPECT_TRUE(b.startsWith("\x1b@"));
    EXPECT_TRUE(b.endsWith("\x0c\x1b@"));
    EXPECT_EQ(b.count('\x0c'), 2);
    // The bold double-width title (6 cpi: elite, double width) in code page 850.
    const qsizetype titulo = b.indexOf(QByteArray("PREFEITURA MUNICIPAL DE A\x80\xc7O"));
    ASSERT_GT(titulo, 0);
    const QByteArray antes = b.left(titulo);
    EXPECT_TRUE(antes.contains(QByteArray("\x1bM\x12\x1bW\x01", 6)));
    EXPECT_TRUE(antes.contains("\x1b"
                               "E"));
    // Detail figures in condensed elite (20 cpi), bold switched off again.
    const qsizetype valor = b.indexOf("1.234,56");
    ASSERT_GT(valor, titulo);
    const QByteArray entre = b.mid(titulo, valor - titulo);
    EXPECT_TRUE(entre.contains(QByteArray("\x1bM\x0f\x1bW\x00", 6)));
    EXPECT_TRUE(entre.contains("\x1b"
                               "F"));
    // "ESPECIFICAÇÃO" starts 35 mm from the left edge: 83 sixtieths of an inch.
    const qsizetype especificacao = b.indexOf("ESPECIFICA\x80\xc7O");
    ASSERT_GT(especificacao, 4);
    EXPECT_EQ(b.mid(especificacao - 4, 4), QByteArray("\x1b$\x53\x00", 4));
}
