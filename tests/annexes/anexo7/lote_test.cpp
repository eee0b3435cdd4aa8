#include "apoio_anexos.h"

#include "app/anexos_do_programa.h"
#include "app/lote.h"
#include "core/configuracao.h"
#include "core/erro.h"

#include <QFile>
#include <QProcess>

namespace {

QString textoDoPdf(const QString& pdf) {
    QProcess p;
    p.start("pdftotext", {"-layout", pdf, "-"});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// Annexes 7 and 8 in runs without windows, through the program's own launcher.
class LoteDosAnexos : public ComBancoDeTeste {
protected:
    nq::OpcoesDoLote opcoes(const QString& anexo, int bimestre) const {
        nq::OpcoesDoLote o;
        o.anexo = anexo;
        o.bimestre = bimestre;
        o.ini = demo_->ini;
        o.pdf = saida.filePath(anexo + ".pdf");
        o.csv = saida.filePath(anexo + ".csv");
        return o;
    }
    QTemporaryDir saida;
};

TEST_F(LoteDosAnexos, JustificativaDigitadaPelaLinhaDeComando) {
    EXPECT_THROW(nq::leOpcoesDoLote({"nq404", "--justificativa", QString(701, 'x')}), nq::Erro);
    // Operations typed for the prefecture that no capital expenditure covers.
    digita(demo_->raiz + "ARQ2008/NQ404_Anexo7.xml", nq::ArquivoDigitado::Anexo7,
           nq::Value("0200.00.00"), {{"OPE_CRE_EXR", nq::Value(nq::Moeda::deInteiro(900000000))}});
    nq::OpcoesDoLote o = opcoes("7", 2);
    o.justificativa = nq::leOpcoesDoLote({"nq404", "--justificativa",
                                          "Operações acima da despesa de capital: obra em "
                                          "andamento."})
                          .justificativa;
    ASSERT_EQ(nq::executaLote(o, nq::anexosDoPrograma()), 0);
    EXPECT_TRUE(textoDoPdf(o.pdf).contains("obra em andamento"));

    // Without the option the dialog closes unsaved and the run goes on.
    o = opcoes("7", 2);
    ASSERT_EQ(nq::executaLote(o, nq::anexosDoPrograma()), 0);
    EXPECT_TRUE(textoDoPdf(o.pdf).contains("obra em andamento"));
}

TEST_F(LoteDosAnexos, AnexoOitoSemBimestre) {
    const nq::OpcoesDoLote o = opcoes("8", 0);
    ASSERT_EQ(nq::executaLote(o, nq::anexosDoPrograma()), 0);
    QFile csv(o.csv);
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const QStringList linhas = QString::fromUtf8(csv.readAll()).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(linhas.size(), 1 + 3 * 35);
    EXPECT_EQ(linhas[1], "cdsProjecao;2008;;RECEITA;0.00");
    EXPECT_EQ(linhas.last(), "cdsProjecao;2042;;RESULTADO;0.00");
}

} // namespace
