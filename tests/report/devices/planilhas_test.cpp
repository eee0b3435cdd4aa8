#include "core/erro.h"
#include "paginas_de_teste.h"
#include "report/devices/grade.h"
#include "report/devices/planilhas.h"

#include <QDir>
#include <gtest/gtest.h>
#include <map>

using namespace nq;
using namespace nq::teste;

namespace {

const QLocale Brasil(QLocale::Portuguese, QLocale::Brazil);

// Reads a CSV line written by LibreOffice (comma, quotes).
QStringList camposCsv(const QString& linha) {
    QStringList campos{QString()};
    bool aspas = false;
    for (int i = 0; i < linha.size(); ++i) {
        const QChar c = linha[i];
        if (c == QLatin1Char('"')) {
            if (aspas && i + 1 < linha.size() && linha[i + 1] == QLatin1Char('"'))
                campos.back() += linha[++i];
            else
                aspas = !aspas;
        } else if (c == QLatin1Char(',') && !aspas) {
            campos << QString();
        } else {
            campos.back() += c;
        }
    }
    return campos;
}

QString gravaPlanilha(const QString& nome, const Documento& doc, const QTemporaryDir& dir,
                      const QString& arquivo) {
    // The print dialog's options: the figures read back in the reports' own locale,
    // whatever the system's (a "C" system once left them as text).
    auto d = criaDispositivoDeArquivo(nome, OpcoesDeArquivo{});
    const QString caminho = dir.filePath(arquivo);
    d->defineArquivo(caminho);
    enviaDocumento(*d, doc);
    return caminho;
}

} // namespace

TEST(Grade, ReconheceNumerosFormatadosENaoCodigos) {
    using G = GradeDePlanilha;
    EXPECT_EQ(G::numeroFormatado(QStringLiteral("1.234,56"), Brasil), std::make_pair(1234.56, 2));
    EXPECT_EQ(G::numeroFormatado(QStringLiteral("-5,00"), Brasil), std::make_pair(-5.0, 2));
    EXPECT_EQ(G::numeroFormatado(QStringLiteral("0,00"), Brasil), std::make_pair(0.0, 2));
    EXPECT_EQ(G::numeroFormatado(QStringLiteral("1.000.000"), Brasil), std::make_pair(1e6, 0));
    EXPECT_EQ(G::numeroFormatado(QStringLiteral(" 12 "), Brasil), std::make_pair(12.0, 0));
    for (const char* nao : {"007", "1.1.2", "12,3%", "1.23,4", "1,234.56", "", "-", ",5", "2.1"})
        EXPECT_FALSE(G::numeroFormatado(QString::fromLatin1(nao), Brasil)) << nao;
}

TEST(Grade, ColunasSeguemOAlinhamentoEmTodasAsPaginas) {
    GradeDePlanilha g(Brasil);
    const Documento doc = relatorio();
    for (const Pagina& p : doc.paginas)
        g.acrescentaPagina(p);
    std::map<std::pair<int, int>, QString> porPosicao;
    std::map<QString, Celula> porTexto;
    for (const Celula& c : g.celulas()) {
        porPosicao[{c.linha, c.coluna}] = c.texto;
        porTexto[c.texto] = c;
    }
    // Right-aligned figures share a column with their right-aligned caption on both pages.
    EXPECT_EQ(porTexto[QStringLiteral("1.234,56")].coluna,
              porTexto[QStringLiteral("PREVISTO")].coluna);
    EXPECT_EQ(porTexto[QStringLiteral("999,99")].coluna,
              porTexto[QStringLiteral("PREVISTO")].coluna);
    EXPECT_EQ(porTexto[QStringLiteral("Outras Receitas")].coluna,
              porTexto[QStringLiteral("ESPECIFICAÇÃO")].coluna);
    EXPECT_EQ(porTexto[QStringLiteral("1.234,56")].linha,
              porTexto[QStringLiteral("Receita Tributária")].linha);
    EXPECT_GT(porTexto[QStringLiteral("Outras Receitas")].linha,
              porTexto[QStringLiteral("Página 1")].linha);
    EXPECT_TRUE(porTexto[QStringLiteral("PREFEITURA MUNICIPAL DE AÇÃO")].negrito);
    EXPECT_DOUBLE_EQ(*porTexto[QStringLiteral("1.000.000,10")].numero, 1000000.10);
    EXPECT_FALSE(porTexto[QStringLiteral("001")].numero);
}

// LibreOffice opens what was written; numbers arrive as values, texts as printed. The
// workbook also carries more text than one record holds, so its string table continues.
TEST(Planilhas, LibreOfficeAbreXlsWk1EWq1) {
    QTemporaryDir dir;
    Documento doc = relatorio();
    Pagina longa;
    longa.papel = doc.paginas[0].papel;
    for (int i = 0; i < 150; ++i)
        longa.comandos.push_back(
            texto(10000, 1000 + i * 1700, 150000,
                  QStringLiteral("Linha %1 com acentuação: ").arg(i) + QString(40, QChar(u'ç'))));
    Documento comLonga = doc;
    comLonga.paginas.push_back(longa);
    const QStringList arquivos = {
        gravaPlanilha(QStringLiteral("ExcelFile"), comLonga, dir, QStringLiteral("xls.xls")),
        gravaPlanilha(QStringLiteral("LotusFile"), doc, dir, QStringLiteral("wk1.wk1")),
        gravaPlanilha(QStringLiteral("QuattroFile"), doc, dir, QStringLiteral("wq1.wq1"))};
    const QString saida = dir.filePath(QStringLiteral("csv"));
    QDir().mkpath(saida);
    // Field separator, quote, UTF-8, first line, ..., values rather than as shown. The DOS
    // worksheets are opened as code page 850, as a user would choose on import.
    const QString csv =
        QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,false");
    if (!converteComLibreOffice({arquivos[0]}, csv, saida))
        GTEST_SKIP()
            << "LibreOffice (soffice) não está instalado: apt-get install libreoffice-calc-nogui";
    converteComLibreOffice({arquivos[1]}, csv, saida, QStringLiteral("Lotus:IBMPC_850"));
    converteComLibreOffice({arquivos[2]}, csv, saida, QStringLiteral("WPS_QPro_Calc:CP850"));
    for (const QString& base :
         {QStringLiteral("xls"), QStringLiteral("wk1"), QStringLiteral("wq1")}) {
        SCOPED_TRACE(base.toStdString());
        const QString csv =
            QString::fromUtf8(leArquivo(QDir(saida).filePath(base + QStringLiteral(".csv"))));
        ASSERT_FALSE(csv.isEmpty()) << "LibreOffice não converteu";
        std::vector<QStringList> linhas;
        for (const QString& l : csv.split(QStringLiteral("\n"), Qt::SkipEmptyParts))
            linhas.push_back(camposCsv(l.trimmed()));
        const auto acha = [&](const QString& t) -> std::pair<int, int> {
            for (int i = 0; i < int(linhas.size()); ++i)
                if (const int j = linhas[i].indexOf(t); j >= 0)
                    return {i, j};
            return {-1, -1};
        };
        const auto [li, co] = acha(QStringLiteral("Receita Tributária"));
        ASSERT_GE(li, 0) << csv.toStdString();
        EXPECT_TRUE(linhas[li].contains(QStringLiteral("1234.56")))
            << linhas[li].join('|').toStdString();
        EXPECT_TRUE(linhas[li].contains(QStringLiteral("001")));
        EXPECT_GE(acha(QStringLiteral("PREFEITURA MUNICIPAL DE AÇÃO")).first, 0);
        EXPECT_GE(acha(QStringLiteral("Dívida \"Ativa\"")).first, 0);
        EXPECT_GE(acha(QStringLiteral("1000000.1")).first, 0);
        EXPECT_GE(acha(QStringLiteral("-5")).first, 0);
        EXPECT_EQ(acha(QStringLiteral("PREVISTO")).second, acha(QStringLiteral("1234.56")).second);
        if (base == QLatin1String("xls")) {
            for (int i = 0; i < 150; i += 7)
                EXPECT_GE(acha(QStringLiteral("Linha %1 com acentuação: ").arg(i) +
                               QString(40, QChar(u'ç')))
                              .first,
                          0)
                    << i;
        }
    }
}
