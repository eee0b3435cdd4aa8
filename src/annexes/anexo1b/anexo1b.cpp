#include "annexes/anexo1b/anexo1b.h"

#include "annexes/anexo1b/planilha_anexo1b.h"
#include "annexes/common/aguarde.h"
#include "annexes/common/cabecalho_anexo.h"
#include "annexes/common/lancador.h"
#include "annexes/common/somas_do_orcamento.h"
#include "core/erro.h"
#include "core/globais.h"
#include "db/modulodados.h"
#include "entry/preparacoes.h"
#include "report/carregador.h"
#include "report/modelo.h"
#include "workbook/planilha.h"

#include <QProgressBar>
#include <QPushButton>
#include <map>

namespace nq {

namespace {

const QString ArquivoReceita = QStringLiteral("NQ404_Anexo1B_Receita2.xml");
const QString ArquivoDespesa = QStringLiteral("NQ404_Anexo1B_Despesa2.xml");
const QString AdministracaoDireta = QStringLiteral("0100.00");
const QString Totais = QStringLiteral("00100");

// The direct administration: every budgetary item whose linkage is not of class "A".
const QString DiretaSemFim =
    QStringLiteral(" (F.EXTRA='N') AND ((V.CLASSE<>'A') or (V.CLASSE IS NULL))");

// W as the statements join it. The plan hands a condition back without its end
// blanks; every W of this annex begins with one, and all but the receipt
// condition of the direct administration end with one.
QString comBrancos(const QString& w, bool despesa) {
    const bool semFim = !despesa && w == DiretaSemFim.trimmed();
    return QLatin1Char(' ') + w + (semFim ? QString() : QStringLiteral(" "));
}

// The months of a bimester, as every statement of this annex ends.
QString doBimestre(const QString& data, Meses m) {
    return QStringLiteral(" and extract(month from ") + data + QStringLiteral(")>=") +
           mesSql(m.de) + QStringLiteral(" and extract(month from ") + data +
           QStringLiteral(")<=") + mesSql(m.ate);
}

// The items of the receipts with their linkage.
const QString Vinculacao = QStringLiteral(
    "RECDIS F  INNER JOIN VINCODIGO V ON V.VINGRUPO=F.VINGRUPO AND V.VINCODIGO=F.VINCODIGO");

// The statements of the annex, each with the line's condition W left open.
const FormaDaSoma& arrecadado() {
    static const QString origem = QStringLiteral(
        "RECEIT R  INNER JOIN RECDIS F ON F.FICHA=R.FICHA  INNER JOIN VINCODIGO V ON "
        "V.VINGRUPO=F.VINGRUPO AND V.VINCODIGO=F.VINCODIGO");
    static const FormaDaSoma f{
        QStringLiteral("sum(R.VAREC)"),
        origem,
        {},
        QStringLiteral("R.DTLAN"),
        [](const QString& w, Meses m) {
            return QStringLiteral("select sum(R.VAREC) as bimestre from ") + origem +
                   QStringLiteral(" WHERE ") + comBrancos(w, false) +
                   doBimestre(QStringLiteral("R.DTLAN"), m);
        },
        Etapas{lancamentos::receitas(), Vinculacao, QStringLiteral("F.FICHA"), {}}};
    return f;
}

// Commitments join the linkage on their own pair, not on their item's.
// `rf`: the launcher's reserve-commitment condition, ending in " AND " or a blank.
FormaDaSoma empenhado(const QString& rf) {
    static const QString origem =
        QStringLiteral("DESPES D INNER JOIN DESDIS F ON F.FICHA=D.FICHA INNER JOIN VINCODIGO V ON "
                       "V.VINGRUPO=D.VINGRUPO AND V.VINCODIGO=D.VINCODIGO");
    return {QStringLiteral("SUM(D.VADEM)"), origem, rf + QStringLiteral(" 1=1"),
            QStringLiteral("d.datae"),
            [=](const QString& w, Meses m) {
                return QStringLiteral("SELECT SUM(D.VADEM) AS BIMESTRE FROM ") + origem +
                       QStringLiteral("  WHERE ") + rf + comBrancos(w, true) +
                       doBimestre(QStringLiteral("d.datae"), m);
            },
            // Each commitment is its own posting.
            Etapas{lancamentos::dosItens(QStringLiteral("d.datae"), {QStringLiteral("D.VADEM")}),
                   origem, QStringLiteral("D.PKEMP"), rf + QStringLiteral(" 1=1")}};
}

FormaDaSoma liquidado(const QString& rf) {
    static const QString origem =
        QStringLiteral("viewliq L  INNER JOIN DESPES D ON D.PKEMP=L.PKEMP  INNER JOIN DESDIS F ON "
                       "F.FICHA=D.FICHA  INNER JOIN VINCODIGO V ON V.VINGRUPO=F.VINGRUPO AND "
                       "V.VINCODIGO=F.VINCODIGO");
    return {QStringLiteral("sum(L.vadem)"),
            origem,
            rf + QStringLiteral(" 1=1"),
            QStringLiteral("L.DATAE"),
            [=](const QString& w, Meses m) {
                return QStringLiteral("select sum(L.vadem) as empliqbimestre from ") + origem +
                       QStringLiteral(" WHERE ") + rf + comBrancos(w, true) +
                       doBimestre(QStringLiteral("L.DATAE"), m);
            },
            Etapas{lancamentos::liquidacoes(),
                   QStringLiteral("DESPES D INNER JOIN DESDIS F ON F.FICHA=D.FICHA  INNER JOIN ") +
                       QStringLiteral("VINCODIGO V ON V.VINGRUPO=F.VINGRUPO AND "
                                      "V.VINCODIGO=F.VINCODIGO"),
                   QStringLiteral("D.PKEMP"), rf + QStringLiteral(" 1=1")}};
}

// The whole budgetary revenue up to a month, the base of the percentage; W is
// "RECDIS.EXTRA='N'".
const FormaDaSoma& receitaOrcamentaria() {
    static const QString origem =
        QStringLiteral("RECEIT INNER JOIN RECDIS ON RECDIS.FICHA=RECEIT.FICHA");
    static const FormaDaSoma f{
        QStringLiteral("SUM(VAREC)"),
        origem,
        {},
        QStringLiteral("DTLAN"),
        [](const QString& w, Meses m) {
            return QStringLiteral("SELECT SUM(VAREC) VAREC FROM ") + origem +
                   QStringLiteral(" WHERE ") + w +
                   QStringLiteral(" AND EXTRACT(MONTH FROM DTLAN)<=") + mesSql(m.ate);
        },
        Etapas{
            lancamentos::receitas(), QStringLiteral("RECDIS"), QStringLiteral("RECDIS.FICHA"), {}}};
    return f;
}

// The database part of the value lines, per field of the "TOTAIS:" line.
class Totais1B {
public:
    explicit Totais1B(PlanoDeFiguras& plano) : plano_(plano) {}
    // The figure `forma` of the line `w` over `meses` also adds to `campo`.
    void conta(const QString& campo, const FormaDaSoma& forma, const QString& w, Meses meses) {
        parcelas_.emplace_back(campo, plano_.pede(forma, w, meses));
    }
    // Sets every field of `campos` (bimesters 1 to 6) on the "TOTAIS:" line of `t`.
    void grava(ClientDataSet& t, const QStringList& campos) const {
        std::map<QString, Moeda> soma;
        for (const auto& [campo, figura] : parcelas_)
            soma[campo] += plano_.valor(figura);
        vaiParaOsTotais(t);
        t.edit();
        for (const QString& campo : campos)
            for (int k = 1; k <= 6; ++k) {
                const QString nome = campoDoBimestre(campo, k);
                t.fieldByName(nome).setAsCurrency(soma[nome]);
            }
        t.post();
    }

private:
    // The title line "00100": a ninth entity is numbered "00100" too, as a value line.
    static void vaiParaOsTotais(ClientDataSet& t) {
        for (t.first(); !t.eof(); t.next())
            if (t.fieldByName(QStringLiteral("ID")).asString() == Totais &&
                t.fieldByName(QStringLiteral("TITULO")).asString() == QStringLiteral("TI"))
                return;
        throw Erro(QStringLiteral("A linha \"%1\" (TOTAIS:) não está no arquivo %2.")
                       .arg(Totais, t.fileName()));
    }

    PlanoDeFiguras& plano_;
    std::vector<std::pair<QString, PlanoDeFiguras::Figura>> parcelas_;
};

} // namespace

QString condicaoDaLinha(const QString& chave, bool despesa) {
    if (chave == AdministracaoDireta)
        return despesa ? DiretaSemFim + QLatin1Char(' ') : DiretaSemFim;
    bool ok = false;
    const int entidade = chave.trimmed().toInt(&ok, 10);
    if (!ok)
        throw Erro(QStringLiteral("A linha de chave \"%1\" do anexo 1B não é a administração "
                                  "direta nem o número de uma entidade.")
                       .arg(chave));
    return QStringLiteral(" (F.EXTRA='N') AND (V.EMPRESA=") + QString::number(entidade) +
           QStringLiteral(") ");
}

Moeda percentualDe(Moeda parte, Moeda todo) {
    if (todo.ehZero())
        return Moeda();
    return Moeda::deQuociente(static_cast<__int128>(parte.dezMilesimos()) * 100 * Moeda::Escala,
                              todo.dezMilesimos(), "porcentagem");
}

TImpAnexo1B::TImpAnexo1B(QWidget* dono)
    : QWidget(dono), relatorio2_(carregaLayout(QStringLiteral(":/anexo1b/relatorio2.json"))) {
    btncalcula = criaBotaoCalcula(*this, QStringLiteral("ImpAnexo1B"));
    connect(btncalcula, &QPushButton::clicked, this, &TImpAnexo1B::btncalculaClick);

    TppReport& r = *relatorio2_;
    r.ligaTabela(QStringLiteral("ppDBPipeline3"), cdsRec);
    // The first variable to calculate sets all eight.
    r.exige<TppVariable>(QStringLiteral("ppVariable1")).OnCalc = [this](TppVariable&, Value&) {
        ppVariable1Calc();
    };
}

TImpAnexo1B::~TImpAnexo1B() = default;

void TImpAnexo1B::btncalculaClick() {
    EstradaDoAnexo estrada(diretorioDados(), dm().Conexao, EstradaDoAnexo::AoSair::ApagaCopias);
    {
        AguardeRelatorio aguarde(this, 0);
        gera_receita_despesa_tcm01B(estrada, &aguarde);
    }
    comandos_ = estrada.comandos();

    const CadastroDoCliente m = leCadastroDoCliente();
    poeCabecalho(*relatorio2_, QStringLiteral("PPCLI2"), QStringLiteral("PPMUNI2"),
                 QStringLiteral("PERI2"), m);
    relatorio2_->Print();

    if (EstradaDoAnexo::perguntaPlanilha(camaraSemAcento(m.nome)) ==
        EstradaDoAnexo::Planilha::Exporta) {
        const std::unique_ptr<Planilha> planilha = lancador().novaPlanilha();
        exportaAnexo1B(*planilha, lancador().caminhoPlanilha(), cdsRec, cdsDes,
                       lancador().bimestre(), m.exercicio);
    }
    dm().cdsAux.close();
}

void TImpAnexo1B::gera_receita_despesa_tcm01B(EstradaDoAnexo& estrada, AguardeRelatorio* aguarde) {
    const int b = lancador().bimestre();
    const QString& rf = lancador().filtroReserva();
    PreparaAnexo1B(diretorioDados(), dm().cdsAux2);
    estrada.carrega(cdsRec, ArquivoDigitado::Anexo1BReceita, ArquivoReceita);
    estrada.carrega(cdsDes, ArquivoDigitado::Anexo1BDespesa, ArquivoDespesa);
    cdsRec.setIndexFieldNames(QStringLiteral("ID"));
    if (FrmAguarde)
        FrmAguarde->gauge1->setMaximum(cdsRec.recordCount() + cdsDes.recordCount());

    PlanoDeFiguras& plano = estrada.plano();
    const PlanoDeFiguras::Figura total =
        plano.pede(receitaOrcamentaria(), QStringLiteral("RECDIS.EXTRA='N'"), mesesAteOBimestre(b));

    // Only value lines are computed; a line's key gives its condition.
    const auto condicao = [](const QString& chave, bool despesa) {
        return [=](ClientDataSet& t) {
            if (t.fieldByName(QStringLiteral("TITULO")).asString() != QStringLiteral("VA"))
                return QString();
            return condicaoDaLinha(t.fieldByName(chave).asString(), despesa);
        };
    };
    Totais1B totais(plano);
    estrada.percorre(cdsRec, aguarde, condicao(QStringLiteral("RECEITA"), false),
                     [&](FigurasDaLinha& linha, const QString& w) {
                         for (int k = b; k >= 1; --k) {
                             const QString campo =
                                 campoDoBimestre(QStringLiteral("ARRECADADA_BIM"), k);
                             linha.soma(campo, arrecadado(), mesesDoBimestre(k));
                             totais.conta(campo, arrecadado(), w, mesesDoBimestre(k));
                         }
                     });
    const FormaDaSoma empenhos = empenhado(rf);
    const FormaDaSoma liquidacoes = liquidado(rf);
    estrada.percorre(cdsDes, aguarde, condicao(QStringLiteral("DESPESA"), true),
                     [&](FigurasDaLinha& linha, const QString& w) {
                         for (int k = b; k >= 1; --k) {
                             const QString emp =
                                 campoDoBimestre(QStringLiteral("EMPENHADO_BIM"), k);
                             const QString liq =
                                 campoDoBimestre(QStringLiteral("LIQUIDADO_BIM"), k);
                             linha.soma(emp, empenhos, mesesDoBimestre(k));
                             totais.conta(emp, empenhos, w, mesesDoBimestre(k));
                             linha.soma(liq, liquidacoes, mesesDoBimestre(k));
                             totais.conta(liq, liquidacoes, w, mesesDoBimestre(k));
                         }
                     });
    plano.resolve();
    receitaTotal_ = plano.valor(total);
    totais.grava(cdsRec, {QStringLiteral("ARRECADADA_BIM")});
    totais.grava(cdsDes, {QStringLiteral("EMPENHADO_BIM"), QStringLiteral("LIQUIDADO_BIM")});
}

void TImpAnexo1B::ppVariable1Calc() {
    const int b = lancador().bimestre();
    Moeda v[9];
    v[1] = cdsRec.fieldByName(campoDoBimestre(QStringLiteral("ARRECADADA_BIM"), b)).asCurrency();
    v[2] = somaDosBimestres(cdsRec, QStringLiteral("ARRECADADA_BIM"), b);
    // The line's expenditure is the row with the very same key; none leaves zeros.
    if (cdsDes.locate(QStringLiteral("DESPESA"),
                      Value(cdsRec.fieldByName(QStringLiteral("RECEITA")).asString()))) {
        v[3] = cdsDes.fieldByName(campoDoBimestre(QStringLiteral("EMPENHADO_BIM"), b)).asCurrency();
        v[5] = cdsDes.fieldByName(campoDoBimestre(QStringLiteral("LIQUIDADO_BIM"), b)).asCurrency();
        v[4] = somaDosBimestres(cdsDes, QStringLiteral("EMPENHADO_BIM"), b);
        v[6] = somaDosBimestres(cdsDes, QStringLiteral("LIQUIDADO_BIM"), b);
    }
    v[7] = v[2] - v[4];
    v[8] = percentualDe(v[7], receitaTotal_);
    for (int i = 1; i <= 8; ++i)
        relatorio2_->exige<TppVariable>(QStringLiteral("ppVariable%1").arg(i)).value = Value(v[i]);
}

} // namespace nq
