// The Vexo.ini reader on arbitrary bytes (any encoding, any lines): every key
// the program asks for reads or throws nq::Erro.
#include "core/configuracao.h"
#include "core/erro.h"

#include <QFile>
#include <QTemporaryDir>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dados, size_t tamanho) {
    static QTemporaryDir pasta;
    static const QString arquivo = pasta.filePath(QStringLiteral("Vexo.ini"));
    {
        QFile f(arquivo);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        f.write(reinterpret_cast<const char*>(dados), static_cast<qint64>(tamanho));
    }
    nq::defineCaminhoVexoIni(arquivo);
    for (const char* chave : {"Ano", "Servidor", "ServidorTABDEF", "SO_Servidor",
                              "Caminho_Base_Dados", "Diretorio_Servidor", "DLL"}) {
        try {
            nq::leVexoIni(QString::fromLatin1(chave));
        } catch (const nq::Erro&) {
        }
    }
    try {
        nq::anoVexoIni();
    } catch (const nq::Erro&) {
    }
    return 0;
}
