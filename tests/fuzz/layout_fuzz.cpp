// The layout-file reader on arbitrary bytes: it reads or throws nq::Erro.
#include "core/erro.h"
#include "report/carregador.h"
#include "report/modelo.h"

#include <QGuiApplication>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    // Fonts and measures need an application; no display is used.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dados, size_t tamanho) {
    const QByteArray json(reinterpret_cast<const char*>(dados), static_cast<qsizetype>(tamanho));
    try {
        nq::leLayout(json, QStringLiteral("fuzz.json"));
    } catch (const nq::Erro&) {
    }
    return 0;
}
