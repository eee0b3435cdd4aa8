#include "imagens_de_referencia.h"

#include "report/devices/dispositivo.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <optional>

namespace nq::teste {

namespace {

constexpr int Resolucao = 150;
constexpr int Escuro = 128;

// The program's standard output; nothing when it could not run or failed.
std::optional<QByteArray> executa(const QString& programa, const QStringList& argumentos) {
    QProcess p;
    p.start(programa, argumentos);
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return std::nullopt;
    return p.readAllStandardOutput();
}

// Dark pixels of `a` with no dark pixel of `b` within one pixel.
int semPar(const QImage& a, const QImage& b) {
    auto escuro = [](const QImage& i, int x, int y) {
        return x >= 0 && y >= 0 && x < i.width() && y < i.height() && i.pixelIndex(x, y) == 1;
    };
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            if (!escuro(a, x, y))
                continue;
            bool achou = false;
            for (int dy = -1; dy <= 1 && !achou; ++dy)
                for (int dx = -1; dx <= 1 && !achou; ++dx)
                    achou = escuro(b, x + dx, y + dy);
            n += achou ? 0 : 1;
        }
    return n;
}

// What the comparison sees of a page: its dark pixels. References are kept so, in one bit.
QImage escuros(const QString& arquivo) {
    const QImage cinza = QImage(arquivo).convertToFormat(QImage::Format_Grayscale8);
    QImage r(cinza.size(), QImage::Format_Mono);
    r.setColor(0, qRgb(255, 255, 255));
    r.setColor(1, qRgb(0, 0, 0));
    for (int y = 0; y < cinza.height(); ++y)
        for (int x = 0; x < cinza.width(); ++x)
            r.setPixel(x, y, cinza.constScanLine(y)[x] < Escuro ? 1 : 0);
    return r;
}

void guarda(const QString& destino, const QString& origem) {
    escuros(origem).save(destino, "PNG");
}

} // namespace

void comparaComImagensDeReferencia(const Documento& documento, const QString& pasta,
                                   const QString& nome) {
    QTemporaryDir dir;
    const QString pdf = dir.filePath(nome + QStringLiteral(".pdf"));
    auto dispositivo = criaDispositivoDeArquivo(QStringLiteral("PDFFile"));
    dispositivo->defineArquivo(pdf);
    enviaDocumento(*dispositivo, documento);
    const std::optional<QByteArray> extraido =
        executa(QStringLiteral("pdftotext"), {"-layout", pdf, "-"});
    ASSERT_TRUE(extraido) << "pdftotext falhou";
    const QByteArray& texto = *extraido;
    ASSERT_TRUE(executa(QStringLiteral("pdftoppm"), {"-r", QString::number(Resolucao), "-gray",
                                                     "-png", pdf, dir.filePath(nome)}))
        << "pdftoppm falhou";
    const int paginas = static_cast<int>(documento.paginas.size());
    // pdftoppm numbers pages with as many digits as the last one needs.
    auto imagem = [&](int n) {
        return dir.filePath(QStringLiteral("%1-%2.png")
                                .arg(nome)
                                .arg(n, QString::number(paginas).size(), 10, QLatin1Char('0')));
    };
    const QString referencia = pasta + QLatin1Char('/') + nome;
    if (qEnvironmentVariable("NQ404_ATUALIZA_GOLDEN") == QLatin1String("1")) {
        QDir().mkpath(pasta);
        QFile t(referencia + QStringLiteral(".txt"));
        ASSERT_TRUE(t.open(QIODevice::WriteOnly | QIODevice::Truncate));
        t.write(texto);
        for (int n = 1; n <= paginas; ++n)
            guarda(referencia + QStringLiteral("-%1.png").arg(n), imagem(n));
        return;
    }
    const QString atual = QStringLiteral(NQ404_BIN "/golden-atual/") + nome;
    QDir().mkpath(QStringLiteral(NQ404_BIN "/golden-atual"));
    QFile t(referencia + QStringLiteral(".txt"));
    ASSERT_TRUE(t.open(QIODevice::ReadOnly)) << "sem referência " << qPrintable(t.fileName());
    if (t.readAll() != texto) {
        QFile s(atual + QStringLiteral(".txt"));
        if (s.open(QIODevice::WriteOnly | QIODevice::Truncate))
            s.write(texto);
        ADD_FAILURE() << "o texto do PDF difere de " << qPrintable(t.fileName()) << "; veja "
                      << qPrintable(s.fileName());
    }
    EXPECT_FALSE(QFile::exists(referencia + QStringLiteral("-%1.png").arg(paginas + 1)))
        << "há menos páginas que na referência";
    for (int n = 1; n <= paginas; ++n) {
        const QString arquivo = referencia + QStringLiteral("-%1.png").arg(n);
        const QImage esperada = escuros(arquivo);
        const QImage obtida = escuros(imagem(n));
        ASSERT_FALSE(esperada.isNull()) << "sem referência " << qPrintable(arquivo);
        ASSERT_EQ(obtida.size(), esperada.size()) << "página " << n;
        const int faltam = semPar(esperada, obtida);
        const int sobram = semPar(obtida, esperada);
        if (faltam > 0 || sobram > 0) {
            guarda(atual + QStringLiteral("-%1.png").arg(n), imagem(n));
            ADD_FAILURE() << "página " << n << " difere de " << qPrintable(arquivo) << ": "
                          << faltam << " pontos escuros a menos e " << sobram
                          << " a mais; veja golden-atual/";
        }
    }
}

} // namespace nq::teste
