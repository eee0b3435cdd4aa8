#pragma once

#include "core/erro.h"
#include "demo/demo.h"

#include <QDir>
#include <QFile>
#include <QString>

// The demo exercise of `tamanho` under `dir`/`tamanho`: reused when already
// generated there (a grande exercise takes minutes to generate). A reused one
// carries its paths only, not the generator's rows.
inline nq::demo::Demonstracao exercicioGuardado(const QString& dir, const QString& tamanho) {
    const auto t = nq::demo::tamanhoDeTexto(tamanho);
    if (!t)
        throw nq::Erro(QStringLiteral("Tamanho inválido: %1").arg(tamanho));
    nq::demo::OpcoesDemo opcoes;
    opcoes.destino = QDir(dir).absoluteFilePath(tamanho);
    opcoes.tamanho = *t;
    const QString raiz = opcoes.destino + QStringLiteral("/VEXO_8/");
    const auto banco = [&](int ano) { return raiz + QStringLiteral("ARQ%1/VEXO%1.FDB").arg(ano); };
    if (QFile::exists(banco(opcoes.ano)) && QFile::exists(banco(opcoes.ano - 1))) {
        nq::demo::Demonstracao d;
        d.raiz = raiz;
        d.bancoAtual = banco(opcoes.ano);
        d.bancoAnterior = banco(opcoes.ano - 1);
        d.ini = opcoes.destino + QStringLiteral("/Vexo.ini");
        return d;
    }
    return nq::demo::criaDemo(opcoes);
}
