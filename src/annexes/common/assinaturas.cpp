#include "annexes/common/assinaturas.h"

#include "annexes/common/estrada_anexo.h"
#include "report/modelo.h"

namespace nq {

void preencheAssinaturas(TppReport& relatorio, const CadastroDoCliente& cliente) {
    const std::pair<const char*, const QString*> rotulos[] = {
        {"ppLabel146", &cliente.prefeito}, {"ppLabel140", &cliente.tituloPrefeito},
        {"ppLabel147", &cliente.controle}, {"ppLabel143", &cliente.tituloControle},
        {"ppLabel148", &cliente.contador}, {"ppLabel144", &cliente.tituloContador}};
    for (const auto& [rotulo, texto] : rotulos)
        relatorio.exige<TppLabel>(QString::fromLatin1(rotulo)).Caption = *texto;
}

void preencheAssinaturasPelosCampos(TppReport& relatorio, const CadastroDoCliente& cliente) {
    const std::pair<const char*, const QString*> rotulos[] = {
        {"PREN", &cliente.prefeito}, {"PRE", &cliente.tituloPrefeito},
        {"CONN", &cliente.contador}, {"CON", &cliente.tituloContador},
        {"TESN", &cliente.controle}, {"TES", &cliente.tituloControle}};
    for (const auto& [rotulo, texto] : rotulos)
        relatorio.exige<TppLabel>(QString::fromLatin1(rotulo)).Caption = *texto;
}

} // namespace nq
