#include "report/devices/arquivo_de_impressora.h"

#include "report/devices/textos.h"

#include <algorithm>
#include <cmath>

namespace nq {

namespace {

constexpr char Esc = '\x1b';
constexpr char Condensado = '\x0f';     // SI
constexpr char FimCondensado = '\x12';  // DC2
constexpr char AvancoDePagina = '\x0c'; // FF

struct Passo {
    double caracteresPorPolegada;
    char tamanho;    // 'P' pica 10, 'M' elite 12, 'g' 15 cpi
    bool condensado; // SI: pica 17.1, elite 20
    bool largo;      // double width halves the pitch
};

constexpr Passo Passos[] = {
    {20, 'M', true, false},  {17.14, 'P', true, false}, {15, 'g', false, false},
    {12, 'M', false, false}, {10, 'P', false, false},   {8.57, 'P', true, true},
    {6, 'M', false, true},   {5, 'P', false, true},
};

const Passo& passoMaisProximo(double cpp) {
    return *std::min_element(std::begin(Passos), std::end(Passos),
                             [cpp](const Passo& a, const Passo& b) {
                                 return std::abs(a.caracteresPorPolegada - cpp) <
                                        std::abs(b.caracteresPorPolegada - cpp);
                             });
}

int emUnidades(int milesimos, int porPolegada) {
    return static_cast<int>(std::lround(double(milesimos) * porPolegada / 25400));
}

} // namespace

void DispositivoArquivoDeImpressora::iniciaTrabalho(const TrabalhoDeImpressao&) {
    saida_.clear();
    modo_ = Modo{};
    saida_ += Esc;
    saida_ += '@';
    // Character table 1 becomes PC850, then is selected.
    saida_ += QByteArray("\x1b(t\x03\x00\x01\x03\x00", 8);
    saida_ += QByteArray("\x1bt\x01", 3);
}

void DispositivoArquivoDeImpressora::selecionaModo(const Modo& modo) {
    if (modo.caracteresPorPolegada != modo_.caracteresPorPolegada) {
        const Passo& p = passoMaisProximo(modo.caracteresPorPolegada);
        saida_ += Esc;
        saida_ += p.tamanho;
        saida_ += p.condensado ? Condensado : FimCondensado;
        saida_ += Esc;
        saida_ += 'W';
        saida_ += p.largo ? '\x01' : '\x00';
    }
    if (modo.negrito != modo_.negrito) {
        saida_ += Esc;
        saida_ += modo.negrito ? 'E' : 'F';
    }
    if (modo.italico != modo_.italico) {
        saida_ += Esc;
        saida_ += modo.italico ? '4' : '5';
    }
    if (modo.sublinhado != modo_.sublinhado) {
        saida_ += Esc;
        saida_ += '-';
        saida_ += modo.sublinhado ? '\x01' : '\x00';
    }
    modo_ = modo;
}

void DispositivoArquivoDeImpressora::recebePagina(const Pagina& pagina) {
    // Form length in lines of 1/6 inch, so that the form feed ends this sheet.
    saida_ += Esc;
    saida_ += '2';
    saida_ += Esc;
    saida_ += 'C';
    saida_ += static_cast<char>(std::clamp(emUnidades(pagina.papel.altura, 6), 1, 127));

    int vertical = 0; // 1/180 inch from the top of the sheet
    for (const auto& linha : linhasDeTexto(textosDaPagina(pagina))) {
        const int alvo = emUnidades(linha.front().topo(), 180);
        for (int falta = alvo - vertical; falta > 0; falta -= 255) {
            saida_ += Esc;
            saida_ += 'J';
            saida_ += static_cast<char>(std::min(falta, 255));
        }
        vertical = std::max(vertical, alvo);
        saida_ += '\r';
        for (const TextoNaPagina& t : linha) {
            const double cpp = passoMaisProximo(25400.0 / std::max(1, larguraDoCaractere(t.fonte)))
                                   .caracteresPorPolegada;
            selecionaModo(Modo{cpp, t.fonte.negrito, t.fonte.italico, t.fonte.sublinhado});
            const int larguraImpressa = static_cast<int>(std::lround(t.texto.size() * 25400 / cpp));
            const int inicio = t.alinhamento == Alinhamento::Direita ? t.ancora() - larguraImpressa
                               : t.alinhamento == Alinhamento::Centro
                                   ? t.ancora() - larguraImpressa / 2
                                   : t.x;
            const int posicao = std::clamp(emUnidades(inicio, 60), 0, 32767);
            saida_ += Esc;
            saida_ += '$';
            saida_ += static_cast<char>(posicao & 0xff);
            saida_ += static_cast<char>(posicao >> 8);
            saida_ += codificaCp850(t.texto);
        }
    }
    saida_ += '\r';
    saida_ += AvancoDePagina;
}

void DispositivoArquivoDeImpressora::terminaTrabalho() {
    saida_ += Esc;
    saida_ += '@';
    gravaArquivo(arquivo(), saida_);
    saida_.clear();
}

} // namespace nq
