#include "annexes/anexo4/anexo4.h"

#include "annexes/anexo4/formas_anexo4.h"
#include "annexes/anexo4/planilha_anexo4.h"
#include "annexes/common/aguarde.h"
#include "annexes/common/lancador.h"
#include "annexes/common/somas_do_orcamento.h"
#include "core/erro.h"
#include "core/globais.h"
#include "db/consultas.h"
#include "db/modulodados.h"
#include "entry/preparacoes.h"
#include "report/carregador.h"
#include "report/modelo.h"
#include "workbook/planilha.h"

#include <QProgressBar>
#include <QPushButton>
#include <optional>

namespace nq {

using namespace anexo4;

namespace {

const QString Id = QStringLiteral("ID");
const QString Tipo = QStringLiteral("TIPO");

Moeda valorDe(ClientDataSet& t, const QString& campo) {
    return t.fieldByName(campo).asCurrency();
}

void defineValor(ClientDataSet& t, const QString& campo, Moeda v) {
    t.fieldByName(campo).setAsCurrency(v);
}

// The line `id` of `t` made current and edited; false (nothing changed) when
// the table has no such line.
bool editaLinha(ClientDataSet& t, const QString& id) {
    if (!t.locate(Id, Value(id)))
        return false;
    t.edit();
    return true;
}

// One line of the financial tables: whether the file has it, the figure asked
// for it (none: the line holds 0), and whether it enters the balances
// subtotal as well as the general total.
struct LinhaFinanceira {
    QString id;
    bool presente = false;
    std::optional<PlanoDeFiguras::Figura> figura;
    bool saldo = false;
};

} // namespace

TImpAnexo4::TImpAnexo4(QWidget* dono)
    : QWidget(dono), relatorio5_(carregaLayout(QStringLiteral(":/anexo4/relatorio5.json"))) {
    btncalcula = criaBotaoCalcula(*this, QStringLiteral("ImpAnexo4"));
    connect(btncalcula, &QPushButton::clicked, this, &TImpAnexo4::btncalculaClick);

    cdsRec.addCalculatedField(QStringLiteral("ACUMULADO"), FieldKind::Money);
    cdsRec.addCalculatedField(QStringLiteral("AREALIZAR"), FieldKind::Money);
    cdsDes.addCalculatedField(QStringLiteral("EMPACU"), FieldKind::Money);
    cdsDes.addCalculatedField(QStringLiteral("LIQACU"), FieldKind::Money);
    cdsDes.addCalculatedField(QStringLiteral("AEMPENHAR"), FieldKind::Money);
    cdsRecFin.addCalculatedField(QStringLiteral("ACUMULADO"), FieldKind::Money);
    cdsDesFin.addCalculatedField(QStringLiteral("ACUMULADO"), FieldKind::Money);
    cdsRec.setOnCalcFields([this](ClientDataSet& t) { cdsRecCalcFields(t); });
    cdsDes.setOnCalcFields([this](ClientDataSet& t) { cdsDesCalcFields(t); });
    cdsRecFin.setOnCalcFields([this](ClientDataSet& t) { cdsRecFinCalcFields(t); });

    TppReport& r = *relatorio5_;
    r.ligaTabela(QStringLiteral("ppDBPipeline6"), cdsRec);
    r.ligaTabela(QStringLiteral("ppDBPipeline7"), cdsDes);
    r.ligaTabela(QStringLiteral("ppDBPipeline8"), cdsRecFin);
    r.ligaTabela(QStringLiteral("ppDBPipeline9"), cdsDesFin);
    r.OnPreviewFormCreate = [this] { relatorio5PreviewFormCreate(); };
    r.exige<TppLabel>(QStringLiteral("ppLabel130")).OnPrint = [this] { ppLabel130Print(); };
}

TImpAnexo4::~TImpAnexo4() = default;

void TImpAnexo4::btncalculaClick() {
    bimestre_ = lancador().bimestre();
    const CadastroDoCliente cliente = leCadastroDoCliente();
    exercicio_ = cliente.exercicio;

    EstradaDoAnexo estrada(diretorioDados(), dm().Conexao, EstradaDoAnexo::AoSair::ApagaCopias);
    {
        AguardeRelatorio aguarde(this, 0);
        gera_receita_despesa_IV(estrada, &aguarde);
        TOTALIZA_IV(estrada, &aguarde);
    }
    comandos_ = estrada.comandos();

    TppReport& r = *relatorio5_;
    r.exige<TppLabel>(QStringLiteral("PPCLI5")).Caption = cliente.nome;
    r.exige<TppLabel>(QStringLiteral("PPMUNI5")).Caption =
        QStringLiteral("MUNICIPIO: ") + cliente.cidade;
    r.exige<TppLabel>(QStringLiteral("PPERI5")).Caption =
        lancador().digitoBimestre() + QStringLiteral("º BIMESTRE DE ") + cliente.exercicio;
    r.Print();

    if (EstradaDoAnexo::perguntaPlanilha(camaraSemAcento(cliente.nome)) ==
        EstradaDoAnexo::Planilha::Exporta) {
        const std::unique_ptr<Planilha> planilha = lancador().novaPlanilha();
        exportaAnexo4(*planilha, lancador().caminhoPlanilha(),
                      {cdsRec, cdsDes, cdsRecFin, cdsDesFin}, bimestre_, cliente.exercicio);
    }
}

void TImpAnexo4::gera_receita_despesa_IV(EstradaDoAnexo& estrada, AguardeRelatorio* aguarde) {
    PreparaAnexo4(diretorioDados(), dm().qrCliente);
    estrada.carrega(cdsRec, ArquivoDigitado::Anexo4Receita,
                    QStringLiteral("NQ404_Anexo4_Receita2.xml"));
    estrada.carrega(cdsDes, ArquivoDigitado::Anexo4Despesa,
                    QStringLiteral("NQ404_Anexo4_Despesa2.xml"));
    estrada.carrega(cdsRecFin, ArquivoDigitado::Anexo4ReceitaFin,
                    QStringLiteral("NQ404_Anexo4_Receita_Fin2.xml"));
    estrada.carrega(cdsDesFin, ArquivoDigitado::Anexo4DespesaFin,
                    QStringLiteral("NQ404_Anexo4_Despesa_Fin2.xml"));
    if (FrmAguarde)
        FrmAguarde->gauge1->setMaximum(cdsRec.recordCount() + cdsDes.recordCount() +
                                       cdsRecFin.recordCount() + cdsDesFin.recordCount());
    Totais receita, despesa;
    receitas(estrada, aguarde, receita);
    despesas(estrada, aguarde, despesa);
    resultado(receita, despesa);
}

void TImpAnexo4::receitas(EstradaDoAnexo& estrada, AguardeRelatorio* aguarde, Totais& total) {
    const int b = bimestre_;
    static const FormaDaSoma mais = atualizacaoDaPrevisao(QLatin1Char('>'));
    static const FormaDaSoma menos = atualizacaoDaPrevisao(QLatin1Char('<'));
    estrada.percorre(
        cdsRec, aguarde,
        [&](FigurasDaLinha& linha, const QString&) {
            // "Outras" is chosen by its key and takes a condition made from its TIPO.
            if (cdsRec.fieldByName(QStringLiteral("RECEITA")).asString().left(2) ==
                QLatin1String("28"))
                linha.usaCondicao(condicaoDeOutras(cdsRec.fieldByName(Tipo).asString()));
            linha.soma(QStringLiteral("PREVISAO_ANUAL"), previsaoDaFicha());
            // The typed updated forecast gives way to the initial one.
            linha.copia(QStringLiteral("PREVISAO_ANUAL"), QStringLiteral("PREVISAO_ATUALIZADA"));
            linha.soma(QStringLiteral("PREVISAO_ATUALIZADA"), mais, ateOBimestre(b));
            linha.soma(QStringLiteral("PREVISAO_ATUALIZADA"), menos, ateOBimestre(b));
            for (int k = b; k >= 1; --k)
                linha.soma(campoDoBimestre(QStringLiteral("REALIZADO_BIM"), k),
                           arrecadadoNoBimestre(), doBimestre(k));
        },
        [&](const QString&) {
            total.inicial += valorDe(cdsRec, QStringLiteral("PREVISAO_ANUAL"));
            total.atualizada += valorDe(cdsRec, QStringLiteral("PREVISAO_ATUALIZADA"));
            for (int k = 1; k <= b; ++k)
                total.bimestre[k] +=
                    valorDe(cdsRec, campoDoBimestre(QStringLiteral("REALIZADO_BIM"), k));
        });
    if (!editaLinha(cdsRec, QStringLiteral("00090")))
        return;
    defineValor(cdsRec, QStringLiteral("PREVISAO_ANUAL"), total.inicial);
    defineValor(cdsRec, QStringLiteral("PREVISAO_ATUALIZADA"), total.atualizada);
    for (int k = 1; k <= 6; ++k)
        defineValor(cdsRec, campoDoBimestre(QStringLiteral("REALIZADO_BIM"), k), total.bimestre[k]);
    cdsRec.post();
}

void TImpAnexo4::despesas(EstradaDoAnexo& estrada, AguardeRelatorio* aguarde, Totais& total) {
    const int b = bimestre_;
    const QString& rf = lancador().filtroReserva();
    const FormaDaSoma liquidado = liquidadoDaFichaNoBimestre(rf);
    const FormaDaSoma empenhado = empenhadoDaFichaNoBimestre(rf);
    estrada.percorre(
        cdsDes, aguarde,
        [&](FigurasDaLinha& linha, const QString&) {
            linha.soma(QStringLiteral("DOTACAO_ANUAL"), dotacaoDaFicha());
            linha.soma(QStringLiteral("DOTACAO_ATUALIZADA"), dotacaoDaFicha());
            linha.soma(QStringLiteral("DOTACAO_ATUALIZADA"), alteracaoDaDotacaoDaFicha(),
                       ateOBimestre(b));
            for (int k = b; k >= 1; --k) {
                linha.soma(campoDoBimestre(QStringLiteral("LIQUIDADO_BIM"), k), liquidado,
                           doBimestre(k));
                linha.soma(campoDoBimestre(QStringLiteral("EMPENHADO_BIM"), k), empenhado,
                           doBimestre(k));
            }
        },
        [&](const QString&) {
            total.inicial += valorDe(cdsDes, QStringLiteral("DOTACAO_ANUAL"));
            total.atualizada += valorDe(cdsDes, QStringLiteral("DOTACAO_ATUALIZADA"));
            for (int k = 1; k <= b; ++k) {
                total.empenhado[k] +=
                    valorDe(cdsDes, campoDoBimestre(QStringLiteral("EMPENHADO_BIM"), k));
                total.liquidado[k] +=
                    valorDe(cdsDes, campoDoBimestre(QStringLiteral("LIQUIDADO_BIM"), k));
            }
        });
    if (!editaLinha(cdsDes, QStringLiteral("00050")))
        return;
    defineValor(cdsDes, QStringLiteral("DOTACAO_ANUAL"), total.inicial);
    defineValor(cdsDes, QStringLiteral("DOTACAO_ATUALIZADA"), total.atualizada);
    for (int k = 1; k <= 6; ++k) {
        defineValor(cdsDes, campoDoBimestre(QStringLiteral("EMPENHADO_BIM"), k),
                    total.empenhado[k]);
        defineValor(cdsDes, campoDoBimestre(QStringLiteral("LIQUIDADO_BIM"), k),
                    total.liquidado[k]);
    }
    cdsDes.post();
}

// "III - RESULTADO": revenue totals less expenditure totals, column by column.
void TImpAnexo4::resultado(const Totais& receita, const Totais& despesa) {
    if (!editaLinha(cdsDes, QStringLiteral("00060")))
        return;
    defineValor(cdsDes, QStringLiteral("DOTACAO_ANUAL"), receita.inicial - despesa.inicial);
    defineValor(cdsDes, QStringLiteral("DOTACAO_ATUALIZADA"),
                receita.atualizada - despesa.atualizada);
    for (int k = 1; k <= 6; ++k) {
        defineValor(cdsDes, campoDoBimestre(QStringLiteral("EMPENHADO_BIM"), k),
                    receita.bimestre[k] - despesa.empenhado[k]);
        defineValor(cdsDes, campoDoBimestre(QStringLiteral("LIQUIDADO_BIM"), k),
                    receita.bimestre[k] - despesa.liquidado[k]);
    }
    cdsDes.post();
}

void TImpAnexo4::TOTALIZA_IV(EstradaDoAnexo& estrada, AguardeRelatorio* aguarde) {
    const int b = bimestre_;
    PlanoDeFiguras& plano = estrada.plano();
    // The line's TIPO, or nothing when the table has no such line.
    auto tipoDe = [](ClientDataSet& t, const QString& id) -> std::optional<QString> {
        if (!t.locate(Id, Value(id)))
            return std::nullopt;
        return t.fieldByName(Tipo).asString();
    };
    auto pede = [&](ClientDataSet& t, const QString& id, const FormaDaSoma& forma,
                    const std::function<QString(const QString& tipo)>& condicao, Meses meses,
                    bool saldo) {
        LinhaFinanceira l{id, false, std::nullopt, saldo};
        if (const auto tipo = tipoDe(t, id)) {
            l.presente = true;
            l.figura = plano.pede(forma, condicao(*tipo), meses);
        }
        return l;
    };
    const auto tipoIgual = [](const char* coluna) {
        return [coluna](const QString& tipo) {
            return QString::fromLatin1(coluna) + tipo + QLatin1Char('\'');
        };
    };
    const auto semTipo = [](const char* condicao) {
        return [condicao](const QString&) { return QString::fromLatin1(condicao); };
    };
    const auto contas = [](const char* balco) {
        return [balco](const QString& tipo) {
            return QString::fromLatin1(balco) + QStringLiteral(" and (c.tipo='") + tipo +
                   QStringLiteral("')");
        };
    };
    const Meses ate = ateOBimestre(b);
    const std::vector<LinhaFinanceira> recebimentos = {
        pede(
            cdsRecFin, QStringLiteral("00010"), recebidoOrcamentario(),
            [](const QString& tipo) {
                return QStringLiteral("(f.codre like '121%') or (f.TIPO='") + tipo +
                       QStringLiteral("') and f.extra='N'");
            },
            ate, false),
        pede(
            cdsRecFin, QStringLiteral("00020"), recebidoExtraOrcamentario(),
            [](const QString& tipo) {
                return QStringLiteral("(f.TIPO='") + tipo + QStringLiteral("')");
            },
            ate, false),
        pede(cdsRecFin, QStringLiteral("00040"), saldoInicialDoRegime(),
             semTipo("(descon.balco like '31110%')"), {}, true),
        pede(cdsRecFin, QStringLiteral("00050"), saldoInicialDoRegime(),
             semTipo("(descon.balco not like '31110%' and  descon.balco not like '3114%')"), {},
             true),
        pede(cdsRecFin, QStringLiteral("00060"), saldoInicialDoRegime(),
             semTipo("(descon.balco like '3114%')"), {}, true),
    };
    std::vector<LinhaFinanceira> pagamentos = {
        pede(cdsDesFin, QStringLiteral("00010"), pagoOrcamentario(), tipoIgual("f.tipo='"), ate,
             false),
        pede(
            cdsDesFin, QStringLiteral("00020"), pagoExtraOrcamentario(),
            [](const QString& tipo) {
                return QStringLiteral("(f.tipo='") + tipo + QStringLiteral("')");
            },
            ate, false),
    };
    // Commitments are inscribed to be paid in later years only at the year's end.
    if (b == 6)
        pagamentos.push_back(pede(cdsDesFin, QStringLiteral("00030"),
                                  inscricaoEmRestosAPagar(exercicio_), tipoIgual("DESDIS.tipo='"),
                                  {}, false));
    else
        pagamentos.push_back({QStringLiteral("00030"), true, std::nullopt, false});
    pagamentos.push_back(pede(cdsDesFin, QStringLiteral("00050"), saldoDasContas(),
                              contas("(c.balco like '31110%')"), ate, true));
    pagamentos.push_back(pede(cdsDesFin, QStringLiteral("00060"), saldoDasContas(),
                              contas("(c.balco not like '31110%'  and c.balco not like '3114%')"),
                              ate, true));
    pagamentos.push_back(pede(cdsDesFin, QStringLiteral("00070"), saldoDasContas(),
                              contas("(c.balco like '3114%')"), ate, true));
    plano.resolve();

    // Each value replaces the bimester's typed one; then the subtotal and total lines.
    int passo = estrada.passos();
    auto grava = [&](ClientDataSet& t, const QString& campo,
                     const std::vector<LinhaFinanceira>& linhas, const QString& idSaldo,
                     const QString& idTotal) {
        Moeda geral, saldos;
        for (const LinhaFinanceira& l : linhas) {
            if (!l.presente)
                continue;
            const Moeda v = l.figura ? plano.valor(*l.figura) : Moeda();
            if (editaLinha(t, l.id)) {
                defineValor(t, campo, v);
                t.post();
            }
            geral += v;
            if (l.saldo)
                saldos += v;
            if (aguarde)
                aguarde->passo(++passo);
        }
        for (const auto& [id, valor] : {std::pair{idSaldo, saldos}, std::pair{idTotal, geral}})
            if (editaLinha(t, id)) {
                defineValor(t, campo, valor);
                t.post();
            }
    };
    grava(cdsRecFin, campoDoBimestre(QStringLiteral("REALIZADO_BIM"), b), recebimentos,
          QStringLiteral("00030"), QStringLiteral("00070"));
    grava(cdsDesFin, campoDoBimestre(QStringLiteral("REALIZADA_BIM"), b), pagamentos,
          QStringLiteral("00040"), QStringLiteral("00080"));
}

void TImpAnexo4::cdsRecCalcFields(ClientDataSet& t) {
    const Moeda acumulado = somaDosBimestres(t, QStringLiteral("REALIZADO_BIM"), bimestre_);
    defineValor(t, QStringLiteral("ACUMULADO"), acumulado);
    defineValor(t, QStringLiteral("AREALIZAR"),
                valorDe(t, QStringLiteral("PREVISAO_ATUALIZADA")) - acumulado);
}

void TImpAnexo4::cdsDesCalcFields(ClientDataSet& t) {
    const Moeda empenhado = somaDosBimestres(t, QStringLiteral("EMPENHADO_BIM"), bimestre_);
    defineValor(t, QStringLiteral("EMPACU"), empenhado);
    defineValor(t, QStringLiteral("LIQACU"),
                somaDosBimestres(t, QStringLiteral("LIQUIDADO_BIM"), bimestre_));
    defineValor(t, QStringLiteral("AEMPENHAR"),
                valorDe(t, QStringLiteral("DOTACAO_ATUALIZADA")) - empenhado);
}

void TImpAnexo4::cdsRecFinCalcFields(ClientDataSet& t) {
    defineValor(t, QStringLiteral("ACUMULADO"),
                somaDosBimestres(t, QStringLiteral("REALIZADO_BIM"), bimestre_));
}

void TImpAnexo4::relatorio5PreviewFormCreate() {
    const int b = bimestre_;
    TppReport& r = *relatorio5_;
    r.exige<TppDBText>(QStringLiteral("ppmes1rec")).DataField =
        campoDoBimestre(QStringLiteral("REALIZADO_BIM"), b);
    r.exige<TppDBText>(QStringLiteral("ppmes1emp")).DataField =
        campoDoBimestre(QStringLiteral("EMPENHADO_BIM"), b);
    r.exige<TppDBText>(QStringLiteral("ppmes1liq")).DataField =
        campoDoBimestre(QStringLiteral("LIQUIDADO_BIM"), b);
    r.exige<TppDBText>(QStringLiteral("ppmesrecfin")).DataField =
        campoDoBimestre(QStringLiteral("REALIZADO_BIM"), b);
    r.exige<TppDBText>(QStringLiteral("ppmesdesfin")).DataField =
        campoDoBimestre(QStringLiteral("REALIZADA_BIM"), b);
}

// Says so when the database has no item of the own regime, on either side.
void TImpAnexo4::ppLabel130Print() {
    TCRSQLConnection& c = dm().Conexao;
    const bool temRegime =
        !ConsultaValor(c, QStringLiteral("select count(*) from RECDIS WHERE TIPO='PR'")).ehZero() ||
        !ConsultaValor(c, QStringLiteral("select count(*) from DESDIS WHERE TIPO='PR'")).ehZero();
    relatorio5_->exige<TppLabel>(QStringLiteral("ppLabel130")).Caption =
        temRegime ? QString() : QStringLiteral("NÃO POSSUI REGIME PRÓPRIO DE PREVIDÊNCIA!");
}

} // namespace nq
