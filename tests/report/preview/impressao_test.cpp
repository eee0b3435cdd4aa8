#include "report/preview/impressao.h"
#include "report/preview/impressora.h"
#include "report/preview/preview.h"
#include "report/preview/saida.h"

#include "core/erro.h"
#include "core/mensagens.h"
#include "paginas.h"
#include "relatorio_de_teste.h"
#include "report/preview/dialogo_impressao.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>
#include <optional>
#include <pwd.h>
#include <unistd.h>

using namespace nq;
using teste::RelatorioDeTeste;

namespace {

// The output of a program; nothing when it could not run or failed.
std::optional<QByteArray> executa(const QString& programa, const QStringList& argumentos) {
    QProcess p;
    p.start(programa, argumentos);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return std::nullopt;
    return p.readAllStandardOutput();
}

int paginasDoPdf(const QString& arquivo) {
    const QByteArray info = executa(QStringLiteral("pdfinfo"), {arquivo}).value_or(QByteArray());
    for (const QByteArray& linha : info.split('\n'))
        if (linha.startsWith("Pages:"))
            return linha.mid(6).trimmed().toInt();
    return -1;
}

QString tituloDoPdf(const QString& arquivo) {
    const QByteArray info = executa(QStringLiteral("pdfinfo"), {arquivo}).value_or(QByteArray());
    for (const QByteArray& linha : info.split('\n'))
        if (linha.startsWith("Title:"))
            return QString::fromUtf8(linha.mid(6).trimmed());
    return {};
}

// The text of the whole file, or of one page.
QString textoDoPdf(const QString& arquivo, int pagina = 0) {
    QStringList argumentos{QStringLiteral("-layout")};
    if (pagina > 0)
        argumentos << QStringLiteral("-f") << QString::number(pagina) << QStringLiteral("-l")
                   << QString::number(pagina);
    argumentos << arquivo << QStringLiteral("-");
    return QString::fromUtf8(
        executa(QStringLiteral("pdftotext"), argumentos).value_or(QByteArray()));
}

class Impressao : public ::testing::Test {
protected:
    QTemporaryDir pasta_;
};

} // namespace

TEST_F(Impressao, PaginasEscolhidasParaUmArquivo) {
    const Documento d = teste::documento(5);
    OpcoesDeImpressao o;
    o.paraArquivo = true;
    o.dispositivo = QStringLiteral("PDFFile");
    o.arquivo = pasta_.filePath(QStringLiteral("saida.pdf"));
    o.intervalo = IntervaloDePaginas::Paginas;
    o.paginas = {2, 3, 4};
    o.paridade = ParidadeDePaginas::Pares;
    o.copias = 3; // a file holds one copy
    QPrinter impressora;
    ASSERT_TRUE(imprimePaginas(d.paginas, d.trabalho, o, impressora, false));
    EXPECT_EQ(paginasDoPdf(o.arquivo), 2);
    const QString texto = textoDoPdf(o.arquivo);
    EXPECT_TRUE(texto.contains(QStringLiteral("Página 2")));
    EXPECT_TRUE(texto.contains(QStringLiteral("Página 4")));
    EXPECT_FALSE(texto.contains(QStringLiteral("Página 3")));
}

TEST_F(Impressao, ArquivoQueFalhaNaoApagaOAnterior) {
    const Documento d = teste::documento(1);
    OpcoesDeImpressao o;
    o.paraArquivo = true;
    o.dispositivo = QStringLiteral("Inexistente");
    o.arquivo = pasta_.filePath(QStringLiteral("x.pdf"));
    QPrinter impressora;
    EXPECT_THROW(imprimePaginas(d.paginas, d.trabalho, o, impressora, false), Erro);
    o.dispositivo = QStringLiteral("PDFFile");
    o.intervalo = IntervaloDePaginas::Paginas;
    o.paginas = {7};
    EXPECT_THROW(imprimePaginas(d.paginas, d.trabalho, o, impressora, false), Erro);
    EXPECT_FALSE(QFile::exists(o.arquivo));
}

TEST_F(Impressao, SaidaParaArquivoAvisaOFechamento) {
    RelatorioDeTeste r(120);
    bool fechou = false;
    r.relatorio.OnPreviewFormClose = [&] { fechou = true; };
    SaidaParaArquivo saida(QStringLiteral("PDFFile"), pasta_.filePath(QStringLiteral("r.pdf")));
    {
        SaidaInstalada instalada(saida);
        r.relatorio.Print();
    }
    EXPECT_TRUE(fechou);
    EXPECT_GT(paginasDoPdf(pasta_.filePath(QStringLiteral("r.pdf"))), 1);
}

TEST_F(Impressao, TituloDoRelatorioNaJanelaNoPdfEOndeFoiGravado) {
    MensagensDeTeste mensagens;
    const QString pdf = pasta_.filePath(QStringLiteral("anexo1.pdf"));
    const QString titulo = QStringLiteral(
        "Anexo 1 - Relatório Resumido da Execução Orçamentária - Prefeitura Municipal de Teste - "
        "3º Bimestre de 2008");
    TppReport relatorio; // the designer's "Report"
    relatorio.PreviewFormSettings.WindowState = TWindowState::wsNormal;
    relatorio.AllowPrintToFile = true;
    QString tituloDaJanela;
    relatorio.OnPreviewFormCreate = [&] {
        JanelaDePreview* j = PreviewForm(relatorio);
        QTimer::singleShot(0, j, [&, j] {
            tituloDaJanela = j->windowTitle();
            // The print dialog, once it is up: to a PDF file.
            QTimer::singleShot(0, [&] {
                auto* d = qobject_cast<TppPrintDialog*>(QApplication::activeModalWidget());
                ASSERT_NE(d, nullptr);
                d->findChild<QCheckBox*>(QStringLiteral("paraArquivo"))->setChecked(true);
                auto* tipos = d->findChild<QComboBox*>(QStringLiteral("tiposDeArquivo"));
                tipos->setCurrentIndex(tipos->findText(QStringLiteral("PDFFile")));
                d->findChild<QLineEdit*>(QStringLiteral("arquivo"))->setText(pdf);
                d->findChild<QPushButton*>(QStringLiteral("ok"))->click();
            });
            j->imprime();
            j->accept();
        });
    };
    {
        const TituloDosRelatorios emVigor(titulo);
        mostraPreview(relatorio, teste::documento(2));
    }
    EXPECT_EQ(tituloDaJanela, titulo);
    EXPECT_EQ(mensagens->textos(), QStringList{QStringLiteral("O relatório foi gravado em \"%1\".")
                                                   .arg(QDir::toNativeSeparators(pdf))});
    EXPECT_EQ(tituloDoPdf(pdf), titulo);

    // A report that names itself keeps its name; none in force, the designer's stays.
    relatorio.PrinterSetup.DocumentName = QStringLiteral("Balancete");
    {
        const TituloDosRelatorios emVigor(titulo);
        EXPECT_EQ(tituloDoRelatorio(relatorio), QStringLiteral("Balancete"));
    }
    relatorio.PrinterSetup.DocumentName = QStringLiteral("Report8");
    EXPECT_EQ(tituloDoRelatorio(relatorio), QStringLiteral("Report8"));
}

// Prints through a real CUPS queue: a PDF printer of cups-pdf. Starts the scheduler when
// none runs and stops it again by its process id.
TEST_F(Impressao, ImprimeDuasCopiasNumaFilaCups) {
    if (getuid() != 0)
        GTEST_SKIP() << "A fila de impressão de teste precisa de root (lpadmin, cupsd).";
    const QString backend = QStringLiteral("/usr/lib/cups/backend/cups-pdf");
    // lpadmin and cupsd live in sbin, which an ordinary PATH may leave out.
    const auto programa = [](const QString& nome) {
        const QString noPath = QStandardPaths::findExecutable(nome);
        return noPath.isEmpty() ? QStandardPaths::findExecutable(
                                      nome, {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin")})
                                : noPath;
    };
    for (const QString& nome : {QStringLiteral("cupsd"), QStringLiteral("lpadmin"),
                                QStringLiteral("lpstat"), QStringLiteral("pdfinfo")})
        if (programa(nome).isEmpty())
            GTEST_SKIP() << "Falta o programa " << nome.toStdString()
                         << " (pacotes cups, cups-client, cups-bsd, poppler-utils).";
    if (!QFileInfo::exists(backend))
        GTEST_SKIP() << "Falta o pacote printer-driver-cups-pdf.";

    QProcess cupsd;
    const auto agendadorAtivo = [] {
        return executa(QStringLiteral("lpstat"), {QStringLiteral("-r")})
            .value_or(QByteArray())
            .startsWith("scheduler is running");
    };
    if (!agendadorAtivo()) {
        cupsd.start(programa(QStringLiteral("cupsd")), {QStringLiteral("-f")});
        ASSERT_TRUE(cupsd.waitForStarted());
        for (int i = 0; i < 50 && !agendadorAtivo(); ++i)
            QThread::msleep(100);
    }
    const auto paraCupsd = [&cupsd] {
        if (cupsd.state() != QProcess::NotRunning) {
            cupsd.terminate();
            cupsd.waitForFinished(10000);
        }
    };
    const QString fila = QStringLiteral("NQ404_PDF_TESTE");
    if (executa(programa(QStringLiteral("lpadmin")),
                {QStringLiteral("-p"), fila, QStringLiteral("-v"), QStringLiteral("cups-pdf:/"),
                 QStringLiteral("-E"), QStringLiteral("-m"),
                 QStringLiteral("lsb/usr/cups-pdf/CUPS-PDF_opt.ppd")}) == std::nullopt) {
        paraCupsd();
        FAIL() << "lpadmin não criou a fila " << fila.toStdString();
    }
    const QString saidaPdf =
        QString::fromLocal8Bit(getpwuid(getuid())->pw_dir) + QStringLiteral("/PDF");
    const QDateTime antes = QDateTime::currentDateTime().addSecs(-1);

    Documento d = teste::documento(2, QStringLiteral("NQ404 impressao"));
    OpcoesDeImpressao o;
    o.impressora = fila;
    o.copias = 2;
    o.agrupar = true;
    QPrinter impressora(QPrinter::HighResolution);
    bool imprimiu = false;
    try {
        ASSERT_TRUE(QPrinterInfo::availablePrinterNames().contains(fila));
        imprimiu = imprimePaginas(d.paginas, d.trabalho, o, impressora, false);
    } catch (const Erro& e) {
        ADD_FAILURE() << e.texto().toStdString();
    }

    QString gerado;
    for (int i = 0; i < 300 && gerado.isEmpty() && imprimiu; ++i) {
        QThread::msleep(100);
        for (const QFileInfo& f :
             QDir(saidaPdf).entryInfoList({QStringLiteral("*.pdf")}, QDir::Files))
            if (f.lastModified() >= antes && f.fileName().contains(QStringLiteral("NQ404")) &&
                executa(QStringLiteral("lpstat"), {QStringLiteral("-o"), fila})
                    .value_or(QByteArray("?"))
                    .trimmed()
                    .isEmpty())
                gerado = f.absoluteFilePath();
    }
    executa(programa(QStringLiteral("lpadmin")), {QStringLiteral("-x"), fila});
    paraCupsd();
    ASSERT_TRUE(imprimiu);
    ASSERT_FALSE(gerado.isEmpty()) << "Nenhum PDF apareceu em " << saidaPdf.toStdString();
    ASSERT_EQ(paginasDoPdf(gerado), 4); // two copies of two pages
    // The queue redistils the PDF and its texts do not always extract as typed, so the
    // collated order shows as pages 1 and 3, and 2 and 4, alike.
    QStringList paginas;
    for (int p = 1; p <= 4; ++p)
        paginas << textoDoPdf(gerado, p);
    EXPECT_EQ(paginas[0], paginas[2]);
    EXPECT_EQ(paginas[1], paginas[3]);
    EXPECT_NE(paginas[0], paginas[1]);
    QFile::remove(gerado);
}
