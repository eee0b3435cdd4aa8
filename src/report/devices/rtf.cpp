#include "report/devices/rtf.h"

#include "report/devices/textos.h"

#include <algorithm>
#include <cmath>

namespace nq {

namespace {

int twips(int milesimos) {
    return static_cast<int>(std::lround(milesimos * 1440.0 / 25400));
}

QString escapa(const QString& texto) {
    QString r;
    for (const QChar c : texto) {
        const char16_t u = c.unicode();
        if (u == '\\' || u == '{' || u == '}')
            r += QLatin1Char('\\') + c;
        else if (u >= 0x20 && u < 0x80)
            r += c;
        else if (u >= 0x20)
            r += QStringLiteral("\\u%1?").arg(static_cast<int16_t>(u));
    }
    return r;
}

QString estiloDaLinha(EstiloCaneta e) {
    switch (e) {
    case EstiloCaneta::Pontilhado:
        return QStringLiteral("\\dplinedot");
    case EstiloCaneta::Tracejado:
        return QStringLiteral("\\dplinedash");
    case EstiloCaneta::TracoPonto:
        return QStringLiteral("\\dplinedado");
    case EstiloCaneta::TracoPontoPonto:
        return QStringLiteral("\\dplinedadodo");
    case EstiloCaneta::Nenhum:
        return QStringLiteral("\\dplinehollow");
    default:
        return QStringLiteral("\\dplinesolid");
    }
}

} // namespace

int DispositivoRtf::indiceDaFonte(const QString& familia) {
    int i = static_cast<int>(fontes_.indexOf(familia));
    if (i < 0) {
        fontes_ << familia;
        i = static_cast<int>(fontes_.size()) - 1;
    }
    return i;
}

int DispositivoRtf::indiceDaCor(const QColor& cor) {
    int i = static_cast<int>(cores_.indexOf(cor.rgb()));
    if (i < 0) {
        cores_ << QColor(cor.rgb());
        i = static_cast<int>(cores_.size()) - 1;
    }
    return i + 1; // entry 0 is the automatic colour
}

void DispositivoRtf::iniciaTrabalho(const TrabalhoDeImpressao& trabalho) {
    titulo_ = trabalho.nomeDocumento;
    corpo_.clear();
    fontes_.clear();
    cores_.clear();
    paginas_ = 0;
}

QString DispositivoRtf::desenhos(const Pagina& pagina) {
    QString r;
    const auto objeto = [&](const QString& tipo, int x, int y, int w, int h, const Caneta& c,
                            const QString& extra) {
        const QColor cor = c.cor;
        r += QStringLiteral("{\\*\\do\\dobxpage\\dobypage\\dodhgt8192%1\\dpx%2\\dpy%3\\dpxsize%4"
                            "\\dpysize%5%6\\dplinew%7\\dplinecor%8\\dplinecog%9\\dplinecob%10%11}")
                 .arg(tipo)
                 .arg(x)
                 .arg(y)
                 .arg(w)
                 .arg(h)
                 .arg(estiloDaLinha(c.estilo))
                 .arg(std::max(1, static_cast<int>(std::lround(c.espessura * 20))))
                 .arg(cor.red())
                 .arg(cor.green())
                 .arg(cor.blue())
                 .arg(extra);
    };
    const auto linha = [&](int x1, int y1, int x2, int y2, const Caneta& c) {
        const int x = twips(std::min(x1, x2));
        const int y = twips(std::min(y1, y2));
        // Line ends relative to the object's corner.
        const QString pontos = QStringLiteral("\\dpptx%1\\dppty%2\\dpptx%3\\dppty%4")
                                   .arg(twips(x1) - x)
                                   .arg(twips(y1) - y)
                                   .arg(twips(x2) - x)
                                   .arg(twips(y2) - y);
        objeto(QStringLiteral("\\dpline") + pontos, x, y, std::abs(twips(x2) - twips(x1)),
               std::abs(twips(y2) - twips(y1)), c, {});
    };
    for (const ComandoDeDesenho& comando : pagina.comandos) {
        if (const auto* l = std::get_if<ComandoLinha>(&comando)) {
            linha(l->x1, l->y1, l->x2, l->y2, l->caneta);
            continue;
        }
        const auto* f = std::get_if<ComandoForma>(&comando);
        if (!f)
            continue;
        // Readers paint every drawn shape over the text, even one declared clear, so a
        // frame without colour of its own is drawn as its four sides.
        const bool cheia = f->preenchida && f->preenchimento != QColor(Qt::white);
        const Retangulo& c = f->caixa;
        if (!cheia && f->tipo == TipoDeForma::Retangulo) {
            linha(c.esquerda, c.topo, c.direita(), c.topo, f->caneta);
            linha(c.direita(), c.topo, c.direita(), c.base(), f->caneta);
            linha(c.esquerda, c.base(), c.direita(), c.base(), f->caneta);
            linha(c.esquerda, c.topo, c.esquerda, c.base(), f->caneta);
            continue;
        }
        const QString tipo = f->tipo == TipoDeForma::Elipse ? QStringLiteral("\\dpellipse")
                             : f->tipo == TipoDeForma::RetanguloArredondado
                                 ? QStringLiteral("\\dprect\\dproundr")
                                 : QStringLiteral("\\dprect");
        const QColor p = f->preenchimento;
        const QString preenchimento =
            cheia ? QStringLiteral("\\dpfillbgcr%1\\dpfillbgcg%2\\dpfillbgcb%3"
                                   "\\dpfillfgcr%1\\dpfillfgcg%2\\dpfillfgcb%3\\dpfillpat1")
                        .arg(p.red())
                        .arg(p.green())
                        .arg(p.blue())
                  : QStringLiteral("\\dpfillpat0");
        objeto(tipo, twips(c.esquerda), twips(c.topo), twips(c.largura), twips(c.altura), f->caneta,
               preenchimento);
    }
    return r;
}

void DispositivoRtf::recebePagina(const Pagina& pagina) {
    const Papel& p = pagina.papel;
    if (paginas_++ > 0)
        corpo_ += QStringLiteral("\\sect");
    corpo_ += QStringLiteral("\\sectd\\sbkpage\\pgwsxn%1\\pghsxn%2\\marglsxn%3\\margrsxn%4"
                             "\\margtsxn%5\\margbsxn%6\n")
                  .arg(twips(p.largura))
                  .arg(twips(p.altura))
                  .arg(twips(p.margemEsquerda))
                  .arg(twips(p.margemDireita))
                  .arg(twips(p.margemSuperior))
                  .arg(twips(p.margemInferior));
    // The page's drawings go in a paragraph of their own, one point high: anchored in a
    // paragraph of text, a drawing as large as the page sends the layout of some readers
    // into an endless loop.
    constexpr int AlturaDosDesenhos = 20;
    corpo_ += QStringLiteral("\\pard\\plain\\sb0\\sa0\\sl-%1\\slmult0{\\fs2 %2}\\par\n")
                  .arg(AlturaDosDesenhos)
                  .arg(desenhos(pagina));
    const auto linhas = linhasDeTexto(textosDaPagina(pagina));
    int y = AlturaDosDesenhos; // twips below the top margin where the next paragraph starts
    for (const auto& linha : linhas) {
        int topo = twips(linha.front().topo() - p.margemSuperior);
        int altura = 0;
        for (const TextoNaPagina& t : linha) {
            topo = std::min(topo, twips(t.topo() - p.margemSuperior));
            altura = std::max(altura, twips(t.altura));
        }
        const int antes = std::max(0, topo - y);
        QString tabulacoes;
        QString textos;
        std::vector<std::pair<int, QString>> paradas;
        for (const TextoNaPagina& t : linha) {
            const int ancora = std::max(0, twips(t.ancora() - p.margemEsquerda));
            paradas.emplace_back(ancora,
                                 t.alinhamento == Alinhamento::Direita  ? QStringLiteral("\\tqr")
                                 : t.alinhamento == Alinhamento::Centro ? QStringLiteral("\\tqc")
                                                                        : QString());
            const FonteResolvida r = resolveFonte(t.fonte);
            const bool fixa = passoDaFonteDeImpressora(t.fonte.nome) > 0;
            QString formato = QStringLiteral("\\f%1\\fs%2\\cf%3")
                                  .arg(indiceDaFonte(fixa ? r.fonte.family() : t.fonte.nome))
                                  .arg(static_cast<int>(std::lround(t.fonte.tamanho * 2)))
                                  .arg(indiceDaCor(t.fonte.cor));
            if (std::abs(r.escalaHorizontal - 1) > 0.001)
                formato +=
                    QStringLiteral("\\charscalex%1").arg(std::lround(r.escalaHorizontal * 100));
            if (t.fonte.negrito)
                formato += QStringLiteral("\\b");
            if (t.fonte.italico)
                formato += QStringLiteral("\\i");
            if (t.fonte.sublinhado)
                formato += QStringLiteral("\\ul");
            if (t.fonte.riscado)
                formato += QStringLiteral("\\strike");
            textos += QStringLiteral("\\tab{%1 %2}").arg(formato, escapa(t.texto));
        }
        std::sort(paradas.begin(), paradas.end());
        for (const auto& [posicao, tipo] : paradas)
            tabulacoes += QStringLiteral("%1\\tx%2").arg(tipo).arg(posicao);
        corpo_ += QStringLiteral("\\pard\\plain\\sb%1\\sa0\\sl-%2\\slmult0%3%4\\par\n")
                      .arg(antes)
                      .arg(std::max(altura, 1))
                      .arg(tabulacoes, textos);
        y = std::max(y, topo) + altura;
    }
}

void DispositivoRtf::terminaTrabalho() {
    QString rtf = QStringLiteral("{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\n{\\fonttbl");
    for (int i = 0; i < fontes_.size(); ++i)
        rtf += QStringLiteral("{\\f%1\\fnil\\fcharset0 %2;}").arg(i).arg(escapa(fontes_[i]));
    rtf += QStringLiteral("}\n{\\colortbl;");
    for (const QColor& c : cores_)
        rtf +=
            QStringLiteral("\\red%1\\green%2\\blue%3;").arg(c.red()).arg(c.green()).arg(c.blue());
    rtf += QStringLiteral("}\n{\\info{\\title %1}}\n").arg(escapa(titulo_));
    rtf += corpo_ + QStringLiteral("}\n");
    corpo_.clear();
    gravaArquivo(arquivo(), rtf.toLatin1());
}

} // namespace nq
