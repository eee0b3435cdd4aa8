#include "annexes/anexo2/anexo2.h"

#include "annexes/anexo2/planilha_anexo2.h"
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
#include <array>

namespace nq {

namespace {

const QString ArquivoDeTrabalho = QStringLiteral("NQ404_Anexo2_2.xml");
const QString Funcao = QStringLiteral("FUNCAO");
const QString Subfuncao = QStringLiteral("SUBFUNCAO");
const QString LinhaDosTotais = QStringLiteral("XX");

// W as the statements join it: the plan hands it back without the blank it
// begins with.
QString comBranco(const QString& w) {
    return QLatin1Char(' ') + w;
}

// A code between quotes in a statement.
QString literal(const QString& codigo) {
    QString t = codigo;
    t.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + t + QLatin1Char('\'');
}

// The statements of the annex, each with the line's condition W left open.
// The initial appropriation is the shared statement, W with its blank.
const FormaDaSoma& dotacaoDaLinha() {
    static const FormaDaSoma f = [] {
        FormaDaSoma forma = dotacaoInicial();
        forma.texto = [texto = forma.texto](const QString& w, Meses m) {
            return texto(comBranco(w), m);
        };
        return forma;
    }();
    return f;
}

const FormaDaSoma& alteracaoDaDotacao() {
    static const FormaDaSoma f{
        QStringLiteral("sum(b.valor)"),
        QStringLiteral("desald b,desdis a"),
        QStringLiteral("a.ficha=b.ficha"),
        QStringLiteral("b.dtlan"),
        [](const QString& w, Meses m) {
            return QStringLiteral(
                       "select sum(b.valor) as atualmais from desald b,desdis a where ") +
                   comBranco(w) +
                   QStringLiteral(" and a.ficha=b.ficha and extract(month from b.dtlan)<=") +
                   mesSql(m.ate);
        },
        Etapas{lancamentos::alteracoesDaDotacao(),
               QStringLiteral("desdis a"),
               QStringLiteral("a.ficha"),
               {}}};
    return f;
}

// The commitments with their items, as the liquidations and the commitments join them.
const QString DespesasDaFuncao = QStringLiteral("despes d inner join desdis e on e.ficha=d.ficha");

// `rf`: the launcher's reserve-commitment condition, ending in " AND " or a blank.
FormaDaSoma liquidadoDaFuncao(const QString& rf) {
    static const QString origem =
        QStringLiteral("viewliq f  inner join despes d on d.pkemp=f.pkemp  inner join desdis e "
                       "on e.ficha=d.ficha");
    return {QStringLiteral("sum(f.vadem)"),
            origem,
            QStringLiteral("d.pkemp=f.pkemp and ") + rf + QStringLiteral(" 1=1"),
            QStringLiteral("f.datae"),
            [=](const QString& w, Meses m) {
                return QStringLiteral("select sum(f.vadem) as empliqbimestre from ") + origem +
                       QStringLiteral("  where d.pkemp=f.pkemp and ") + rf + comBranco(w) +
                       QStringLiteral(" and extract(month from f.datae)>=") + mesSql(m.de) +
                       QStringLiteral(" and extract(month from f.datae)<=") + mesSql(m.ate);
            },
            Etapas{lancamentos::liquidacoes(), DespesasDaFuncao, QStringLiteral("d.pkemp"),
                   rf + QStringLiteral(" 1=1")}};
}

FormaDaSoma empenhadoDaFuncao(const QString& rf) {
    static const QString origem =
        QStringLiteral("despes d  inner join desdis e on e.ficha=d.ficha");
    return {QStringLiteral("sum(d.vadem)"), origem, rf + QStringLiteral(" 1=1"),
            QStringLiteral("d.datae"),
            [=](const QString& w, Meses m) {
                return QStringLiteral("select sum(d.vadem) as empenhadobimestre from ") + origem +
                       QStringLiteral("  where ") + rf + comBranco(w) +
                       QStringLiteral(" and extract(month from d.datae)<=") + mesSql(m.ate) +
                       QStringLiteral(" and extract(month from d.datae)>=") + mesSql(m.de);
            },
            // Each commitment is its own posting, and shares its items with the liquidations.
            Etapas{lancamentos::dosItens(QStringLiteral("d.datae"), {QStringLiteral("d.vadem")}),
                   DespesasDaFuncao, QStringLiteral("d.pkemp"), rf + QStringLiteral(" 1=1")}};
}

// The running totals of the value lines, in the order of the money columns.
struct TotaisDoAnexo2 {
    Moeda anual, atualizada;
    std::array<Moeda, 7> empenhado{}, liquidado{}; // by bimester, 1 to 6

    void soma(ClientDataSet& t, int b) {
        anual += t.fieldByName(QStringLiteral("DOTACAO_ANUAL")).asCurrency();
        atualizada += t.fieldByName(QStringLiteral("DOTACAO_ATUALIZADA")).asCurrency();
        for (int k = 1; k <= b; ++k) {
            empenhado[k] +=
                t.fieldByName(campoDoBimestre(QStringLiteral("EMPENHADO_BIM"), k)).asCurrency();
            liquidado[k] +=
                t.fieldByName(campoDoBimestre(QStringLiteral("LIQUIDADO_BIM"), k)).asCurrency();
        }
    }
    void grava(ClientDataSet& t) const {
        t.fieldByName(QStringLiteral("DOTACAO_ANUAL")).setAsCurrency(anual);
        t.fieldByName(QStringLiteral("DOTACAO_ATUALIZADA")).setAsCurrency(atualizada);
        for (int k = 1; k <= 6; ++k) {
            t.fieldByName(campoDoBimestre(QStringLiteral("EMPENHADO_BIM"), k))
                .setAsCurrency(empenhado[k]);
            t.fieldByName(campoDoBimestre(QStringLiteral("LIQUIDADO_BIM"), k))
                .setAsCurrency(liquidado[k]);
        }
    }
};

} // namespace

QString condicaoDaFuncao(const QString& funcao, const QString& subfuncao) {
    const QString w = QStringLiteral(" FUNCAO=") + literal(funcao);
    if (subfuncao.trimmed().size() == 2)
        return w;
    return w + QStringLiteral(" and ") + QStringLiteral("SUBFUNCAO=") +
           literal(subfuncao.mid(3, 3));
}

TImpAnexo2::TImpAnexo2(QWidget* dono)
    : QWidget(dono), relatorio3_(carregaLayout(QStringLiteral(":/anexo2/relatorio3.json"))) {
    btncalcula = criaBotaoCalcula(*this, QStringLiteral("ImpAnexo2"));
    connect(btncalcula, &QPushButton::clicked, this, &TImpAnexo2::btncalculaClick);

    TppReport& r = *relatorio3_;
    r.ligaTabela(QStringLiteral("ppDBPipeline4"), cdsImp);
    r.exige<TppVariable>(QStringLiteral("ppVariable1")).OnCalc = [this](TppVariable&, Value&) {
        ppVariable1Calc();
    };
    TppBand* detalhe = r.banda(TppBandType::btDetail);
    TppGroup* grupo = r.grupo(QStringLiteral("ppGroup1"));
    if (!detalhe || !grupo)
        throw Erro(QStringLiteral("O leiaute do anexo 2 não tem a faixa de detalhe ou o grupo "
                                  "\"ppGroup1\"."));
    detalhe->BeforePrint = [this] { ppDetailBand3BeforePrint(); };
    grupo->HeaderBand().AfterPrint = [this] { ppGroupHeaderBand1AfterPrint(); };
    grupo->FooterBand().AfterPrint = [this] { ppGroupFooterBand1AfterPrint(); };
}

TImpAnexo2::~TImpAnexo2() = default;

void TImpAnexo2::btncalculaClick() {
    EstradaDoAnexo estrada(diretorioDados(), dm().Conexao, EstradaDoAnexo::AoSair::ApagaCopias);
    {
        AguardeRelatorio aguarde(this, 0);
        funcional(estrada, &aguarde);
    }
    comandos_ = estrada.comandos();

    const CadastroDoCliente m = leCadastroDoCliente();
    poeCabecalho(*relatorio3_, QStringLiteral("PPcli3"), QStringLiteral("PPmuni3"),
                 QStringLiteral("PERI3"), m);
    relatorio3_->Print();

    if (EstradaDoAnexo::perguntaPlanilha(camaraSemAcento(m.nome)) ==
        EstradaDoAnexo::Planilha::Exporta) {
        const std::unique_ptr<Planilha> planilha = lancador().novaPlanilha();
        exportaAnexo2(*planilha, lancador().caminhoPlanilha(), cdsImp, lancador().bimestre(),
                      m.exercicio);
    }
    dm().cdsAux.close();
}

void TImpAnexo2::funcional(EstradaDoAnexo& estrada, AguardeRelatorio* aguarde) {
    const int b = lancador().bimestre();
    const QString& rf = lancador().filtroReserva();
    PreparaAnexo2(diretorioDados(), dm().cdsAux2);
    estrada.carrega(cdsImp, ArquivoDigitado::Anexo2, ArquivoDeTrabalho);
    cdsImp.setIndexFieldNames(QStringLiteral("ID"));
    if (FrmAguarde)
        FrmAguarde->gauge1->setMaximum(cdsImp.recordCount());

    const FormaDaSoma liquidado = liquidadoDaFuncao(rf);
    const FormaDaSoma empenhado = empenhadoDaFuncao(rf);
    TotaisDoAnexo2 totais;
    // Every line is computed, function, sub-function and total lines alike.
    estrada.percorre(
        cdsImp, aguarde,
        [](ClientDataSet& t) {
            return condicaoDaFuncao(t.fieldByName(Funcao).asString(),
                                    t.fieldByName(Subfuncao).asString());
        },
        [&](FigurasDaLinha& linha, const QString&) {
            linha.soma(QStringLiteral("DOTACAO_ANUAL"), dotacaoDaLinha());
            linha.soma(QStringLiteral("DOTACAO_ATUALIZADA"), dotacaoDaLinha());
            linha.soma(QStringLiteral("DOTACAO_ATUALIZADA"), alteracaoDaDotacao(),
                       mesesAteOBimestre(b));
            for (int k = b; k >= 1; --k) {
                linha.soma(campoDoBimestre(QStringLiteral("LIQUIDADO_BIM"), k), liquidado,
                           mesesDoBimestre(k));
                linha.soma(campoDoBimestre(QStringLiteral("EMPENHADO_BIM"), k), empenhado,
                           mesesDoBimestre(k));
            }
        },
        [&](const QString&) {
            if (cdsImp.fieldByName(QStringLiteral("TITULO")).asString() == QStringLiteral("VA"))
                totais.soma(cdsImp, b);
        });

    // Editing whatever row happens to be current would corrupt another line.
    if (!cdsImp.locate(Funcao, Value(LinhaDosTotais)))
        throw Erro(QStringLiteral("A linha \"TOTAIS:\" (função \"XX\") não está no arquivo %1.")
                       .arg(cdsImp.fileName()));
    cdsImp.edit();
    totais.grava(cdsImp);
    cdsImp.post();
}

void TImpAnexo2::variaveisDaLinha(int primeira) {
    const int b = lancador().bimestre();
    Moeda v[7];
    v[0] = cdsImp.fieldByName(QStringLiteral("DOTACAO_ANUAL")).asCurrency();
    v[1] = cdsImp.fieldByName(QStringLiteral("DOTACAO_ATUALIZADA")).asCurrency();
    v[2] = cdsImp.fieldByName(campoDoBimestre(QStringLiteral("EMPENHADO_BIM"), b)).asCurrency();
    v[3] = cdsImp.fieldByName(campoDoBimestre(QStringLiteral("LIQUIDADO_BIM"), b)).asCurrency();
    v[4] = somaDosBimestres(cdsImp, QStringLiteral("EMPENHADO_BIM"), b);
    v[5] = somaDosBimestres(cdsImp, QStringLiteral("LIQUIDADO_BIM"), b);
    v[6] = v[1] - v[4];
    for (int i = 0; i < 7; ++i)
        relatorio3_->exige<TppVariable>(QStringLiteral("ppVariable%1").arg(primeira + i)).value =
            Value(v[i]);
}

// A function line prints only its code and name, as a heading.
void TImpAnexo2::ppDetailBand3BeforePrint() {
    const bool comFiguras = cdsImp.fieldByName(Subfuncao).asString().trimmed().size() > 2;
    for (int i = 1; i <= 7; ++i)
        relatorio3_->exige<TppVariable>(QStringLiteral("ppVariable%1").arg(i)).Visible = comFiguras;
}

void TImpAnexo2::ppVariable1Calc() {
    variaveisDaLinha(1);
}

// The group's first row gives its "SubTotal:"; the totals' group has none.
void TImpAnexo2::ppGroupHeaderBand1AfterPrint() {
    TppGroup& grupo = *relatorio3_->grupo(QStringLiteral("ppGroup1"));
    if (cdsImp.fieldByName(Funcao).asString() != LinhaDosTotais)
        grupo.FooterBand().Visible = true;
    variaveisDaLinha(8);
}

void TImpAnexo2::ppGroupFooterBand1AfterPrint() {
    relatorio3_->grupo(QStringLiteral("ppGroup1"))->FooterBand().Visible = false;
}

} // namespace nq
