#include "annexes/common/justificativa.h"

#include "core/globais.h"
#include "entry/catalogo.h"
#include "entry/preparacoes.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace nq {

MemoLimitado::MemoLimitado(int limite, QWidget* pai) : QPlainTextEdit(pai), limite_(limite) {
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        limita();
        emit textoDigitado(toPlainText());
    });
}

void MemoLimitado::carrega(const QString& texto) {
    const QSignalBlocker bloqueio(this);
    setPlainText(texto);
    tamanho_ = texto.size();
}

void MemoLimitado::limita() {
    const qsizetype tamanho = toPlainText().size();
    const qsizetype permitido = std::max<qsizetype>(limite_, tamanho_);
    if (tamanho > permitido) {
        // What exceeds is what was just typed or pasted: the characters before the cursor.
        QTextCursor cursor = textCursor();
        const int excesso = static_cast<int>(tamanho - permitido);
        const int fim = cursor.position();
        cursor.setPosition(std::max(0, fim - excesso));
        cursor.setPosition(fim, QTextCursor::KeepAnchor);
        const QSignalBlocker bloqueio(this);
        cursor.removeSelectedText();
        setTextCursor(cursor);
    }
    tamanho_ = toPlainText().size();
}

TFormJustific::TFormJustific(QWidget* pai) : QDialog(pai) {
    setObjectName(QStringLiteral("FormJustific"));
    setWindowTitle(QStringLiteral("Justificativa"));
    resize(544, 261);

    auto* faixa = new QLabel(QStringLiteral("Justificativa:"), this);
    faixa->setAutoFillBackground(true);
    faixa->setContentsMargins(8, 4, 8, 4);
    faixa->setStyleSheet(
        QStringLiteral("background: #008080; color: white; font-weight: bold; font-size: 10pt;"));

    DBMemo1 = new MemoLimitado(LimiteTexto, this);
    DBMemo1->setObjectName(QStringLiteral("DBMemo1"));
    connect(DBMemo1, &MemoLimitado::textoDigitado, this, [this](const QString& texto) {
        if (cdsJus.state() == DataSetState::Edit || cdsJus.state() == DataSetState::Insert)
            cdsJus.fieldByName(QStringLiteral("DESCRICAO")).setAsString(texto);
    });

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("BtnOK"));
    ok->setAutoDefault(false);
    connect(ok, &QPushButton::clicked, this, &TFormJustific::BtnOKClick);

    auto* rodape = new QHBoxLayout;
    rodape->addStretch(1);
    rodape->addWidget(ok);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 8);
    layout->addWidget(faixa);
    auto* corpo = new QVBoxLayout;
    corpo->setContentsMargins(8, 0, 8, 0);
    corpo->addWidget(DBMemo1, 1);
    corpo->addLayout(rodape);
    layout->addLayout(corpo, 1);
}

QString TFormJustific::arquivo() const {
    return caminhoArquivo(diretorioDados(), ArquivoDigitado::Justificativas);
}

void TFormJustific::showEvent(QShowEvent* evento) {
    QDialog::showEvent(evento);
    FormShow();
}

void TFormJustific::FormShow() {
    PreparaJustificativas(diretorioDados());
    cdsJus.close();
    cdsJus.clearFields();
    cdsJus.setFileName({});
    cdsJus.setFilter(QStringLiteral("Codigo=%1").arg(codigo()));
    cdsJus.setFiltered(true);
    cdsJus.loadFromFile(arquivo());
    if (cdsJus.isEmpty()) {
        cdsJus.append();
        cdsJus.fieldByName(QStringLiteral("Codigo")).setAsInteger(codigo());
        cdsJus.post();
    }
    DBMemo1->carrega(cdsJus.fieldByName(QStringLiteral("DESCRICAO")).asString());
    cdsJus.edit();
}

void TFormJustific::BtnOKClick() {
    if (cdsJus.state() == DataSetState::Edit || cdsJus.state() == DataSetState::Insert) {
        cdsJus.post();
        try {
            cdsJus.saveToFile(arquivo());
        } catch (...) {
            // The dialog stays open with the typing, ready for another try.
            cdsJus.edit();
            throw;
        }
    }
    accept();
}

void TFormJustific::digita(const QString& texto) {
    DBMemo1->selectAll();
    DBMemo1->insertPlainText(texto);
}

void TFormJustific::reject() {
    if (cdsJus.active())
        cdsJus.cancel();
    QDialog::reject();
}

namespace {

RespostaDeJustificativa*& instalada() {
    static RespostaDeJustificativa* r = nullptr;
    return r;
}

} // namespace

RespostaDeJustificativa* instalaRespostaDeJustificativa(RespostaDeJustificativa* r) {
    RespostaDeJustificativa* anterior = instalada();
    instalada() = r;
    return anterior;
}

void pedeJustificativa(TFormJustific& dialogo) {
    if (instalada())
        instalada()->responde(dialogo);
    else
        dialogo.exec();
}

void JustificativaDada::responde(TFormJustific& dialogo) {
    ++respondidas_;
    dialogo.FormShow();
    if (!texto_) {
        dialogo.reject();
        return;
    }
    dialogo.digita(*texto_);
    dialogo.BtnOKClick();
}

} // namespace nq
