#include "annexes/gestao_fiscal/gestao_fiscal.h"

#include "annexes/common/assinaturas.h"
#include "annexes/common/estrada_anexo.h"
#include "annexes/common/justificativa.h"
#include "annexes/common/lancador.h"
#include "annexes/gestao_fiscal/calculo_gestao.h"
#include "annexes/gestao_fiscal/entradas_gestao.h"
#include "annexes/gestao_fiscal/planilha_gestao.h"
#include "core/configuracao.h"
#include "core/erro.h"
#include "core/globais.h"
#include "core/mensagens.h"
#include "db/consultas.h"
#include "db/modulodados.h"
#include "entry/catalogo.h"
#include "entry/janela/digitacao.h"
#include "entry/preparacoes.h"
#include "report/carregador.h"
#include "report/modelo.h"
#include "workbook/planilha.h"

#include <QApplication>
#include <QComboBox>
#include <QEventLoop>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace nq {

namespace {

const QString Seq = QStringLiteral("SEQ");

// The wait cursor for a scope, where there are windows.
class CursorDeEspera {
public:
    CursorDeEspera() {
        if (qobject_cast<QApplication*>(QCoreApplication::instance())) {
            QApplication::setOverrideCursor(Qt::WaitCursor);
            ativo_ = true;
        }
    }
    ~CursorDeEspera() { restaura(); }
    CursorDeEspera(const CursorDeEspera&) = delete;
    CursorDeEspera& operator=(const CursorDeEspera&) = delete;
    void restaura() {
        if (ativo_)
            QApplication::restoreOverrideCursor();
        ativo_ = false;
    }

private:
    bool ativo_ = false;
};

// The printed rows: a chamber prints personnel expenditure and the measures
// only; the year-end rows print when the period closes the year. The revenue
// row is the heading's.
QString filtroDasLinhas(bool camara, bool fimDoAno) {
    if (camara)
        return fimDoAno ? QStringLiteral("(SEQ<7 or SEQ>=30) AND (SEQ<>1)")
                        : QStringLiteral("(SEQ<7 or SEQ=30) AND (SEQ<>1)");
    return fimDoAno ? QStringLiteral("(SEQ<>1)") : QStringLiteral("(SEQ<30) AND (SEQ<>1)");
}

void abreDigitacaoNoPrograma() {
    QPointer<TFrmDigitacao> janela =
        new TFrmDigitacao(QStringLiteral("2- Relatório de Gestão Fiscal"));
    janela->setWindowModality(Qt::ApplicationModal);
    janela->setAttribute(Qt::WA_DeleteOnClose);
    QEventLoop espera;
    QObject::connect(janela, &QObject::destroyed, &espera, &QEventLoop::quit);
    janela->show();
    espera.exec();
}

AberturaDaDigitacao& aberturaInstalada() {
    static AberturaDaDigitacao a;
    return a;
}

void abreDigitacao() {
    if (aberturaInstalada())
        aberturaInstalada()();
    else
        abreDigitacaoNoPrograma();
}

QWidget* painel(const QString& titulo, QComboBox* combo, QWidget* pai) {
    auto* p = new QWidget(pai);
    auto* coluna = new QVBoxLayout(p);
    auto* rotulo = new QLabel(titulo, p);
    rotulo->setStyleSheet(QStringLiteral("background: #008080; color: white; font-weight: bold;"));
    coluna->addWidget(rotulo);
    coluna->addWidget(combo);
    return p;
}

QComboBox* seletor(const QString& nome, const QStringList& itens, QWidget* pai) {
    auto* c = new QComboBox(pai);
    c->setObjectName(nome);
    c->setEditable(false);
    c->addItems(itens);
    c->setCurrentIndex(-1);
    return c;
}

} // namespace

AberturaDaDigitacao instalaAberturaDaDigitacao(AberturaDaDigitacao abertura) {
    return std::exchange(aberturaInstalada(), std::move(abertura));
}

TForm101::TForm101(QWidget* dono)
    : QDialog(dono), relatorio1_(carregaLayout(QStringLiteral(":/gestao_fiscal/relatorio1.json"))) {
    setObjectName(QStringLiteral("Form101"));
    setWindowTitle(QStringLiteral("Modelo 10"));

    auto* titulo = new QLabel(QStringLiteral("Relatório de Gestão Fiscal"), this);
    titulo->setStyleSheet(QStringLiteral("color: #008080; font-weight: bold; font-size: 12pt;"));
    RBim = new QRadioButton(QStringLiteral("Bimestral"), this);
    RBim->setObjectName(QStringLiteral("RBim"));
    RBim->setChecked(true);
    RQua = new QRadioButton(QStringLiteral("Quadrimestral"), this);
    RQua->setObjectName(QStringLiteral("RQua"));
    CBim = seletor(QStringLiteral("CBim"),
                   {QStringLiteral("1 - Janeiro - Fevereiro"), QStringLiteral("2 - Março - Abril"),
                    QStringLiteral("3 - Maio -  Junho"), QStringLiteral("4 - Julho - Agosto"),
                    QStringLiteral("5 - Setembro - Outubro"),
                    QStringLiteral("6 - Novembro - Dezembro")},
                   this);
    combomes = seletor(QStringLiteral("combomes"),
                       {QStringLiteral("1 - Janeiro - Abril"), QStringLiteral("2 - Maio -  Agosto"),
                        QStringLiteral("3 - Setembro -  Dezembro")},
                       this);
    PBim = painel(QStringLiteral("Bimestre de Referência"), CBim, this);
    PBim->setObjectName(QStringLiteral("PBim"));
    PQua = painel(QStringLiteral("Quadrimestre de Referência"), combomes, this);
    PQua->setObjectName(QStringLiteral("PQua"));
    PQua->hide();
    BtnImprimir = new QPushButton(QStringLiteral("&Imprimir"), this);
    BtnImprimir->setObjectName(QStringLiteral("BtnImprimir"));
    Cancela = new QPushButton(QStringLiteral("Cancela"), this);
    Cancela->setObjectName(QStringLiteral("Cancela"));

    auto* tipos = new QHBoxLayout;
    tipos->addWidget(RBim);
    tipos->addWidget(RQua);
    auto* botoes = new QHBoxLayout;
    botoes->addStretch();
    botoes->addWidget(BtnImprimir);
    botoes->addWidget(Cancela);
    auto* coluna = new QVBoxLayout(this);
    coluna->addWidget(titulo);
    coluna->addLayout(tipos);
    coluna->addWidget(PBim);
    coluna->addWidget(PQua);
    coluna->addStretch();
    coluna->addLayout(botoes);

    connect(RBim, &QRadioButton::clicked, this, &TForm101::RBimClick);
    connect(RQua, &QRadioButton::clicked, this, &TForm101::RQuaClick);
    connect(BtnImprimir, &QPushButton::clicked, this, &TForm101::BtnImprimirClick);
    connect(Cancela, &QPushButton::clicked, this, &QDialog::reject);

    TppReport& r = *relatorio1_;
    r.ligaTabela(QStringLiteral("ppDBPipeline1"), cdsGestao);
    r.ligaTabela(QStringLiteral("ppDBPipeline3"), cdsGe3);
    r.ligaTabela(QStringLiteral("ppDBPipeline4"), cdsGeJus);
    r.OnPreviewFormCreate = [this] { relatorio1PreviewFormCreate(); };
}

TForm101::~TForm101() = default;

// One panel is hidden before the other shows: with both on show for a moment the window
// grows to hold them, and keeps that size with a blank where the second one was.
void TForm101::RBimClick() {
    PQua->hide();
    PBim->show();
}

void TForm101::RQuaClick() {
    PBim->hide();
    PQua->show();
}

PeriodoDaGestao TForm101::periodo() const {
    const bool quad = RQua->isChecked();
    return {quad, numeroDoItem((quad ? combomes : CBim)->currentText())};
}

void TForm101::relatorio1PreviewFormCreate() {
    relatorio1_->exige<TppLabel>(QStringLiteral("ppLabel3")).Caption =
        periodo().legenda().toUpper();
}

void TForm101::cabecalhos(const CadastroDoCliente& c, bool camara) {
    TppReport& r = *relatorio1_;
    const auto texto = [&r](const char* nome, const QString& valor) {
        r.exige<TppLabel>(QString::fromLatin1(nome)).Caption = valor;
    };
    texto("cli1", c.nome);
    texto("muni", QStringLiteral("MUNICIPIO: ") + c.cidade);
    texto("peri", camara ? QStringLiteral("PODER LEGISLATIVO MUNICIPAL")
                         : QStringLiteral("PODER EXECUTIVO MUNICIPAL"));
    preencheAssinaturasPelosCampos(r, c);
}

void TForm101::BtnImprimirClick() {
    const bool quad = RQua->isChecked();
    QComboBox* escolha = quad ? combomes : CBim;
    if (escolha->currentText().trimmed().isEmpty()) {
        mensagens().mostra(quad ? QStringLiteral("Especifique o Quadrimestre!")
                                : QStringLiteral("Especifique o Bimestre!"),
                           QStringLiteral("Atenção"), Icone::Exclamacao);
        escolha->setFocus();
        return;
    }
    ultrapassado_ = false;
    comandos_ = 0;
    const PeriodoDaGestao p = periodo();
    const CadastroDoCliente cliente = leCadastroDoCliente();
    // "Câmara", "CÂMARA" and "Camara" alike: the chamber's limits and rows.
    const bool camara = camaraEmMaiusculas(cliente.nome);
    cabecalhos(cliente, camara);

    // Everything the period needs is read before the report writes anything.
    const QString dir = diretorioDados();
    EntradasDaGestao entradas(dir, CaminhoDiretorio(QStringLiteral("DA")), p, cliente.exercicio,
                              anoExercicio());
    if (const QString falta = entradas.confere(camara); !falta.isEmpty()) {
        mensagens().mostra(falta, QStringLiteral("Atenção"), Icone::Erro);
        return;
    }

    // The previous exercise is taken from the files only where the typed
    // companion file was there before this run.
    const bool comDigitados =
        QFileInfo(caminhoArquivo(dir, ArquivoDigitado::GestaoFiscalDigitada)).isFile();
    // A quadrimester creates the typed companion file here when it is missing; a
    // damaged one stops the run before the report's own file is touched.
    const DigitadosDaGestao digitados(dir, p);

    PreparaGestaoFiscal(dir);
    cdsGestao.close();
    cdsGestao.setFiltered(false);
    cdsGestao.setFilter({});
    cdsGestao.setIndexFieldNames({});
    cdsGestao.setFileName(caminhoArquivo(dir, ArquivoDigitado::GestaoFiscal));
    cdsGestao.loadFromFile();
    cdsGestao.setIndexFieldNames(Seq);
    for (cdsGestao.first(); !cdsGestao.eof(); cdsGestao.next()) {
        cdsGestao.edit();
        for (const char* campo : {"PORC", "VALOR", "PORC1", "VALOR1"})
            cdsGestao.fieldByName(QString::fromLatin1(campo)).clear();
        cdsGestao.post();
    }
    cdsGestao.saveToFile();

    const bool mostraReserva = MostraEmpenhosReserva(dm().Conexao);
    EstradaDoAnexo estrada(dir, dm().Conexao);
    CalculoDaGestao calculo(cdsGestao, p, camara, entradas, digitados, estrada);
    {
        CursorDeEspera cursor;
        const QDate fim = QDate(cliente.ano(), p.mesFinal(), 1).addMonths(1).addDays(-1);
        const CalculoDaGestao::Restos restos =
            calculo.restosAPagar(arquivoNoDiretorio(dir, QStringLiteral("NQ404_APAGAR.XML")),
                                 dataSqlMDA(fim), mostraReserva);
        calculo.calcula(restos, mostraReserva);
        calculo.calculaAnterior(comDigitados);
    }
    comandos_ = estrada.comandos();

    if (calculo.receita().ehZero()) {
        if (!camara) {
            mensagens().mostra(
                QStringLiteral("O valor da RECEITA CORRENTE LIQUIDA do relatorio \"Demonstrativo "
                               "III\" não foi encontrado! Verifique se as receitas foram "
                               "digitadas!"),
                QStringLiteral("Atenção"), Icone::Erro);
            return;
        }
        if (mensagens().pergunta(QStringLiteral("O Valor da RECEITA CORRENTE LIQUIDA do "
                                                "quadrimestre ainda não foi digitado! Deseja "
                                                "digita-lo agora?"),
                                 QStringLiteral("Confirma?"), Icone::Pergunta))
            abreDigitacao();
    }

    try {
        CursorDeEspera cursor;
        calculo.recalcula();
        ultrapassado_ = calculo.limiteUltrapassado();
        cdsGestao.setFilter(filtroDasLinhas(camara, p.fechaOAno()));
        cdsGestao.setFiltered(true);
        cdsGe3.close();
        cdsGe3.setFilter(QStringLiteral("(SEQ=1)"));
        cdsGe3.setFiltered(true);
        cdsGe3.loadFromFile(cdsGestao.fileName());
        if (!QFileInfo(caminhoArquivo(dir, ArquivoDigitado::Justificativas)).isFile())
            PreparaJustificativas(dir);
        cursor.restaura();
        if (ultrapassado_)
            pedeJustificativa();
        cdsGeJus.close();
        cdsGeJus.setFilter(QStringLiteral("CODIGO=2"));
        cdsGeJus.setFiltered(true);
        cdsGeJus.loadFromFile(caminhoArquivo(dir, ArquivoDigitado::Justificativas));
        relatorio1_->Print();
        exporta(p, camara);
    } catch (const Erro& e) {
        mensagens().mostra(QStringLiteral("O seguinte erro ocorreu ao gerar o relatório!\rErro: ") +
                               e.texto(),
                           QStringLiteral("Atenção"), Icone::Erro);
    }
    cdsGestao.close();
}

void TForm101::pedeJustificativa() {
    mensagens().mostra(QStringLiteral("Os limites acima foram utrapassados. Deverá ser "
                                      "apresentado uma justificativa."),
                       QStringLiteral("Atenção"), Icone::Exclamacao);
    TFormJustific dialogo(this);
    dialogo.setObjectName(QStringLiteral("Formjustific"));
    dialogo.Tag = 1;
    nq::pedeJustificativa(dialogo);
}

void TForm101::exporta(const PeriodoDaGestao& p, bool camara) {
    const QString caminho = lancador().caminhoPlanilha();
    if (!p.quadrimestral || caminho.isEmpty() ||
        !mensagens().pergunta(QStringLiteral("Deseja Exportar os Dados para a Planilha do TCE ?"),
                              QStringLiteral("Atenção"), Icone::Pergunta))
        return;
    if (!QFileInfo(caminho).isFile()) {
        mensagens().mostra(QStringLiteral("O Caminho da Planilha informado não existe !"),
                           QStringLiteral("Atenção"), Icone::Erro);
        return;
    }
    const std::unique_ptr<Planilha> planilha = lancador().novaPlanilha();
    exportaGestaoFiscal(*planilha, caminho, cdsGe3, cdsGestao, p.numero, camara);
}

} // namespace nq
