#include "apoio_anexo1.h"
#include "figuras_cabem.h"
#include "imagens_de_referencia.h"

#include "report/despejo.h"
#include "report/devices/dispositivo.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>

namespace {

// Compares with golden/<nome>.txt; NQ404_ATUALIZA_GOLDEN=1 rewrites the reference
// (to be reviewed before it is committed).
void comparaComGolden(const QString& nome, const QString& atual) {
    const QString caminho =
        QStringLiteral(NQ404_FONTE "/tests/annexes/anexo1/golden/%1.txt").arg(nome);
    if (qEnvironmentVariableIsSet("NQ404_ATUALIZA_GOLDEN")) {
        QDir().mkpath(QFileInfo(caminho).absolutePath());
        QFile f(caminho);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(atual.toUtf8());
        return;
    }
    QFile f(caminho);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << "sem referência: " << caminho.toStdString();
    if (QString::fromUtf8(f.readAll()) == atual)
        return;
    const QString dir = QStringLiteral(NQ404_BIN "/golden-atual");
    QDir().mkpath(dir);
    QFile saida(dir + '/' + nome + ".txt");
    if (saida.open(QIODevice::WriteOnly | QIODevice::Truncate))
        saida.write(atual.toUtf8());
    ADD_FAILURE() << "as páginas diferem de " << caminho.toStdString() << "; atual em "
                  << saida.fileName().toStdString();
}

// Every money figure of a PDF's text, in reading order, in plain form.
QStringList figurasDoPdf(const QString& pdf) {
    QProcess p;
    p.start("pdftotext", {"-layout", pdf, "-"});
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return {QStringLiteral("<pdftotext falhou>")};
    const QString texto = QString::fromUtf8(p.readAllStandardOutput());
    static const QRegularExpression numero(QStringLiteral("-?\\d{1,3}(?:\\.\\d{3})*,\\d{2}"));
    QStringList figuras;
    for (const auto& m : numero.globalMatch(texto))
        figuras << nq::numeroSimples(m.captured());
    return figuras;
}

class Anexo1Paginas : public BancoDoAnexo1 {};

TEST_F(Anexo1Paginas, PaginasDoTerceiroBimestreIguaisAsDeReferencia) {
    const Resultado r = roda(3, false);
    ASSERT_FALSE(r.documento.paginas.empty());
    comparaComGolden("anexo1_bim3", nq::despejo(r.documento));
}

// The pages as a PDF draws them, and its text, are those of the references.
TEST_F(Anexo1Paginas, PdfDoTerceiroBimestreIgualAsImagensDeReferencia) {
    const Resultado r = roda(3, false);
    nq::teste::comparaComImagensDeReferencia(
        r.documento, QStringLiteral(NQ404_FONTE "/tests/annexes/anexo1/golden"),
        QStringLiteral("anexo1_bim3_pdf"));
}

TEST_F(Anexo1Paginas, CsvTemExatamenteAsFigurasDoTextoDoPdf) {
    const Resultado r = roda(6, true);
    const QString pdf = dados() + "anexo1.pdf";
    auto dispositivo = nq::criaDispositivoDeArquivo("PDFFile");
    ASSERT_TRUE(dispositivo);
    dispositivo->defineArquivo(pdf);
    nq::enviaDocumento(*dispositivo, r.documento);

    QStringList csv;
    for (const nq::Figura& f : r.figuras)
        csv << f.valor;
    // Every line of both tables has seven printed figures.
    EXPECT_EQ(r.figuras.size(), 7 * (r.receita.size() + r.despesa.size()));
    EXPECT_EQ(csv, figurasDoPdf(pdf));
}

TEST_F(Anexo1Paginas, CsvNaFormaLonga) {
    const Resultado r = roda(1, false);
    const QString arquivo = dados() + "figuras.csv";
    nq::gravaFigurasCsv(arquivo, r.figuras);
    QFile f(arquivo);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QStringList linhas = QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts);
    ASSERT_GT(linhas.size(), 1);
    EXPECT_EQ(linhas[0], "quadro;id;descricao;coluna;valor");
    EXPECT_EQ(linhas[1].section(';', 0, 3), "cdsRec;00010;Receitas Correntes (A);PREVISAO_ANUAL");
    EXPECT_EQ(linhas[4].section(';', 3, 3), "REALIZADO_BIM1");
    EXPECT_TRUE(linhas.last().startsWith("cdsDes;00390;SUPERÁVIT/DÉFICIT (A+B-C-D);ppVariable6;"));
    const QRegularExpression valor(QStringLiteral("^-?\\d+\\.\\d{2}$"));
    for (const QString& l : linhas.mid(1))
        EXPECT_TRUE(valor.match(l.section(';', 4)).hasMatch()) << l.toStdString();
}

// A figure as wide as money can hold is printed whole in every column.
TEST(Anexo1Layout, MaioresFigurasCabemNasColunas) {
    garanteAplicacao();
    nq::teste::verificaFigurasCabem(QStringLiteral(":/anexo1/relatorio1.json"));
}

} // namespace
