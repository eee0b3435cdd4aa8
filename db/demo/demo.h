#pragma once

#include "demo/plano.h"

#include <QString>
#include <cstdint>

namespace nq::demo {

struct OpcoesDemo {
    QString destino; // the VEXO_8 tree is created inside it
    int ano = 2008;
    uint64_t semente = 404;
    Tamanho tamanho = Tamanho::Pequeno;
    QString ini; // default: destino/Vexo.ini
    bool substituir = false;
};

struct Demonstracao {
    QString raiz;          // absolute destino/VEXO_8/, ending with "/"
    QString bancoAtual;    // .../ARQ<ano>/VEXO<ano>.FDB
    QString bancoAnterior; // .../ARQ<ano-1>/VEXO<ano-1>.FDB
    QString ini;
    ParDeExercicios exercicios; // the rows written, for independent checks
};

// Generates the exercise `ano` and the one before it, writes both databases,
// the Vexo.ini that points at them and the module's instructions (TABDEF/MTCE.html). Existing
// databases are refused unless `substituir` is set. Each file appears complete or not at all.
Demonstracao criaDemo(const OpcoesDemo& opcoes);

// A fresh pair of small ("teste") databases under `diretorio`, for tests.
Demonstracao criaBancoDeTeste(const QString& diretorio, int ano = 2008, uint64_t semente = 404);

} // namespace nq::demo
