#include "entry/janela/digitacao.h"

#include "core/erro.h"
#include "core/mensagens.h"
#include "entry/catalogo.h"
#include "entry/consultas.h"
#include "entry/janela/edicao.h"
#include "entry/janela/modelo_grade.h"
#include "entry/janela/recalculos.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTime>
#include <QVBoxLayout>

namespace nq {

namespace {

const QString Atencao = QStringLiteral("Atenção");

QLabel* painel(const QString& texto, QWidget* pai) {
    auto* p = new QLabel(texto, pai);
    p->setFrameShape(QFrame::Panel);
    p->setFrameShadow(QFrame::Raised);
    return p;
}

bool ehTeclaDeDigitacao(const QKeyEvent* tecla) {
    if (tecla->text().isEmpty())
        return false;
    switch (tecla->key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Escape:
        return false;
    default:
        return true;
    }
}

} // namespace

TFrmDigitacao::TFrmDigitacao(const QString& titulo, FontesDaDigitacao fontes, QWidget* pai)
    : QWidget(pai), fontes_(std::move(fontes)) {
    setObjectName(QStringLiteral("FrmDigitacao"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Digitação Adm Indireta"));
    montaTela(titulo);
    conecta();
    SaiEdicao(this);
}

TFrmDigitacao::~TFrmDigitacao() {
    // The grid's model listens to the table: let it go first.
    DBGrid->setModel(nullptr);
    delete modelo_;
}

void TFrmDigitacao::montaTela(const QString& titulo) {
    auto* geral = new QVBoxLayout(this);
    geral->setContentsMargins(0, 0, 0, 0);

    // The title over the annex choice, so that the window fits a small screen.
    auto* Panel5 = new QWidget(this);
    Panel5->setAutoFillBackground(true);
    Panel5->setPalette(QPalette(Qt::white));
    auto* topo = new QVBoxLayout(Panel5);
    relato = new QLabel(titulo, Panel5);
    relato->setObjectName(QStringLiteral("relato"));
    QFont negrito = relato->font();
    negrito.setBold(true);
    negrito.setPixelSize(16);
    relato->setFont(negrito);
    relato->setWordWrap(true);
    topo->addWidget(relato);
    auto* Panel1 = new QWidget(Panel5);
    auto* linhaAnexo = new QHBoxLayout(Panel1);
    linhaAnexo->setContentsMargins(0, 0, 0, 0);
    linhaAnexo->addWidget(new QLabel(QStringLiteral("  Anexo ->"), Panel1));
    cmbAnexos = new QComboBox(Panel1);
    cmbAnexos->setObjectName(QStringLiteral("cmbAnexos"));
    QFont garamond(QStringLiteral("Garamond"));
    garamond.setPixelSize(16);
    cmbAnexos->setFont(garamond);
    cmbAnexos->setMaxVisibleItems(10);
    // Narrower than its longest item where the window is narrow; the open list shows it whole.
    cmbAnexos->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    cmbAnexos->setMinimumContentsLength(24);
    linhaAnexo->addWidget(cmbAnexos, 1);
    topo->addWidget(Panel1);
    // Before an annex is chosen the heading stays at the top, not in mid-window.
    geral->addWidget(Panel5, 0, Qt::AlignTop);

    paginas = new QWidget(this);
    paginas->setObjectName(QStringLiteral("paginas"));
    paginas->hide();
    auto* corpo = new QVBoxLayout(paginas);
    corpo->addWidget(painel(
        QStringLiteral("Digitação de Dados para Administração Indireta ou Fundacional"), paginas));
    auto* Panel11 = new QWidget(paginas);
    auto* escolhas = new QHBoxLayout(Panel11);
    Label6 = new QLabel(QStringLiteral("Ano de Referência"), Panel11);
    cmbmes = new QComboBox(Panel11);
    cmbmes->setObjectName(QStringLiteral("cmbmes"));
    labeltipo = new QLabel(QStringLiteral("Tipo"), Panel11);
    comboTipo = new QComboBox(Panel11);
    comboTipo->setObjectName(QStringLiteral("comboTipo"));
    comboTipo->setMinimumContentsLength(16);
    btnmes = new QPushButton(QStringLiteral("&Digitar"), Panel11);
    btnmes->setObjectName(QStringLiteral("btnmes"));
    for (QWidget* w : {static_cast<QWidget*>(Label6), static_cast<QWidget*>(cmbmes),
                       static_cast<QWidget*>(labeltipo), static_cast<QWidget*>(comboTipo),
                       static_cast<QWidget*>(btnmes)})
        escolhas->addWidget(w);
    escolhas->addStretch(1);
    corpo->addWidget(Panel11);

    DBGrid = new QTableView(paginas);
    DBGrid->setObjectName(QStringLiteral("DBGrid"));
    modelo_ = new ModeloDaGrade(cdsDig);
    delegado_ = new DelegadoDaGrade(DBGrid);
    DBGrid->setModel(modelo_);
    DBGrid->setItemDelegate(delegado_);
    DBGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    DBGrid->setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::EditKeyPressed |
                            QAbstractItemView::DoubleClicked);
    DBGrid->setTabKeyNavigation(true);
    DBGrid->setWordWrap(true);
    DBGrid->verticalHeader()->setDefaultSectionSize(DBGrid->fontMetrics().height() + 6);
    QPalette cores = DBGrid->palette();
    cores.setColor(QPalette::Base, QColor(239, 239, 230));
    cores.setColor(QPalette::Highlight, QColor(209, 209, 165));
    cores.setColor(QPalette::HighlightedText, Qt::black);
    DBGrid->setPalette(cores);
    DBGrid->setStyleSheet(
        QStringLiteral("QHeaderView::section { background-color: teal; color: white; }"));
    DBGrid->installEventFilter(this);
    corpo->addWidget(DBGrid, 1);

    auto* botoes = new QHBoxLayout;
    lblGravado = new QLabel(paginas);
    lblGravado->setObjectName(QStringLiteral("lblGravado"));
    lblGravado->setWordWrap(true);
    lblGravado->setTextInteractionFlags(Qt::TextSelectableByMouse);
    botoes->addWidget(lblGravado, 1);
    btnok = new QPushButton(QStringLiteral("Ok"), paginas);
    btnok->setObjectName(QStringLiteral("btnok"));
    btncancel = new QPushButton(QStringLiteral("Cancela"), paginas);
    btncancel->setObjectName(QStringLiteral("btncancel"));
    btncancel->setShortcut(QKeySequence(Qt::Key_Escape));
    botoes->addWidget(btnok);
    botoes->addWidget(btncancel);
    corpo->addLayout(botoes);
    geral->addWidget(paginas, 1);
}

void TFrmDigitacao::conecta() {
    connect(cmbAnexos, &QComboBox::currentIndexChanged, this,
            [this] { protegido([this] { cmbAnexosChange(); }); });
    connect(comboTipo, &QComboBox::currentIndexChanged, this,
            [this] { protegido([this] { comboTipoChange(); }); });
    connect(cmbmes, &QComboBox::currentIndexChanged, this,
            [this] { protegido([this] { cmbmesChange(); }); });
    connect(btnmes, &QPushButton::clicked, this, [this] { protegido([this] { btnmesClick(); }); });
    connect(btnok, &QPushButton::clicked, this, [this] { protegido([this] { btnokClick(); }); });
    connect(btncancel, &QPushButton::clicked, this,
            [this] { protegido([this] { btncancelClick(); }); });
    // Enter in a cell editor posts the row; so does moving to another row. A value
    // refused at Enter has been told and dropped; one refused as the editor lost
    // the focus (to "Ok", say) is kept for "Ok" to bring back.
    connect(delegado_, &QAbstractItemDelegate::closeEditor, this,
            [this](QWidget*, QAbstractItemDelegate::EndEditHint dica) {
                if (dica != QAbstractItemDelegate::SubmitModelCache)
                    return;
                delegado_->esqueceRecusa();
                if (cdsDig.state() == DataSetState::Edit)
                    protegido([this] { cdsDig.post(); });
            });
    connect(DBGrid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& atual) {
                if (cdsDig.active() && atual.isValid())
                    protegido([this, atual] { cdsDig.setRecNo(atual.row() + 1); });
            });
}

void TFrmDigitacao::protegido(const std::function<void()>& acao) {
    try {
        acao();
    } catch (const Erro& e) {
        mensagens().mostra(e.texto(), QStringLiteral("NQ 404"), Icone::Erro);
    } catch (const std::exception& e) {
        mensagens().mostra(QString::fromLocal8Bit(e.what()), QStringLiteral("NQ 404"), Icone::Erro);
    }
}

QString TFrmDigitacao::codigoDoAnexo() const {
    return cmbAnexos->currentText().left(5).trimmed();
}

void TFrmDigitacao::showEvent(QShowEvent* evento) {
    QWidget::showEvent(evento);
    if (!mostrada_) {
        mostrada_ = true;
        protegido([this] { FormShow(); });
    }
}

void TFrmDigitacao::FormShow() {
    // The main window's shortcut bar stays out of the way while this window is up.
    if (QWidget* principal = window(); principal != this)
        barra_ = principal->findChild<QWidget*>(QStringLiteral("Barra"));
    if (barra_) {
        barraVisivel_ = !barra_->isHidden();
        barra_->hide();
    }
    const QSignalBlocker bloqueio(cmbAnexos);
    cmbAnexos->clear();
    cmbAnexos->addItems(itensDosAnexos(relato->text()));
    cmbAnexos->setCurrentIndex(-1);
    if (!relato->text().startsWith(u'1')) {
        cmbAnexos->setFocus();
        cmbAnexos->showPopup();
    }
}

void TFrmDigitacao::closeEvent(QCloseEvent* evento) {
    if (!resolveAlteracoes()) {
        evento->ignore();
        return;
    }
    descartaEditor();
    fechaTabela();
    if (barra_)
        barra_->setVisible(barraVisivel_);
    QWidget::closeEvent(evento);
}

void TFrmDigitacao::fechaTabela() {
    cdsDig.cancel();
    cdsDig.close();
    // The next file may have no ID to order by (annex 8 after a line file).
    cdsDig.setIndexFieldNames({});
    modelo_->defineDigitacao(false);
}

void TFrmDigitacao::cmbAnexosChange() {
    const QString codigo = codigoDoAnexo();
    if (codigo.isEmpty()) {
        fechaTabela();
        return;
    }
    const AnexoDigitado& anexo = anexoDigitado(codigo);
    paginas->show();
    descartaEditor();
    SaiEdicao(this);
    anexo3_ = false;
    const QSignalBlocker bloqueiaTipo(comboTipo);
    const QSignalBlocker bloqueiaAno(cmbmes);
    comboTipo->clear();
    QStringList anos;
    if (anexo.pedeAno || anexo.tiposSaoAnos) {
        const int ano = anoDoDiretorio(fontes_.diretorio);
        anos << QString::number(ano - 1) << QString::number(ano);
    }

    Label6->setVisible(anexo.pedeAno);
    cmbmes->setVisible(anexo.pedeAno);
    if (anexo.pedeAno) {
        Label6->setText(QStringLiteral("Ano de Referência"));
        cmbmes->clear();
        cmbmes->addItems(anos);
        cmbmes->setCurrentIndex(-1);
    }
    const bool pedeTipo = anexo.tiposSaoAnos || !anexo.tipos.isEmpty();
    labeltipo->setVisible(pedeTipo);
    comboTipo->setVisible(pedeTipo);
    comboTipo->addItems(anexo.tiposSaoAnos ? anos : anexo.tipos);
    comboTipo->setCurrentIndex(-1);
    anexo3_ = anexo.tiposSaoAnos;
    fechaTabela();
}

void TFrmDigitacao::comboTipoChange() {
    descartaEditor();
    fechaTabela();
}

void TFrmDigitacao::cmbmesChange() {
    descartaEditor();
    fechaTabela();
}

void TFrmDigitacao::btnmesClick() {
    const QString codigo = codigoDoAnexo();
    if (codigo.isEmpty())
        return;
    if (!cmbmes->isHidden() && cmbmes->currentText().trimmed().isEmpty()) {
        mensagens().mostra(QStringLiteral("Entre com o ano de referência!"), Atencao,
                           Icone::Informacao);
        cmbmes->setFocus();
        return;
    }
    if (!comboTipo->isHidden() && comboTipo->currentText().trimmed().isEmpty()) {
        mensagens().mostra(QStringLiteral("Entre com o tipo!"), Atencao, Icone::Informacao);
        comboTipo->setFocus();
        return;
    }
    const AnexoDigitado& anexo = anexoDigitado(codigo);
    EntraEdicao(this);
    fechaTabela();
    try {
        const QString arquivo =
            preparaArquivo(anexo, comboTipo->currentText(), cmbmes->currentText(), fontes_);
        anexo3_ = anexo.tiposSaoAnos;
        cdsDig.setTag(anexo.tag);
        cdsDig.setFileName(arquivo);
        cdsDig.open();
        cdsDigAfterOpen();
        if (!anexo.titulos.isEmpty())
            CAMPOS_VISIVEIS(anexo.titulos);
        modelo_->defineDigitacao(true);
        ajustaColunas();
    } catch (...) {
        // Nothing to type into: back to choosing.
        fechaTabela();
        SaiEdicao(this);
        throw;
    }
    DBGrid->setFocus();
    if (modelo_->rowCount() > 0)
        DBGrid->setCurrentIndex(modelo_->index(0, 0));
}

void TFrmDigitacao::cdsDigAfterOpen() {
    if (cdsDig.fieldIndex(QStringLiteral("ID")) >= 0)
        cdsDig.setIndexFieldNames(QStringLiteral("ID"));
    const int campos = cdsDig.fieldCount();
    for (int c = 0; c < campos; ++c)
        DBGrid->setColumnHidden(c, false);
    const auto esconde = [this](const QString& campo) {
        const int c = cdsDig.fieldIndex(campo);
        if (c >= 0)
            DBGrid->setColumnHidden(c, true);
    };
    const auto ehTexto = [this](int c) { return cdsDig.fieldDef(c).kind == FieldKind::Text; };
    switch (cdsDig.tag()) {
    case 0:
        for (int c = 0; c < campos; ++c)
            modelo_->coluna(c).somenteLeitura = ehTexto(c);
        for (int c = std::max(0, campos - 3); c < campos; ++c)
            DBGrid->setColumnHidden(c, true);
        modelo_->defineCoresDeLinhas(true);
        break;
    case 2: {
        modelo_->defineCoresDeLinhas(false);
        for (int c = 0; c < campos; ++c)
            modelo_->coluna(c).somenteLeitura = ehTexto(c);
        const int nome = cdsDig.fieldIndex(QStringLiteral("NOME"));
        const int titulo = cdsDig.fieldIndex(QStringLiteral("TITULO"));
        const int seq = cdsDig.fieldIndex(QStringLiteral("SEQ"));
        if (nome >= 0)
            DBGrid->setColumnWidth(nome, 250);
        if (titulo >= 0)
            modelo_->coluna(titulo).cor = QColor(128, 128, 192);
        if (seq >= 0) {
            auto& coluna = modelo_->coluna(seq);
            coluna.titulo = QStringLiteral("LINHA");
            coluna.somenteLeitura = true;
            DBGrid->setColumnWidth(seq, 45);
        }
        if (!fontes_.qrCliente)
            throw Erro(QStringLiteral("A digitação não tem o conjunto de dados qrCliente."));
        const int exercicio = leExercicio(*fontes_.qrCliente);
        const QString ano = cmbmes->currentText();
        const auto escondeValores = [&](int de) {
            for (int n = de; n < de + 12; ++n)
                esconde(QStringLiteral("VALOR%1").arg(n));
        };
        if (ano == QString::number(exercicio))
            escondeValores(1);
        else if (ano == QString::number(exercicio - 1))
            escondeValores(13);
        esconde(QStringLiteral("FILTRO"));
        break;
    }
    default:
        modelo_->defineCoresDeLinhas(false);
        break;
    }
}

void TFrmDigitacao::CAMPOS_VISIVEIS(const QStringList& titulos) {
    int k = 0;
    for (const QString& t : titulos)
        if (!t.isEmpty())
            ++k;
    int i = -1;
    for (int c = 0; c < modelo_->columnCount(); ++c) {
        if (DBGrid->isColumnHidden(c))
            continue;
        ++i;
        auto& coluna = modelo_->coluna(c);
        if (i < 3 || i - 3 > k) {
            coluna.titulo.clear();
            coluna.somenteLeitura = true;
        } else if (i - 3 >= 1) {
            coluna.titulo = titulos.value(i - 4);
            coluna.somenteLeitura = false;
        }
    }
    emit modelo_->headerDataChanged(Qt::Horizontal, 0, modelo_->columnCount() - 1);
}

bool TFrmDigitacao::DBGridKeyPress(QKeyEvent* tecla) {
    if (!cdsDig.active() || !ehTeclaDeDigitacao(tecla))
        return false;
    const QModelIndex atual = DBGrid->currentIndex();
    if (atual.isValid() && modelo_->linhaDeTitulo(atual.row())) {
        mensagens().mostra(QStringLiteral("Esse campo não é digitado ele será calculado "
                                          "posteriormente!"),
                           QStringLiteral("Linha de Título!"), Icone::Informacao);
        return true;
    }
    if (tecla->key() == Qt::Key_Return || tecla->key() == Qt::Key_Enter) {
        if (cdsDig.state() == DataSetState::Edit)
            protegido([this] { cdsDig.post(); });
        return true;
    }
    return false;
}

bool TFrmDigitacao::eventFilter(QObject* objeto, QEvent* evento) {
    if (objeto == DBGrid && evento->type() == QEvent::KeyPress && !delegado_->editorAberto())
        return DBGridKeyPress(static_cast<QKeyEvent*>(evento));
    return QWidget::eventFilter(objeto, evento);
}

void TFrmDigitacao::ajustaColunas() {
    // Titles and values fit their columns; descriptions get room, up to a limit,
    // and wrap beyond it; amounts have room for hundreds of millions before they
    // are typed.
    constexpr int LarguraMaximaDoTexto = 420;
    const int larguraDoValor =
        DBGrid->fontMetrics().horizontalAdvance(QStringLiteral("-999.999.999,99")) + 12;
    DBGrid->horizontalHeader()->resizeSections(QHeaderView::ResizeToContents);
    for (int c = 0; c < modelo_->columnCount(); ++c) {
        const FieldKind tipo = cdsDig.fieldDef(c).kind;
        if (tipo == FieldKind::Text && DBGrid->columnWidth(c) > LarguraMaximaDoTexto)
            DBGrid->setColumnWidth(c, LarguraMaximaDoTexto);
        else if (tipo == FieldKind::Money && DBGrid->columnWidth(c) < larguraDoValor)
            DBGrid->setColumnWidth(c, larguraDoValor);
    }
    DBGrid->resizeRowsToContents();
}

bool TFrmDigitacao::temAlteracoes() const {
    if (!cdsDig.active() || !modelo_->digitacao())
        return false;
    if (modelo_->alterado() || delegado_->recusa())
        return true;
    const EditorDigitado* editor = delegado_->editorAberto();
    return editor &&
           editor->text() != modelo_->data(delegado_->celulaEditada(), Qt::EditRole).toString();
}

void TFrmDigitacao::descartaEditor() {
    if (QWidget* editor = delegado_->editorAberto())
        emit delegado_->closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
}

bool TFrmDigitacao::confirmaEditor() {
    EditorDigitado* editor = delegado_->editorAberto();
    if (!editor) {
        // The editor may have closed on a refused value as the focus left it for a
        // button: the value waits in its cell again, to be put right.
        const auto recusa = delegado_->recusa();
        if (!recusa || !recusa->celula.isValid())
            return true;
        DBGrid->setFocus();
        DBGrid->setCurrentIndex(recusa->celula);
        DBGrid->edit(recusa->celula);
        editor = delegado_->editorAberto();
        if (!editor)
            return true;
        editor->setText(recusa->texto);
        editor->setFocus();
        editor->selectAll();
        return false;
    }
    if (!modelo_->setData(delegado_->celulaEditada(), editor->text(), Qt::EditRole)) {
        // The refusal has been shown; the value waits in its cell to be put right.
        editor->setFocus();
        editor->selectAll();
        return false;
    }
    emit delegado_->closeEditor(editor, QAbstractItemDelegate::SubmitModelCache);
    return true;
}

bool TFrmDigitacao::gravaAlteracoes() {
    if (!cdsDig.active() || !modelo_->digitacao())
        return true;
    if (!confirmaEditor())
        return false;
    if (cdsDig.state() == DataSetState::Edit)
        cdsDig.post();
    const QString arquivo = cdsDig.fileName();
    cdsDig.saveToFile(arquivo);
    fechaTabela();
    SaiEdicao(this);
    const QString tipo = comboTipo->currentText();
    if (anexo3_)
        CAMPOS_CALCULADOS(caminhoArquivo(fontes_.diretorio, ArquivoDigitado::Anexo3, tipo));
    if (codigoDoAnexo() == QLatin1String("1")) {
        if (tipo == QLatin1String("RECEITA")) {
            SOMA_ANEXO_1(caminhoArquivo(fontes_.diretorio, ArquivoDigitado::Anexo1Receita));
        } else {
            // The saved expenditure file stays on show, for reading only.
            cdsDig.setFileName(caminhoArquivo(fontes_.diretorio, ArquivoDigitado::Anexo1Despesa));
            cdsDig.open();
            cdsDigAfterOpen();
            ajustaColunas();
        }
    }
    lblGravado->setText(QStringLiteral("Arquivo gravado às %1: %2")
                            .arg(QTime::currentTime().toString(QStringLiteral("HH:mm:ss")),
                                 QDir::toNativeSeparators(arquivo)));
    return true;
}

bool TFrmDigitacao::resolveAlteracoes() {
    if (!temAlteracoes())
        return true;
    switch (
        mensagens().perguntaOuCancela(QStringLiteral("Deseja gravar as alterações?"), Atencao)) {
    case Resposta::Sim: {
        bool gravou = false;
        protegido([&] { gravou = gravaAlteracoes(); });
        return gravou;
    }
    case Resposta::Nao:
        return true;
    case Resposta::Cancelar:
        break;
    }
    return false;
}

void TFrmDigitacao::btnokClick() {
    gravaAlteracoes();
}

void TFrmDigitacao::btncancelClick() {
    if (!resolveAlteracoes())
        return;
    // Answered "Sim", the typing has been saved and left already.
    if (!modelo_->digitacao())
        return;
    descartaEditor();
    fechaTabela();
    SaiEdicao(this);
}

} // namespace nq
