#include "annexes/anexo1/anexo1.h"

#include "annexes/anexo1/planilha_anexo1.h"
#include "annexes/common/aguarde.h"
#include "annexes/common/cabecalho_anexo.h"
#include "annexes/common/estrada_anexo.h"
#include "annexes/common/lancador.h"
#include "annexes/common/somas_do_orcamento.h"
#include "core/erro.h"
#include "core/globais.h"
#include "core/mensagens.h"
#include "db/modulodados.h"
#include "entry/preparacoes.h"
#include "report/carregador.h"
#include "report/modelo.h"
#include "workbook/planilha.h"

#include <QProgressBar>
#include <QPushButton>

namespace nq {

namespace {

const QString ArquivoReceita = QStringLiteral("NQ404_Anexo1_Receita2.xml");
const QString ArquivoDespesa = QStringLiteral("NQ404_Anexo1_Despesa2.xml");

void soma(ClientDataSet& t, const QString& campo, Moeda valor) {
    Field f = t.fieldByName(campo);
    f.setAsCurrency(f.asCurrency() + valor);
}

// The sum of `campo` over the lines `ids` of `t`, read without moving its current row.
Moeda somaDasLinhas(const ClientDataSet& t, const QStringList& ids, const QString& campo) {
    Moeda total;
    const int indice = t.fieldIndex(campo);
    for (const QString& id : ids)
        if (const int linha = linhaDoId(t, id); linha >= 0)
            total += t.valueAt(linha, indice).asCurrency();
    return total;
}

// The statements of the annex, each with the line's condition W left open
// (the ones other annexes share are in somas_do_orcamento).

// The forecast changes up to a month, of one sign ('>' or '<').
FormaDaSoma alteracaoDaPrevisao(QChar sinal) {
    const QString apelido =
        sinal == QLatin1Char('>') ? QStringLiteral("atualmais") : QStringLiteral("atualmenos");
    const QString valor = QStringLiteral("recalp.valor") + sinal + QLatin1Char('0');
    return {QStringLiteral("sum(recalp.valor)"),
            QStringLiteral("recalp, recdis"),
            valor + QStringLiteral(" and recdis.ficha=recalp.ficha"),
            QStringLiteral("recalp.dtlan"),
            [=](const QString& w, Meses m) {
                return QStringLiteral("select sum(recalp.valor) as ") + apelido +
                       QStringLiteral(" from recalp, recdis where ") + w + QStringLiteral(" and ") +
                       valor +
                       QStringLiteral(" and recdis.ficha=recalp.ficha and "
                                      "extract(month from recalp.dtlan)<=") +
                       mesSql(m.ate);
            },
            Etapas{lancamentos::alteracoesDaPrevisao(sinal),
                   QStringLiteral("recdis"),
                   QStringLiteral("recdis.ficha"),
                   {}}};
}

const FormaDaSoma& realizadoNoBimestre() {
    static const FormaDaSoma f{
        QStringLiteral("sum(receit.varec)"),
        QStringLiteral("receit, recdis"),
        QStringLiteral("receit.ficha=recdis.ficha"),
        QStringLiteral("receit.dtlan"),
        [](const QString& w, Meses m) {
            return QStringLiteral("select sum(receit.varec) as bimestre from receit, recdis where "
                                  "receit.ficha=recdis.ficha and ") +
                   w + QStringLiteral(" and extract(month from receit.dtlan)>=") + mesSql(m.de) +
                   QStringLiteral(" and extract(month from receit.dtlan)<=") + mesSql(m.ate);
        },
        Etapas{
            lancamentos::receitas(), QStringLiteral("recdis"), QStringLiteral("recdis.ficha"), {}}};
    return f;
}

const FormaDaSoma& alteracaoDaDotacao() {
    static const FormaDaSoma f{
        QStringLiteral("sum(b.valor)"),
        QStringLiteral("desald b, desdis a"),
        QStringLiteral("a.ficha=b.ficha"),
        QStringLiteral("b.dtlan"),
        [](const QString& w, Meses m) {
            return QStringLiteral("select sum(b.valor) as atualmais from desald b, desdis a "
                                  "where ") +
                   w + QStringLiteral(" and a.ficha=b.ficha and extract(month from b.dtlan)<=") +
                   mesSql(m.ate);
        },
        Etapas{lancamentos::alteracoesDaDotacao(),
               QStringLiteral("desdis a"),
               QStringLiteral("a.ficha"),
               {}}};
    return f;
}

// `rf`: the launcher's reserve-commitment condition, which ends in " AND " or is a blank.
FormaDaSoma liquidadoNoBimestre(const QString& rf) {
    return {QStringLiteral("sum(f.vadem)"),
            QStringLiteral("viewliq f, despes d"),
            QStringLiteral("d.pkemp=f.pkemp and ") + rf + QStringLiteral(" 1=1"),
            QStringLiteral("f.datae"),
            [=](const QString& w, Meses m) {
                return QStringLiteral("select sum(f.vadem) as empliqbimestre from viewliq f, "
                                      "despes d  where d.pkemp=f.pkemp and ") +
                       rf + w + QStringLiteral(" and extract(month from f.datae)>=") +
                       mesSql(m.de) + QStringLiteral(" and extract(month from f.datae)<=") +
                       mesSql(m.ate);
            },
            Etapas{lancamentos::liquidacoes(), QStringLiteral("despes d"),
                   QStringLiteral("d.pkemp"), rf + QStringLiteral(" 1=1")}};
}

} // namespace

std::vector<FormaDaSoma> formasDaReceitaDoAnexo1() {
    return {previsaoInicial(), alteracaoDaPrevisao(QLatin1Char('>')),
            alteracaoDaPrevisao(QLatin1Char('<')), realizadoNoBimestre()};
}

std::vector<FormaDaSoma> formasDaDespesaDoAnexo1(const QString& filtroReserva) {
    return {dotacaoInicial(), alteracaoDaDotacao(), liquidadoNoBimestre(filtroReserva),
            empenhadoNoBimestre(filtroReserva)};
}

TImpAnexo1::TImpAnexo1(QWidget* dono)
    : QWidget(dono), relatorio1_(carregaLayout(QStringLiteral(":/anexo1/relatorio1.json"))) {
    btncalcula = criaBotaoCalcula(*this, QStringLiteral("ImpAnexo1"));
    connect(btncalcula, &QPushButton::clicked, this, &TImpAnexo1::btncalculaClick);

    TppReport& r = *relatorio1_;
    r.ligaTabela(QStringLiteral("ppDBPipeline1"), cdsRec);
    r.ligaTabela(QStringLiteral("ppDBPipeline2"), cdsDes);
    r.OnPreviewFormCreate = [this] { relatorio1PreviewFormCreate(); };
    r.exige<TppVariable>(QStringLiteral("ppVariable1")).OnCalc = [this](TppVariable&, Value&) {
        ppVariable1Calc();
    };
    r.exige<TppVariable>(QStringLiteral("ppVariable4")).OnCalc = [this](TppVariable&, Value&) {
        ppVariable4Calc();
    };
}

TImpAnexo1::~TImpAnexo1() = default;

void TImpAnexo1::btncalculaClick() {
    divideprevisao = mensagens().pergunta(
        QStringLiteral(
            "Deseja que a Previsão Anual Atualizada seja Dividida para o Previsto no Bimestre?"),
        QStringLiteral("Atenção"), Icone::Pergunta);

    EstradaDoAnexo estrada(diretorioDados(), dm().Conexao, EstradaDoAnexo::AoSair::ApagaCopias);
    {
        AguardeRelatorio aguarde(this, 0);
        gera_receita_despesa(estrada, &aguarde);
    }
    comandos_ = estrada.comandos();
    linhas_ = estrada.linhas();

    bool camara = false;
    QString exercicio;
    cabecalhos(camara, exercicio);
    relatorio1_->Print();

    switch (EstradaDoAnexo::perguntaPlanilha(camara)) {
    case EstradaDoAnexo::Planilha::ArquivoAusente:
        return;
    case EstradaDoAnexo::Planilha::Exporta: {
        const std::unique_ptr<Planilha> planilha = lancador().novaPlanilha();
        if (!exportaAnexo1(*planilha, lancador().caminhoPlanilha(), cdsRec, cdsDes,
                           lancador().bimestre(), exercicio))
            return;
        break;
    }
    case EstradaDoAnexo::Planilha::NaoExporta:
        break;
    }
    dm().cdsAux.close();
}

void TImpAnexo1::gera_receita_despesa(EstradaDoAnexo& estrada, AguardeRelatorio* aguarde) {
    const int b = lancador().bimestre();
    PreparaAnexo1(diretorioDados());
    estrada.carrega(cdsRec, ArquivoDigitado::Anexo1Receita, ArquivoReceita);
    estrada.carrega(cdsDes, ArquivoDigitado::Anexo1Despesa, ArquivoDespesa);
    if (FrmAguarde)
        FrmAguarde->gauge1->setMaximum(cdsRec.recordCount() + cdsDes.recordCount());

    estrada.percorre(
        cdsRec, aguarde, [&](FigurasDaLinha& linha, const QString&) { receita(linha, b); },
        [&](const QString&) { divideAPrevisao(b); });
    estrada.percorre(cdsDes, aguarde,
                     [&](FigurasDaLinha& linha, const QString&) { despesa(linha, b); });
    superavit();
}

void TImpAnexo1::receita(FigurasDaLinha& linha, int b) {
    linha.soma(QStringLiteral("PREVISAO_ANUAL"), previsaoInicial());
    linha.soma(QStringLiteral("PREVISAO_ATUALIZADA"), previsaoInicial());
    static const FormaDaSoma mais = alteracaoDaPrevisao(QLatin1Char('>'));
    static const FormaDaSoma menos = alteracaoDaPrevisao(QLatin1Char('<'));
    linha.soma(QStringLiteral("PREVISAO_ATUALIZADA"), mais, mesesAteOBimestre(b));
    linha.soma(QStringLiteral("PREVISAO_ATUALIZADA"), menos, mesesAteOBimestre(b));
    for (int k = b; k >= 1; --k)
        linha.soma(campoDoBimestre(QStringLiteral("REALIZADO_BIM"), k), realizadoNoBimestre(),
                   mesesDoBimestre(k));
}

// The forecast of each bimester up to `b`: a sixth of the updated forecast when asked.
void TImpAnexo1::divideAPrevisao(int b) {
    if (!divideprevisao)
        return;
    const Moeda atualizada = cdsRec.fieldByName(QStringLiteral("PREVISAO_ATUALIZADA")).asCurrency();
    for (int k = b; k >= 1; --k)
        cdsRec.fieldByName(campoDoBimestre(QStringLiteral("PREVISTO_BIM"), k))
            .setAsCurrency(sextoDe(atualizada));
}

void TImpAnexo1::despesa(FigurasDaLinha& linha, int b) {
    const QString& rf = lancador().filtroReserva();
    linha.soma(QStringLiteral("DOTACAO_ANUAL"), dotacaoInicial());
    linha.soma(QStringLiteral("DOTACAO_ATUALIZADA"), dotacaoInicial());
    linha.soma(QStringLiteral("DOTACAO_ATUALIZADA"), alteracaoDaDotacao(), mesesAteOBimestre(b));
    const FormaDaSoma liquidado = liquidadoNoBimestre(rf);
    const FormaDaSoma empenhado = empenhadoNoBimestre(rf);
    for (int k = b; k >= 1; --k) {
        linha.soma(campoDoBimestre(QStringLiteral("LIQUIDADO_BIM"), k), liquidado,
                   mesesDoBimestre(k));
        linha.soma(campoDoBimestre(QStringLiteral("EMPENHADO_BIM"), k), empenhado,
                   mesesDoBimestre(k));
    }
}

void TImpAnexo1::superavit() {
    // Editing whatever row happens to be current would corrupt another line.
    if (!cdsDes.locate(QStringLiteral("ID"), Value(QStringLiteral("00390"))))
        throw Erro(QStringLiteral("A linha \"00390\" (SUPERÁVIT/DÉFICIT) não está no arquivo %1.")
                       .arg(cdsDes.fileName()));
    const QStringList receitas{QStringLiteral("00010"), QStringLiteral("00160")};
    const QStringList despesas{QStringLiteral("00250"), QStringLiteral("00300")};
    auto resultado = [&](const QString& campoReceita, const QString& campoDespesa) {
        soma(cdsDes, campoDespesa,
             somaDasLinhas(cdsRec, receitas, campoReceita) -
                 somaDasLinhas(cdsDes, despesas, campoDespesa));
    };
    cdsDes.edit();
    resultado(QStringLiteral("PREVISAO_ANUAL"), QStringLiteral("DOTACAO_ANUAL"));
    resultado(QStringLiteral("PREVISAO_ATUALIZADA"), QStringLiteral("DOTACAO_ATUALIZADA"));
    for (int n = 1; n <= 6; ++n) {
        const QString realizado = campoDoBimestre(QStringLiteral("REALIZADO_BIM"), n);
        resultado(realizado, campoDoBimestre(QStringLiteral("EMPENHADO_BIM"), n));
        resultado(realizado, campoDoBimestre(QStringLiteral("LIQUIDADO_BIM"), n));
    }
    cdsDes.post();
}

void TImpAnexo1::cabecalhos(bool& camara, QString& exercicio) {
    const CadastroDoCliente c = leCadastroDoCliente();
    exercicio = c.exercicio;
    camara = camaraParaExportar(c.nome);
    poeCabecalho(*relatorio1_, QStringLiteral("PPCLI"), QStringLiteral("PPMUNI"),
                 QStringLiteral("PERI"), c);
}

void TImpAnexo1::relatorio1PreviewFormCreate() {
    const int b = lancador().bimestre();
    TppReport& r = *relatorio1_;
    r.exige<TppDBText>(QStringLiteral("PPMES1")).DataField =
        campoDoBimestre(QStringLiteral("PREVISTO_BIM"), b);
    r.exige<TppDBText>(QStringLiteral("PPMES2")).DataField =
        campoDoBimestre(QStringLiteral("REALIZADO_BIM"), b);
    r.exige<TppDBText>(QStringLiteral("PPMES1B")).DataField =
        campoDoBimestre(QStringLiteral("EMPENHADO_BIM"), b);
    r.exige<TppDBText>(QStringLiteral("PPMES2B")).DataField =
        campoDoBimestre(QStringLiteral("LIQUIDADO_BIM"), b);
}

void TImpAnexo1::ppVariable1Calc() {
    const int b = lancador().bimestre();
    TppReport& r = *relatorio1_;
    const Moeda realizado = somaDosBimestres(cdsRec, QStringLiteral("REALIZADO_BIM"), b);
    r.exige<TppVariable>(QStringLiteral("ppVariable1")).value =
        Value(somaDosBimestres(cdsRec, QStringLiteral("PREVISTO_BIM"), b));
    r.exige<TppVariable>(QStringLiteral("ppVariable2")).value = Value(realizado);
    r.exige<TppVariable>(QStringLiteral("ppVariable3")).value =
        Value(cdsRec.fieldByName(QStringLiteral("PREVISAO_ATUALIZADA")).asCurrency() - realizado);
}

void TImpAnexo1::ppVariable4Calc() {
    const int b = lancador().bimestre();
    TppReport& r = *relatorio1_;
    const Moeda empenhado = somaDosBimestres(cdsDes, QStringLiteral("EMPENHADO_BIM"), b);
    r.exige<TppVariable>(QStringLiteral("ppVariable4")).value = Value(empenhado);
    r.exige<TppVariable>(QStringLiteral("ppVariable5")).value =
        Value(somaDosBimestres(cdsDes, QStringLiteral("LIQUIDADO_BIM"), b));
    r.exige<TppVariable>(QStringLiteral("ppVariable6")).value =
        Value(cdsDes.fieldByName(QStringLiteral("DOTACAO_ATUALIZADA")).asCurrency() - empenhado);
}

} // namespace nq
