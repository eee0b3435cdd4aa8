#include "report/desenhista.h"

#include <algorithm>
#include <cmath>

namespace nq::desenhista {

namespace {

// Thousandths of a millimetre in one point.
constexpr double MilesimosPorPonto = 25400.0 / 72.0;

Alinhamento alinhamento(TppTextAlignment a) {
    switch (a) {
    case TppTextAlignment::taRightJustified:
        return Alinhamento::Direita;
    case TppTextAlignment::taCentered:
        return Alinhamento::Centro;
    case TppTextAlignment::taFullJustified:
        return Alinhamento::Justificado;
    case TppTextAlignment::taLeftJustified:
        break;
    }
    return Alinhamento::Esquerda;
}

EstiloCaneta estilo(TPenStyle s) {
    switch (s) {
    case TPenStyle::psDash:
        return EstiloCaneta::Tracejado;
    case TPenStyle::psDot:
        return EstiloCaneta::Pontilhado;
    case TPenStyle::psDashDot:
        return EstiloCaneta::TracoPonto;
    case TPenStyle::psDashDotDot:
        return EstiloCaneta::TracoPontoPonto;
    case TPenStyle::psClear:
        return EstiloCaneta::Nenhum;
    case TPenStyle::psSolid:
        break;
    }
    return EstiloCaneta::Solido;
}

ComandoTexto comandoVazio(const TppAparenciaDeTexto& a, Retangulo caixa) {
    ComandoTexto c;
    c.caixa = caixa;
    c.fonte = a.Font;
    c.alinhamento = alinhamento(a.TextAlignment);
    c.transparente = a.Transparent;
    c.fundo = a.Color;
    return c;
}

// Places one line of text in `caixa` at `linhaDeBase`; a justified line that is not the
// last of its paragraph spreads its words over the width.
void poeLinha(ComandoTexto& c, const QString& linha, int linhaDeBase, bool ultimaDoParagrafo) {
    const MedidorDeTexto& m = MedidorDeTexto::instancia();
    if (c.alinhamento == Alinhamento::Justificado && !ultimaDoParagrafo) {
        const QStringList palavras = linha.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (palavras.size() > 1) {
            int ocupado = 0;
            for (const QString& p : palavras)
                ocupado += m.largura(c.fonte, p);
            const double vao =
                double(c.caixa.largura - ocupado) / static_cast<double>(palavras.size() - 1);
            double x = c.caixa.esquerda;
            for (const QString& p : palavras) {
                c.trechos.push_back({static_cast<int>(std::lround(x)), linhaDeBase, p});
                x += m.largura(c.fonte, p) + vao;
            }
            return;
        }
    }
    const int largura = m.largura(c.fonte, linha);
    int x = c.caixa.esquerda;
    if (c.alinhamento == Alinhamento::Direita)
        x = c.caixa.direita() - largura;
    else if (c.alinhamento == Alinhamento::Centro)
        x = c.caixa.esquerda + (c.caixa.largura - largura) / 2;
    c.trechos.push_back({x, linhaDeBase, linha});
}

// A text wider than `largura` is condensed until it fits: a clipped figure would read as
// another number ("-2.119.605,58" without its minus sign). The factor keeps four decimals,
// so that page dumps stay exact.
void condensaParaCaber(Fonte& fonte, const QString& texto, int largura) {
    const MedidorDeTexto& m = MedidorDeTexto::instancia();
    const int natural = m.largura(fonte, texto);
    if (natural <= largura || largura <= 0)
        return;
    int fator = static_cast<int>(10000.0 * largura / natural); // in ten-thousandths
    do {
        fonte.condensacao = fator / 10000.0;
    } while (m.largura(fonte, texto) > largura && --fator > 0);
}

// Digits with their separators, sign and percent: a printed amount.
bool pareceFigura(const QString& texto) {
    bool algarismo = false;
    for (const QChar ch : texto) {
        if (ch.isDigit())
            algarismo = true;
        else if (!QStringView(u".,-+()% ").contains(ch))
            return false;
    }
    return algarismo;
}

// Room for a one-line text in its box. A right-aligned figure that fills its box
// would touch the text ending where the box begins and read as one number with
// it ("79.575.991,55361.797.037,60"): it keeps a third of a blank free on its left.
int larguraUtil(const ComandoTexto& c, const QString& texto) {
    if (c.alinhamento != Alinhamento::Direita || !pareceFigura(texto))
        return c.caixa.largura;
    return c.caixa.largura - MedidorDeTexto::instancia().largura(c.fonte, QStringLiteral(" ")) / 3;
}

} // namespace

QStringList quebra(const Fonte& fonte, const QString& paragrafo, int largura, bool quebraPalavras) {
    const MedidorDeTexto& m = MedidorDeTexto::instancia();
    QStringList linhas;
    QString atual;
    auto cabe = [&](const QString& t) { return m.largura(fonte, t) <= largura; };
    for (QString palavra : paragrafo.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QString tentativa = atual.isEmpty() ? palavra : atual + QLatin1Char(' ') + palavra;
        if (cabe(tentativa)) {
            atual = tentativa;
            continue;
        }
        if (!atual.isEmpty())
            linhas << atual;
        atual.clear();
        if (quebraPalavras)
            while (palavra.size() > 1 && !cabe(palavra)) {
                int n = palavra.size() - 1;
                while (n > 1 && !cabe(palavra.left(n)))
                    --n;
                linhas << palavra.left(n);
                palavra = palavra.mid(n);
            }
        atual = palavra;
    }
    if (!atual.isEmpty() || linhas.isEmpty())
        linhas << atual;
    return linhas;
}

ComandoTexto texto(const TppCustomText& t, const QString& texto, Retangulo caixa) {
    const MedidorDeTexto& m = MedidorDeTexto::instancia();
    ComandoTexto c = comandoVazio(t, caixa);
    const int ascendente = m.ascendente(t.Font);
    if (t.WordWrap) {
        int y = caixa.topo + ascendente;
        for (const QString& paragrafo : texto.split(QLatin1Char('\n'))) {
            const QStringList ls = quebra(t.Font, paragrafo, caixa.largura, false);
            for (int i = 0; i < ls.size(); ++i) {
                poeLinha(c, ls[i], y, i == ls.size() - 1);
                y += m.alturaDaLinha(t.Font);
            }
        }
        return c;
    }
    if (t.AutoSize) {
        const int largura = m.largura(t.Font, texto);
        if (c.alinhamento == Alinhamento::Direita)
            c.caixa.esquerda = caixa.direita() - largura;
        else if (c.alinhamento == Alinhamento::Centro)
            c.caixa.esquerda = caixa.esquerda + (caixa.largura - largura) / 2;
        c.caixa.largura = largura;
    } else {
        condensaParaCaber(c.fonte, texto, larguraUtil(c, texto));
    }
    poeLinha(c, texto, caixa.topo + ascendente, true);
    return c;
}

std::vector<ComandoTexto> linhas(const TppAparenciaDeTexto& a, const QString& texto,
                                 Retangulo caixa, int entrelinha, bool quebraPalavras) {
    const MedidorDeTexto& m = MedidorDeTexto::instancia();
    const int altura = m.alturaDaLinha(a.Font);
    const int ascendente = m.ascendente(a.Font);
    std::vector<ComandoTexto> comandos;
    int y = caixa.topo;
    QString normalizado = texto;
    normalizado.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    normalizado.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    for (const QString& paragrafo : normalizado.split(QLatin1Char('\n'))) {
        const QStringList ls = quebra(a.Font, paragrafo, caixa.largura, quebraPalavras);
        for (int i = 0; i < ls.size(); ++i) {
            ComandoTexto c = comandoVazio(a, {caixa.esquerda, y, caixa.largura, altura});
            poeLinha(c, ls[i], y + ascendente, i == ls.size() - 1);
            comandos.push_back(std::move(c));
            y += altura + entrelinha;
        }
    }
    return comandos;
}

std::vector<ComandoLinha> linha(const TppLine& l, Retangulo r) {
    if (l.Pen.Style == TPenStyle::psClear)
        return {};
    const Caneta caneta{l.Pen.Color, l.Weight, estilo(l.Pen.Style)};
    ComandoLinha c{r.esquerda, r.topo, r.direita(), r.topo, caneta};
    // Direction in which the second line of a double line lies.
    int dx = 0;
    int dy = 1;
    switch (l.Position) {
    case TppLinePosition::lpTop:
        break;
    case TppLinePosition::lpBottom:
        c.y1 = c.y2 = r.base();
        dy = -1;
        break;
    case TppLinePosition::lpLeft:
        c = {r.esquerda, r.topo, r.esquerda, r.base(), caneta};
        dx = 1;
        dy = 0;
        break;
    case TppLinePosition::lpRight:
        c = {r.direita(), r.topo, r.direita(), r.base(), caneta};
        dx = -1;
        dy = 0;
        break;
    case TppLinePosition::lpDiagLeft:
        c = {r.esquerda, r.topo, r.direita(), r.base(), caneta};
        break;
    case TppLinePosition::lpDiagRight:
        c = {r.direita(), r.topo, r.esquerda, r.base(), caneta};
        break;
    }
    std::vector<ComandoLinha> ls{c};
    if (l.Style == TppLineStyle::lsDouble) {
        const int afastamento =
            static_cast<int>(std::lround(std::max(l.Weight, 0.5) * 2 * MilesimosPorPonto));
        ComandoLinha segunda = c;
        segunda.x1 += dx * afastamento;
        segunda.x2 += dx * afastamento;
        segunda.y1 += dy * afastamento;
        segunda.y2 += dy * afastamento;
        ls.push_back(segunda);
    }
    return ls;
}

ComandoForma forma(const TppShape& s, Retangulo r) {
    ComandoForma f;
    const bool quadrada = s.Shape == TppShapeType::stSquare ||
                          s.Shape == TppShapeType::stRoundSquare ||
                          s.Shape == TppShapeType::stCircle;
    if (quadrada) {
        const int lado = std::min(r.largura, r.altura);
        r = {r.esquerda + (r.largura - lado) / 2, r.topo + (r.altura - lado) / 2, lado, lado};
    }
    f.caixa = r;
    switch (s.Shape) {
    case TppShapeType::stRoundRect:
    case TppShapeType::stRoundSquare:
        f.tipo = TipoDeForma::RetanguloArredondado;
        f.raio = std::min(r.largura, r.altura) / 4;
        break;
    case TppShapeType::stEllipse:
    case TppShapeType::stCircle:
        f.tipo = TipoDeForma::Elipse;
        break;
    case TppShapeType::stRectangle:
    case TppShapeType::stSquare:
        f.tipo = TipoDeForma::Retangulo;
        break;
    }
    f.caneta = {s.Pen.Color, static_cast<double>(s.Pen.Width), estilo(s.Pen.Style)};
    f.preenchida = s.Brush.Style == TBrushStyle::bsSolid;
    f.preenchimento = s.Brush.Color;
    return f;
}

} // namespace nq::desenhista
