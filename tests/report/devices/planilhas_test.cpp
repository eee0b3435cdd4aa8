#include "core/erro.h"
#include "paginas_de_teste.h"
#include "report/devices/grade.h"
#include "report/devices/planilhas.h"

#include <QDir>
#include <QtEndian>
#include <gtest/gtest.h>
#include <map>

using namespace nq;
using namespace nq::teste;

namespace {

const QLocale Brasil(QLocale::Portuguese, QLocale::Brazil);

uint16_t u16(const QByteArray& b, qsizetype i) {
    return qFromLittleEndian<quint16>(b.constData() + i);
}
uint32_t u32(const QByteArray& b, qsizetype i) {
    return qFromLittleEndian<quint32>(b.constData() + i);
}

// Follows a chain of 512-byte sectors through the allocation table.
QByteArray cadeia(const QByteArray& arquivo, const std::vector<uint32_t>& fat, uint32_t setor) {
    QByteArray r;
    for (int guarda = 0; setor < 0xFFFFFFFA && guarda < 100000; ++guarda) {
        r += arquivo.mid(512 + qsizetype(setor) * 512, 512);
        setor = fat.at(setor);
    }
    return r;
}

// The "Workbook" stream of a compound document, read the way an independent reader would.
QByteArray fluxoDaPasta(const QByteArray& arquivo) {
    EXPECT_EQ(arquivo.left(8), QByteArray::fromHex("D0CF11E0A1B11AE1"));
    const uint32_t nFat = u32(arquivo, 0x2C);
    std::vector<uint32_t> fat;
    for (uint32_t i = 0; i < std::min<uint32_t>(nFat, 109); ++i) {
        const uint32_t s = u32(arquivo, 0x4C + 4 * i);
        for (int k = 0; k < 128; ++k)
            fat.push_back(u32(arquivo, 512 + qsizetype(s) * 512 + 4 * k));
    }
    const QByteArray diretorio = cadeia(arquivo, fat, u32(arquivo, 0x30));
    for (qsizetype e = 0; e + 128 <= diretorio.size(); e += 128) {
        const QString nome =
            QString::fromUtf16(reinterpret_cast<const char16_t*>(diretorio.constData() + e),
                               u16(diretorio, e + 64) / 2 - 1);
        if (nome == QLatin1String("Workbook"))
            return cadeia(arquivo, fat, u32(diretorio, e + 116)).left(u32(diretorio, e + 120));
    }
    ADD_FAILURE() << "sem fluxo Workbook";
    return {};
}

struct Registro {
    uint16_t tipo;
    QByteArray dados;
};

// Records from `inicio` up to and including the end record of that substream.
std::vector<Registro> registros(const QByteArray& fluxo, qsizetype inicio, uint16_t fim) {
    std::vector<Registro> r;
    for (qsizetype i = inicio; i + 4 <= fluxo.size();) {
        const uint16_t tipo = u16(fluxo, i);
        const uint16_t n = u16(fluxo, i + 2);
        EXPECT_LE(i + 4 + n, fluxo.size());
        r.push_back({tipo, fluxo.mid(i + 4, n)});
        i += 4 + n;
        if (tipo == fim)
            break;
    }
    return r;
}

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
    OpcoesDeArquivo o;
    o.local = Brasil;
    auto d = criaDispositivoDeArquivo(nome, o);
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

TEST(Excel, PastaBiff8ComTextosCompartilhadosENumeros) {
    QTemporaryDir dir;
    const QByteArray arquivo = leArquivo(
        gravaPlanilha(QStringLiteral("ExcelFile"), relatorio(), dir, QStringLiteral("anexo.xls")));
    const QByteArray fluxo = fluxoDaPasta(arquivo);
    const auto globais = registros(fluxo, 0, 0x000A);
    ASSERT_FALSE(globais.empty());
    EXPECT_EQ(globais.front().tipo, 0x0809);
    EXPECT_EQ(u16(globais.front().dados, 0), 0x0600);
    EXPECT_EQ(u16(globais.front().dados, 2), 0x0005);
    QStringList textos;
    uint32_t folha = 0;
    for (const Registro& r : globais) {
        if (r.tipo == 0x0085)
            folha = u32(r.dados, 0);
        if (r.tipo == 0x00FC) // one record here: every string 16-bit
            for (qsizetype i = 8; i < r.dados.size();) {
                const uint16_t n = u16(r.dados, i);
                textos << QString::fromUtf16(
                    reinterpret_cast<const char16_t*>(r.dados.constData() + i + 3), n);
                i += 3 + 2 * n;
            }
    }
    const auto planilha = registros(fluxo, folha, 0x000A);
    ASSERT_FALSE(planilha.empty());
    EXPECT_EQ(planilha.front().tipo, 0x0809);
    EXPECT_EQ(u16(planilha.front().dados, 2), 0x0010);
    EXPECT_EQ(planilha.back().tipo, 0x000A);
    std::vector<double> numeros;
    int rotulos = 0;
    for (const Registro& r : planilha) {
        if (r.tipo == 0x0203) {
            double v;
            memcpy(&v, r.dados.constData() + 6, 8);
            numeros.push_back(v);
        }
        if (r.tipo == 0x00FD) {
            EXPECT_LT(u32(r.dados, 6), uint32_t(textos.size()));
            ++rotulos;
        }
    }
    EXPECT_NE(std::find(numeros.begin(), numeros.end(), 1234.56), numeros.end());
    EXPECT_NE(std::find(numeros.begin(), numeros.end(), -5.0), numeros.end());
    EXPECT_TRUE(textos.contains(QStringLiteral("ESPECIFICAÇÃO")));
    EXPECT_TRUE(textos.contains(QStringLiteral("001")));
    EXPECT_EQ(textos.count(QStringLiteral("PREVISTO")), 1); // shared, though printed twice
    EXPECT_EQ(rotulos, 2 * (1 + 4 + 3 * 2 + 1));
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

TEST(Lotus, CabecalhoDaVersaoERegistrosAteOFim) {
    QTemporaryDir dir;
    const QByteArray texto("ESPECIFICA\x80\xc7O", 13);
    const std::tuple<QString, int, QByteArray> tipos[] = {
        {QStringLiteral("LotusFile"), 0x0406, "'" + texto + '\0'},
        {QStringLiteral("QuattroFile"), 0x5120, "'\x0d" + texto + '\0'}};
    for (const auto& [nome, versao, rotulo] : tipos) {
        const QByteArray b =
            leArquivo(gravaPlanilha(nome, relatorio(), dir, nome + QStringLiteral(".wk")));
        const auto r = registros(b, 0, 0x0001);
        ASSERT_GT(r.size(), 3u);
        EXPECT_EQ(r.front().tipo, 0x0000);
        EXPECT_EQ(u16(r.front().dados, 0), versao);
        EXPECT_EQ(r.back().tipo, 0x0001);
        qsizetype total = 0;
        for (const Registro& x : r)
            total += 4 + x.dados.size();
        EXPECT_EQ(total, b.size());
        bool achou = false;
        for (const Registro& x : r)
            if (x.tipo == 0x000F && x.dados.mid(5) == rotulo)
                achou = true;
        EXPECT_TRUE(achou) << "rótulo em código 850 com prefixo de alinhamento";
    }
}
