#include "annexes/common/aguarde.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QVBoxLayout>

namespace nq {

QPointer<TFrmAguarde> FrmAguarde;

namespace {

// Paint and expose events only: the window shows its progress while the rest of
// the interface stays as it was until the computation ends.
void pintaAgora(QWidget* janela) {
    janela->repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

} // namespace

TFrmAguarde::TFrmAguarde(QWidget* dono)
    : QWidget(dono, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("FrmAguarde"));

    auto* externo = new QFrame(this);
    externo->setFrameStyle(QFrame::Panel | QFrame::Raised);
    externo->setLineWidth(3);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(externo);

    auto* interno = new QVBoxLayout(externo);
    interno->setContentsMargins(3, 3, 3, 3);
    interno->setSpacing(0);
    auto* texto = new QLabel(QStringLiteral("Aguarde... Preparando Relatório !!!"), externo);
    texto->setAlignment(Qt::AlignCenter);
    texto->setAutoFillBackground(true);
    QPalette cores = texto->palette();
    cores.setColor(QPalette::Window, QColor(187, 187, 119));
    texto->setPalette(cores);
    QFont fonte = texto->font();
    fonte.setBold(true);
    fonte.setPointSize(12);
    texto->setFont(fonte);
    interno->addWidget(texto, 1);

    gauge1 = new QProgressBar(externo);
    gauge1->setObjectName(QStringLiteral("gauge1"));
    gauge1->setFixedHeight(16);
    gauge1->setTextVisible(false);
    gauge1->setRange(0, 100);
    gauge1->setValue(30);
    interno->addWidget(gauge1);
    // Its designed size, or more where this screen's font needs it for the whole text.
    setFixedSize(sizeHint().expandedTo(QSize(309, 81)));

    if (const QScreen* tela = QGuiApplication::primaryScreen())
        move(tela->availableGeometry().center() - rect().center());
}

void TFrmAguarde::mostraPasso(int passo) {
    gauge1->setValue(passo);
    pintaAgora(this);
}

AguardeRelatorio::AguardeRelatorio(QWidget* dono, int passos) {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return;
    janela_ = new TFrmAguarde(dono);
    FrmAguarde = janela_;
    janela_->gauge1->setRange(0, passos);
    janela_->gauge1->setValue(0);
    janela_->show();
    pintaAgora(janela_);
}

AguardeRelatorio::~AguardeRelatorio() {
    delete janela_.data();
}

void AguardeRelatorio::passo(int n) {
    if (janela_)
        janela_->mostraPasso(n);
}

} // namespace nq
