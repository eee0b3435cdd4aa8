// Amounts typed the Brazilian way ("1.234,56"): a text that reads is shown and
// edited back to the same amount, and reads the same through the point form.
#include "core/erro.h"
#include "core/moeda.h"
#include "entry/janela/texto_digitado.h"

#include <cstdio>
#include <cstdlib>

namespace {

void exige(bool condicao, const char* o_que, const QString& texto) {
    if (!condicao) {
        std::fprintf(stderr, "%s: \"%s\"\n", o_que, qPrintable(texto));
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dados, size_t tamanho) {
    const QString texto =
        QString::fromUtf8(reinterpret_cast<const char*>(dados), static_cast<qsizetype>(tamanho));
    const std::optional<nq::Moeda> m = nq::moedaDigitada(texto);
    try {
        nq::valorDigitado(texto, nq::FieldKind::Money);
    } catch (const nq::Erro&) {
    }
    nq::Moeda::deTexto(texto);
    if (!m)
        return 0;
    const nq::Value v(*m);
    exige(nq::moedaDigitada(nq::textoParaEditar(v, nq::FieldKind::Money)) == m,
          "o valor editado não volta ao mesmo", texto);
    exige(nq::moedaDigitada(nq::textoExibido(v, nq::FieldKind::Money)) == m ||
              m->arredondada(2) != *m,
          "o valor exibido não volta ao mesmo", texto);
    exige(nq::Moeda::deTexto(m->texto(4)) == m, "o texto com ponto não volta ao mesmo", texto);
    return 0;
}
