#include "report/devices/lotus.h"

#include "core/erro.h"
#include "report/devices/bytes.h"
#include "report/devices/textos.h"

namespace nq {

namespace {

constexpr int MaximoDeLinhas = 8192;
constexpr int MaximoDeColunas = 256;
constexpr int MaximoDoRotulo = 240;

enum Registro : uint16_t {
    BOF = 0x0000,
    EOF_ = 0x0001,
    RANGE = 0x0006,
    COLW1 = 0x0008,
    NUMBER = 0x000E,
    LABEL = 0x000F,
};

void registro(Bytes& b, uint16_t tipo, const Bytes& dados) {
    b.u16(tipo).u16(static_cast<uint16_t>(dados.tamanho())).bytes(dados.dados());
}

char prefixo(Alinhamento a) {
    switch (a) {
    case Alinhamento::Direita:
        return '"';
    case Alinhamento::Centro:
        return '^';
    default:
        return '\'';
    }
}

} // namespace

QByteArray planilhaLotus(const std::vector<Celula>& celulas, PlanilhaLotus tipo) {
    int ultimaLinha = 0;
    int ultimaColuna = 0;
    for (const Celula& c : celulas) {
        if (c.linha >= MaximoDeLinhas || c.coluna >= MaximoDeColunas)
            throw Erro(QStringLiteral("O relatório tem %1 linhas e %2 colunas; a planilha aceita "
                                      "no máximo %3 linhas e %4 colunas.")
                           .arg(c.linha + 1)
                           .arg(c.coluna + 1)
                           .arg(MaximoDeLinhas)
                           .arg(MaximoDeColunas));
        if (!c.numero && c.texto.size() > MaximoDoRotulo)
            throw Erro(QStringLiteral("Um texto do relatório passa de %1 caracteres; não cabe "
                                      "numa célula da planilha.")
                           .arg(MaximoDoRotulo));
        ultimaLinha = std::max(ultimaLinha, c.linha);
        ultimaColuna = std::max(ultimaColuna, c.coluna);
    }
    Bytes b;
    registro(b, BOF, Bytes().u16(tipo == PlanilhaLotus::Lotus123 ? 0x0406 : 0x5120));
    registro(b, RANGE, Bytes().u16(0).u16(0).u16(ultimaColuna).u16(ultimaLinha));
    const std::vector<int> larguras = largurasDasColunas(celulas);
    for (std::size_t col = 0; col < larguras.size(); ++col)
        registro(b, COLW1,
                 Bytes().u16(static_cast<uint16_t>(col)).u8(std::clamp(larguras[col] + 1, 4, 240)));
    for (const Celula& c : celulas) {
        Bytes d;
        if (c.numero) {
            // Comma format (thousands grouped) with the printed decimal places.
            d.u8(static_cast<uint8_t>(0xC0 | std::min(c.casas, 15)));
            d.u16(static_cast<uint16_t>(c.coluna)).u16(static_cast<uint16_t>(c.linha));
            d.f64(*c.numero);
            registro(b, NUMBER, d);
        } else {
            d.u8(0xFF).u16(static_cast<uint16_t>(c.coluna)).u16(static_cast<uint16_t>(c.linha));
            const QByteArray texto = codificaCp850(c.texto);
            d.u8(static_cast<uint8_t>(prefixo(c.alinhamento)));
            if (tipo == PlanilhaLotus::Quattro)
                d.u8(static_cast<uint8_t>(texto.size())); // Quattro counts the label's bytes
            d.bytes(texto).u8(0);
            registro(b, LABEL, d);
        }
    }
    registro(b, EOF_, Bytes());
    return b.dados();
}

} // namespace nq
