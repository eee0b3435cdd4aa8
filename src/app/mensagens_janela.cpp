#include "mensagens_janela.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace nq {

namespace {

QMessageBox::Icon icone(Icone i) {
    switch (i) {
    case Icone::Informacao:
        return QMessageBox::Information;
    case Icone::Exclamacao:
        return QMessageBox::Warning;
    case Icone::Erro:
        return QMessageBox::Critical;
    case Icone::Pergunta:
        return QMessageBox::Question;
    case Icone::Nenhum:
        break;
    }
    return QMessageBox::NoIcon;
}

QString legenda(const QString& titulo) {
    return titulo.isEmpty() ? QApplication::applicationName() : titulo;
}

} // namespace

void MensagensJanela::mostra(const QString& texto, const QString& titulo, Icone i) {
    QMessageBox caixa(icone(i), legenda(titulo), texto, QMessageBox::Ok,
                      QApplication::activeWindow());
    caixa.exec();
}

bool MensagensJanela::pergunta(const QString& texto, const QString& titulo, Icone i) {
    QMessageBox caixa(icone(i), legenda(titulo), texto, QMessageBox::NoButton,
                      QApplication::activeWindow());
    QPushButton* sim = caixa.addButton(QStringLiteral("&Sim"), QMessageBox::YesRole);
    QPushButton* nao = caixa.addButton(QStringLiteral("&Não"), QMessageBox::NoRole);
    caixa.setDefaultButton(sim);
    caixa.setEscapeButton(nao);
    caixa.exec();
    return caixa.clickedButton() == sim;
}

Resposta MensagensJanela::perguntaOuCancela(const QString& texto, const QString& titulo, Icone i) {
    QMessageBox caixa(icone(i), legenda(titulo), texto, QMessageBox::NoButton,
                      QApplication::activeWindow());
    QPushButton* sim = caixa.addButton(QStringLiteral("&Sim"), QMessageBox::YesRole);
    QPushButton* nao = caixa.addButton(QStringLiteral("&Não"), QMessageBox::NoRole);
    QPushButton* cancelar = caixa.addButton(QStringLiteral("Cancelar"), QMessageBox::RejectRole);
    caixa.setDefaultButton(sim);
    caixa.setEscapeButton(cancelar);
    caixa.exec();
    if (caixa.clickedButton() == sim)
        return Resposta::Sim;
    return caixa.clickedButton() == nao ? Resposta::Nao : Resposta::Cancelar;
}

} // namespace nq
