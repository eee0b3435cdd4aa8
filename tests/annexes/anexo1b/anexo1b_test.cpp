#include "annexes/anexo1b/anexo1b.h"
#include "annexes/common/plano_figuras.h"
#include "apoio_anexos.h"
#include "core/erro.h"
#include "entry/catalogo.h"
#include "entry/preparacoes.h"
#include "entry/strzero.h"
#include "esperado_anexo1b.h"
#include "figuras_cabem.h"
#include "report/despejo.h"
#include "tables/clientdataset.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>

using nq::Moeda;

namespace {

const QString Quadro = QStringLiteral("cdsRec");

QString var(int i) {
    return QStringLiteral("ppVariable%1").arg(i);
}

// The eight printed figures of a line, from its database parts.
struct Linha1B {
    Moeda arrecadado, arrecadadoAcumulado, empenhado, empenhadoAcumulado, liquidado,
        liquidadoAcumulado;

    Linha1B& operator+=(const Linha1B& o) {
        arrecadado += o.arrecadado;
        arrecadadoAcumulado += o.arrecadadoAcumulado;
        empenhado += o.empenhado;
        empenhadoAcumulado += o.empenhadoAcumulado;
        liquidado += o.liquidado;
        liquidadoAcumulado += o.liquidadoAcumulado;
        return *this;
    }
    Moeda resultado() const { return arrecadadoAcumulado - empenhadoAcumulado; }

    void confere(const Resultado& r, const QString& id, Moeda receitaTotal) const {
        SCOPED_TRACE(id.toStdString());
        const Moeda valores[] = {arrecadado, arrecadadoAcumulado, empenhado,  empenhadoAcumulado,
                                 liquidado,  liquidadoAcumulado,  resultado()};
        for (int i = 0; i < 7; ++i)
            EXPECT_EQ(r.figura(Quadro, id, var(i + 1)), valores[i].texto(2)) << i + 1;
        const double esperado =
            receitaTotal.ehZero() ? 0 : 100 * resultado().paraDouble() / receitaTotal.paraDouble();
        EXPECT_NEAR(r.figura(Quadro, id, var(8)).toDouble(), esperado, 0.0051);
    }
};

Linha1B esperada(const Esperado1B& e, int entidade, int b, bool comReserva) {
    Linha1B l;
    for (int k = 1; k <= b; ++k) {
        l.arrecadadoAcumulado += e.arrecadado(entidade, k);
        l.empenhadoAcumulado += e.empenhado(entidade, k, comReserva);
        l.liquidadoAcumulado += e.liquidado(entidade, k, comReserva);
    }
    l.arrecadado = e.arrecadado(entidade, b);
    l.empenhado = e.empenhado(entidade, b, comReserva);
    l.liquidado = e.liquidado(entidade, b, comReserva);
    return l;
}

// The printed line ID of each key.
std::map<QString, QString> idsPorChave(const Resultado& r) {
    std::map<QString, QString> ids;
    for (const auto& [id, campos] : r.tabelas.at(QStringLiteral("ppDBPipeline3")))
        ids[campos.at(QStringLiteral("RECEITA")).asString()] = id;
    return ids;
}

QByteArray resumo(const QString& arquivo) {
    QFile f(arquivo);
    return f.open(QIODevice::ReadOnly)
               ? QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha1)
               : QByteArray();
}

class Anexo1B : public BancoDeAnexos {};
class Anexo1BComBancoProprio : public BancoDeAnexos {
protected:
    Anexo1BComBancoProprio() : BancoDeAnexos(true) {}
};
class Anexo1BPorBimestre : public BancoDeAnexos,
                           public ::testing::WithParamInterface<std::tuple<int, bool>> {};

// Every printed figure of every line against the generated rows of `ex`.
void confereLinhas(const Resultado& r, const nq::demo::Exercicio& ex, int b, bool comReserva) {
    const Esperado1B e(ex);
    const Moeda receitaTotal = e.receitaOrcamentaria(b);
    const auto ids = idsPorChave(r);
    Linha1B totais;
    auto confere = [&](const QString& chave, int entidade) {
        const Linha1B l = esperada(e, entidade, b, comReserva);
        l.confere(r, ids.at(chave), receitaTotal);
        totais += l;
    };
    confere(QStringLiteral("0100.00"), Esperado1B::Direta);
    for (const auto& ent : ex.entidades)
        confere(nq::StrZero(ent.empresa, 2), ent.empresa);
    totais.confere(r, QStringLiteral("00100"), receitaTotal);
    EXPECT_FALSE(totais.empenhadoAcumulado.ehZero());
}

TEST_P(Anexo1BPorBimestre, FigurasIguaisAsSomasDoExercicioGerado) {
    const auto [b, comReserva] = GetParam();
    valores.defineFiltroReserva(comReserva);
    nq::defineFigurasLiterais(false);
    const Resultado r = roda<nq::TImpAnexo1B>(b);
    confereLinhas(r, exercicio(), b, comReserva);

    // Figures answered one statement at a time are the same.
    nq::defineFigurasLiterais(true);
    const Resultado literal = roda<nq::TImpAnexo1B>(b);
    nq::defineFigurasLiterais(false);
    ASSERT_EQ(literal.figuras.size(), r.figuras.size());
    for (size_t i = 0; i < r.figuras.size(); ++i)
        EXPECT_EQ(literal.figuras[i].valor, r.figuras[i].valor) << i;
}

INSTANTIATE_TEST_SUITE_P(Bimestres, Anexo1BPorBimestre,
                         ::testing::Combine(::testing::Values(1, 3, 6), ::testing::Bool()));

TEST_F(Anexo1B, DigitadosSomamNaLinhaEChaveAntigaContaDeNovoNosTotais) {
    nq::PreparaAnexo1B(dados(), nq::dm().cdsAux2);
    const QString receita = nq::caminhoArquivo(dados(), nq::ArquivoDigitado::Anexo1BReceita);
    const QString despesa = nq::caminhoArquivo(dados(), nq::ArquivoDigitado::Anexo1BDespesa);
    {
        nq::ClientDataSet t;
        t.loadFromFile(receita);
        ASSERT_TRUE(t.locate("RECEITA", nq::Value("03")));
        t.edit();
        t.fieldByName("ARRECADADA_BIM1").setAsCurrency(Moeda::deInteiro(100));
        t.post();
        // A key written before keys had two digits: entity 1 again, without an expenditure row.
        t.append();
        t.fieldByName("RECEITA").setAsString("1");
        t.fieldByName("NOME").setAsString("PREFEITURA (CHAVE ANTIGA)");
        t.fieldByName("TITULO").setAsString("VA");
        t.fieldByName("ID").setAsString("00015");
        t.post();
        t.saveToFile(receita);
        t.loadFromFile(despesa);
        ASSERT_TRUE(t.locate("DESPESA", nq::Value("03")));
        t.edit();
        t.fieldByName("EMPENHADO_BIM1").setAsCurrency(Moeda::deInteiro(40));
        t.post();
        t.saveToFile(despesa);
    }
    const QByteArray antes = resumo(receita);
    const Resultado r = roda<nq::TImpAnexo1B>(1);
    const Esperado1B e(exercicio());
    const auto ids = idsPorChave(r);

    EXPECT_EQ(r.figura(Quadro, ids.at("03"), var(1)),
              (e.arrecadado(3, 1) + Moeda::deInteiro(100)).texto(2));
    EXPECT_EQ(r.figura(Quadro, ids.at("03"), var(3)),
              (e.empenhado(3, 1, true) + Moeda::deInteiro(40)).texto(2));
    EXPECT_EQ(r.figura(Quadro, "00015", var(2)), e.arrecadado(1, 1).texto(2));
    for (int i = 3; i <= 6; ++i)
        EXPECT_EQ(r.figura(Quadro, "00015", var(i)), "0.00") << i;
    EXPECT_EQ(r.figura(Quadro, "00015", var(7)), e.arrecadado(1, 1).texto(2));

    Moeda arrecadado = e.arrecadado(Esperado1B::Direta, 1) + e.arrecadado(1, 1);
    Moeda empenhado = e.empenhado(Esperado1B::Direta, 1, true);
    for (const auto& ent : exercicio().entidades) {
        arrecadado += e.arrecadado(ent.empresa, 1);
        empenhado += e.empenhado(ent.empresa, 1, true);
    }
    EXPECT_EQ(r.figura(Quadro, "00100", var(1)), arrecadado.texto(2));
    EXPECT_EQ(r.figura(Quadro, "00100", var(3)), empenhado.texto(2));
    EXPECT_EQ(resumo(receita), antes);
    const QStringList sobras = QDir(dados()).entryList({"*2.xml"}, QDir::Files);
    EXPECT_TRUE(sobras.isEmpty()) << sobras.join(' ').toStdString();
}

TEST_F(Anexo1BComBancoProprio, EntidadeSemItensImprimeZerosEChaveInvalidaPara) {
    executa("INSERT INTO TABEMPRESA (EMPRESA, NOME, ADM, TIPO) VALUES "
            "(7, 'Consorcio Intermunicipal de Saude', 'I', '3')");
    const Resultado r = roda<nq::TImpAnexo1B>(2);
    const QString id = idsPorChave(r).at("07");
    EXPECT_EQ(r.figurasDaLinha(Quadro, id), 8);
    for (int i = 1; i <= 8; ++i)
        EXPECT_EQ(r.figura(Quadro, id, var(i)), "0.00") << i;

    // A value line whose key is no entity number stops the run before anything is printed.
    const QString receita = nq::caminhoArquivo(dados(), nq::ArquivoDigitado::Anexo1BReceita);
    nq::ClientDataSet t;
    t.loadFromFile(receita);
    t.append();
    t.fieldByName("RECEITA").setAsString("AB");
    t.fieldByName("TITULO").setAsString("VA");
    t.fieldByName("ID").setAsString("00016");
    t.post();
    t.saveToFile(receita);
    try {
        roda<nq::TImpAnexo1B>(2);
        ADD_FAILURE() << "a chave \"AB\" passou";
    } catch (const nq::Erro& erro) {
        EXPECT_TRUE(erro.texto().contains("\"AB\"")) << erro.texto().toStdString();
    }
}

TEST_F(Anexo1BComBancoProprio, EmpenhoSegueOProprioVinculoELiquidacaoOVinculoDoItem) {
    // A commitment of the treasury's linkage, liquidated in its bimester, moved to the
    // water company's linkage while its item stays with the prefecture.
    nq::demo::Exercicio ex = exercicio();
    auto liquidadoNoPrimeiro = [&](int pkemp) {
        return std::any_of(ex.liquidacoes.begin(), ex.liquidacoes.end(), [&](const auto& l) {
            return l.pkemp == pkemp && noBimestre(l.data, 1);
        });
    };
    auto emp = std::find_if(ex.empenhos.begin(), ex.empenhos.end(), [&](const auto& em) {
        return em.grupo == 1 && em.vinculo == 1 && em.valor > 0 && noBimestre(em.data, 1) &&
               em.tpem != "RD" && liquidadoNoPrimeiro(em.pkemp);
    });
    ASSERT_NE(emp, ex.empenhos.end());
    emp->grupo = 6;
    emp->vinculo = 60;
    executa(QStringLiteral("UPDATE DESPES SET VINGRUPO=6, VINCODIGO=60 WHERE PKEMP=%1")
                .arg(emp->pkemp));
    confereLinhas(roda<nq::TImpAnexo1B>(1), ex, 1, true);
}

TEST_F(Anexo1BComBancoProprio, PlanilhaRecebeAsLinhasDeValorECamaraSemAcentoNaoEhPerguntada) {
    Pasta pasta;
    usaPlanilhaNaMemoria(pasta);

    const Resultado r = roda<nq::TImpAnexo1B>(3, {true});
    ASSERT_TRUE(pasta.mostrada);
    EXPECT_EQ(pasta.numero("Com", "AH6"), 3);
    EXPECT_EQ(pasta.numero("Com", "AJ6"), 6);
    EXPECT_EQ(pasta.numero("Com", "AR6"), 8);
    const Esperado1B e(exercicio());
    auto confere = [&](int linha, int entidade) {
        const QString n = QString::number(linha);
        Moeda ano, empenhadoNoAno;
        for (int k = 1; k <= 3; ++k) {
            ano += e.arrecadado(entidade, k);
            empenhadoNoAno += e.empenhado(entidade, k, true);
        }
        EXPECT_DOUBLE_EQ(pasta.numero("mod1 anexo", "B" + n),
                         e.arrecadado(entidade, 3).paraDouble());
        EXPECT_DOUBLE_EQ(pasta.numero("mod1 anexo", "C" + n), ano.paraDouble());
        EXPECT_DOUBLE_EQ(pasta.numero("mod1 anexo", "E" + n), empenhadoNoAno.paraDouble());
        EXPECT_DOUBLE_EQ(pasta.numero("mod1 anexo", "F" + n),
                         e.liquidado(entidade, 3, true).paraDouble());
    };
    confere(13, Esperado1B::Direta);
    EXPECT_EQ(pasta.folhas["mod1 anexo"].count("A13"), 0u);
    const auto& entidades = exercicio().entidades;
    for (size_t i = 0; i < entidades.size(); ++i) {
        confere(15 + static_cast<int>(i), entidades[i].empresa);
        EXPECT_EQ(pasta.folhas["mod1 anexo"]["A" + QString::number(15 + i)].texto,
                  entidades[i].nome.left(45));
    }
    EXPECT_EQ(pasta.folhas["mod1 anexo"].count("B" + QString::number(15 + entidades.size())), 0u);

    // Only a prefix that reads "CAM" once raised is a chamber's; an accented one is asked.
    const QString pergunta = "Deseja Exportar os Dados para a Planilha do TCE ?";
    executa("UPDATE CADCLI SET CLNT1 = 'camara municipal de são bento'");
    pasta = Pasta();
    EXPECT_FALSE(roda<nq::TImpAnexo1B>(1, {true}).perguntou(pergunta));
    EXPECT_TRUE(pasta.aberta.isEmpty());
    executa("UPDATE CADCLI SET CLNT1 = 'câmara municipal de são bento'");
    EXPECT_TRUE(roda<nq::TImpAnexo1B>(1, {true}).perguntou(pergunta));
    EXPECT_FALSE(pasta.aberta.isEmpty());
}

TEST_F(Anexo1B, PaginasDeReferenciaECsvIgualAoPdf) {
    const Resultado r3 = roda<nq::TImpAnexo1B>(3);
    ASSERT_FALSE(r3.documento.paginas.empty());
    comparaComGoldenDoAnexo("anexo1b", "anexo1b_bim3", nq::despejo(r3.documento));

    const Resultado r = roda<nq::TImpAnexo1B>(6);
    EXPECT_EQ(r.figuras.size(), 8 * r.tabelas.at("ppDBPipeline3").size());
    EXPECT_EQ(valoresDoCsv(r.figuras), figurasImpressas(r.documento, dados() + "anexo1b.pdf"));
}

// A figure as wide as money can hold is printed whole, apart from its neighbours.
TEST(Anexo1BLayout, MaioresFigurasCabemNasColunas) {
    garanteAplicacao();
    nq::teste::verificaFigurasCabem(QStringLiteral(":/anexo1b/relatorio2.json"));
}

} // namespace
