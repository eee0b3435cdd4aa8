#include "annexes/anexo6/anexo6.h"

#include "annexes/anexo6/planilha_anexo6.h"
#include "annexes/common/aguarde.h"
#include "annexes/common/estrada_anexo.h"
#include "annexes/common/lancador.h"
#include "core/erro.h"
#include "core/globais.h"
#include "db/consultas.h"
#include "db/modulodados.h"
#include "entry/preparacoes.h"
#include "report/carregador.h"
#include "report/modelo.h"
#include "workbook/planilha.h"

#include <QPushButton>
#include <QScopeGuard>

namespace nq {

namespace {

constexpr int Passos = 8;
// The transaction of the two statements, apart from the module's one write (1).
constexpr int RestosAPagar = 6;

// The destination-of-resources table answers for the latest STN_ANX06_440 call
// made on the same connection.
const QString PorDestinacao = QStringLiteral(
    "SELECT GRP,NOME,(RP_ANT) RP_ANT,(RP_EXER) RP_EXER, (NP_EXER) NP_EXER, (DIS_FIN) DIS_FIN, "
    "(N_INSCR) N_INSCR FROM STN_ANX06_440_VINC");

void abre(SQLClientDataSet& tabela, const QString& sql) {
    tabela.close();
    tabela.setCommandText(sql);
    tabela.open();
}

} // namespace

TImpAnexo6::TImpAnexo6(QWidget* dono)
    : QWidget(dono), cdsRestos(QStringLiteral("cdsRestos"), &dm().Conexao),
      cdsRestos_Vinc(QStringLiteral("cdsRestos_Vinc"), &dm().Conexao),
      relatorio1_(carregaLayout(QStringLiteral(":/anexo6/relatorio1.json"))) {
    BtnImprimir = criaBotaoImprimir(*this, QStringLiteral("ImpAnexo6"));
    connect(BtnImprimir, &QPushButton::clicked, this, &TImpAnexo6::BtnImprimirClick);
    relatorio1_->ligaTabela(QStringLiteral("ppDBPipeline2"), cdsRestos);
    relatorio1_->ligaTabela(QStringLiteral("ppDBPipeline3"), cdsRestos_Vinc);
}

TImpAnexo6::~TImpAnexo6() = default;

QString TImpAnexo6::tipoDePoder() {
    ClientDataSet& q = dm().qrAtualiza;
    q.close();
    q.setCommandText(QStringLiteral(
        "SELECT NOME FROM TABPODER WHERE PODER='01' AND UPPER(NOME) LIKE '%LEGIS%'"));
    q.open();
    const bool legislativo = !q.isEmpty();
    q.close();
    return legislativo ? QStringLiteral("P") : QStringLiteral("O");
}

void TImpAnexo6::BtnImprimirClick() {
    const auto fecha = qScopeGuard([&] {
        cdsRestos.close();
        cdsRestos_Vinc.close();
    });
    {
        AguardeRelatorio aguarde(this, Passos);
        // The typed file prints nothing here; it is kept up to date for the data entry.
        PreparaAnexo6(diretorioDados(), dm().cdsAux2);
        aguarde.passo(2);
        calcula_restos(&aguarde);

        TppReport& r = *relatorio1_;
        r.exige<TppLabel>(QStringLiteral("CL2")).Caption = cliente_.nome;
        r.exige<TppLabel>(QStringLiteral("ppperiodo")).Caption =
            QString::number(lancador().bimestreSelecionado()) + QStringLiteral("º BIMESTRE DE ") +
            cliente_.exercicio;
        aguarde.passo(6);
        r.exige<TppSubReport>(QStringLiteral("ppSubReport2")).Visible =
            lancador().bimestreSelecionado() == 6;
        aguarde.passo(Passos);
    }
    relatorio1_->Print();

    if (EstradaDoAnexo::perguntaPlanilha(camaraSemAcento(cliente_.nome)) ==
        EstradaDoAnexo::Planilha::Exporta) {
        const std::unique_ptr<Planilha> planilha = lancador().novaPlanilha();
        exportaAnexo6(*planilha, lancador().caminhoPlanilha(), cdsRestos, cliente_.ano());
    }
}

void TImpAnexo6::calcula_restos(AguardeRelatorio* aguarde) {
    const auto passo = [aguarde](int n) {
        if (aguarde)
            aguarde->passo(n);
    };
    cliente_ = leCadastroDoCliente();
    const auto [inicio, fim] = diasDoBimestre(cliente_.ano(), lancador().bimestre());
    const QString poder = tipoDePoder();
    passo(3);
    // The procedure leaves the destination table in the attachment's temporary
    // rows, which a statement's own transaction would undo as it ends: both
    // statements share one transaction, undone once their rows are read.
    TCRSQLConnection& conexao = dm().Conexao;
    const TTransactionDesc transacao{RestosAPagar, 0};
    conexao.StartTransaction(transacao);
    const auto desfaz = qScopeGuard([&] {
        try {
            conexao.Rollback(transacao);
        } catch (const Erro&) {
            // Nothing was written: a failed rollback leaves nothing behind.
        }
    });
    abre(cdsRestos, QStringLiteral("SELECT * FROM STN_ANX06_440('") + poder +
                        QStringLiteral("','") + dataSql(inicio) + QStringLiteral("','") +
                        dataSql(fim) + QStringLiteral("')"));
    passo(4);
    abre(cdsRestos_Vinc, PorDestinacao);
    passo(5);
}

} // namespace nq
