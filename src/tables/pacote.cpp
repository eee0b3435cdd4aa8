#include "tables/pacote.h"

#include "core/erro.h"
#include "core/gravacao_atomica.h"
#include "tables/formaspacote.h"

#include <QFile>
#include <QFileInfo>

namespace nq {

Dados lePacote(const QString& arquivo) {
    const QFileInfo info(arquivo);
    if (!info.exists())
        throw Erro(QStringLiteral("O arquivo \"%1\" não existe.").arg(arquivo));
    QFile f(arquivo);
    if (info.isDir() || !f.open(QIODevice::ReadOnly))
        throw Erro(
            QStringLiteral("Não foi possível ler o arquivo \"%1\": %2.")
                .arg(arquivo, info.isDir() ? QStringLiteral("é uma pasta") : f.errorString()));
    const QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError)
        throw Erro(QStringLiteral("Não foi possível ler o arquivo \"%1\": %2.")
                       .arg(arquivo, f.errorString()));
    if (bytes.isEmpty())
        throw Erro(QStringLiteral("O arquivo \"%1\" está vazio.").arg(arquivo));
    if (formas::pareceBinario(bytes))
        return formas::leBinario(bytes, arquivo);
    if (formas::pareceXml(bytes))
        return formas::leXml(bytes, arquivo);
    throw Erro(QStringLiteral("O arquivo \"%1\" não é um pacote de dados.").arg(arquivo));
}

void gravaPacote(const Dados& dados, const QString& arquivo, FormatoPacote formato) {
    GravacaoAtomica f(arquivo);
    f.abre();
    try {
        if (formato == FormatoPacote::Xml)
            formas::gravaXml(dados, f);
        else
            formas::gravaBinario(dados, f);
    } catch (const Erro& e) {
        // Dropped with `f`: the previous file stays.
        throw Erro(
            QStringLiteral("Não foi possível gravar o arquivo \"%1\": %2").arg(arquivo, e.texto()));
    }
    f.conclui();
}

} // namespace nq
