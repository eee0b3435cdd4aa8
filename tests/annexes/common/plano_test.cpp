#include "annexes/anexo1/anexo1.h"
#include "annexes/anexo10/formas_anexo10.h"
#include "annexes/anexo3/anexo3.h"
#include "annexes/anexo4/formas_anexo4.h"
#include "annexes/anexo5/formas_anexo5.h"
#include "annexes/common/plano_figuras.h"
#include "annexes/common/plano_interno.h"
#include "annexes/common/somas_do_orcamento.h"
#include "annexes/gestao_fiscal/formas_gestao.h"
#include "apoio/banco_gerado.h"
#include "apoio/dono_do_banco.h"
#include "core/erro.h"
#include "db/conexao.h"
#include "db/consultas.h"
#include "demo/demo.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <optional>
#include <random>

using namespace nq;

namespace {

// Rows the generator never writes, added as the owner: codes that differ from
// others only in trailing blanks, letter case or a '%'; a null classification; a
// posting dated in another year; reserve-commitment kinds written with a blank;
// and two tables of the test's own with nullable keys, dates and amounts, a
// case- and accent-insensitive collation, a CHAR column and a repeated item key.
const char* const Bordas[] = {
    "INSERT INTO RECDIS (FICHA, CODRE, NOME, TIPO, EXTRA, EMPRESA, TOTOR, VINGRUPO, VINCODIGO) "
    "VALUES (9001, '1112.02 ', 'b', 'rd', 'N', 1, 100.10, 1, 1)",
    "INSERT INTO RECDIS (FICHA, CODRE, NOME, TIPO, EXTRA, EMPRESA, TOTOR, VINGRUPO, VINCODIGO) "
    "VALUES (9002, '1112.0%', 'b', NULL, 'S', 3, 200.20, 1, 1)",
    "INSERT INTO RECDIS (FICHA, CODRE, NOME, TIPO, EXTRA, EMPRESA, TOTOR, VINGRUPO, VINCODIGO) "
    "VALUES (9003, '1112.02', 'b', 'RD ', 'N', 5, 300.30, 1, 1)",
    "INSERT INTO RECEIT (NUMREC, FICHA, DTLAN, DTREC, VAREC) VALUES (900001, 9001, '2008-03-05', "
    "'2008-03-05', 10.01)",
    "INSERT INTO RECEIT (NUMREC, FICHA, DTLAN, DTREC, VAREC) VALUES (900002, 9002, '2008-03-06', "
    "'2008-03-06', 20.02)",
    "INSERT INTO RECEIT (NUMREC, FICHA, DTLAN, DTREC, VAREC) VALUES (900003, 9003, '2007-11-30', "
    "'2007-11-30', 30.03)",
    "INSERT INTO RECALP (NUMALT, FICHA, DTLAN, VALOR) VALUES (9001, 9001, '2008-02-01', 5.55)",
    "INSERT INTO RECALP (NUMALT, FICHA, DTLAN, VALOR) VALUES (9002, 9003, '2008-04-01', -6.66)",
    "INSERT INTO DESDIS (FICHA, NOME, DOTAC, FUNCAO, SUBFUNCAO, CATEC, TIPO, EXTRA, BALCO, "
    "EMPRESA, "
    "VINGRUPO, VINCODIGO) VALUES (9101, 'b', 77.70, '04', '122', '3.1.90.11 ', 'rd', 'N', NULL, 1, "
    "1, 1)",
    "INSERT INTO DESPES (PKEMP, PKEMPA, NEMPG, FICHA, DATAE, VADEM, CATEC, TPEM, TIPO, VINGRUPO, "
    "VINCODIGO) VALUES (990001, NULL, 990001, 9101, '2008-05-10', 40.04, '3.1.90.11 ', 'RD ', "
    "NULL, 1, 1)",
    "INSERT INTO DESPES (PKEMP, PKEMPA, NEMPG, FICHA, DATAE, VADEM, CATEC, TPEM, TIPO, VINGRUPO, "
    "VINCODIGO) VALUES (990002, 990001, 990001, 9101, '2008-06-10', -4.04, '3.1.90.11', 'ES', "
    "'rd', 1, 1)",
    "INSERT INTO DESLIQ (NUMLIQ, PKEMP, DTLIQ, VALIQ) VALUES (990001, 990001, '2008-05-20', 30.03)",
    "INSERT INTO DESLIQ (NUMLIQ, PKEMP, DTLIQ, VALIQ) VALUES (990002, 990002, '2008-06-20', 1.01)",
    "CREATE TABLE PLANO_ITEM (FICHA INTEGER, COD VARCHAR(10), COD_CI VARCHAR(10) COLLATE WIN_PTBR, "
    "LETRA CHAR(3))",
    "CREATE TABLE PLANO_LANC (FICHA INTEGER, DATA DATE, CREDI NUMERIC(15,2), DEBIT NUMERIC(15,2))",
    "GRANT SELECT ON PLANO_ITEM TO USER QTWVEXO8",
    "GRANT SELECT ON PLANO_LANC TO USER QTWVEXO8",
    "INSERT INTO PLANO_ITEM VALUES (1, 'AB', 'abc', 'A')",
    "INSERT INTO PLANO_ITEM VALUES (2, 'AB ', 'ABC', 'A B')",
    "INSERT INTO PLANO_ITEM VALUES (3, 'ab', 'Abc', NULL)",
    "INSERT INTO PLANO_ITEM VALUES (3, 'AB', 'ábc', 'AB')",
    "INSERT INTO PLANO_ITEM VALUES (NULL, 'AB', 'abc', 'A')",
    "INSERT INTO PLANO_ITEM VALUES (4, NULL, NULL, 'Z')",
    "INSERT INTO PLANO_LANC VALUES (1, '2008-01-10', 10.00, 1.00)",
    "INSERT INTO PLANO_LANC VALUES (1, NULL, 20.00, 2.00)",
    "INSERT INTO PLANO_LANC VALUES (2, '2008-01-11', 30.00, NULL)",
    "INSERT INTO PLANO_LANC VALUES (2, '2008-02-11', NULL, NULL)",
    "INSERT INTO PLANO_LANC VALUES (3, '2008-02-12', 40.00, 4.00)",
    "INSERT INTO PLANO_LANC VALUES (NULL, '2008-02-13', 50.00, 5.00)",
    "INSERT INTO PLANO_LANC VALUES (4, '2007-12-31', 60.00, 6.00)",
};

// A figure asked: its statement, condition and months.
struct Caso {
    FormaDaSoma forma;
    QString w;
    Meses meses;
    QString literal() const { return forma.texto(w.trimmed(), meses); }
};

// What the literal statement gives: a value, or the error text it raises.
struct Literal {
    std::optional<Moeda> valor;
    QString erro;
};

class Plano : public ComBancoGerado {
protected:
    static void SetUpTestSuite() {
        ComBancoGerado::SetUpTestSuite();
        QStringList comandos;
        for (const char* sql : Bordas)
            comandos << QString::fromUtf8(sql);
        teste::executaComoDono(demo_->bancoAtual, comandos);
    }
    void SetUp() override {
        // The program's own user: it may only read the accounting tables.
        conexao.Params = TCRSQLConnection::parametrosPadrao();
        conexao.setParam("Database", demo_->bancoAtual);
        defineFigurasLiterais(false);
    }

    static Literal literal(TCRSQLConnection& c, const Caso& caso) {
        try {
            return {ConsultaValor(c, caso.literal()), {}};
        } catch (const Erro& e) {
            return {std::nullopt, e.texto()};
        }
    }

    // Asks every case of a plan, resolves and compares each figure with its literal
    // value (`esperados`, or read now).
    void confere(const std::vector<Caso>& casos, PlanoDeFiguras& plano,
                 std::vector<Moeda> esperados = {}) {
        for (size_t i = esperados.size(); i < casos.size(); ++i) {
            const Literal l = literal(conexao, casos[i]);
            ASSERT_TRUE(l.valor) << l.erro.toStdString();
            esperados.push_back(*l.valor);
        }
        std::vector<PlanoDeFiguras::Figura> figuras;
        for (const Caso& c : casos)
            figuras.push_back(plano.pede(c.forma, c.w, c.meses));
        plano.resolve();
        for (size_t i = 0; i < casos.size(); ++i)
            EXPECT_EQ(plano.valor(figuras[i]).texto(4).toStdString(),
                      esperados[i].texto(4).toStdString())
                << casos[i].literal().toStdString();
    }

    static const demo::Demonstracao& demo() { return *demo_; }
    TCRSQLConnection conexao;
};

// Random line conditions over the columns the annexes read, in the forms their
// stored conditions take (and some they must refuse).
class Sorteio {
public:
    explicit Sorteio(uint32_t semente) : g_(semente) {}

    int ate(int n) { return std::uniform_int_distribution<int>(0, n - 1)(g_); }
    template <typename T> const T& um(const std::vector<T>& v) {
        return v[static_cast<size_t>(ate(static_cast<int>(v.size())))];
    }

    struct Coluna {
        QString nome;
        std::vector<QString> valores; // as SQL literals
        bool texto = true;
    };

    QString atomo(const std::vector<Coluna>& colunas) {
        const Coluna& c = um(colunas);
        const QString v = um(c.valores);
        const QString sem = c.texto ? v.mid(1, v.size() - 2) : v;
        switch (ate(c.texto ? 12 : 6)) {
        case 0:
            return c.nome + " is null";
        case 1:
            return c.nome + " is not null";
        case 2:
            return c.nome + " = " + v;
        case 3:
            return c.nome + " <> " + v;
        case 4:
            return c.nome + " in (" + v + ", " + um(c.valores) + ")";
        case 5:
            return c.nome + (c.texto ? " >= " : " > ") + v;
        case 6:
            return c.nome + " like '" + sem + "%'";
        case 7:
            return c.nome + " not like '" + sem + "%'";
        case 8:
            return c.nome + " starting with " + v;
        case 9:
            return "substring(" + c.nome + " from 1 for " + QString::number(sem.size()) + ") in (" +
                   v + ")";
        case 10:
            return "upper(" + c.nome + ") like '" + sem.toUpper() + "_%'";
        default:
            return c.nome + " like '" + sem + "_'";
        }
    }

    // A condition: atoms joined by AND, OR inside parentheses, NOT; now and then
    // an OR outside every parenthesis, or a text the database refuses.
    QString condicao(const std::vector<Coluna>& colunas, const QStringList& recusadas) {
        const int tipo = ate(20);
        if (tipo == 0)
            return um(std::vector<QString>(recusadas.begin(), recusadas.end()));
        if (tipo == 1)
            return atomo(colunas) + " or " + atomo(colunas);
        QStringList termos;
        for (int n = 1 + ate(3); n > 0; --n) {
            switch (ate(4)) {
            case 0:
                termos << "(" + atomo(colunas) + " or " + atomo(colunas) + ")";
                break;
            case 1:
                termos << "not (" + atomo(colunas) + ")";
                break;
            default:
                termos << atomo(colunas);
            }
        }
        const QString w = termos.join(ate(2) ? " and " : " AND ");
        return ate(4) == 0 ? "(" + w + ")" : w;
    }

    // Months as `forma` writes them: a run, a run from January, or one month.
    Meses meses(const FormaDaSoma& forma) {
        if (forma.data.isEmpty())
            return {};
        const QString t = forma.texto("1=1", {17, 19});
        const Meses m = meses();
        if (!t.contains("17"))
            return {1, m.ate};
        if (!t.contains("19"))
            return {m.de, m.de};
        return m;
    }

    Meses meses() {
        switch (ate(3)) {
        case 0: {
            const int m = 1 + ate(12);
            return {m, m};
        }
        case 1:
            return {1, 1 + ate(12)};
        default: {
            const int de = 1 + ate(12);
            return {de, de + ate(13 - de)};
        }
        }
    }

private:
    std::mt19937 g_;
};

std::vector<QString> textos(std::initializer_list<const char*> v) {
    std::vector<QString> r;
    for (const char* s : v)
        r.push_back(QLatin1Char('\'') + QString::fromUtf8(s) + QLatin1Char('\''));
    return r;
}

// The columns of the revenue items, as each statement can name them.
std::vector<Sorteio::Coluna> colunasDaReceita(const QString& item, const QString& entidade) {
    const auto c = [&](const QString& nome) { return item.isEmpty() ? nome : item + "." + nome; };
    std::vector<Sorteio::Coluna> r = {
        {c("codre"), textos({"1", "11", "1112.02", "1112.0", "1112.02 ", "17", "1210.29", "2", "9",
                             "97", "95", "5"})},
        {c("tipo"), textos({"RD", "rd", "RD ", "PR", "CS", "FU", "TI", "RP", "OD", "CF"})},
        {c("extra"), textos({"N", "S"})},
        {c("empresa"), {"1", "3", "4", "5"}, false},
        {c("vincodigo"), {"1", "40", "60"}, false},
    };
    if (!entidade.isEmpty()) {
        r.push_back({entidade + ".adm", textos({"D", "I"})});
        r.push_back({entidade + ".tipo", textos({"1", "2", "5", "6"})});
    }
    return r;
}

std::vector<Sorteio::Coluna> colunasDaDespesa() {
    return {
        {"catec",
         textos({"3", "3.1", "3.1.__.11", "3.1.90.11 ", "3.3.90", "4", "4.4", "4.6", "9", "9.9"})},
        {"tipo", textos({"RD", "rd", "PR", "DJ", "FM"})},
        {"funcao", textos({"04", "09", "10", "12"})},
        {"subfuncao", textos({"122", "301"})},
        {"balco", textos({"3211", "32111"})},
        {"tpem", textos({"RD", "RD ", "ES", "GL"})},
        {"elemento", textos({"11", "91"})},
        {"categoria", textos({"3", "4"})},
        {"vincodigo", {"1", "20", "40"}, false},
    };
}

// The columns of commitments joined to their items (`d` and `f`), each qualified.
std::vector<Sorteio::Coluna> colunasDaDespesaComFicha() {
    return {
        {"f.catec", textos({"3", "3.1", "3.1.90.11 ", "3.3.90", "4", "4.4"})},
        {"f.tipo", textos({"RD", "rd", "PR", "DJ"})},
        {"f.funcao", textos({"04", "09", "10", "12"})},
        {"f.extra", textos({"N", "S"})},
        {"f.vincodigo", {"1", "20", "40"}, false},
        {"d.catec", textos({"3", "3.1.90.11 ", "4"})},
        {"d.tpem", textos({"RD", "RD ", "ES", "GL"})},
        {"d.elemento", textos({"11", "91"})},
        {"d.vadem", {"100", "5000"}, false}, // a postings column of the liquidations' statements
    };
}

// The items of the personnel expenditure by month, bare and qualified as its
// statements name them (`H`: the commitments, or the payments view).
std::vector<Sorteio::Coluna> colunasDoPessoal() {
    return {
        {"DESDIS.BALCO", textos({"3236", "32361", "3211", "3"})},
        {"DESDIS.CATEC", textos({"3.1", "3.1.90.11 ", "3.1.90.13", "3.3.90", "4"})},
        {"balco", textos({"3236", "3"})},
        {"funcao", textos({"04", "10", "12"})},
        {"DESDIS.EMPRESA", {"1", "2", "3"}, false},
        {"H.TPEM", textos({"RD", "ES", "GL"})}, // a commitments column; none of the view
        {"H.VAPAG", {"0", "100"}, false},       // a postings column of the payments
        {"catec", textos({"3.1"})},             // in both tables: ambiguous
    };
}

// The journal, the cash movements with their accounts, and the carried-over
// commitments with their items (left joins: an unmatched row counts).
std::vector<Sorteio::Coluna> colunasDaGestao() {
    return {
        {"BALCO", textos({"3211", "32111", "3411", "34110", "3", "8888"})},
        {"IE", {"1", "2", "4"}, false},
        {"CREDI", {"0", "1000"}, false},
        {"DESCON.BALCO", textos({"3111", "31110", "3112", "3121", "3114"})},
        {"DESCON.TIPO", textos({"PR", "CS", "RD"})},
        {"ORDCAI.CONTA", {"1", "3", "7"}, false},
        {"DESDIS.BALCO", textos({"3211", "32111", "32112"})},
        {"DESDIS.FICHA", {"9101", "1"}, false},
        {"DESPES.TPEM", textos({"RD", "ES", "GL"})},
    };
}

// A family of statements and the conditions drawn for them.
struct Familia {
    std::function<std::vector<FormaDaSoma>(const QString& w)> formas;
    std::vector<Sorteio::Coluna> colunas;
    QStringList recusadas;
};

std::vector<Familia> familias() {
    const QString reserva = QLatin1Char(' ') + FiltroReservaEmpenho(QStringLiteral("D"));
    const QStringList recusadas = {"codre like", "nocolumn = 1", "(codre like '1%'",
                                   "codre like '1%' and", "tipo = 1 = 2"};
    auto receita = colunasDaReceita({}, {});
    receita.push_back({"receit.varec", {"10", "1000"}, false}); // a postings column
    auto doAnexo3 = colunasDaReceita("f", "t");
    doAnexo3.push_back({"r.varec", {"10", "1000"}, false});
    doAnexo3.push_back({"codre", textos({"1", "12", "1724"})});
    auto doRecdis = colunasDaReceita("RECDIS", {});
    doRecdis.push_back({"receit.varec", {"10", "1000"}, false});
    auto daFicha = colunasDaReceita("f", {});
    daFicha.push_back({"r.varec", {"10", "1000"}, false});
    const std::vector<Sorteio::Coluna> contas = {
        {"c.balco", textos({"3111", "31110", "3112", "3121"})},
        {"c.tipo", textos({"PR", "CS", "RD"})},
        {"c.vincodigo", {"1", "40"}, false},
        {"c.conta", {"1", "3", "7"}, false},
        {"o.credi", {"0", "1000"}, false}, // a postings column
    };
    const auto despesaComFicha = [reserva](const QString&) {
        return std::vector<FormaDaSoma>{anexo4::liquidadoDaFichaNoBimestre(reserva),
                                        anexo4::empenhadoDaFichaNoBimestre(reserva),
                                        anexo4::liquidadoDaFichaNoBimestre(QStringLiteral(" ")),
                                        anexo4::pagoOrcamentario(),
                                        anexo4::pagoExtraOrcamentario(),
                                        anexo4::alteracaoDaDotacaoDaFicha(),
                                        anexo5::alteracaoDaDotacao()};
    };
    return {
        {[](const QString&) {
             return std::vector<FormaDaSoma>{atualizacaoDaPrevisao(QLatin1Char('>')),
                                             atualizacaoDaPrevisao(QLatin1Char('<')),
                                             arrecadadoNoBimestre(), anexo4::recebidoOrcamentario(),
                                             anexo4::recebidoExtraOrcamentario()};
         },
         daFicha, recusadas},
        {despesaComFicha, colunasDaDespesaComFicha(), recusadas},
        {[reserva](const QString&) {
             return std::vector<FormaDaSoma>{
                 anexo5::liquidadoNoBimestre(reserva, QStringLiteral("bimestre")),
                 anexo5::liquidadoNoBimestre(QStringLiteral(" "), QStringLiteral("bimestre"))};
         },
         colunasDaDespesa(), recusadas},
        {[](const QString&) { return std::vector<FormaDaSoma>{anexo4::saldoDasContas()}; }, contas,
         recusadas},
        {[](const QString&) { return formasDaReceitaDoAnexo1(); }, receita, recusadas},
        {[](const QString&) { return formasDaDespesaDoAnexo1(QStringLiteral(" ")); },
         colunasDaDespesa(), recusadas},
        {[reserva](const QString&) { return formasDaDespesaDoAnexo1(reserva); }, colunasDaDespesa(),
         recusadas},
        {[](const QString&) {
             return std::vector<FormaDaSoma>{anexo10::empenhadoNoMes(true),
                                             anexo10::empenhadoNoMes(false),
                                             anexo10::pagoNoMes(true), anexo10::pagoNoMes(false)};
         },
         colunasDoPessoal(), recusadas},
        {[](const QString&) { return std::vector<FormaDaSoma>{anexo10::arrecadadoNoMes()}; },
         colunasDaReceita("RECDIS", {}), recusadas},
        {[](const QString&) {
             return std::vector<FormaDaSoma>{anexo5::privatizacoes(),
                                             anexo5::privatizacoesAnteriores()};
         },
         doRecdis, recusadas},
        {[](const QString&) {
             std::vector<FormaDaSoma> r = {
                 saldoDoDiario(), aberturaDoDiario(),
                 empenhosDeRestos(FiltroReservaEmpenho(QStringLiteral("DESPES")) + " AND "),
                 empenhosDeRestos({})};
             for (const SaldosDeCaixa& s : saldosDeCaixa())
                 r.insert(r.end(), {s.doAno, s.daAbertura});
             return r;
         },
         colunasDaGestao(), recusadas},
        {[](const QString& w) { return formasDoAnexo3(w); }, doAnexo3,
         QStringList(recusadas) << "tipo = 'RD'"
                                << "empresa = 1"},
    };
}

} // namespace

// Both ways of answering on the generated exercise: well over a thousand random
// conditions over every statement that reads postings through their items, each figure compared
// with its literal statement; a refused condition raises the literal error first in order.
TEST_F(Plano, MilCondicoesSorteadasDaoOQueOsComandosLiteraisDao) {
    Sorteio sorteio(404);
    const std::vector<Familia> fs = familias();
    std::vector<Caso> aceitos, recusados;
    std::vector<Moeda> valores;
    std::vector<QString> errosRecusados;
    for (int i = 0; i < 2400; ++i) {
        const Familia& f = fs[static_cast<size_t>(i) % fs.size()];
        const QString w = sorteio.condicao(f.colunas, f.recusadas);
        const std::vector<FormaDaSoma> formas = f.formas(w);
        for (int k = 0; k < 2; ++k) {
            const FormaDaSoma& forma =
                formas[static_cast<size_t>(sorteio.ate(static_cast<int>(formas.size())))];
            const Caso caso{forma, w, sorteio.meses(forma)};
            const Literal l = literal(conexao, caso);
            if (l.valor) {
                aceitos.push_back(caso);
                valores.push_back(*l.valor);
            } else {
                recusados.push_back(caso);
                errosRecusados.push_back(l.erro);
            }
        }
    }
    ASSERT_GT(aceitos.size(), 1000u);
    ASSERT_GT(recusados.size(), 50u);

    PlanoDeFiguras plano(conexao);
    confere(aceitos, plano, valores);
    // The figures were answered by passes: what falls back is the ORs outside parentheses.
    EXPECT_LT(plano.respondidasLiteralmente(), static_cast<int>(aceitos.size() / 5));
    // Alone in its plan a narrow condition reads only the postings of its own items.
    for (size_t i = 0; i < aceitos.size(); i += 16) {
        PlanoDeFiguras sozinho(conexao);
        confere({aceitos[i]}, sozinho, {valores[i]});
    }

    for (size_t r = 0; r + 1 < recusados.size() && r < 60; r += 2) {
        PlanoDeFiguras p(conexao);
        p.pede(aceitos[r].forma, aceitos[r].w, aceitos[r].meses);
        p.pede(recusados[r].forma, recusados[r].w, recusados[r].meses);
        p.pede(aceitos[r + 1].forma, aceitos[r + 1].w, aceitos[r + 1].meses);
        p.pede(recusados[r + 1].forma, recusados[r + 1].w, recusados[r + 1].meses);
        try {
            p.resolve();
            ADD_FAILURE() << "aceitou " << recusados[r].literal().toStdString();
        } catch (const Erro& e) {
            EXPECT_EQ(e.texto(), errosRecusados[r]);
        }
    }
}

// Nullable keys, dates and sums, a collation that ignores case and accents, CHAR
// and trailing blanks, a repeated item key: each way of answering (postings and
// items, items that are their own postings, grouped rows) gives the literal value.
TEST_F(Plano, NulosColacaoEBrancosNasTresFormas) {
    const auto forma = [](const QString& origem, const QString& fixa, std::optional<Etapas> e) {
        return FormaDaSoma{"sum(l.credi)-sum(l.debit)",
                           origem,
                           fixa,
                           "l.data",
                           [=](const QString& w, Meses m) {
                               QString t = "select sum(l.credi)-sum(l.debit) from " + origem +
                                           " where " + (fixa.isEmpty() ? "" : fixa + " and ") + w;
                               if (!m.vazio())
                                   t += QString(" and extract(month from l.data) between %1 and %2")
                                            .arg(m.de)
                                            .arg(m.ate);
                               return t;
                           },
                           e};
    };
    const Lancamentos lanc{"PLANO_LANC", "FICHA", "DATA", {"CREDI", "DEBIT"}, {}};
    const std::vector<FormaDaSoma> formas = {
        forma("plano_lanc l, plano_item i", "l.ficha=i.ficha",
              Etapas{lanc, "plano_item i", "i.ficha", {}}),
        forma("plano_lanc l, plano_item i", "l.ficha=i.ficha", std::nullopt),
        forma("plano_lanc l", {},
              Etapas{lancamentos::dosItens("l.data", {"l.credi", "l.debit"}),
                     "plano_lanc l",
                     "l.ficha",
                     {}}),
    };
    const QStringList doItem = {"i.cod = 'AB'",
                                "i.cod like 'AB_'",
                                "i.cod_ci = 'ABC'",
                                "i.cod_ci like 'a%'",
                                "i.cod_ci starting 'Á'",
                                "i.letra = 'A'",
                                "i.letra like 'A_ _'",
                                "i.letra is null",
                                "i.cod is null",
                                "upper(i.cod) = 'AB'",
                                "1=1",
                                "i.cod <> 'AB'"};
    const QStringList doLancamento = {
        "l.credi > 15", "l.debit is null",    "l.data is null", "l.ficha is null",
        "1=1",          "l.credi is not null"};
    std::vector<Caso> casos;
    for (size_t f = 0; f < formas.size(); ++f)
        for (const QString& w : f == 2 ? doLancamento : doItem)
            for (const Meses m : {Meses{}, Meses{1, 1}, Meses{2, 2}, Meses{1, 12}, Meses{12, 12}})
                casos.push_back({formas[f], w, m});
    PlanoDeFiguras plano(conexao);
    confere(casos, plano);
    EXPECT_EQ(plano.respondidasLiteralmente(), 0);
}

// A condition that names a postings column, or holds an OR outside parentheses
// in a statement that adds conditions around it, is answered by its literal text,
// prepared once and run again for each month.
TEST_F(Plano, LiteraisPreparadosUmaVezPorTexto) {
    const FormaDaSoma realizado = formasDaReceitaDoAnexo1().back();
    std::vector<Caso> casos;
    for (int b = 1; b <= 6; ++b)
        casos.push_back({realizado, "codre like '11%' or codre like '2%'", {2 * b - 1, 2 * b}});
    PlanoDeFiguras plano(conexao);
    confere(casos, plano);
    EXPECT_EQ(plano.respondidasLiteralmente(), 6);
    EXPECT_EQ(plano.comandos(), 6);
    EXPECT_EQ(plano.preparados(), 1);

    // With the switch, every figure runs its literal text, one by one.
    defineFigurasLiterais(true);
    PlanoDeFiguras literal(conexao);
    confere({casos[0], {realizado, "codre like '1%'", {1, 2}}}, literal);
    EXPECT_EQ(literal.respondidasLiteralmente(), 2);
    defineFigurasLiterais(false);
}

// Passes of one run are read once for every plan on the same database, and only
// while the run's passes are installed.
TEST_F(Plano, PassagensDaExecucaoLidasUmaVezPorBanco) {
    const FormaDaSoma realizado = formasDaReceitaDoAnexo1().back();
    const std::vector<Caso> casos = {{realizado, "codre like '1%'", {1, 2}},
                                     {realizado, "codre like '2%'", {3, 4}}};
    {
        PassagensDaExecucao passagens;
        PassagensInstaladas instaladas(passagens);
        PlanoDeFiguras primeiro(conexao);
        confere(casos, primeiro);
        EXPECT_GT(primeiro.comandos(), 0);
        PlanoDeFiguras segundo(conexao);
        confere(casos, segundo);
        EXPECT_EQ(segundo.comandos(), 0);
        EXPECT_GE(passagens.reaproveitadas(), 2);

        // Another database reads its own.
        TCRSQLConnection anterior;
        anterior.Params = TCRSQLConnection::parametrosPadrao();
        anterior.setParam("Database", demo().bancoAnterior);
        PlanoDeFiguras outro(anterior);
        outro.pede(realizado, "codre like '1%'", {1, 2});
        outro.resolve();
        EXPECT_GT(outro.comandos(), 0);
    }
    PlanoDeFiguras depois(conexao);
    confere(casos, depois);
    EXPECT_GT(depois.comandos(), 0);
}

// A condition that selects few items reads the postings of those items alone
// (through the item's index); one that selects none reads none.
TEST_F(Plano, PoucosItensLeemSoSeusLancamentos) {
    const FormaDaSoma realizado = formasDaReceitaDoAnexo1().back();
    conexao.Open();
    fb::Transacao t = conexao.banco().inicia();
    fb::Cursor c = conexao.banco().abre(t, QStringLiteral("select count(*) from receit"));
    ASSERT_TRUE(c.proxima());
    const qint64 receitas = c.texto(0).toLongLong();

    PlanoDeFiguras estreito(conexao);
    confere({{realizado, "codre like '1325%'", {1, 12}}, {realizado, "codre = 'nada'", {1, 2}}},
            estreito);
    EXPECT_LT(estreito.linhas(), receitas / 4);

    PlanoDeFiguras largo(conexao);
    confere({{realizado, "codre like '1%'", {1, 12}}}, largo);
    EXPECT_GT(largo.linhas(), estreito.linhas());
}

// The reserve filter is answered by the plan (its keys read once) wherever it is
// a top-level AND term, also alone or last; elsewhere the database evaluates it.
TEST(Reserva, SoComoTermoDoEDeFora) {
    QString filtro = FiltroReservaEmpenho(QStringLiteral("D"));
    filtro.chop(5); // its trailing " AND "
    const std::pair<QString, std::optional<QString>> casos[] = {
        {filtro, QString()},
        {filtro + " AND d.vadem > 0", " d.vadem > 0"},
        {"d.vadem > 0 AND " + filtro, "d.vadem > 0"},
        {"d.vadem > 0 AND " + filtro + " AND (d.ficha = 1)", "d.vadem > 0 AND  (d.ficha = 1)"},
        {"d.vadem > 0 OR " + filtro, std::nullopt},
        {"NOT (d.vadem > 0 AND " + filtro + ")", std::nullopt},
        {filtro + " OR d.vadem > 0", std::nullopt},
        {filtro + " AND " + filtro, std::nullopt},
    };
    for (const auto& [fixa, sem] : casos) {
        const std::optional<plano::Reserva> r = plano::achaReserva(fixa);
        ASSERT_EQ(r.has_value(), sem.has_value()) << fixa.toStdString();
        if (r) {
            EXPECT_EQ(r->apelido, "D");
            EXPECT_EQ(r->semReserva, *sem) << fixa.toStdString();
        }
    }
}
