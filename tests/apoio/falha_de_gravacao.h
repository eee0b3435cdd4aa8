#pragma once

#include "core/gravacao_atomica.h"

#include <QFileInfo>
#include <QString>

// While this object lives, every save of the program whose target's file name
// contains `parte` (any, when empty) fails at `passo` as if the system had
// answered `erro` (ENOSPC: a full disk).
class GravacaoQueFalha {
public:
    GravacaoQueFalha(nq::PassoDaGravacao passo, int erro, const QString& parte = {})
        : anterior_(nq::injetaFalhaDeGravacao([=](nq::PassoDaGravacao p, const QString& destino) {
              return p == passo && QFileInfo(destino).fileName().contains(parte) ? erro : 0;
          })) {}
    ~GravacaoQueFalha() { nq::injetaFalhaDeGravacao(anterior_); }
    GravacaoQueFalha(const GravacaoQueFalha&) = delete;
    GravacaoQueFalha& operator=(const GravacaoQueFalha&) = delete;

private:
    nq::FalhaDeGravacao anterior_;
};
