#include "apoio_anexo1.h"
#include "figuras_cabem.h"
#include "figuras_do_pdf.h"
#include "golden_do_anexo.h"
#include "imagens_de_referencia.h"

#include "report/despejo.h"

#include <QFile>
#include <QRegularExpression>

namespace {

class Anexo1Paginas : public BancoDoAnexo1 {};

TEST_F(Anexo1Paginas, PaginasDoTerceiroBimestreIguaisAsDeReferencia) {
    const Resultado r = roda(3, false);
    ASSERT_FALSE(r.documento.paginas.empty());
    comparaComGoldenDoAnexo("anexo1", "anexo1_bim3", nq::despejo(r.documento));
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
    // Every line of both tables has seven printed figures.
    EXPECT_EQ(r.figuras.size(), 7 * (receita(r).size() + despesa(r).size()));
    EXPECT_EQ(valoresDoCsv(r.figuras), figurasImpressas(r.documento, dados() + "anexo1.pdf"));
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
