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
