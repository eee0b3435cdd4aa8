#include "apoio_anexo1.h"
#include "esperado.h"

#include "annexes/common/plano_figuras.h"
#include "entry/catalogo.h"
#include "entry/preparacoes.h"
#include "tables/clientdataset.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>

using nq::Moeda;

namespace {

#define EXPECT_MOEDA(a, b) EXPECT_EQ((a).texto(4), (b).texto(4))

QString bim(const char* campo, int k) {
    return QString::fromLatin1(campo) + QString::number(k);
}

struct LinhaDeReceita {
    QString id;
    QStringList codigos;
};
struct LinhaDeDespesa {
    QString id;
    QStringList categorias;
};

const std::vector<LinhaDeReceita> Receitas = {{"00040", {"1112.02"}},
                                              {"00090", {"12"}},
                                              {"00140", {"17"}},
                                              {"00145", {"97", "95"}},
                                              {"00160", {"2"}}};
const std::vector<LinhaDeDespesa> Despesas = {{"00260", {"3.1"}},
                                              {"00290", {"3.3"}},
                                              {"00310", {"4.4"}},
                                              {"00370", {"9"}},
                                              {"00380", {"3", "4"}}};

QByteArray resumo(const QString& arquivo) {
    QFile f(arquivo);
    return f.open(QIODevice::ReadOnly)
               ? QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha1)
               : QByteArray();
}

class Anexo1 : public BancoDoAnexo1 {};
class Anexo1PorBimestre : public BancoDoAnexo1, public ::testing::WithParamInterface<int> {};

TEST_P(Anexo1PorBimestre, FigurasIguaisAsSomasDoExercicioGerado) {
    const int b = GetParam();
    const Resultado r = roda(b, false);
    const Esperado e(exercicio());

    for (const auto& l : Receitas) {
        SCOPED_TRACE(l.id.toStdString());
        EXPECT_MOEDA(moeda(receita(r), l.id, "PREVISAO_ANUAL"), e.previsao(l.codigos));
        EXPECT_MOEDA(moeda(receita(r), l.id, "PREVISAO_ATUALIZADA"),
                     e.previsaoAtualizada(l.codigos, b));
        Moeda acumulado;
        for (int k = 1; k <= 6; ++k) {
            const Moeda esperado = k <= b ? e.realizado(l.codigos, k) : Moeda();
            EXPECT_MOEDA(moeda(receita(r), l.id, bim("REALIZADO_BIM", k)), esperado) << k;
            EXPECT_MOEDA(moeda(receita(r), l.id, bim("PREVISTO_BIM", k)), Moeda()) << k;
            if (k <= b)
                acumulado += esperado;
        }
        EXPECT_EQ(r.figura("cdsRec", l.id, "ppVariable2"), acumulado.texto(2));
        EXPECT_EQ(r.figura("cdsRec", l.id, "ppVariable3"),
                  (e.previsaoAtualizada(l.codigos, b) - acumulado).texto(2));
        EXPECT_EQ(r.figura("cdsRec", l.id, bim("REALIZADO_BIM", b)),
                  e.realizado(l.codigos, b).texto(2));
    }
    for (const auto& l : Despesas) {
        SCOPED_TRACE(l.id.toStdString());
        EXPECT_MOEDA(moeda(despesa(r), l.id, "DOTACAO_ANUAL"), e.dotacao(l.categorias));
        EXPECT_MOEDA(moeda(despesa(r), l.id, "DOTACAO_ATUALIZADA"),
                     e.dotacaoAtualizada(l.categorias, b));
        Moeda empenhado;
        for (int k = 1; k <= 6; ++k) {
            EXPECT_MOEDA(moeda(despesa(r), l.id, bim("EMPENHADO_BIM", k)),
                         k <= b ? e.empenhado(l.categorias, k, true) : Moeda())
                << k;
            EXPECT_MOEDA(moeda(despesa(r), l.id, bim("LIQUIDADO_BIM", k)),
                         k <= b ? e.liquidado(l.categorias, k, true) : Moeda())
                << k;
            if (k <= b)
                empenhado += e.empenhado(l.categorias, k, true);
        }
        EXPECT_EQ(r.figura("cdsDes", l.id, "ppVariable4"), empenhado.texto(2));
        EXPECT_EQ(r.figura("cdsDes", l.id, "ppVariable6"),
                  (e.dotacaoAtualizada(l.categorias, b) - empenhado).texto(2));
    }
    // Lines without a condition keep their typed values.
    for (const char* campo : {"DOTACAO_ANUAL", "DOTACAO_ATUALIZADA", "EMPENHADO_BIM1"})
        EXPECT_MOEDA(moeda(despesa(r), "00280", campo), Moeda());
    // A few statements whatever the bimester, where one per figure would be
    // 26 * (3 + b) + 12 * (2 + 2 * b): each postings table and item table read once.
    if (!nq::figurasLiterais()) {
        EXPECT_LE(r.comandos, 14);
    }
}

INSTANTIATE_TEST_SUITE_P(Bimestres, Anexo1PorBimestre, ::testing::Values(1, 3, 6));

TEST_F(Anexo1, SuperavitEhReceitaMenosDespesaEmCadaColuna) {
    const Resultado r = roda(6, false);
    auto resultado = [&](const QString& rec, const QString& des) {
        return moeda(receita(r), "00010", rec) + moeda(receita(r), "00160", rec) -
               moeda(despesa(r), "00250", des) - moeda(despesa(r), "00300", des);
    };
    EXPECT_MOEDA(moeda(despesa(r), "00390", "DOTACAO_ANUAL"),
                 resultado("PREVISAO_ANUAL", "DOTACAO_ANUAL"));
    EXPECT_MOEDA(moeda(despesa(r), "00390", "DOTACAO_ATUALIZADA"),
                 resultado("PREVISAO_ATUALIZADA", "DOTACAO_ATUALIZADA"));
    for (int k = 1; k <= 6; ++k) {
        EXPECT_MOEDA(moeda(despesa(r), "00390", bim("EMPENHADO_BIM", k)),
                     resultado(bim("REALIZADO_BIM", k), bim("EMPENHADO_BIM", k)));
        EXPECT_MOEDA(moeda(despesa(r), "00390", bim("LIQUIDADO_BIM", k)),
                     resultado(bim("REALIZADO_BIM", k), bim("LIQUIDADO_BIM", k)));
    }
    EXPECT_FALSE(moeda(despesa(r), "00390", "LIQUIDADO_BIM6").ehZero());
}

TEST_F(Anexo1, DivisaoDaPrevisaoPreencheOsBimestresAteOEscolhido) {
    const Resultado r = roda(3, true);
    ASSERT_FALSE(r.mensagens.empty());
    EXPECT_EQ(r.mensagens.front().texto,
              "Deseja que a Previsão Anual Atualizada seja Dividida para o Previsto no "
              "Bimestre?");
    for (const auto& l : Receitas) {
        const Moeda atualizada = moeda(receita(r), l.id, "PREVISAO_ATUALIZADA");
        const int64_t d = atualizada.dezMilesimos();
        // A sixth kept to four places, rounded half away from zero.
        const int64_t sexto = (2 * d + (d < 0 ? -6 : 6)) / 12;
        for (int k = 1; k <= 3; ++k)
            EXPECT_MOEDA(moeda(receita(r), l.id, bim("PREVISTO_BIM", k)),
                         Moeda::deDezMilesimos(sexto))
                << l.id.toStdString();
        for (int k = 4; k <= 6; ++k)
            EXPECT_MOEDA(moeda(receita(r), l.id, bim("PREVISTO_BIM", k)), Moeda());
        EXPECT_EQ(r.figura("cdsRec", l.id, "ppVariable1"),
                  Moeda::deDezMilesimos(3 * sexto).texto(2));
    }
}

TEST_F(Anexo1, EmpenhosDeReservaSoEntramQuandoMostrados) {
    const Esperado e(exercicio());
    const QStringList todas{"3", "4"};
    valores.defineFiltroReserva(false);
    const Resultado sem = roda(6, false);
    valores.defineFiltroReserva(true);
    const Resultado com = roda(6, false);
    bool diferem = false;
    for (int k = 1; k <= 6; ++k) {
        EXPECT_MOEDA(moeda(despesa(sem), "00380", bim("EMPENHADO_BIM", k)),
                     e.empenhado(todas, k, false));
        EXPECT_MOEDA(moeda(despesa(sem), "00380", bim("LIQUIDADO_BIM", k)),
                     e.liquidado(todas, k, false));
        EXPECT_MOEDA(moeda(despesa(com), "00380", bim("EMPENHADO_BIM", k)),
                     e.empenhado(todas, k, true));
        diferem = diferem || e.empenhado(todas, k, false) != e.empenhado(todas, k, true);
    }
    EXPECT_TRUE(diferem) << "o exercício gerado não tem empenhos de reserva";
    EXPECT_MOEDA(moeda(despesa(sem), "00380", "DOTACAO_ATUALIZADA"),
                 moeda(despesa(com), "00380", "DOTACAO_ATUALIZADA"));
}

TEST_F(Anexo1, ValoresDigitadosSaoSomadosEOArquivoDigitadoFicaIntacto) {
    nq::PreparaAnexo1(dados());
    const QString arquivo = nq::caminhoArquivo(dados(), nq::ArquivoDigitado::Anexo1Receita);
    {
        nq::ClientDataSet t;
        t.loadFromFile(arquivo);
        ASSERT_TRUE(t.locate("ID", nq::Value("00040")));
        t.edit();
        t.fieldByName("PREVISAO_ANUAL").setAsCurrency(Moeda::deInteiro(1000));
        t.fieldByName("REALIZADO_BIM1").setAsCurrency(Moeda::deTexto("12.34").value());
        t.fieldByName("PREVISTO_BIM5").setAsCurrency(Moeda::deInteiro(7));
        t.post();
        t.saveToFile(arquivo);
    }
    const QByteArray antes = resumo(arquivo);
    const Resultado r = roda(1, false);
    const Esperado e(exercicio());
    EXPECT_MOEDA(moeda(receita(r), "00040", "PREVISAO_ANUAL"),
                 e.previsao({"1112.02"}) + Moeda::deInteiro(1000));
    EXPECT_MOEDA(moeda(receita(r), "00040", "REALIZADO_BIM1"),
                 e.realizado({"1112.02"}, 1) + Moeda::deTexto("12.34").value());
    EXPECT_MOEDA(moeda(receita(r), "00040", "PREVISTO_BIM5"), Moeda::deInteiro(7));
    EXPECT_EQ(resumo(arquivo), antes);
    const QStringList sobras = QDir(dados()).entryList({"*2.xml"}, QDir::Files);
    EXPECT_TRUE(sobras.isEmpty()) << sobras.join(' ').toStdString();
}

} // namespace

// Each run reads the database and the typed files afresh: a posting and a typed
// figure added between two runs show in the second, even when each run shares
// its passes among its reports as the bimester close does.
TEST_F(Anexo1, SegundaExecucaoLeDeNovoOBancoEOsValoresDigitados) {
    const auto rodaComPassagens = [&] {
        nq::PassagensDaExecucao passagens;
        nq::PassagensInstaladas instaladas(passagens);
        return moeda(receita(roda(1, false)), "00040", "REALIZADO_BIM1");
    };
    const Moeda antes = rodaComPassagens();

    int ficha = 0;
    for (const auto& f : exercicio().fichasReceita)
        if (f.codre.startsWith("1112.02"))
            ficha = f.ficha;
    ASSERT_NE(ficha, 0);
    executa(QString("INSERT INTO RECEIT (NUMREC, FICHA, DTLAN, DTREC, VAREC) VALUES (990099, %1, "
                    "'2008-02-15', '2008-02-15', 100.00)")
                .arg(ficha));
    nq::PreparaAnexo1(dados());
    const QString arquivo = nq::caminhoArquivo(dados(), nq::ArquivoDigitado::Anexo1Receita);
    {
        nq::ClientDataSet t;
        t.loadFromFile(arquivo);
        ASSERT_TRUE(t.locate("ID", nq::Value("00040")));
        t.edit();
        t.fieldByName("REALIZADO_BIM1").setAsCurrency(Moeda::deTexto("12.34").value());
        t.post();
        t.saveToFile(arquivo);
    }
    const Moeda depois = rodaComPassagens();
    executa("DELETE FROM RECEIT WHERE NUMREC = 990099");
    EXPECT_MOEDA(depois, antes + Moeda::deInteiro(100) + Moeda::deTexto("12.34").value());
}
