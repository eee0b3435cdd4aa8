#include "report/devices/biff8.h"

#include "core/erro.h"
#include "report/devices/arquivo_composto.h"
#include "report/devices/bytes.h"

#include <map>
#include <tuple>

namespace nq {

namespace {

constexpr int LinhasPorPlanilha = 65536;
constexpr int ColunasPorPlanilha = 256;
constexpr int MaximoPorRegistro = 8224;
constexpr int PrimeiroFormato = 164;
constexpr int PrimeiroXfDeCelula = 16;

enum Registro : uint16_t {
    BOF = 0x0809,
    EOF_ = 0x000A,
    CODEPAGE = 0x0042,
    WINDOW1 = 0x003D,
    FONT = 0x0031,
    FORMAT = 0x041E,
    XF = 0x00E0,
    STYLE = 0x0293,
    BOUNDSHEET = 0x0085,
    SST = 0x00FC,
    CONTINUE = 0x003C,
    EXTSST = 0x00FF,
    COLINFO = 0x007D,
    DIMENSIONS = 0x0200,
    NUMBER = 0x0203,
    LABELSST = 0x00FD,
    WINDOW2 = 0x023E,
};

void registro(Bytes& fluxo, uint16_t tipo, const QByteArray& dados) {
    fluxo.u16(tipo).u16(static_cast<uint16_t>(dados.size())).bytes(dados);
}

QByteArray bof(uint16_t tipo) {
    Bytes b;
    b.u16(0x0600).u16(tipo).u16(0x0DBB).u16(0x07CC).u32(0).u32(0x06);
    return b.dados();
}

// Style of a cell: its font weight, its number format (0 general, else decimals + 1) and
// its horizontal alignment.
using Estilo = std::tuple<bool, int, int>;

int alinhamentoXls(const Celula& c) {
    if (c.numero)
        return 0; // general: numbers to the right
    switch (c.alinhamento) {
    case Alinhamento::Direita:
        return 3;
    case Alinhamento::Centro:
        return 2;
    default:
        return 1;
    }
}

Estilo estiloDe(const Celula& c) {
    return {c.negrito, c.numero ? c.casas + 1 : 0, alinhamentoXls(c)};
}

QByteArray fonte(bool negrito) {
    Bytes b;
    b.u16(200).u16(0).u16(0x7FFF).u16(negrito ? 700 : 400).u16(0).u8(0).u8(0).u8(0).u8(0);
    b.u8(5).u8(0).bytes("Arial");
    return b.dados();
}

QByteArray formato(int indice, int casas) {
    QString mascara = QStringLiteral("#,##0");
    if (casas > 0)
        mascara += QLatin1Char('.') + QString(casas, QLatin1Char('0'));
    Bytes b;
    b.u16(static_cast<uint16_t>(indice)).u16(static_cast<uint16_t>(mascara.size())).u8(0);
    b.bytes(mascara.toLatin1());
    return b.dados();
}

QByteArray xf(int fonte, int formato, bool estilo, int alinhamento) {
    Bytes b;
    b.u16(static_cast<uint16_t>(fonte)).u16(static_cast<uint16_t>(formato));
    b.u16(estilo ? 0xFFF5 : 0x0001);
    b.u16(static_cast<uint16_t>(0x20 | alinhamento)); // bottom
    b.u16(estilo ? 0 : 0x1C00);                       // font, format and alignment set here
    b.u32(0).u32(0).u16(0x20C0);
    return b.dados();
}

// The shared string table, split into CONTINUE records where it outgrows one record, with
// the index (EXTSST) that points into it every `porBalde` strings.
class TabelaDeTextos {
public:
    int indice(const QString& texto) {
        auto [it, novo] = indices_.try_emplace(texto, static_cast<int>(textos_.size()));
        if (novo)
            textos_.push_back(texto);
        ++referencias_;
        return it->second;
    }

    void grava(Bytes& fluxo) const {
        const int porBalde = std::max<int>(8, (static_cast<int>(textos_.size()) + 127) / 128);
        Bytes extsst;
        extsst.u16(static_cast<uint16_t>(porBalde));

        std::vector<QByteArray> registros(1);
        Bytes primeiro;
        primeiro.u32(referencias_).u32(static_cast<uint32_t>(textos_.size()));
        registros[0] = primeiro.dados();
        const auto espaco = [&] {
            return MaximoPorRegistro - static_cast<int>(registros.back().size());
        };
        // Stream offset where the current record's header starts.
        std::vector<int> inicios;
        for (std::size_t i = 0; i < textos_.size(); ++i) {
            const QString& t = textos_[i];
            if (espaco() < 3 + 2) // a string's header never splits
                registros.emplace_back();
            if (i % porBalde == 0)
                inicios.push_back(static_cast<int>(registros.size() - 1) * 0x10000 +
                                  static_cast<int>(registros.back().size()));
            Bytes cabecalho;
            cabecalho.u16(static_cast<uint16_t>(t.size())).u8(1);
            registros.back().append(cabecalho.dados());
            int feito = 0;
            while (feito < t.size()) {
                if (espaco() < 2) {
                    registros.emplace_back();
                    registros.back().append('\x01'); // the rest stays in 16-bit characters
                }
                const int cabem = std::min<int>(static_cast<int>(t.size()) - feito, espaco() / 2);
                for (int k = 0; k < cabem; ++k) {
                    const char16_t c = t[feito + k].unicode();
                    registros.back().append(static_cast<char>(c & 0xff));
                    registros.back().append(static_cast<char>(c >> 8));
                }
                feito += cabem;
            }
        }
        std::vector<int> posicoes;
        for (std::size_t r = 0; r < registros.size(); ++r) {
            posicoes.push_back(fluxo.tamanho());
            registro(fluxo, r == 0 ? SST : CONTINUE, registros[r]);
        }
        for (const int codigo : inicios) {
            const int r = codigo / 0x10000;
            const int deslocamento = codigo % 0x10000 + 4; // counted from the record header
            extsst.u32(static_cast<uint32_t>(posicoes[r] + deslocamento));
            extsst.u16(static_cast<uint16_t>(deslocamento)).u16(0);
        }
        registro(fluxo, EXTSST, extsst.dados());
    }

private:
    std::map<QString, int> indices_;
    std::vector<QString> textos_;
    uint32_t referencias_ = 0;
};

struct Planilha {
    QString nome;
    std::vector<const Celula*> celulas;
    int primeiraLinha = 0;
};

} // namespace

QByteArray pastaDeTrabalhoXls(const std::vector<Celula>& celulas) {
    std::vector<Planilha> planilhas(1);
    std::map<Estilo, int> estilos;
    std::map<int, int> formatos; // decimals -> format index
    for (const Celula& c : celulas) {
        if (c.coluna >= ColunasPorPlanilha)
            throw Erro(QStringLiteral("O relatório tem mais de %1 colunas; não cabe numa "
                                      "planilha do Excel.")
                           .arg(ColunasPorPlanilha));
        if (c.texto.size() > 32767)
            throw Erro(QStringLiteral("Um texto do relatório passa de 32767 caracteres; não "
                                      "cabe numa célula do Excel."));
        const int folha = c.linha / LinhasPorPlanilha;
        while (static_cast<int>(planilhas.size()) <= folha)
            planilhas.emplace_back();
        planilhas[folha].celulas.push_back(&c);
        if (c.numero)
            formatos.try_emplace(c.casas, PrimeiroFormato + static_cast<int>(formatos.size()));
        estilos.try_emplace(estiloDe(c), PrimeiroXfDeCelula + static_cast<int>(estilos.size()));
    }
    for (std::size_t i = 0; i < planilhas.size(); ++i) {
        planilhas[i].nome = QStringLiteral("Plan%1").arg(i + 1);
        planilhas[i].primeiraLinha = static_cast<int>(i) * LinhasPorPlanilha;
    }

    TabelaDeTextos textos;
    std::vector<QByteArray> folhas;
    for (const Planilha& p : planilhas) {
        Bytes f;
        registro(f, BOF, bof(0x0010));
        int ultimaLinha = -1;
        int ultimaColuna = -1;
        for (const Celula* c : p.celulas) {
            ultimaLinha = std::max(ultimaLinha, c->linha - p.primeiraLinha);
            ultimaColuna = std::max(ultimaColuna, c->coluna);
        }
        std::vector<Celula> daFolha;
        for (const Celula* c : p.celulas)
            daFolha.push_back(*c);
        const std::vector<int> larguras = largurasDasColunas(daFolha);
        for (std::size_t col = 0; col < larguras.size(); ++col) {
            Bytes b;
            const int largura = std::clamp(larguras[col] + 2, 4, 255) * 256;
            b.u16(static_cast<uint16_t>(col)).u16(static_cast<uint16_t>(col));
            b.u16(static_cast<uint16_t>(largura)).u16(15).u16(0).u16(0);
            registro(f, COLINFO, b.dados());
        }
        Bytes dimensoes;
        dimensoes.u32(0).u32(static_cast<uint32_t>(ultimaLinha + 1)).u16(0);
        dimensoes.u16(static_cast<uint16_t>(ultimaColuna + 1)).u16(0);
        registro(f, DIMENSIONS, dimensoes.dados());
        for (const Celula* c : p.celulas) {
            Bytes b;
            b.u16(static_cast<uint16_t>(c->linha - p.primeiraLinha))
                .u16(static_cast<uint16_t>(c->coluna));
            b.u16(static_cast<uint16_t>(estilos.at(estiloDe(*c))));
            if (c->numero) {
                b.f64(*c->numero);
                registro(f, NUMBER, b.dados());
            } else {
                b.u32(static_cast<uint32_t>(textos.indice(c->texto)));
                registro(f, LABELSST, b.dados());
            }
        }
        Bytes janela;
        janela.u16(p.nome == planilhas.front().nome ? 0x06B6 : 0x00B6).u16(0).u16(0);
        janela.u16(64).u16(0).u16(0).u16(0).u16(0).u16(0);
        registro(f, WINDOW2, janela.dados());
        registro(f, EOF_, {});
        folhas.push_back(f.dados());
    }

    Bytes g;
    registro(g, BOF, bof(0x0005));
    registro(g, CODEPAGE, QByteArray::fromHex("B004"));
    {
        Bytes b;
        b.u16(0).u16(0).u16(0x4000).u16(0x2000).u16(0x0038).u16(0).u16(0).u16(1).u16(0x0258);
        registro(g, WINDOW1, b.dados());
    }
    for (const bool negrito : {false, true, false, false})
        registro(g, FONT, fonte(negrito));
    for (const auto& [casas, indice] : formatos)
        registro(g, FORMAT, formato(indice, casas));
    for (int i = 0; i < 15; ++i)
        registro(g, XF, xf(0, 0, true, 0));
    registro(g, XF, xf(0, 0, false, 0));
    std::vector<std::pair<int, Estilo>> porIndice;
    for (const auto& [estilo, indice] : estilos)
        porIndice.emplace_back(indice, estilo);
    std::sort(porIndice.begin(), porIndice.end());
    for (const auto& [indice, estilo] : porIndice) {
        const auto [negrito, fmt, alinhamento] = estilo;
        registro(g, XF, xf(negrito ? 1 : 0, fmt ? formatos.at(fmt - 1) : 0, false, alinhamento));
    }
    registro(g, STYLE,
             QByteArray::fromHex("0080"
                                 "00"
                                 "FF"));
    std::vector<int> posicoesDasFolhas;
    for (const Planilha& p : planilhas) {
        posicoesDasFolhas.push_back(g.tamanho() + 4);
        Bytes b;
        b.u32(0).u8(0).u8(0).u8(static_cast<uint8_t>(p.nome.size())).u8(1);
        for (const QChar ch : p.nome)
            b.u16(ch.unicode());
        registro(g, BOUNDSHEET, b.dados());
    }
    textos.grava(g);
    registro(g, EOF_, {});

    int posicao = g.tamanho();
    for (std::size_t i = 0; i < folhas.size(); ++i) {
        g.poe32(posicoesDasFolhas[i], static_cast<uint32_t>(posicao));
        posicao += static_cast<int>(folhas[i].size());
    }
    for (const QByteArray& f : folhas)
        g.bytes(f);
    return arquivoComposto(QStringLiteral("Workbook"), g.dados());
}

} // namespace nq
