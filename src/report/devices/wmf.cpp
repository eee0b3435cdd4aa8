#include "report/devices/wmf.h"

#include "core/erro.h"
#include "report/devices/bytes.h"
#include "report/devices/pintor.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <cmath>

namespace nq {

namespace {

enum Funcao : uint16_t {
    SETMAPMODE = 0x0103,
    SETBKMODE = 0x0102,
    SETTEXTALIGN = 0x012E,
    SETTEXTCOLOR = 0x0209,
    SETWINDOWORG = 0x020B,
    SETWINDOWEXT = 0x020C,
    SELECTOBJECT = 0x012D,
    DELETEOBJECT = 0x01F0,
    CREATEPENINDIRECT = 0x02FA,
    CREATEBRUSHINDIRECT = 0x02FC,
    CREATEFONTINDIRECT = 0x02FB,
    MOVETO = 0x0214,
    LINETO = 0x0213,
    RECTANGLE = 0x041B,
    ROUNDRECT = 0x061C,
    ELLIPSE = 0x0418,
    EXTTEXTOUT = 0x0A32,
    STRETCHDIB = 0x0F43,
    FIM = 0x0000,
};

constexpr int TwipsPorPolegada = 1440;

int16_t twips(int milesimos) {
    const long v = std::lround(milesimos * double(TwipsPorPolegada) / 25400);
    if (v < -32768 || v > 32767)
        throw Erro(QStringLiteral("A página é grande demais para um metarquivo WMF."));
    return static_cast<int16_t>(v);
}

uint32_t corRef(const QColor& c) {
    return uint32_t(c.red()) | uint32_t(c.green()) << 8 | uint32_t(c.blue()) << 16;
}

uint16_t estiloDaCaneta(EstiloCaneta e) {
    switch (e) {
    case EstiloCaneta::Tracejado:
        return 1;
    case EstiloCaneta::Pontilhado:
        return 2;
    case EstiloCaneta::TracoPonto:
        return 3;
    case EstiloCaneta::TracoPontoPonto:
        return 4;
    case EstiloCaneta::Nenhum:
        return 5;
    default:
        return 0;
    }
}

QByteArray emWindows1252(const QString& texto) {
    QStringEncoder ansi("windows-1252");
    QStringDecoder volta("windows-1252");
    QByteArray r;
    for (const QChar c : texto) {
        const QByteArray b = ansi.encode(QString(c));
        r += (b.size() == 1 && volta.decode(b) == QString(c)) ? b : QByteArray("?");
    }
    return r;
}

// Records of one metafile; objects are created, selected, used and deleted at once, so
// they always occupy the lowest slots.
class Metarquivo {
public:
    void registro(uint16_t funcao, const Bytes& parametros) {
        const uint32_t palavras = 3 + uint32_t(parametros.tamanho() + 1) / 2;
        corpo_.u32(palavras).u16(funcao).bytes(parametros.dados());
        if (parametros.tamanho() % 2)
            corpo_.u8(0);
        maior_ = std::max(maior_, palavras);
    }
    QByteArray arquivo(int16_t largura, int16_t altura) const {
        Bytes b;
        b.u32(0x9AC6CDD7)
            .u16(0)
            .u16(0)
            .u16(0)
            .u16(largura)
            .u16(altura)
            .u16(TwipsPorPolegada)
            .u32(0);
        uint16_t soma = 0;
        for (int i = 0; i < 20; i += 2)
            soma ^= uint16_t(uint8_t(b.dados()[i]) | uint8_t(b.dados()[i + 1]) << 8);
        b.u16(soma);
        b.u16(1)
            .u16(9)
            .u16(0x0300)
            .u32(9 + uint32_t(corpo_.tamanho()) / 2)
            .u16(2)
            .u32(maior_)
            .u16(0);
        b.bytes(corpo_.dados());
        return b.dados();
    }

private:
    Bytes corpo_;
    uint32_t maior_ = 3;
};

void caneta(Metarquivo& m, const Caneta& c) {
    const int16_t largura = c.espessura > 0 ? int16_t(std::lround(c.espessura * 20)) : 0;
    m.registro(CREATEPENINDIRECT,
               Bytes().u16(estiloDaCaneta(c.estilo)).u16(largura).u16(0).u32(corRef(c.cor)));
    m.registro(SELECTOBJECT, Bytes().u16(0));
}

void texto(Metarquivo& m, const ComandoTexto& c) {
    const double passo = passoDaFonteDeImpressora(c.fonte.nome);
    const FonteResolvida r = resolveFonte(c.fonte);
    Bytes f;
    f.u16(uint16_t(-std::lround(c.fonte.tamanho * 20)));
    // Average character width: the pitch of a printer font; 0 (the font's own) for another
    // font, unless the text was condensed into its box.
    int largura = 0;
    if (passo > 0)
        largura = static_cast<int>(std::lround(TwipsPorPolegada / passo * c.fonte.condensacao));
    else if (c.fonte.condensacao != 1)
        largura = twips(MedidorDeTexto::instancia().largura(c.fonte, QStringLiteral("0")));
    f.u16(uint16_t(largura));
    f.u16(0).u16(0).u16(c.fonte.negrito ? 700 : 400);
    f.u8(c.fonte.italico).u8(c.fonte.sublinhado).u8(c.fonte.riscado).u8(0); // ANSI
    f.u8(0).u8(0).u8(2);                                                    // proof quality
    f.u8(passo > 0 ? 0x31 : 0x00); // fixed pitch, modern family
    QByteArray nome = emWindows1252(r.fonte.family()).left(31);
    nome.append(32 - nome.size(), '\0');
    f.bytes(nome);
    m.registro(CREATEFONTINDIRECT, f);
    m.registro(SELECTOBJECT, Bytes().u16(0));
    m.registro(SETTEXTCOLOR, Bytes().u32(corRef(c.fonte.cor)));
    for (const TrechoDeTexto& t : c.trechos) {
        const QByteArray b = emWindows1252(t.texto);
        if (b.isEmpty())
            continue;
        m.registro(EXTTEXTOUT, Bytes()
                                   .u16(twips(t.linhaDeBase))
                                   .u16(twips(t.x))
                                   .u16(uint16_t(b.size()))
                                   .u16(0)
                                   .bytes(b));
    }
    m.registro(DELETEOBJECT, Bytes().u16(0));
}

void linha(Metarquivo& m, const ComandoLinha& c) {
    caneta(m, c.caneta);
    m.registro(MOVETO, Bytes().u16(twips(c.y1)).u16(twips(c.x1)));
    m.registro(LINETO, Bytes().u16(twips(c.y2)).u16(twips(c.x2)));
    m.registro(DELETEOBJECT, Bytes().u16(0));
}

void forma(Metarquivo& m, const ComandoForma& c) {
    caneta(m, c.caneta);
    m.registro(CREATEBRUSHINDIRECT,
               Bytes().u16(c.preenchida ? 0 : 1).u32(corRef(c.preenchimento)).u16(0));
    m.registro(SELECTOBJECT, Bytes().u16(1));
    Bytes caixa;
    caixa.u16(twips(c.caixa.base())).u16(twips(c.caixa.direita())).u16(twips(c.caixa.topo));
    caixa.u16(twips(c.caixa.esquerda));
    switch (c.tipo) {
    case TipoDeForma::Retangulo:
        m.registro(RECTANGLE, caixa);
        break;
    case TipoDeForma::RetanguloArredondado:
        m.registro(ROUNDRECT,
                   Bytes().u16(twips(2 * c.raio)).u16(twips(2 * c.raio)).bytes(caixa.dados()));
        break;
    case TipoDeForma::Elipse:
        m.registro(ELLIPSE, caixa);
        break;
    }
    m.registro(DELETEOBJECT, Bytes().u16(0));
    m.registro(DELETEOBJECT, Bytes().u16(1));
}

void imagem(Metarquivo& m, const ComandoImagem& c) {
    if (c.imagem.isNull())
        return;
    const QImage img = c.imagem.convertToFormat(QImage::Format_RGB888);
    const int linhaDeBytes = (img.width() * 3 + 3) / 4 * 4;
    Bytes dib;
    dib.u32(40).u32(img.width()).u32(img.height()).u16(1).u16(24).u32(0);
    dib.u32(uint32_t(linhaDeBytes * img.height())).u32(0).u32(0).u32(0).u32(0);
    for (int y = img.height() - 1; y >= 0; --y) { // bottom-up, blue first
        const uchar* p = img.constScanLine(y);
        for (int x = 0; x < img.width(); ++x)
            dib.u8(p[3 * x + 2]).u8(p[3 * x + 1]).u8(p[3 * x]);
        dib.zeros(linhaDeBytes - img.width() * 3);
    }
    const Retangulo a = areaDaImagem(c);
    Bytes b;
    b.u32(0x00CC0020).u16(0).u16(uint16_t(img.height())).u16(uint16_t(img.width())).u16(0).u16(0);
    b.u16(twips(a.altura)).u16(twips(a.largura)).u16(twips(a.topo)).u16(twips(a.esquerda));
    b.bytes(dib.dados());
    m.registro(STRETCHDIB, b);
}

} // namespace

QByteArray metarquivoDaPagina(const Pagina& pagina) {
    const int16_t largura = twips(pagina.papel.largura);
    const int16_t altura = twips(pagina.papel.altura);
    Metarquivo m;
    m.registro(SETMAPMODE, Bytes().u16(8)); // anisotropic: the window below maps to the frame
    m.registro(SETWINDOWORG, Bytes().u16(0).u16(0));
    m.registro(SETWINDOWEXT, Bytes().u16(altura).u16(largura));
    m.registro(SETBKMODE, Bytes().u16(1));     // transparent
    m.registro(SETTEXTALIGN, Bytes().u16(24)); // positions are baselines
    for (const ComandoDeDesenho& comando : pagina.comandos) {
        std::visit(
            [&](const auto& c) {
                using T = std::decay_t<decltype(c)>;
                if constexpr (std::is_same_v<T, ComandoTexto>)
                    texto(m, c);
                else if constexpr (std::is_same_v<T, ComandoLinha>)
                    linha(m, c);
                else if constexpr (std::is_same_v<T, ComandoForma>)
                    forma(m, c);
                else
                    imagem(m, c);
            },
            comando);
    }
    m.registro(FIM, Bytes());
    return m.arquivo(largura, altura);
}

} // namespace nq
