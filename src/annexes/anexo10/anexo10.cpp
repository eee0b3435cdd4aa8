#include "annexes/anexo10/anexo10.h"

#include "annexes/anexo10/planilha_anexo10.h"
#include "annexes/common/aguarde.h"
#include "annexes/common/assinaturas.h"
#include "annexes/common/estrada_anexo.h"
#include "annexes/common/lancador.h"
#include "core/configuracao.h"
#include "core/erro.h"
#include "core/globais.h"
#include "core/mensagens.h"
#include "db/modulodados.h"
#include "report/carregador.h"
#include "report/modelo.h"
#include "workbook/planilha.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScopeGuard>
#include <QVBoxLayout>
#include <array>

namespace nq {

namespace {

const std::array<QString, 12> NomesDosMeses = {
    QStringLiteral("Janeiro"), QStringLiteral("Fevereiro"), QStringLiteral("Março"),
    QStringLiteral("Abril"),   QStringLiteral("Maio"),      QStringLiteral("Junho"),
    QStringLiteral("Julho"),   QStringLiteral("Agosto"),    QStringLiteral("Setembro"),
    QStringLiteral("Outubro"), QStringLiteral("Novembro"),  QStringLiteral("Dezembro")};

// The column suffix of the k-th month before the reference month ("" for the month itself).
QString sufixo(int k) {
    return k == 0 ? QString() : QString::number(k);
}

} // namespace

QString nomeDoMesDoAnexo10(int i) {
    return NomesDosMeses.at(static_cast<size_t>((i - 1) % 12));
}

QString periodoDoAnexo10(bool executivo, int mes, int ano) {
    // The twelve months run from mes + 1 of the year before; for December
    // they are the whole exercise.
    const int anoInicial = mes < 12 ? ano - 1 : ano;
    return (executivo ? QStringLiteral("PODER EXECUTIVO MUNICIPAL - ")
                      : QStringLiteral("PODER LEGISLATIVO MUNICIPAL - ")) +
           nomeDoMesDoAnexo10(mes + 1) + QLatin1Char('/') + QString::number(anoInicial) +
           QStringLiteral(" a ") + nomeDoMesDoAnexo10(mes + 12) + QLatin1Char('/') +
           QString::number(ano);
}

const QStringList& TImpAnexo10::itensDoMes() {
    static const QStringList itens = {
        QStringLiteral("01 - Janeiro "),  QStringLiteral("02 - Fevereiro"),
        QStringLiteral("03 - Março "),    QStringLiteral("04 - Abril"),
        QStringLiteral("05 - Maio "),     QStringLiteral("06 - Junho"),
        QStringLiteral("07 - Julho "),    QStringLiteral("08 - Agosto"),
        QStringLiteral("09 - Setembro "), QStringLiteral("10 - Outubro "),
        QStringLiteral("11 - Novembro "), QStringLiteral("12 - Dezembro")};
    return itens;
}

QString TImpAnexo10::arquivoDp(const QString& diretorio, int mes) {
    return arquivoNoDiretorio(diretorio,
                              QStringLiteral("NQ404_DP%1.XML").arg(mes, 2, 10, QLatin1Char('0')));
}

QString TImpAnexo10::arquivoCalculado(const QString& diretorio) {
    return arquivoNoDiretorio(diretorio, QStringLiteral("NQ404_ANX10C.XML"));
}

TImpAnexo10::TImpAnexo10(QWidget* dono)
    : QDialog(dono), relatorio1_(carregaLayout(QStringLiteral(":/anexo10/relatorio1.json"))) {
    setObjectName(QStringLiteral("ImpAnexo10"));
    setWindowTitle(QStringLiteral("Anexo I Modelo 10"));
    setMinimumWidth(320);

    auto* painel = new QLabel(QStringLiteral("Despesa com Pessoal"), this);
    painel->setAlignment(Qt::AlignCenter);
    painel->setStyleSheet(QStringLiteral(
        "background-color: #008080; color: white; font-weight: bold; padding: 6px;"));
    combomes = new QComboBox(this);
    combomes->setObjectName(QStringLiteral("combomes"));
    combomes->addItems(itensDoMes());
    combomes->setCurrentIndex(-1);
    BtnImprimir = new QPushButton(QStringLiteral("&Imprimir"), this);
    BtnImprimir->setObjectName(QStringLiteral("BtnImprimir"));
    Cancela = new QPushButton(QStringLiteral("Cancela"), this);
    Cancela->setObjectName(QStringLiteral("Cancela"));
    connect(BtnImprimir, &QPushButton::clicked, this, &TImpAnexo10::BtnImprimirClick);
    connect(Cancela, &QPushButton::clicked, this, &QDialog::reject);

    auto* botoes = new QHBoxLayout;
    botoes->addStretch(1);
    botoes->addWidget(BtnImprimir);
    botoes->addWidget(Cancela);
    auto* coluna = new QVBoxLayout(this);
    coluna->addWidget(painel);
    coluna->addWidget(new QLabel(QStringLiteral("Mês de Referência"), this));
    coluna->addWidget(combomes);
    coluna->addStretch(1);
    coluna->addLayout(botoes);

    TppReport& r = *relatorio1_;
    r.ligaTabela(QStringLiteral("ppDBPipeline1"), cdsDP1);
    r.ligaTabela(QStringLiteral("ppDBPipeline2"), cdsDP2);
    r.OnPreviewFormClose = [this] { relatorio1PreviewFormClose(); };
    r.exige<TppVariable>(QStringLiteral("Totais")).OnCalc = [this](TppVariable&, Value& valor) {
        TotaisCalc(valor);
    };
    r.exige<TppVariable>(QStringLiteral("ppVariable1")).OnCalc =
        [this](TppVariable&, Value& valor) { ppVariable1Calc(valor); };
}

TImpAnexo10::~TImpAnexo10() = default;

void TImpAnexo10::BtnImprimirClick() {
    if (combomes->currentText().trimmed().isEmpty()) {
        mensagens().mostra(QStringLiteral("Especifique o Mês!"));
        combomes->setFocus();
        return;
    }
    mes_ = combomes->currentText().left(2).toInt();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const auto cursor = qScopeGuard([] { QApplication::restoreOverrideCursor(); });

    leCliente();
    // The road lives until the preview has closed: an interrupted run removes
    // the computed file. It goes too when the run fails half-way.
    EstradaDoAnexo estrada(diretorioDados(), dm().Conexao, EstradaDoAnexo::AoSair::ApagaCopias);
    {
        AguardeRelatorio aguarde(this, 0);
        if (!Calcula_Dados(estrada, &aguarde))
            return;
        Totaliza();
        TITMeses();
    }
    relatorio1_->Print();

    if (mes_ % 2 == 0 &&
        EstradaDoAnexo::perguntaPlanilha(false) == EstradaDoAnexo::Planilha::Exporta)
        exportaParaPlanilha();
}

void TImpAnexo10::leCliente() {
    const CadastroDoCliente c = leCadastroDoCliente();
    ano_ = c.ano();
    exercicio_ = c.exercicio;
    executivo_ = c.nome.left(1).toUpper() == QLatin1String("P");

    TppReport& r = *relatorio1_;
    const auto poe = [&r](const char* rotulo, const QString& texto) {
        r.exige<TppLabel>(QString::fromLatin1(rotulo)).Caption = texto;
    };
    const QString municipio = QStringLiteral("MUNICIPIO: ") + c.cidade;
    const QString periodo = periodoDoAnexo10(executivo_, mes_, ano_);
    poe("cli1", c.nome);
    poe("ppLabel41", c.nome);
    poe("muni", municipio);
    poe("ppLabel45", municipio);
    poe("peri", periodo);
    poe("ppLabel46", periodo);
    preencheAssinaturasPelosCampos(r, c);
}

void TImpAnexo10::TITMeses() {
    TppReport& r = *relatorio1_;
    for (int k = 11; k >= 0; --k) {
        const int i = mes_ + 12 - k;
        const QString campo = QStringLiteral("VALOR") + QString::number(i);
        for (const char* pagina : {"", "i"}) {
            const QString p = QString::fromLatin1(pagina);
            r.exige<TppLabel>(QStringLiteral("T") + p + QStringLiteral("Mes") + sufixo(k)).Caption =
                nomeDoMesDoAnexo10(i);
            r.exige<TppDBText>(QStringLiteral("C") + p + QStringLiteral("Mes") + sufixo(k))
                .DataField = campo;
        }
    }
    const QString calculado = arquivoCalculado(diretorioDados());
    const auto carrega = [&](ClientDataSet& t, const QString& filtro) {
        t.close();
        t.setIndexFieldNames({});
        t.setFiltered(false);
        t.loadFromFile(calculado);
        t.setFilter(filtro);
        t.setFiltered(true);
        t.setIndexFieldNames(QStringLiteral("SEQ"));
    };
    carrega(cdsDP1, QStringLiteral("SEQ < 30"));
    carrega(cdsDP2, QStringLiteral("SEQ >29"));
}

namespace {

// The twelve months that end with `mes` on the current row of `t`.
Value dozeMeses(ClientDataSet& t, int mes) {
    Moeda total;
    for (int i = mes + 1; i <= mes + 12; ++i)
        total += t.fieldByName(QStringLiteral("VALOR") + QString::number(i)).asCurrency();
    return Value(total);
}

} // namespace

void TImpAnexo10::TotaisCalc(Value& valor) {
    valor = dozeMeses(cdsDP1, mes_);
}

void TImpAnexo10::ppVariable1Calc(Value& valor) {
    valor = dozeMeses(cdsDP2, mes_);
}

void TImpAnexo10::relatorio1PreviewFormClose() {
    const QString dir = diretorioDados();
    const QString calculado = arquivoCalculado(dir);
    // The computed file goes even when keeping the DP file fails.
    const auto remove = qScopeGuard([&calculado] { QFile::remove(calculado); });
    if (mes_ % 2 == 0) {
        ClientDataSet& xml = dm().cdsXML;
        xml.close();
        const auto fecha = qScopeGuard([&xml] { xml.close(); });
        xml.loadFromFile(calculado);
        xml.saveToFile(arquivoDp(dir, mes_));
    }
}

void TImpAnexo10::exportaParaPlanilha() {
    const std::unique_ptr<Planilha> planilha = lancador().novaPlanilha();
    exportaAnexo10(*planilha, lancador().caminhoPlanilha(), cdsDP1, cdsDP2, mes_, exercicio_,
                   executivo_);
}

} // namespace nq
