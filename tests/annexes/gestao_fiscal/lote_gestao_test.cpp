#include "apoio_anexos.h"
#include "esperado_gestao.h"

#include "app/anexos_do_programa.h"
#include "app/lote.h"
#include "core/configuracao.h"
#include "core/erro.h"

#include <QDir>
#include <QFile>
#include <QProcess>

using nq::Moeda;

namespace {

QString erroDe(const QStringList& argumentos) {
    try {
        const nq::OpcoesDoLote o = nq::leOpcoesDoLote(QStringList{"nq404"} + argumentos);
        nq::verificaLote(o, nq::anexosDoPrograma());
    } catch (const nq::Erro& e) {
        return e.texto();
    }
    return {};
}

TEST(LoteDaGestaoFiscal, PeriodoDoRelatorioEsoDele) {
    EXPECT_EQ(erroDe({"--anexo", "rgf", "--periodo", "mes"}),
              "Período inválido: \"mes\" (bim ou quad).");
    EXPECT_EQ(erroDe({"--anexo", "rgf", "--periodo", "quad", "--quadrimestre", "4"}),
              "Quadrimestre inválido: \"4\" (de 1 a 3).");
    EXPECT_EQ(erroDe({"--anexo", "rgf"}), "Indique o período com --periodo bim ou --periodo quad.");
    EXPECT_EQ(erroDe({"--anexo", "rgf", "--periodo", "bim"}),
              "Com --periodo bim, indique o bimestre com --bimestre (de 1 a 6), sem "
              "--quadrimestre.");
    EXPECT_EQ(
        erroDe({"--anexo", "rgf", "--periodo", "quad", "--quadrimestre", "1", "--bimestre", "2"}),
        "Com --periodo quad, indique o quadrimestre com --quadrimestre (de 1 a 3), sem "
        "--bimestre.");
    EXPECT_EQ(erroDe({"--anexo", "3", "--bimestre", "2", "--quadrimestre", "1"}),
              "--periodo e --quadrimestre valem só para --anexo rgf.");
    EXPECT_EQ(erroDe({"--anexo", "rgf", "--periodo", "quad", "--quadrimestre", "2"}), "");
}

// A demo exercise of its own, run as the user runs it: annexes 3 and 5 first,
// then the report.
class LoteDaGestao : public ComBancoDeTeste {
protected:
    int executa(const QStringList& argumentos) const {
        nq::OpcoesDoLote o =
            nq::leOpcoesDoLote(QStringList{"nq404", "--ini", demo_->ini} + argumentos);
        return nq::executaLote(o, nq::anexosDoPrograma());
    }
    QString dados() const { return demo_->raiz + "ARQ2008/"; }

    QTemporaryDir saida;
};

TEST_F(LoteDaGestao, AnexosAntesDoRelatorioEAsMedidasImpressas) {
    const QString pdf = saida.filePath("rgf.pdf"), csv = saida.filePath("rgf.csv");
    const QStringList rgf = {"--anexo",        "rgf", "--periodo",       "quad",
                             "--quadrimestre", "1",   "--pdf",           pdf,
                             "--csv",          csv,   "--justificativa", "Contenção de despesas."};
    // Annex 3 not run yet: nothing is written.
    EXPECT_EQ(executa(rgf), 1);
    EXPECT_FALSE(QFile::exists(pdf));
    EXPECT_FALSE(QFile::exists(csv));
    EXPECT_FALSE(QFile::exists(dados() + "NQ404_ANXGE.XML"));

    ASSERT_EQ(executa({"--anexo", "3", "--bimestre", "2"}), 0);
    ASSERT_EQ(executa({"--anexo", "5", "--bimestre", "2"}), 0);
    // Personnel well over the RCL: the limit is passed, the measures typed and printed.
    gravaDp(dados() + "NQ404_DP04.XML", Moeda::deInteiro(2000000), Moeda::deInteiro(1000));
    ASSERT_EQ(executa(rgf), 0);

    QFile f(csv);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QStringList linhas = QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts);
    ASSERT_GT(linhas.size(), 3);
    EXPECT_TRUE(linhas[1].startsWith("cdsGe3;00010;RECEITA CORRENTE LÍQUIDA;VALOR1;"));
    EXPECT_TRUE(linhas[2].startsWith("cdsGe3;00010;RECEITA CORRENTE LÍQUIDA;VALOR;"));
    QStringList valores;
    for (const QString& l : linhas.mid(1))
        valores << l.section(';', 4);
    EXPECT_EQ(valores, figurasDoPdf(pdf));

    QProcess p;
    p.start("pdftotext", {"-layout", pdf, "-"});
    ASSERT_TRUE(p.waitForFinished(30000));
    const QString texto = QString::fromUtf8(p.readAllStandardOutput());
    EXPECT_TRUE(texto.contains("1º QUADRIMESTRE"));
    EXPECT_TRUE(texto.contains("Contenção de despesas."));
}

} // namespace
