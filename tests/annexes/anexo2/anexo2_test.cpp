#include "annexes/anexo2/anexo2.h"
#include "annexes/common/plano_figuras.h"
#include "apoio_anexos.h"
#include "app/anexos_do_programa.h"
#include "core/configuracao.h"
#include "core/erro.h"
#include "entry/catalogo.h"
#include "entry/preparacoes.h"
#include "esperado_anexo2.h"
#include "figuras_cabem.h"
#include "report/despejo.h"
#include "tables/clientdataset.h"

#include <QCryptographicHash>
#include <QFile>
#include <array>

using nq::Moeda;

namespace {

const QString Quadro = QStringLiteral("cdsImp");
const QString Tabela = QStringLiteral("ppDBPipeline4");

QString var(int i) {
    return QStringLiteral("ppVariable%1").arg(i);
}

// The seven printed figures of a line: appropriations, the bimester's
// commitments and liquidations, the accumulated ones, the free appropriation.
struct Linha2 {
    std::array<Moeda, 6> v{};

    Linha2& operator+=(const Linha2& o) {
        for (size_t i = 0; i < v.size(); ++i)
            v[i] += o.v[i];
        return *this;
    }
    // The figures printed from variable `primeira` on (1: the line, 8: its SubTotal).
    void confere(const Resultado& r, const QString& id, int primeira) const {
        SCOPED_TRACE(id.toStdString());
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(r.figura(Quadro, id, var(primeira + i)), v[i].texto(2)) << primeira + i;
        EXPECT_EQ(r.figura(Quadro, id, var(primeira + 6)), (v[1] - v[4]).texto(2));
    }
};

Linha2 esperada(const Esperado2& e, const QString& funcao, const QString& subfuncao, int b,
                bool comReserva) {
    Linha2 l;
    l.v[0] = e.dotacao(funcao, subfuncao);
    l.v[1] = e.dotacaoAtualizada(funcao, subfuncao, b);
    l.v[2] = e.empenhado(funcao, subfuncao, b, comReserva);
    l.v[3] = e.liquidado(funcao, subfuncao, b, comReserva);
    for (int k = 1; k <= b; ++k) {
        l.v[4] += e.empenhado(funcao, subfuncao, k, comReserva);
        l.v[5] += e.liquidado(funcao, subfuncao, k, comReserva);
    }
    return l;
}

QString texto(const Linhas::mapped_type& campos, const char* campo) {
    return campos.at(QString::fromLatin1(campo)).asString();
}

// Every printed figure against the generated rows of `ex`: sub-function lines
// and TOTAIS on their own rows, each function's SubTotal under its heading's ID.
void confereLinhas(const Resultado& r, const nq::demo::Exercicio& ex, int b, bool comReserva) {
    const Esperado2 e(ex);
    Linha2 totais;
    int subtotais = 0;
    for (const auto& [id, campos] : r.tabelas.at(Tabela)) {
        const QString funcao = texto(campos, "FUNCAO");
        const QString subfuncao = texto(campos, "SUBFUNCAO");
        for (int k = b + 1; k <= 6; ++k)
            EXPECT_TRUE(campos.at("EMPENHADO_BIM" + QString::number(k)).asCurrency().ehZero());
        if (funcao == "XX")
            continue;
        if (subfuncao.size() == 2) {
            EXPECT_EQ(r.figura(Quadro, id, var(1)), "<ausente>") << id.toStdString();
            esperada(e, funcao, {}, b, comReserva).confere(r, id, 8);
            ++subtotais;
        } else {
            const Linha2 l = esperada(e, funcao, subfuncao.mid(3), b, comReserva);
            l.confere(r, id, 1);
            totais += l;
        }
    }
    totais.confere(r, "99999", 1);
    EXPECT_EQ(r.figurasDaLinha(Quadro, "99999"), 7);
    EXPECT_GT(subtotais, 10);
}

QString idDe(const Resultado& r, const QString& subfuncao) {
    for (const auto& [id, campos] : r.tabelas.at(Tabela))
        if (texto(campos, "SUBFUNCAO") == subfuncao)
            return id;
    ADD_FAILURE() << "sem a linha " << subfuncao.toStdString();
    return {};
}

class Anexo2 : public BancoDeAnexos {};
class Anexo2ComBancoProprio : public BancoDeAnexos {
protected:
    Anexo2ComBancoProprio() : BancoDeAnexos(true) {}
};
class Anexo2PorBimestre : public BancoDeAnexos,
                          public ::testing::WithParamInterface<std::tuple<int, bool>> {};

TEST_P(Anexo2PorBimestre, FigurasIguaisAsSomasDoExercicioGerado) {
    const auto [b, comReserva] = GetParam();
    valores.defineFiltroReserva(comReserva);
    nq::defineFigurasLiterais(false);
    const Resultado r = roda<nq::TImpAnexo2>(b);
    confereLinhas(r, exercicio(), b, comReserva);
    // A sub-function code used by two functions is split between them.
    EXPECT_NE(r.figura(Quadro, idDe(r, "04.122"), var(1)),
              r.figura(Quadro, idDe(r, "09.122"), var(1)));

    nq::defineFigurasLiterais(true);
    const Resultado literal = roda<nq::TImpAnexo2>(b);
    nq::defineFigurasLiterais(false);
    ASSERT_EQ(literal.figuras.size(), r.figuras.size());
    for (size_t i = 0; i < r.figuras.size(); ++i)
        EXPECT_EQ(literal.figuras[i].valor, r.figuras[i].valor) << i;
}

INSTANTIATE_TEST_SUITE_P(Bimestres, Anexo2PorBimestre,
                         ::testing::Combine(::testing::Values(1, 3, 6), ::testing::Bool()));

TEST_F(Anexo2ComBancoProprio, FuncaoSemNomeTemLinhaEItemExtraorcamentarioConta) {
    nq::demo::Exercicio ex = exercicio();
    // The carried-over commitments' item of the prefecture, given a function.
    auto ficha = std::find_if(ex.fichasDespesa.begin(), ex.fichasDespesa.end(), [](auto& f) {
        return f.extra && f.empresa == 1 && f.balco == "32111";
    });
    ASSERT_NE(ficha, ex.fichasDespesa.end());
    ficha->funcao = "04";
    ficha->subfuncao = "122";
    executa(QStringLiteral("UPDATE DESDIS SET FUNCAO='04', SUBFUNCAO='122' WHERE FICHA=%1")
                .arg(ficha->ficha));
    executa("DELETE FROM TABFUNCAO WHERE FUNCAO='27'");

    const Resultado r = roda<nq::TImpAnexo2>(6);
    confereLinhas(r, ex, 6, true);
    const QString id = idDe(r, "27");
    EXPECT_TRUE(texto(r.tabelas.at(Tabela).at(id), "NOME").isEmpty());
    EXPECT_EQ(r.figurasDaLinha(Quadro, id), 7);
}

TEST_F(Anexo2, DigitadosLegadosEUmaFuncaoEmDoisGrupos) {
    nq::PreparaAnexo2(dados(), nq::dm().cdsAux2);
    const QString arquivo = nq::caminhoArquivo(dados(), nq::ArquivoDigitado::Anexo2);
    {
        nq::ClientDataSet t;
        t.loadFromFile(arquivo);
        auto digita = [&](const char* subfuncao, const char* campo, int valor) {
            ASSERT_TRUE(t.locate("SUBFUNCAO", nq::Value(QString(subfuncao))));
            t.edit();
            t.fieldByName(campo).setAsCurrency(Moeda::deInteiro(valor));
            t.post();
        };
        digita("04", "DOTACAO_ANUAL", 1000); // a function line of an older file
        digita("04.122", "DOTACAO_ANUAL", 50);
        digita("XX.XXX", "EMPENHADO_BIM1", 99);
        // A line placed before every function: function 10 heads two groups.
        t.append();
        t.fieldByName("FUNCAO").setAsString("10");
        t.fieldByName("SUBFUNCAO").setAsString("10.303");
        t.fieldByName("TITULO").setAsString("VA");
        t.fieldByName("ID").setAsString("00005");
        t.fieldByName("DOTACAO_ANUAL").setAsCurrency(Moeda::deInteiro(7));
        t.post();
        t.saveToFile(arquivo);
    }
    QFile f(arquivo);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray antes = QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha1);
    f.close();

    const Resultado r = roda<nq::TImpAnexo2>(1);
    const Esperado2 e(exercicio());
    const QString id04 = idDe(r, "04");
    EXPECT_EQ(r.figura(Quadro, id04, var(8)),
              (e.dotacao("04", {}) + Moeda::deInteiro(1000)).texto(2));
    EXPECT_EQ(r.figura(Quadro, idDe(r, "04.122"), var(1)),
              (e.dotacao("04", "122") + Moeda::deInteiro(50)).texto(2));
    // The first group of function 10 is the lone line "00005", with its own SubTotal.
    EXPECT_EQ(r.figurasDaLinha(Quadro, "00005"), 14);
    EXPECT_EQ(r.figura(Quadro, "00005", var(8)), "7.00");
    EXPECT_EQ(r.figuras.front().id, "00005");

    Moeda totais = Moeda::deInteiro(57);
    Moeda empenhado;
    for (const auto& [id, campos] : r.tabelas.at(Tabela))
        if (texto(campos, "TITULO") == "VA" && id != "00005") {
            const QString s = texto(campos, "SUBFUNCAO");
            totais += e.dotacao(s.left(2), s.mid(3));
            empenhado += e.empenhado(s.left(2), s.mid(3), 1, true);
        }
    EXPECT_EQ(r.figura(Quadro, "99999", var(1)), totais.texto(2));
    EXPECT_EQ(r.figura(Quadro, "99999", var(3)), empenhado.texto(2));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha1), antes);
}

TEST_F(Anexo2, PlanilhaAchaAsLinhasDaFuncaoOuAsPrimeirasLivres) {
    Pasta pasta;
    usaPlanilhaNaMemoria(pasta);
    auto& folha = pasta.folhas["mod2 6b"];
    folha["A40"] = nq::ValorCelula::deNumero(4);
    folha["B40"] = nq::ValorCelula::deNumero(123);

    const Resultado r = roda<nq::TImpAnexo2>(2, {true});
    ASSERT_TRUE(pasta.mostrada);
    EXPECT_EQ(pasta.numero("Com", "AH6"), 2);
    const Esperado2 e(exercicio());
    auto confere = [&](const QString& linha, const QString& funcao, const QString& sub) {
        SCOPED_TRACE(linha.toStdString());
        EXPECT_DOUBLE_EQ(folha["A" + linha].numero, funcao.toInt());
        EXPECT_DOUBLE_EQ(folha["B" + linha].numero, sub.toInt());
        EXPECT_DOUBLE_EQ(folha["D" + linha].numero, e.dotacao(funcao, sub).paraDouble());
        EXPECT_DOUBLE_EQ(folha["H" + linha].numero, e.empenhado(funcao, sub, 2, true).paraDouble());
        EXPECT_DOUBLE_EQ(folha["I" + linha].numero, e.liquidado(funcao, sub, 2, true).paraDouble());
    };
    confere("40", "04", "123"); // found on its row
    confere("41", "04", "122"); // the first free row of the block
    EXPECT_EQ(folha["C41"].texto, "Administração Geral");
    confere("98", "09", "122");
    confere("99", "09", "272");
    confere("309", "28", "843");

    // A second export finds the rows written by the first.
    const size_t celulas = folha.size();
    roda<nq::TImpAnexo2>(2, {true});
    EXPECT_EQ(folha.size(), celulas);

    // A code that is not a number stops the export; the workbook is closed unsaved.
    folha["A88"] = nq::ValorCelula::deTexto("oito");
    pasta.mostrada = false;
    EXPECT_THROW(roda<nq::TImpAnexo2>(2, {true}), nq::Erro);
    EXPECT_TRUE(pasta.fechada);
    EXPECT_FALSE(pasta.mostrada);
}

TEST_F(Anexo2, PaginasDeReferenciaECsvIgualAoPdfComOsSubtotais) {
    const Resultado r3 = roda<nq::TImpAnexo2>(3);
    ASSERT_FALSE(r3.documento.paginas.empty());
    comparaComGoldenDoAnexo("anexo2", "anexo2_bim3", nq::despejo(r3.documento));

    const Resultado r = roda<nq::TImpAnexo2>(6);
    EXPECT_EQ(valoresDoCsv(r.figuras), figurasImpressas(r.documento, dados() + "anexo2.pdf"));
    // Every line prints seven figures: sub-functions and TOTAIS on their line,
    // functions in their SubTotal.
    EXPECT_EQ(r.figuras.size(), 7 * r.tabelas.at(Tabela).size());
}

// A figure as wide as money can hold is printed whole, apart from its neighbours.
TEST(Anexo2Layout, MaioresFigurasCabemNasColunas) {
    garanteAplicacao();
    nq::teste::verificaFigurasCabem(QStringLiteral(":/anexo2/relatorio3.json"));
}

} // namespace
