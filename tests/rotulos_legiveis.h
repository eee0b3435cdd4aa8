#pragma once

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QStringList>
#include <QToolButton>
#include <QWidget>

// The texts of a window that do not fit the room they were given, as
// "objectName: text": labels (a word-wrapped one by the height its width needs),
// group box titles and button captions. Hidden widgets and images do not count.
inline QStringList textosCortados(const QWidget& janela) {
    QStringList cortados;
    const auto corta = [&cortados](const QWidget* w, const QString& texto) {
        cortados << w->objectName() + QStringLiteral(": ") + texto;
    };
    for (const QWidget* w : janela.findChildren<QWidget*>()) {
        if (!w->isVisibleTo(&janela))
            continue;
        if (const auto* rotulo = qobject_cast<const QLabel*>(w)) {
            if (rotulo->text().isEmpty())
                continue;
            const bool cabe = rotulo->wordWrap()
                                  ? rotulo->heightForWidth(rotulo->width()) <= rotulo->height()
                                  : rotulo->sizeHint().width() <= rotulo->width() &&
                                        rotulo->sizeHint().height() <= rotulo->height();
            if (!cabe)
                corta(w, rotulo->text());
        } else if (const auto* grupo = qobject_cast<const QGroupBox*>(w)) {
            if (grupo->minimumSizeHint().width() > grupo->width())
                corta(w, grupo->title());
        } else if (const auto* botao = qobject_cast<const QAbstractButton*>(w)) {
            const auto* ferramenta = qobject_cast<const QToolButton*>(w);
            const bool soIcone =
                ferramenta && ferramenta->toolButtonStyle() == Qt::ToolButtonIconOnly;
            if (!botao->text().isEmpty() && !soIcone && botao->sizeHint().width() > botao->width())
                corta(w, botao->text());
        }
    }
    return cortados;
}
