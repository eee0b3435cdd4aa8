#include "report/preview/dialogos.h"

#include "report/preview/textos.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace nq {

namespace {

QPushButton* botaoCentralizado(QVBoxLayout* layout, const QString& rotulo, QWidget* pai) {
    auto* botao = new QPushButton(rotulo, pai);
    auto* linha = new QHBoxLayout;
    linha->addStretch();
    linha->addWidget(botao);
    linha->addStretch();
    layout->addLayout(linha);
    return botao;
}

} // namespace

TppCancelDialog::TppCancelDialog(QWidget* pai)
    : QDialog(pai, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setWindowTitle(texto(TextoDoRelatorio::Imprimindo));
    setModal(true);
    setCursor(Qt::WaitCursor);
    auto* layout = new QVBoxLayout(this);
    status_ = new QLabel(this);
    status_->setAlignment(Qt::AlignCenter);
    status_->setMinimumWidth(360);
    layout->addWidget(status_);
    cancelar_ = botaoCentralizado(layout, texto(TextoDoRelatorio::Cancelar), this);
    cancelar_->setFixedWidth(cancelar_->fontMetrics().horizontalAdvance(cancelar_->text()) + 30);
    cancelar_->setCursor(Qt::ArrowCursor);
    connect(cancelar_, &QPushButton::clicked, this, [this] { cancelado_ = true; });
}

void TppCancelDialog::mostraStatus(int pagina, int total, const QString& documento,
                                   const QString& impressora) {
    const MarcadoresDeTexto m{pagina, total, documento, impressora};
    status_->setText(texto(total > 0 ? TextoDoRelatorio::ImprimindoPaginaDeTotal
                                     : TextoDoRelatorio::ImprimindoPagina,
                           m));
    QApplication::processEvents();
}

TppNoDataDialog::TppNoDataDialog(QWidget* pai) : QDialog(pai) {
    setWindowTitle(texto(TextoDoRelatorio::NenhumDadoEncontrado));
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    auto* aviso = new QLabel(texto(TextoDoRelatorio::NaoHaDados), this);
    aviso->setAlignment(Qt::AlignCenter);
    layout->addWidget(aviso);
    auto* ok = botaoCentralizado(layout, texto(TextoDoRelatorio::Ok), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

} // namespace nq
