#pragma once

#include "tables/dados.h"

#include <QByteArray>
#include <QIODevice>
#include <QString>

// The two forms of a data packet. Readers take the whole file and throw nq::Erro
// whose text names `arquivo`; writers throw on a device error.
namespace nq::formas {

bool pareceXml(const QByteArray& bytes);
Dados leXml(const QByteArray& bytes, const QString& arquivo);
void gravaXml(const Dados& dados, QIODevice& saida);

bool pareceBinario(const QByteArray& bytes);
Dados leBinario(const QByteArray& bytes, const QString& arquivo);
void gravaBinario(const Dados& dados, QIODevice& saida);

} // namespace nq::formas
