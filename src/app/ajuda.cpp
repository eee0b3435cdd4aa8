#include "ajuda.h"

#include "core/configuracao.h"
#include "core/mensagens.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace nq {

namespace {
const QString AjudaAusente = QStringLiteral(
    "O arquivo sobre as instruções das classificações especiais não foi encontrado!");
}

QString arquivoAjuda() {
    const QString diretorio = CaminhoDiretorio(QStringLiteral("TD"));
    // What this desktop can open comes first; the Windows help file last.
    for (const char* nome : {"MTCE.html", "MTCE.htm", "MTCE.pdf", "MTCE.HLP"}) {
        const QString arquivo = arquivoNoDiretorio(diretorio, QString::fromLatin1(nome));
        if (QFileInfo(arquivo).isFile())
            return arquivo;
    }
    return {};
}

bool abreAjuda(const QString& arquivo) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(arquivo));
}

void mostraAjuda() {
    const QString arquivo = arquivoAjuda();
    if (!arquivo.isEmpty()) {
        if (!abreAjuda(arquivo))
            mensagens().mostra(QStringLiteral("O arquivo de instruções \"%1\" não pôde ser aberto: "
                                              "não há neste computador um programa que o abra.")
                                   .arg(QDir::toNativeSeparators(arquivo)),
                               QStringLiteral("Atenção"));
        return;
    }
    mensagens().mostra(AjudaAusente + "\nFaça o Download do Item \"TABDEF - Definição da Base "
                                      "de Dados\" na página da Marandu na Internet, opção "
                                      "Downloads.",
                       QStringLiteral("Atenção"));
}

QString textoAjudaAusenteNoInicio() {
    return AjudaAusente + "\nFaça o Download do Item: \"VEXO - Auxiliares(Tabdef\"Usando o "
                          "Atulizador de Arquivos (Download.exe)";
}

} // namespace nq
