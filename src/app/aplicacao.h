#pragma once

#include <QApplication>

namespace nq {

// The application object: titled "NQ 404", and the general error display for
// any error that escapes an event handler (its text in an error box).
class AplicacaoNQ404 : public QApplication {
public:
    AplicacaoNQ404(int& argc, char** argv);
    bool notify(QObject* destino, QEvent* evento) override;
};

// Shows an error's text the way the general error display does.
void mostraErro(const QString& texto);

// Qt's own texts (file dialogs and their questions, standard buttons) in
// Brazilian Portuguese, from the translations installed with Qt (package
// qt6-translations-l10n); false, with a warning, when they are missing.
bool instalaTraducoesDoQt(QCoreApplication& app);

} // namespace nq
