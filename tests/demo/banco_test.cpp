#include "apoio/banco_gerado.h"
#include "core/erro.h"
#include "db/firebird.h"
#include "demo/demo.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <map>
#include <memory>

using namespace nq;
using namespace nq::demo;

namespace {

class BancoDeDemonstracao : public ComBancoGerado {
protected:
    void SetUp() override {
        fb::ParametrosConexao p;
        p.usuario = QStringLiteral("QTWVEXO8");
        p.senha = QStringLiteral("mavu");
        p.conjuntoCaracteres = QStringLiteral("WIN1252");
        banco_ = fb::Banco::conecta(demo_->bancoAtual, p);
        t_ = std::make_unique<fb::Transacao>(
            banco_->inicia({fb::Isolamento::LeituraConfirmada, true, true}));
    }
    void TearDown() override {
        t_.reset();
        banco_.reset();
    }
    Moeda soma(const QString& sql) {
        fb::Cursor c = banco_->abre(*t_, sql);
        return c.proxima() ? c.moeda(0) : Moeda();
    }
    int64_t conta(const QString& sql) {
        fb::Cursor c = banco_->abre(*t_, sql);
        return c.proxima() ? c.inteiro(0) : 0;
    }
    static Moeda emMoeda(int64_t centavos) { return Moeda::deDezMilesimos(centavos * 100); }
    const Exercicio& atual() const { return demo_->exercicios.atual; }

    std::unique_ptr<fb::Banco> banco_;
    std::unique_ptr<fb::Transacao> t_;
};

} // namespace

TEST_F(BancoDeDemonstracao, ArvoreEIniApontamParaOsDoisExercicios) {
    EXPECT_TRUE(demo_->raiz.endsWith(QStringLiteral("/VEXO_8/")));
    EXPECT_TRUE(QFile::exists(demo_->raiz + QStringLiteral("ARQ2008/VEXO2008.FDB")));
    EXPECT_TRUE(QFile::exists(demo_->raiz + QStringLiteral("ARQ2007/VEXO2007.FDB")));
    QFile ini(demo_->ini);
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    const QString texto = QString::fromUtf8(ini.readAll());
    EXPECT_TRUE(texto.contains(QStringLiteral("[VEXO]\nAno=2008\n")));
    EXPECT_TRUE(texto.contains(QStringLiteral("Caminho_Base_Dados=") + demo_->raiz + '\n'));
    EXPECT_TRUE(texto.contains(QStringLiteral("\nDLL=\n")));
    EXPECT_TRUE(texto.contains(QStringLiteral("\nServidor=\n")));
}

TEST_F(BancoDeDemonstracao, NaoSobrescreveSemPedido) {
    OpcoesDemo o;
    o.destino = tmp_->path() + "/banco";
    o.tamanho = Tamanho::Teste;
    const auto antes = QFileInfo(demo_->bancoAtual).lastModified();
    EXPECT_THROW(criaDemo(o), Erro);
    EXPECT_EQ(QFileInfo(demo_->bancoAtual).lastModified(), antes);
}

TEST_F(BancoDeDemonstracao, TotaisDoBancoSaoOsDoPlano) {
    int64_t receita = 0, empenhado = 0, liquidado = 0, pago = 0;
    for (const auto& r : atual().receitas)
        receita += r.valor;
    for (const auto& x : atual().empenhos)
        empenhado += x.valor;
    for (const auto& x : atual().liquidacoes)
        liquidado += x.valor;
    for (const auto& x : atual().pagamentos)
        pago += x.valor;
    EXPECT_EQ(soma(QStringLiteral("SELECT SUM(VAREC) FROM RECEIT")), emMoeda(receita));
    EXPECT_EQ(soma(QStringLiteral("SELECT SUM(VADEM) FROM DESPES")), emMoeda(empenhado));
    EXPECT_EQ(soma(QStringLiteral("SELECT SUM(VADEM) FROM VIEWLIQ")), emMoeda(liquidado));
    EXPECT_EQ(soma(QStringLiteral("SELECT SUM(VAPAG) FROM VIEWVAPAG")), emMoeda(pago));
    EXPECT_EQ(conta(QStringLiteral("SELECT COUNT(*) FROM RECEIT")),
              static_cast<int64_t>(atual().receitas.size()));
}

TEST_F(BancoDeDemonstracao, NenhumaLiquidacaoOuPagamentoAlemDoEmpenho) {
    // Per commitment, net of annulments, as the reports' views see it.
    EXPECT_EQ(conta(QStringLiteral(
                  "SELECT COUNT(*) FROM NQ404_ANEXO6 A WHERE A.VATON > A.VADEM - A.ANULA")),
              0);
    EXPECT_EQ(conta(QStringLiteral(
                  "SELECT COUNT(*) FROM DESPES E INNER JOIN DESDIS F ON F.FICHA = E.FICHA "
                  "WHERE E.VADEM > 0 AND F.EXTRA = 'N' AND "
                  "(SELECT COALESCE(SUM(VAPAG), 0) FROM VIEWVAPAG V WHERE V.PKEMP = E.PKEMP) > "
                  "(SELECT COALESCE(SUM(VADEM), 0) FROM VIEWLIQ L WHERE L.PKEMP = E.PKEMP)")),
              0);
    EXPECT_EQ(conta(QStringLiteral("SELECT COUNT(*) FROM RECEIT R WHERE NOT EXISTS "
                                   "(SELECT 1 FROM RECDIS F WHERE F.FICHA = R.FICHA)")),
              0);
    EXPECT_EQ(conta(QStringLiteral("SELECT COUNT(*) FROM CALCULA_APAGAR('31.12.2008') "
                                   "WHERE PROCESSADO < 0 OR NPROCESSADO < 0")),
              0);
}

TEST_F(BancoDeDemonstracao, TextosAcentuadosGravadosEmWin1252) {
    fb::Cursor c = banco_->abre(*t_, QStringLiteral("SELECT CLNT1, CID, MEXER FROM CADCLI"));
    ASSERT_TRUE(c.proxima());
    EXPECT_EQ(c.texto(0), QStringLiteral("Prefeitura Municipal de São Bento da Serra"));
    EXPECT_EQ(c.texto(1), QStringLiteral("São Bento da Serra"));
    EXPECT_EQ(c.texto(2), QStringLiteral("2008"));
    EXPECT_EQ(conta(QStringLiteral("SELECT OCTET_LENGTH(NOME) FROM TABEMPRESA WHERE EMPRESA = 2")),
              QStringLiteral("Câmara Municipal de São Bento da Serra").size());
    EXPECT_EQ(conta(QStringLiteral("SELECT COUNT(*) FROM TABPODER WHERE PODER='01' AND "
                                   "UPPER(NOME) LIKE '%LEGIS%'")),
              1);
    EXPECT_EQ(conta(QStringLiteral("SELECT COUNT(*) FROM PARAMEDU")), 1);
}

// Every prefix and marker that a report line selects finds figures.
TEST_F(BancoDeDemonstracao, CadaLinhaDosRelatoriosTemDados) {
    const QStringList receitas = {
        "codre like '1112.02%'",
        "codre like '1112.04%'",
        "codre like '1112.08%'",
        "codre like '1113.05%'",
        "codre like '112%'",
        "codre like '113%'",
        "(codre like '111%' and substring(codre from 1 for 7) not in "
        "('1112.02','1112.04','1113.05','1112.08'))",
        "codre like '1210.29.01%'",
        "codre like '1210.29.07%'",
        "codre like '1210.29.09%'",
        "codre like '1210.29.11%'",
        "codre like '1210.29.12%'",
        "codre like '1210.46%'",
        "codre like '1325%'",
        "codre like '14%'",
        "codre like '15%'",
        "codre like '16%'",
        "(codre like '171%' and tipo='TI')",
        "(codre like '1724%' and tipo='FU')",
        "codre like '19%'",
        "codre like '97%'",
        "codre like '95%'",
        "(codre like '21%' AND RECDIS.TIPO='RD')",
        "(codre like '21%' AND (RECDIS.TIPO<>'RD' OR RECDIS.TIPO IS NULL))",
        "codre like '22%'",
        "codre like '23%'",
        "codre like '24%'",
        "codre like '25%'",
        "(codre like '13%' and tipo='PR')",
        "(codre like '22%' and tipo='PR')",
        "(codre like '12%' and tipo='CS')",
        "tipo='RP'",
        "tipo='OD'",
        "tipo='PV'",
        "(codre like '12%' and tipo='CF')",
        "(balco like '3236%')"};
    for (const QString& w : receitas)
        EXPECT_NE(
            soma("select sum(receit.varec) from receit, recdis where receit.ficha=recdis.ficha "
                 "and " +
                 w +
                 " and extract(month from receit.dtlan)>=5 and "
                 "extract(month from receit.dtlan)<=6"),
            Moeda())
            << w.toStdString();
    EXPECT_NE(soma(QStringLiteral("select sum(varec) from receit r left join recdis f on "
                                  "f.ficha=r.ficha where (f.extra='S') and (f.TIPO='PR')")),
              Moeda());
    EXPECT_NE(soma(QStringLiteral("select sum(valor) from recalp where valor > 0")), Moeda());
    EXPECT_NE(soma(QStringLiteral("select sum(valor) from recalp where valor < 0")), Moeda());

    const QStringList despesas = {"catec like '3.1%'",
                                  "catec like '3.2%'",
                                  "catec like '3.3%'",
                                  "catec like '4.4%'",
                                  "catec like '4.5.__.66%'",
                                  "catec like '4.5.__.64%'",
                                  "(catec like '4.6%' and tipo='RD')",
                                  "(catec like '4.6%' and (tipo<>'RD' or tipo is null))",
                                  "catec like '3.1.__.01%'",
                                  "catec like '3.1.__.03%'",
                                  "catec like '3.1.__.05%'",
                                  "catec like '3.1.__.09%'",
                                  "catec like '3.1.__.11%'",
                                  "catec like '3.1.__.13%'",
                                  "catec like '3.1.__.34%'",
                                  "(catec like '3.1.__.91%' and tipo='DJ')",
                                  "(catec like '3.1.__.94%' and tipo='ID')",
                                  "(catec like '3.1.__.94%' and tipo='DV')"};
    for (const QString& w : despesas)
        EXPECT_NE(soma("select sum(d.vadem) from despes d where " + w), Moeda()) << w.toStdString();
    EXPECT_NE(soma(QStringLiteral("select sum(dotac) from desdis where catec like '9%'")), Moeda());
    EXPECT_NE(
        soma(QStringLiteral("SELECT SUM(VADEM) FROM DESPES H INNER JOIN DESDIS ON "
                            "DESDIS.FICHA=H.FICHA WHERE UPPER(CAST(SUBSTRING(PRODU FROM 1 FOR "
                            "250) AS VARCHAR(250))) LIKE '%PASEP%' AND H.ELEMENTO=47")),
        Moeda());
    EXPECT_NE(soma(QStringLiteral("SELECT SUM(VIEWLIQ.VADEM) FROM VIEWLIQ INNER JOIN DESPES ON "
                                  "DESPES.PKEMP=VIEWLIQ.PKEMP WHERE DESPES.TIPO IN ('IC', 'IF') "
                                  "AND (DESPES.CATEC LIKE '4.4.50%' OR DESPES.CATEC LIKE '4.4.60%' "
                                  "OR DESPES.CATEC LIKE '4.5.50%')")),
              Moeda());
    for (int ie = 1; ie <= 4; ++ie)
        EXPECT_NE(soma(QStringLiteral("select sum(valor) from desald where ie=%1").arg(ie)),
                  Moeda())
            << ie;
    EXPECT_GT(conta(QStringLiteral("SELECT COUNT(*) FROM DESPES WHERE TPEM='RD'")), 0);
    EXPECT_GT(conta(QStringLiteral("SELECT COUNT(*) FROM DESPES D WHERE D.VADEM > 0 AND D.PKEMPA "
                                   "IN (SELECT PKEMP FROM DESPES WHERE DESPES.TPEM='RD')")),
              0);
    for (const char* balco :
         {"313", "3211", "3241", "341", "3421", "3422", "3822", "3833", "3841", "8888"})
        EXPECT_NE(soma(QStringLiteral("SELECT SUM(CREDI) + SUM(DEBIT) FROM CONDIA WHERE BALCO "
                                      "LIKE '%1%'")
                           .arg(QLatin1String(balco))),
                  Moeda())
            << balco;
    for (const char* balco : {"31110", "3112", "3113", "3114", "3115", "3121"})
        EXPECT_NE(soma(QStringLiteral("SELECT SUM(ORDCAI.CREDI)-SUM(ORDCAI.DEBIT) FROM ORDCAI LEFT "
                                      "JOIN DESCON ON DESCON.CONTA=ORDCAI.CONTA WHERE "
                                      "EXTRACT(MONTH FROM ORDCAI.DTLAN)=1 AND EXTRACT(DAY FROM "
                                      "ORDCAI.DTLAN)=1 AND DESCON.BALCO LIKE '%1%'")
                           .arg(QLatin1String(balco))),
                  Moeda())
            << balco;
}

TEST_F(BancoDeDemonstracao, ProcedimentosDosRestosAPagar) {
    // What CALCULA_APAGAR gives, from the plan: at the end of the year and
    // at a date with annulments, liquidations and payments still to come.
    for (const QDate dia : {QDate(2008, 12, 31), QDate(2008, 8, 31)}) {
        struct Saldo {
            int64_t empenhado = 0, anulado = 0, liquidado = 0, pago = 0;
        };
        std::map<int, Saldo> porEmpenho;
        for (const auto& em : atual().empenhos)
            if (em.valor > 0 && em.tpem != QLatin1String("RD") && em.data <= dia)
                porEmpenho[em.pkemp].empenhado = em.valor;
        const auto doEmpenho = [&](int pkemp) {
            const auto it = porEmpenho.find(pkemp);
            return it == porEmpenho.end() ? nullptr : &it->second;
        };
        for (const auto& em : atual().empenhos)
            if (Saldo* s = doEmpenho(em.pkempa); s && em.valor < 0 && em.data <= dia)
                s->anulado -= em.valor;
        for (const auto& l : atual().liquidacoes)
            if (Saldo* s = doEmpenho(l.pkemp); s && l.data <= dia)
                s->liquidado += l.valor;
        for (const auto& p : atual().pagamentos)
            if (Saldo* s = doEmpenho(p.pkemp); s && p.data <= dia)
                s->pago += p.valor;
        int64_t linhas = 0, aPagar = 0, processado = 0;
        for (const auto& [k, s] : porEmpenho) {
            const int64_t resta = s.empenhado - s.anulado - s.pago;
            if (resta == 0)
                continue;
            ++linhas;
            aPagar += resta;
            processado += s.liquidado - s.pago;
        }
        const QString de = QStringLiteral(" FROM CALCULA_APAGAR('") +
                           dia.toString(QStringLiteral("dd.MM.yyyy")) + QStringLiteral("')");
        EXPECT_EQ(conta(QStringLiteral("SELECT COUNT(*)") + de), linhas)
            << dia.toString().toStdString();
        EXPECT_EQ(soma(QStringLiteral("SELECT SUM(APAGAR)") + de), emMoeda(aPagar));
        EXPECT_EQ(soma(QStringLiteral("SELECT SUM(PROCESSADO)") + de), emMoeda(processado));
        EXPECT_EQ(soma(QStringLiteral("SELECT SUM(NPROCESSADO)") + de),
                  emMoeda(aPagar - processado));
    }

    fb::Cursor c = banco_->abre(
        *t_, QStringLiteral("SELECT * FROM STN_ANX06_440('P','01.11.2008','31.12.2008')"));
    QStringList adm;
    Moeda pagos, inscritos;
    while (c.proxima()) {
        adm << c.texto(c.indiceObrigatorio(QStringLiteral("ADM")));
        if (adm.last() == QLatin1String("D") || adm.last() == QLatin1String("I")) {
            pagos += c.moeda(c.indiceObrigatorio(QStringLiteral("RP_PAGO_ACU")));
            inscritos += c.moeda(c.indiceObrigatorio(QStringLiteral("RP_EXER")));
        }
    }
    EXPECT_EQ(adm, QStringList({"D", "D01", "D02", "I", "I", "I", "I"}));
    EXPECT_NE(inscritos, Moeda());
    EXPECT_EQ(pagos, soma(QStringLiteral("SELECT SUM(V.VAPAG) FROM VIEWVAPAG V INNER JOIN DESDIS F "
                                         "ON F.FICHA = V.FICHA WHERE F.BALCO LIKE '3211%'")));
    EXPECT_GT(conta(QStringLiteral("SELECT COUNT(*) FROM STN_ANX06_440_VINC")), 0);

    fb::Cursor semLegislativo = banco_->abre(
        *t_, QStringLiteral("SELECT ADM FROM STN_ANX06_440('O','01.03.2008','30.04.2008')"));
    QStringList adm2;
    while (semLegislativo.proxima())
        adm2 << semLegislativo.texto(0);
    EXPECT_EQ(adm2, QStringList({"D", "D02", "I", "I", "I", "I"}));
}

TEST(Demonstracao, SubstituiQuandoPedidoERecusaExercicioInvalido) {
    QTemporaryDir dir;
    OpcoesDemo o;
    o.destino = dir.path();
    o.tamanho = Tamanho::Teste;
    o.ini = dir.filePath(QStringLiteral("conf/Vexo.ini"));
    const Demonstracao primeira = criaDemo(o);
    EXPECT_TRUE(QFile::exists(o.ini));
    o.substituir = true;
    o.semente = 7;
    const Demonstracao segunda = criaDemo(o);
    EXPECT_EQ(segunda.bancoAtual, primeira.bancoAtual);
    EXPECT_FALSE(QFile::exists(segunda.bancoAtual + QStringLiteral(".gerando")));
    int64_t receita = 0;
    for (const auto& r : segunda.exercicios.atual.receitas)
        receita += r.valor;
    fb::ParametrosConexao p;
    p.usuario = QStringLiteral("SYSDBA");
    auto banco = fb::Banco::conecta(segunda.bancoAtual, p);
    fb::Transacao t = banco->inicia();
    fb::Cursor c = banco->abre(t, QStringLiteral("SELECT SUM(VAREC) FROM RECEIT"));
    ASSERT_TRUE(c.proxima());
    EXPECT_EQ(c.moeda(0), Moeda::deDezMilesimos(receita * 100));

    o.ano = 2002;
    EXPECT_THROW(criaDemo(o), Erro);
}
