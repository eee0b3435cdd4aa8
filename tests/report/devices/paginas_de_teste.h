#pragma once

#include "report/pagina.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace nq::teste {

// A text component placed as the band engine places it: one line in a box, aligned.
ComandoTexto texto(int esquerda, int topo, int largura, const QString& valor,
                   Alinhamento alinhamento = Alinhamento::Esquerda,
                   const Fonte& fonte = Fonte{QStringLiteral("Roman 20cpi"), 8}, int registro = -1);

// A two-page annex-like report on letter paper: a bold title with accents, column
// captions, detail rows (code, name, two money columns; records 0..5, three per page),
// a total, dotted grid lines, a frame, and a small image on the first page.
Documento relatorio();

QByteArray leArquivo(const QString& caminho);

// Runs a program; its standard output, or a null array when it could not run or failed.
QByteArray executa(const QString& programa, const QStringList& argumentos, int segundos = 120);

// Converts files with LibreOffice (headless, in a private profile) to `filtro` into
// `destino`, read through `filtroDeEntrada` when given; false when soffice is not installed.
bool converteComLibreOffice(const QStringList& arquivos, const QString& filtro,
                            const QString& destino, const QString& filtroDeEntrada = {});

} // namespace nq::teste
