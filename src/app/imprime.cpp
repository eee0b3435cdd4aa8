#include "imprime.h"

#include "core/erro.h"
#include "core/mensagens.h"
#include "db/consultas.h"
#include "db/modulodados.h"
#include "planilha_tce.h"
#include "report/carregador.h"
#include "report/modelo.h"
#include "report/preview/preview.h"
#include "segundo_plano.h"
#include "workbook/planilha.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFocusEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScopeGuard>
#include <QShowEvent>
#include <QStyle>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace nq {

struct TFrmImprime::Linha {
    QString numero, modelo, demonstrativo;
    bool testaBimestre = false;
    // The chamber notice's texts; an empty model means the row has no notice.
    QString modeloDoAviso, artigo, entidades;
    // The annex window; none for the row that is never drawn.
    QString janela;
    // The button pressed before the window is freed; empty: the window is shown modally.
    QString botao;
};

namespace {

const QColor Azulado(0, 128, 128);

const QString ArtigoModelo1 =
    QStringLiteral("(Artigo 52, Incisos I e II, alíneas \"a\" e \"b\", da NQ. 404/00)");
const QString ArtigoModelos5e6 = QStringLiteral("( Artigo 53, Incisos III  da NQ. 404/00 )");

// How each row names its report in the titles of the preview and of the files.
const char* const NomesDasLinhas[] = {"Anexo 1", "Anexo 1B", "Anexo 2", "Anexo 3",
                                      "Anexo 4", "Anexo 5",  "Anexo 6", "Anexo 7",
                                      "Anexo 8", "",         "",        "Anexo 10"};

// The municipality record, opened when closed.
ClientDataSet& municipio() {
    ClientDataSet& q = dm().qrCliente;
    if (!q.active())
        q.open();
    if (q.isEmpty())
        throw Erro(QStringLiteral("O cadastro do município (tabela CADCLI) está vazio."));
    q.first();
    return q;
}

QString campo(ClientDataSet& q, const QString& nome) {
    return q.fieldByName(nome).asString();
}

int exercicioDe(ClientDataSet& q) {
    const QString mexer = campo(q, QStringLiteral("MEXER")).trimmed();
    bool ok = false;
    const int ano = mexer.toInt(&ok);
    if (!ok)
        throw Erro(QStringLiteral("O exercício do cadastro do município (MEXER) não é um ano: "
                                  "\"%1\".")
                       .arg(mexer));
    return ano;
}

void cursorNormal() {
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
}

QLabel* rotulo(const QString& texto, QWidget* pai) {
    auto* l = new QLabel(texto, pai);
    l->setWordWrap(true);
    return l;
}

} // namespace

const std::vector<TFrmImprime::Linha>& TFrmImprime::linhas() {
    const QString calcula = QStringLiteral("btncalcula");
    const QString imprime = QStringLiteral("BtnImprimir");
    static const std::vector<Linha> tabela = {
        {"01", "MOD 01", "Relatório Resumido da Execução Orçamentária", true, "modelo I",
         ArtigoModelo1, "ADMINISTRAÇÃO DIRETA / INDIRETA / FUNDACIONAL", "ImpAnexo1", calcula},
        {"", " ANEXO", "Relatório Resumido da Execução Orçamentária - PODERES/ORGÃOS", true,
         "Anexo modelo I", ArtigoModelo1, "RESULTADO DA EXECUÇÃO ORÇAMENTÁRIA PODERES/ÓRGÃOS",
         "ImpAnexo1B", calcula},
        {"02", "MOD 02 ", "Relatório Resumido Execução Orçamentária - FUNÇÕES/PROGRAMAS", true,
         "modelo 2", "(Artigo 52, Inciso II, alínea \"c\" , da NQ. 404/00)",
         "RESULTADO DA EXECUÇÃO ORÇAMENTÁRIA POR FUNÇÃO/PROGRAMA", "ImpAnexo2", calcula},
        {"03", "MOD 03 ", "Receita Corrente Líquida", true, "", "", "", "ImpAnexo3", calcula},
        {"04", "MOD 04", "Receitas e Despesas Previdenciárias", true, "modelo 4",
         "( Artigo 53, Incisos II e 50, Inciso IV da NQ. 404/00)",
         "DEMONSTRATIVO DAS RECEITAS E DESPESAS PREVIDENCIÁRIAS", "ImpAnexo4", calcula},
        {"05", "MOD 05", "Resultado Nominal e Primário", true, "modelo 5", ArtigoModelos5e6,
         "RESULTADO NOMINAL E PRIMÁRIO", "ImpAnexo5", calcula},
        {"06", "MOD 06", "Restos a Pagar", true, "modelo 6", ArtigoModelos5e6,
         "DEMONSTRATIVOS DOS RESTOS A PAGAR", "ImpAnexo6", imprime},
        {"07", "MOD 07", "Comparativo das Receitas e Operações de Crédito e Despesas de Capital",
         true, "modelo 7", "( Artigos 53, § 1º, Inciso I, e 38, § 1º da NQ.404/00)",
         "COMPARATIVO DAS RECEITAS DE OPERAÇÕES DE CRÉDITO E DESPESAS DE CAPITAL", "Form07",
         imprime},
        {"08", "MOD 08", "Projeções Atuariais do Regime de Previdência Própria", false, "modelo 8",
         "( Artigo 53, Incisos II, da NQ.404/00)",
         "DEMONSTRATIVO DAS PROJEÇÕES ATUARIAIS DO REGIME DE PREVIDENCIA PRÓPRIA", "ImpAnexo8",
         calcula},
        {"09", "MOD 09", "Variação Patrim e Aplic de Recursos Decorrentes da Alienação de Ativos",
         false, "", "", "", "", ""},
        {"10", "MOD 10", "Relatório de Gestão Fiscal", false, "", "", "", "Form101", ""},
        {"", " ANEXO", "Despesas com Pessoal e Previdenciárias ", false, "", "", "", "ImpAnexo10",
         ""},
    };
    return tabela;
}

TFrmImprime::TFrmImprime(AnexosDisponiveis anexos, FabricaDePlanilha planilha, QWidget* pai)
    : QWidget(pai), anexos_(std::move(anexos)), planilha_(std::move(planilha)),
      relatorio_(carregaLayout(QStringLiteral(":/app/layouts/aviso_camara.json"))) {
    setObjectName(QStringLiteral("FrmImprime"));
    setWindowTitle(QStringLiteral("Impressão dos Anexos"));
    setFont(QFont(QStringLiteral("Arial"), 8));
    escolheArquivo = [this] {
        return QFileDialog::getOpenFileName(
            this, QStringLiteral("Planilha do Tribunal de Contas"),
            QFileInfo(Edit1->text()).absolutePath(),
            QStringLiteral("Planilha do Excel (*.xls);;Planilhas (*.xls *.xlsx *.ods)"));
    };
    planilhaDaVerificacao = planilha_;
    criaControles();
    if (QFileInfo::exists(caminhoCorfocoIni()))
        Edit1->setText(lePlanilhaCorfoco());
    anterior_ = instalaLancador(this);
}

TFrmImprime::~TFrmImprime() {
    Edit1->removeEventFilter(this);
    ListView1->removeEventFilter(this);
    ValoresDoLancador* atual = instalaLancador(anterior_);
    if (atual != this)
        instalaLancador(atual);
}

void TFrmImprime::criaControles() {
    auto* cabecalho = new QWidget(this);
    cabecalho->setAutoFillBackground(true);
    QPalette cores = cabecalho->palette();
    cores.setColor(QPalette::Window, Azulado);
    cabecalho->setPalette(cores);
    auto* colunaCabecalho = new QVBoxLayout(cabecalho);
    auto* titulo = new QLabel(QStringLiteral("Bimestre de Referência"), cabecalho);
    titulo->setStyleSheet(QStringLiteral("color: white; font-weight: bold;"));
    combomes = new QComboBox(cabecalho);
    combomes->setObjectName(QStringLiteral("combomes"));
    combomes->setEditable(false);
    combomes->setMaxVisibleItems(10);
    combomes->addItems(textosBimestres());
    combomes->setCurrentIndex(-1);
    colunaCabecalho->addWidget(titulo);
    colunaCabecalho->addWidget(combomes);

    auto* imprimir = new QLabel(QStringLiteral("Imprimir Anexo"), this);
    imprimir->setStyleSheet(QStringLiteral("color: #008080; font-weight: bold; font-size: 12pt;"));

    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->installEventFilter(this);
    SpeedButton1 = new QToolButton(this);
    SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
    SpeedButton1->setText(QStringLiteral("..."));
    SpeedButton1->setToolTip(QStringLiteral("Escolher a planilha"));
    connect(SpeedButton1, &QToolButton::clicked, this, &TFrmImprime::SpeedButton1Click);
    auto* caminho = new QHBoxLayout;
    caminho->addWidget(Edit1, 1);
    caminho->addWidget(SpeedButton1);

    ListView1 = new QTreeWidget(this);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView1->setColumnCount(3);
    ListView1->setHeaderLabels(
        {QStringLiteral("Nº"), QStringLiteral("MODELOS"), QStringLiteral("DEMONSTRATIVOS")});
    // The check box shares the first column with the number.
    ListView1->setColumnWidth(0, 40 + style()->pixelMetric(QStyle::PM_IndicatorWidth) + 4);
    ListView1->setColumnWidth(1, 90);
    ListView1->setColumnWidth(2, 520);
    ListView1->setRootIsDecorated(false);
    ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView1->setFont(QFont(QStringLiteral("Bookman Old Style"), 9));
    QPalette fundo = ListView1->palette();
    fundo.setColor(QPalette::Base, QColor(239, 239, 230));
    ListView1->setPalette(fundo);
    for (const Linha& l : linhas()) {
        auto* item = new QTreeWidgetItem(ListView1);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        // The row without an annex stays blank, though it answers a click.
        if (l.janela.isEmpty())
            continue;
        item->setText(0, l.numero);
        item->setText(1, l.modelo);
        item->setText(2, l.demonstrativo);
        item->setCheckState(0, Qt::Unchecked);
    }
    ListView1->installEventFilter(this);
    connect(ListView1, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
        ListView1->setCurrentItem(item);
        ListView1Click();
    });

    auto* coluna = new QVBoxLayout(this);
    coluna->addWidget(cabecalho);
    coluna->addWidget(imprimir);
    coluna->addWidget(
        rotulo(QStringLiteral("Informe o Caminho da Planilha do Tribunal de Contas"), this));
    coluna->addLayout(caminho);
    coluna->addWidget(rotulo(QStringLiteral("Se você deseja exportar as informações para a "
                                            "planilha do TCE-SP, informe o diretório e a planilha "
                                            "acima."),
                             this));
    coluna->addWidget(ListView1, 1);
}

QString TFrmImprime::textoBimestre() const {
    return combomes->currentText();
}

int TFrmImprime::indiceBimestre() const {
    return combomes->currentIndex();
}

QString TFrmImprime::caminhoPlanilha() const {
    return Edit1->text();
}

std::unique_ptr<Planilha> TFrmImprime::novaPlanilha() {
    if (!planilha_)
        throw Erro(QStringLiteral("O programa de planilhas não está disponível."));
    return planilha_();
}

void TFrmImprime::showEvent(QShowEvent* evento) {
    QWidget::showEvent(evento);
    if (!evento->spontaneous())
        FormShow();
}

void TFrmImprime::FormShow() {
    if (nomeDeCamara(campo(municipio(), QStringLiteral("CLNT1"))))
        marcaCamaraLegislativa();
    defineFiltroReserva(MostraEmpenhosReserva(dm().Conexao));
}

bool TFrmImprime::eventFilter(QObject* objeto, QEvent* evento) {
    if (objeto == ListView1 && evento->type() == QEvent::KeyPress) {
        const int tecla = static_cast<QKeyEvent*>(evento)->key();
        if (tecla == Qt::Key_Return || tecla == Qt::Key_Enter) {
            ListView1Click();
            return true;
        }
    }
    if (objeto == Edit1 && evento->type() == QEvent::FocusOut) {
        // Another window taking the focus (a message box, a menu) is not leaving the field.
        const Qt::FocusReason motivo = static_cast<QFocusEvent*>(evento)->reason();
        if (motivo != Qt::ActiveWindowFocusReason && motivo != Qt::PopupFocusReason)
            Edit1Exit();
    }
    return QWidget::eventFilter(objeto, evento);
}

void TFrmImprime::ListView1Click() {
    QTreeWidgetItem* item = ListView1->currentItem();
    if (!item)
        return;
    const int linha = ListView1->indexOfTopLevelItem(item);
    defineBimestreSelecionado(combomes->currentIndex() + 1);
    if (!linhas()[linha].janela.isEmpty())
        item->setCheckState(0, Qt::Checked);
    municipio();
    if (linha != 0) {
        executaLinha(linha);
        return;
    }
    try {
        executaLinha(linha);
    } catch (const Erro& e) {
        cursorNormal();
        mensagens().mostra(QStringLiteral("O seguinte erro ocorreu!\rErro: ") + e.texto());
    } catch (const std::exception& e) {
        cursorNormal();
        mensagens().mostra(QStringLiteral("O seguinte erro ocorreu!\rErro: ") +
                           QString::fromLocal8Bit(e.what()));
    }
}

QString TFrmImprime::tituloDaLinha(int indice) {
    const Linha& linha = linhas()[indice];
    ClientDataSet& q = municipio();
    const QString ano = campo(q, QStringLiteral("MEXER")).trimmed();
    const QString nome = QString::fromUtf8(NomesDasLinhas[indice]);
    const QString periodo =
        linha.testaBimestre && !combomes->currentText().isEmpty()
            ? combomes->currentText().left(1) + QStringLiteral("º Bimestre de ") + ano
            : QStringLiteral("Exercício de ") + ano;
    return (nome.isEmpty() ? QString() : nome + QStringLiteral(" - ")) +
           linha.demonstrativo.trimmed() + QStringLiteral(" - ") +
           campo(q, QStringLiteral("CLNT1")).trimmed() + QStringLiteral(" - ") + periodo;
}

void TFrmImprime::executaLinha(int indice) {
    const Linha& linha = linhas()[indice];
    const TituloDosRelatorios titulo(tituloDaLinha(indice));
    if (linha.janela.isEmpty()) {
        mensagens().mostra(QStringLiteral("Relatório não disponível nessa versão!"));
        return;
    }
    if (linha.testaBimestre && combomes->currentText().isEmpty()) {
        mensagens().mostra(QStringLiteral("Especifique o Bimestre!"));
        combomes->showPopup();
        return;
    }
    if (!linha.modeloDoAviso.isEmpty() && camaraLegislativa()) {
        imprimeAviso(linha);
        return;
    }
    executaAnexo(linha);
}

void TFrmImprime::imprimeAviso(const Linha& linha) {
    ClientDataSet& q = municipio();
    TppReport& r = *relatorio_;
    auto texto = [&r](const char* nome, const QString& valor) {
        r.exige<TppLabel>(QString::fromLatin1(nome)).Caption = valor;
    };
    texto("PPCLIENTE", campo(q, QStringLiteral("CLNT1")));
    texto("PPMUNICIPIO", QStringLiteral("MUNICIPIO: ") + campo(q, QStringLiteral("CID")));
    texto("PPRELATORIO", QStringLiteral("RELATÓRIO RESUMIDO DA EXECUÇÃO ORÇAMENTÁRIA"));
    texto("PPMODELO", linha.modeloDoAviso);
    texto("PPARTIGO", linha.artigo);
    texto("PPENTIDADES", linha.entidades);
    texto("PPBIMESTRE", combomes->currentText().left(1) + QStringLiteral("º BIMESTRE DE ") +
                            campo(q, QStringLiteral("MEXER")));
    TppMemo& memo = r.exige<TppMemo>(QStringLiteral("ppMemo1"));
    memo.Lines = {QStringLiteral("Este Relatório deverá ser elaborado pelo Poder Executivo "
                                 "conforme disposto no :"),
                  linha.artigo};
    r.Print();
}

void TFrmImprime::executaAnexo(const Linha& linha) {
    const auto fabrica = anexos_.find(linha.janela);
    if (fabrica == anexos_.end() || !fabrica->second) {
        mensagens().mostra(QStringLiteral("O relatório \"%1\" ainda não está disponível nesta "
                                          "versão do programa.")
                               .arg(linha.demonstrativo.trimmed()),
                           QStringLiteral("Atenção"), Icone::Informacao);
        return;
    }
    QWidget* janela = findChild<QWidget*>(linha.janela, Qt::FindDirectChildrenOnly);
    if (!janela) {
        janela = fabrica->second(this);
        janela->setObjectName(linha.janela);
    }

    if (linha.botao.isEmpty()) {
        auto* dialogo = qobject_cast<QDialog*>(janela);
        if (!dialogo) {
            delete janela;
            throw Erro(QStringLiteral("A janela %1 não pode ser mostrada como diálogo.")
                           .arg(linha.janela));
        }
        dialogo->exec();
        return;
    }

    // Freed when the press returns, also when the annex fails.
    const std::unique_ptr<QWidget> dono(janela);
    auto* botao = janela->findChild<QAbstractButton*>(linha.botao);
    if (!botao)
        throw Erro(
            QStringLiteral("A janela %1 não tem o botão %2.").arg(linha.janela, linha.botao));
    botao->click();
}

void TFrmImprime::SpeedButton1Click() {
    Edit1->setEnabled(true);
    const QString escolhido = escolheArquivo();
    if (!escolhido.isEmpty()) {
        Edit1->setText(QDir::toNativeSeparators(escolhido));
        gravaPlanilhaCorfoco(Edit1->text());
    }
    Edit1->setFocus();
}

void TFrmImprime::Edit1Exit() {
    if (verificando_)
        return;
    verificando_ = true;
    const auto fim = qScopeGuard([this] { verificando_ = false; });
    ClientDataSet& q = municipio();
    const int exercicio = exercicioDe(q);
    const QString nome = campo(q, QStringLiteral("CLNT1"));
    const QString caminho = Edit1->text();
    const QString celula = celulaDaVersao(exercicio);
    ResultadoVerificacao r = ResultadoVerificacao::NaoVerificada;
    if (const auto guardada = verificacaoGuardada(caminho, celula);
        guardada && !camaraNaVerificacao(nome)) {
        r = *guardada;
        if (r == ResultadoVerificacao::Incompativel)
            avisaVersaoIncorreta();
    } else {
        r = verificaPlanilha(caminho, exercicio, nome, planilhaDaVerificacao,
                             [this](const std::function<void()>& leitura) {
                                 executaEmSegundoPlano(
                                     this, QStringLiteral("Verificando a versão da planilha..."),
                                     leitura);
                             });
        try {
            guardaVerificacao(caminho, celula, r);
        } catch (const Erro&) {
            // Not kept, the workbook is only checked again next time.
        }
    }
    if (r == ResultadoVerificacao::Compativel)
        Edit1->setEnabled(false);
}

} // namespace nq
