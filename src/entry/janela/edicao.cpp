#include "entry/janela/edicao.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextEdit>
#include <QToolButton>

namespace nq {

namespace {

bool dentroDeGrade(const QWidget* w, const QWidget* janela) {
    for (const QWidget* p = w->parentWidget(); p && p != janela; p = p->parentWidget())
        if (qobject_cast<const QAbstractItemView*>(p))
            return true;
    return false;
}

bool ehCampoDeEntrada(QWidget* w) {
    return qobject_cast<QLineEdit*>(w) || qobject_cast<QComboBox*>(w) ||
           qobject_cast<QPlainTextEdit*>(w) || qobject_cast<QTextEdit*>(w) ||
           qobject_cast<QAbstractSpinBox*>(w);
}

bool ehBotaoDeCadastro(const QString& nome) {
    return nome == QLatin1String("BtnIncluir") || nome == QLatin1String("BtnAlterar") ||
           nome == QLatin1String("BtnExcluir") || nome == QLatin1String("BtnPesquisar");
}

void aplica(QWidget* janela, bool digitando) {
    for (QWidget* w : janela->findChildren<QWidget*>()) {
        if (qobject_cast<QAbstractItemView*>(w) || dentroDeGrade(w, janela))
            continue;
        if (ehCampoDeEntrada(w)) {
            // Line edits inside a combo box follow their box.
            if (qobject_cast<QComboBox*>(w->parentWidget()))
                continue;
            w->setEnabled(!digitando);
            QPalette p = w->palette();
            p.setColor(QPalette::Base,
                       janela->palette().color(digitando ? QPalette::Button : QPalette::Base));
            w->setPalette(p);
        } else if (qobject_cast<QCheckBox*>(w) || qobject_cast<QRadioButton*>(w)) {
            w->setEnabled(!digitando);
        } else if (qobject_cast<QToolButton*>(w)) {
            w->setEnabled(ehBotaoDeCadastro(w->objectName()) != digitando);
        } else if (qobject_cast<QPushButton*>(w)) {
            const bool confirma = w->objectName() == QLatin1String("btnok") ||
                                  w->objectName() == QLatin1String("btncancel");
            w->setEnabled(confirma == digitando);
        }
    }
}

} // namespace

void EntraEdicao(QWidget* janela) {
    aplica(janela, true);
}

void SaiEdicao(QWidget* janela) {
    aplica(janela, false);
}

} // namespace nq
