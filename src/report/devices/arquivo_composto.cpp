#include "report/devices/arquivo_composto.h"

#include "report/devices/bytes.h"

#include <vector>

namespace nq {

namespace {

constexpr int Setor = 512;
constexpr int EntradasPorSetor = Setor / 4;
constexpr int FatNoCabecalho = 109;
constexpr uint32_t SetorLivre = 0xFFFFFFFF;
constexpr uint32_t FimDaCadeia = 0xFFFFFFFE;
constexpr uint32_t SetorDeFat = 0xFFFFFFFD;
constexpr uint32_t SetorDeDifat = 0xFFFFFFFC;
constexpr uint32_t SemEntrada = 0xFFFFFFFF;
constexpr int TamanhoMinimo = 4096;

int setores(int bytes) {
    return (bytes + Setor - 1) / Setor;
}

void entradaDeDiretorio(Bytes& b, const QString& nome, uint8_t tipo, uint32_t filho,
                        uint32_t inicio, uint32_t tamanho) {
    const int antes = b.tamanho();
    for (const QChar c : nome)
        b.u16(c.unicode());
    b.zeros(64 - (b.tamanho() - antes));
    b.u16(nome.isEmpty() ? 0 : static_cast<uint16_t>((nome.size() + 1) * 2));
    b.u8(tipo).u8(nome.isEmpty() ? 0 : 1); // black in the red-black tree
    b.u32(SemEntrada).u32(SemEntrada).u32(filho);
    b.zeros(16 + 4 + 8 + 8); // class id, state bits, creation and change times
    b.u32(inicio).u32(tamanho).u32(0);
}

} // namespace

QByteArray arquivoComposto(const QString& nomeDoFluxo, QByteArray fluxo) {
    if (fluxo.size() < TamanhoMinimo)
        fluxo.append(TamanhoMinimo - fluxo.size(), '\0');
    const int nFluxo = setores(static_cast<int>(fluxo.size()));
    const int nDiretorio = 1;
    int nFat = 1;
    int nDifat = 0;
    for (;;) {
        const int total = nFluxo + nDiretorio + nFat + nDifat;
        const int fat = (total + EntradasPorSetor - 1) / EntradasPorSetor;
        const int difat = fat > FatNoCabecalho ? (fat - FatNoCabecalho + EntradasPorSetor - 2) /
                                                     (EntradasPorSetor - 1)
                                               : 0;
        if (fat == nFat && difat == nDifat)
            break;
        nFat = fat;
        nDifat = difat;
    }
    const uint32_t primeiroDiretorio = nFluxo;
    const uint32_t primeiraFat = primeiroDiretorio + nDiretorio;
    const uint32_t primeiraDifat = primeiraFat + nFat;

    std::vector<uint32_t> fat(static_cast<std::size_t>(nFat) * EntradasPorSetor, SetorLivre);
    for (int i = 0; i < nFluxo; ++i)
        fat[i] = i + 1 < nFluxo ? i + 1 : FimDaCadeia;
    fat[primeiroDiretorio] = FimDaCadeia;
    for (int i = 0; i < nFat; ++i)
        fat[primeiraFat + i] = SetorDeFat;
    for (int i = 0; i < nDifat; ++i)
        fat[primeiraDifat + i] = SetorDeDifat;

    Bytes b;
    b.bytes(QByteArray::fromHex("D0CF11E0A1B11AE1")).zeros(16);
    b.u16(0x003E).u16(0x0003).u16(0xFFFE).u16(9).u16(6).zeros(6);
    b.u32(0).u32(nFat).u32(primeiroDiretorio).u32(0).u32(TamanhoMinimo);
    b.u32(FimDaCadeia).u32(0); // no mini FAT
    b.u32(nDifat ? primeiraDifat : FimDaCadeia).u32(nDifat);
    for (int i = 0; i < FatNoCabecalho; ++i)
        b.u32(i < nFat ? primeiraFat + i : SetorLivre);

    b.bytes(fluxo).zeros(nFluxo * Setor - static_cast<int>(fluxo.size()));

    entradaDeDiretorio(b, QStringLiteral("Root Entry"), 5, 1, FimDaCadeia, 0);
    entradaDeDiretorio(b, nomeDoFluxo, 2, SemEntrada, 0, static_cast<uint32_t>(fluxo.size()));
    entradaDeDiretorio(b, {}, 0, SemEntrada, 0, 0);
    entradaDeDiretorio(b, {}, 0, SemEntrada, 0, 0);

    for (const uint32_t v : fat)
        b.u32(v);

    for (int i = 0; i < nDifat; ++i) {
        for (int j = 0; j < EntradasPorSetor - 1; ++j) {
            const int indice = FatNoCabecalho + i * (EntradasPorSetor - 1) + j;
            b.u32(indice < nFat ? primeiraFat + indice : SetorLivre);
        }
        b.u32(i + 1 < nDifat ? primeiraDifat + i + 1 : FimDaCadeia);
    }
    return b.dados();
}

} // namespace nq
