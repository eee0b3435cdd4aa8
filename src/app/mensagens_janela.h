#pragma once

#include "core/mensagens.h"

namespace nq {

// The program's message boxes: modal, Portuguese buttons, the application's
// title when a message has no caption of its own.
class MensagensJanela : public Mensagens {
public:
    void mostra(const QString& texto, const QString& titulo, Icone icone) override;
    bool pergunta(const QString& texto, const QString& titulo, Icone icone) override;
    Resposta perguntaOuCancela(const QString& texto, const QString& titulo, Icone icone) override;
};

} // namespace nq
