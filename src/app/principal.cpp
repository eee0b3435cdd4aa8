#include "principal.h"

#include "ajuda.h"
#include "core/configuracao.h"
#include "inicio.h"
#include "versao.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPainter>
#include <QPointer>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace nq {

namespace {

const QColor Azulado(0, 128, 128);

QToolButton* botao(QWidget* pai, QStyle::StandardPixmap figura, const QString& texto,
                   QSize tamanho) {
    auto* b = new QToolButton(pai);
    b->setIcon(pai->style()->standardIcon(figura));
    b->setText(texto);
    b->setToolTip(texto);
    b->setAutoRaise(true);
    b->setFixedSize(tamanho);
    b->setIconSize(tamanho * 3 / 4);
    b->setCursor(Qt::PointingHandCursor);
    return b;
}

// The product emblem of the title strip.
QPixmap logotipo() {
    QPixmap p(40, 40);
    p.fill(Qt::transparent);
    QPainter pintor(&p);
    pintor.setRenderHint(QPainter::Antialiasing);
    pintor.setBrush(Qt::white);
    pintor.setPen(QPen(QColor(255, 204, 0), 3));
    pintor.drawEllipse(QRectF(2, 2, 36, 36));
    pintor.setPen(Azulado);
    QFont f(QStringLiteral("DejaVu Sans"), 9, QFont::Bold);
    pintor.setFont(f);
    pintor.drawText(QRect(0, 6, 40, 15), Qt::AlignCenter, QStringLiteral("NQ"));
    pintor.drawText(QRect(0, 19, 40, 15), Qt::AlignCenter, QStringLiteral("404"));
    return p;
}

} // namespace

QString tituloPrincipal(const QString& dirExecutavel) {
    for (const char* nome : {"nq404", "NQ404.EXE"})
        if (QFileInfo(arquivoNoDiretorio(dirExecutavel, QString::fromLatin1(nome))).isFile())
            return QStringLiteral("VEXO 8.0 - MÓDULO Norma Quadro 404 - Versão ") + VersaoArquivo();
    return QStringLiteral("NORMA QUADRO 404");
}

TFrmPrincipalNQ404::TFrmPrincipalNQ404(JanelasDoPrincipal janelas, QWidget* pai)
    : QMainWindow(pai), janelas_(std::move(janelas)) {
    setObjectName(QStringLiteral("FrmPrincipalNQ404"));
    setWindowTitle(tituloPrincipal(diretorioDoExecutavel()));
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    setStyleSheet(QStringLiteral(
        // The teal column is each item's left border: a menu's own border is as wide on
        // every side as on its widest, which would pad the items from above and below.
        "QMenu { font: 8pt \"Tahoma\"; background: white; border: 1px solid #008080; }"
        "QMenu::item { border-left: 32px solid qlineargradient(x1:0, x2:1, stop:0 #006060,"
        " stop:1 #00a0a0); padding: 4px 24px 4px 8px; }"
        "QMenu::item:selected, QMenuBar::item:selected { background: #008080; color: white; }"));

    auto* centro = new QWidget(this);
    auto* coluna = new QVBoxLayout(centro);
    coluna->setContentsMargins(0, 0, 0, 0);
    coluna->setSpacing(0);
    coluna->addWidget(criaFaixaTitulo());
    auto* linha = new QHBoxLayout;
    linha->setSpacing(0);
    linha->addWidget(criaBarra());
    mdi_ = new QMdiArea(centro);
    linha->addWidget(mdi_, 1);
    coluna->addLayout(linha, 1);
    setCentralWidget(centro);

    criaMenu();
    criaStatus();
}

QWidget* TFrmPrincipalNQ404::criaFaixaTitulo() {
    auto* faixa = new QWidget(this);
    faixa->setObjectName(QStringLiteral("Panel1"));
    faixa->setFixedHeight(49);
    faixa->setAutoFillBackground(true);
    QPalette cores = faixa->palette();
    cores.setColor(QPalette::Window, Azulado);
    faixa->setPalette(cores);

    auto* layout = new QHBoxLayout(faixa);
    layout->setContentsMargins(2, 2, 4, 2);

    auto* btnAjuda = botao(faixa, QStyle::SP_MessageBoxQuestion, {}, QSize(44, 44));
    btnAjuda->setObjectName(QStringLiteral("btnAjuda"));
    btnAjuda->setToolTip(QStringLiteral("Instruções para os relatórios da NQ404"));
    connect(btnAjuda, &QToolButton::clicked, this, &TFrmPrincipalNQ404::btnAjudaClick);
    layout->addWidget(btnAjuda);

    // The two toggles share one spot: only one of them is visible at a time.
    btnOcultar_ = botao(faixa, QStyle::SP_ArrowLeft, QStringLiteral("Ocultar Botões de Atalho"),
                        QSize(20, 20));
    btnExibir_ = botao(faixa, QStyle::SP_ArrowRight, QStringLiteral("Exibir Botões de Atalho"),
                       QSize(20, 20));
    btnExibir_->hide();
    connect(btnOcultar_, &QToolButton::clicked, this, &TFrmPrincipalNQ404::btnOcultarClick);
    connect(btnExibir_, &QToolButton::clicked, this, &TFrmPrincipalNQ404::btnExibirClick);
    layout->addWidget(btnOcultar_, 0, Qt::AlignBottom);
    layout->addWidget(btnExibir_, 0, Qt::AlignBottom);

    auto* logo = new QLabel(faixa);
    logo->setPixmap(logotipo());
    layout->addSpacing(8);
    layout->addWidget(logo);

    auto* rotulo =
        new QLabel(QStringLiteral("Norma Quadro 404\nTCE - Tribunal de Contas do Estado"), faixa);
    rotulo->setStyleSheet(QStringLiteral("color: white; font-weight: bold;"));
    layout->addWidget(rotulo);
    layout->addStretch(1);

    auto* btnSair =
        botao(faixa, QStyle::SP_DialogCloseButton, QStringLiteral("Sair"), QSize(41, 41));
    btnSair->setObjectName(QStringLiteral("btnSair"));
    connect(btnSair, &QToolButton::clicked, this, &TFrmPrincipalNQ404::btnSairClick);
    layout->addWidget(btnSair);
    return faixa;
}

QWidget* TFrmPrincipalNQ404::criaBarra() {
    barra_ = new QWidget(this);
    barra_->setObjectName(QStringLiteral("Barra"));
    barra_->setFixedWidth(108);
    barra_->setAutoFillBackground(true);
    QPalette cores = barra_->palette();
    cores.setColor(QPalette::Window, Azulado);
    barra_->setPalette(cores);

    auto* layout = new QVBoxLayout(barra_);
    auto* btnAnexos = new QToolButton(barra_);
    btnAnexos->setObjectName(QStringLiteral("btnAnexos"));
    btnAnexos->setText(QStringLiteral("ANEXOS"));
    btnAnexos->setToolTip(QStringLiteral("Impressão dos Anexos"));
    btnAnexos->setIcon(style()->standardIcon(QStyle::SP_FileDialogContentsView));
    btnAnexos->setIconSize(QSize(32, 32));
    btnAnexos->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    btnAnexos->setAutoRaise(true);
    btnAnexos->setCursor(Qt::PointingHandCursor);
    // The caption stays readable on the button's own colours: darker when pressed.
    btnAnexos->setStyleSheet(QStringLiteral(
        "QToolButton { color: white; font-weight: bold; border: 1px solid transparent;"
        " border-radius: 3px; padding: 2px; }"
        "QToolButton:hover { background: #0a9a9a; border-color: #7fc4c4; }"
        "QToolButton:pressed { background: #004d4d; border-color: #7fc4c4; }"));
    btnAnexos->setFixedWidth(96);
    connect(btnAnexos, &QToolButton::clicked, this, &TFrmPrincipalNQ404::btnAnexosClick);
    layout->addWidget(btnAnexos);
    layout->addStretch(1);
    return barra_;
}

void TFrmPrincipalNQ404::criaMenu() {
    QMenuBar* barraMenu = menuBar();
    QMenu* digitacao = barraMenu->addMenu(QStringLiteral("Digitação Adm Indireta      "));
    digitacao->addAction(QStringLiteral("Execução Orçamentária"), this,
                         &TFrmPrincipalNQ404::ExecucaoOrcamentaria1Click);
    digitacao->addAction(QStringLiteral("Gestão Fiscal"), this,
                         &TFrmPrincipalNQ404::GestaoFiscal1Click);

    QMenu* relatorios = barraMenu->addMenu(QStringLiteral("Relatórios     "));
    relatorios->addAction(style()->standardIcon(QStyle::SP_FileDialogContentsView),
                          QStringLiteral("Anexos"), this, &TFrmPrincipalNQ404::btnAnexosClick);

    QMenu* configuracao = barraMenu->addMenu(QStringLiteral("Configuração   "));
    configuracao->addAction(QStringLiteral("Empenhos de Reserva"), this,
                            &TFrmPrincipalNQ404::EmpenhosReserva1Click);

    barraMenu->addAction(QStringLiteral("Sair     "), this, &TFrmPrincipalNQ404::btnSairClick);
    barraMenu->addAction(QStringLiteral("?"), this, &TFrmPrincipalNQ404::btnAjudaClick);
}

void TFrmPrincipalNQ404::criaStatus() {
    const int larguras[3] = {108, 400, 0};
    for (int i = 0; i < 3; ++i) {
        paineis_[i] = new QLabel(this);
        paineis_[i]->setAlignment(Qt::AlignCenter);
        paineis_[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        if (larguras[i])
            paineis_[i]->setFixedWidth(larguras[i]);
        statusBar()->addWidget(paineis_[i], larguras[i] ? 0 : 1);
    }
    paineis_[2]->setText(QStringLiteral("Contabilidade - Marandu S/C Ltda. Software"));
}

void TFrmPrincipalNQ404::aplicaInicio(const ResultadoInicio& r) {
    if (!r.ano.isEmpty())
        paineis_[0]->setText(QStringLiteral("Exercício ") + r.ano);
    paineis_[1]->setText(r.municipio);
    if (!r.arquivoAjuda.isEmpty())
        abreAjuda(r.arquivoAjuda);
}

QString TFrmPrincipalNQ404::painelStatus(int i) const {
    return paineis_[i]->text();
}

QMdiSubWindow* TFrmPrincipalNQ404::filhaAtiva() const {
    if (QMdiSubWindow* ativa = mdi_->activeSubWindow())
        return ativa;
    const auto filhas = mdi_->subWindowList();
    return filhas.isEmpty() ? nullptr : filhas.first();
}

void TFrmPrincipalNQ404::abreFilha(const std::function<QWidget*()>& cria) {
    if (QMdiSubWindow* ativa = filhaAtiva()) {
        // A child that refuses to close (unsaved typing) keeps its place.
        if (ativa->isVisible() && !ativa->close())
            return;
        delete ativa;
    }
    QWidget* nova = cria();
    setUpdatesEnabled(false);
    nova->setAttribute(Qt::WA_DeleteOnClose);
    nova->installEventFilter(this);
    QMdiSubWindow* sub = mdi_->addSubWindow(nova);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->showMaximized();
    setUpdatesEnabled(true);
}

bool TFrmPrincipalNQ404::eventFilter(QObject* objeto, QEvent* evento) {
    // A child window that closes itself takes its frame with it, once the close
    // has gone through (the child may still refuse it).
    if (evento->type() == QEvent::Close) {
        auto* sub = qobject_cast<QMdiSubWindow*>(static_cast<QWidget*>(objeto)->parentWidget());
        QPointer<QWidget> filha = static_cast<QWidget*>(objeto);
        if (sub)
            QTimer::singleShot(0, sub, [sub, filha] {
                if (sub->isVisible() && (!filha || !filha->isVisible()))
                    sub->close();
            });
    }
    return QMainWindow::eventFilter(objeto, evento);
}

void TFrmPrincipalNQ404::abreDigitacao(const QString& titulo) {
    if (!janelas_.digitacao) {
        avisaIndisponivel();
        return;
    }
    abreFilha([&] {
        QWidget* janela = janelas_.digitacao(titulo);
        // The shortcut bar stays out of the way while typing, and comes back as it was.
        barra_->hide();
        connect(janela, &QObject::destroyed, barra_,
                [barra = barra_, ocultar = QPointer<QToolButton>(btnOcultar_)] {
                    barra->setVisible(ocultar && !ocultar->isHidden());
                });
        return janela;
    });
}

void TFrmPrincipalNQ404::btnAnexosClick() {
    if (!janelas_.lancador) {
        avisaIndisponivel();
        return;
    }
    abreFilha(janelas_.lancador);
}

void TFrmPrincipalNQ404::ExecucaoOrcamentaria1Click() {
    abreDigitacao(QStringLiteral("1- Relatório Resumido da Execução Orçamentária"));
}

void TFrmPrincipalNQ404::GestaoFiscal1Click() {
    abreDigitacao(QStringLiteral("2- Relatório de Gestão Fiscal"));
}

void TFrmPrincipalNQ404::EmpenhosReserva1Click() {
    if (!janelas_.empenhosReserva) {
        avisaIndisponivel();
        return;
    }
    janelas_.empenhosReserva(this);
}

void TFrmPrincipalNQ404::btnSairClick() {
    QMdiSubWindow* ativa = filhaAtiva();
    if (ativa && ativa->isVisible()) {
        if (ativa->close())
            delete ativa;
        return;
    }
    close();
}

void TFrmPrincipalNQ404::btnAjudaClick() {
    mostraAjuda();
}

void TFrmPrincipalNQ404::btnOcultarClick() {
    barra_->hide();
    btnOcultar_->hide();
    btnExibir_->show();
}

void TFrmPrincipalNQ404::btnExibirClick() {
    barra_->show();
    btnExibir_->hide();
    btnOcultar_->show();
}

void TFrmPrincipalNQ404::closeEvent(QCloseEvent* evento) {
    if (QMdiSubWindow* ativa = filhaAtiva(); ativa && !ativa->close()) {
        evento->ignore();
        return;
    }
    QMainWindow::closeEvent(evento);
}

void TFrmPrincipalNQ404::keyPressEvent(QKeyEvent* evento) {
    // Escape belongs to the child window while there is one.
    if (evento->key() == Qt::Key_Escape && !filhaAtiva()) {
        close();
        return;
    }
    QMainWindow::keyPressEvent(evento);
}

} // namespace nq
