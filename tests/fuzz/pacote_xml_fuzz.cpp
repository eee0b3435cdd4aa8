// The XML data-packet reader on arbitrary bytes: it reads or throws nq::Erro;
// what it reads is written and read back to the same packet.
#include "core/erro.h"
#include "fuzz_apoio.h"
#include "tables/formaspacote.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dados, size_t tamanho) {
    const QByteArray bytes(reinterpret_cast<const char*>(dados), static_cast<qsizetype>(tamanho));
    nq::Dados lido;
    try {
        lido = nq::formas::leXml(bytes, QStringLiteral("fuzz.xml"));
    } catch (const nq::Erro&) {
        return 0;
    }
    fuzz::confereIdaEVolta(lido, nq::formas::gravaXml, nq::formas::leXml);
    return 0;
}
