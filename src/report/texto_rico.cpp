#include "report/texto_rico.h"

#include <QTextBlock>
#include <QTextDocument>
#include <array>

namespace nq {

namespace {

struct Estilo {
    bool negrito = false;
    bool italico = false;
    bool sublinhado = false;

    bool operator==(const Estilo&) const = default;
};

Estilo estiloDe(const TrechoRico& t) {
    return {t.negrito, t.italico, t.sublinhado};
}

// Builds the paragraphs character by character, joining a character to the last run when
// the style is the same.
class Montador {
public:
    void acrescenta(const QString& texto, Estilo e) {
        if (texto.isEmpty())
            return;
        auto& trechos = paragrafos_.back().trechos;
        if (!trechos.empty() && estiloDe(trechos.back()) == e)
            trechos.back().texto += texto;
        else
            trechos.push_back({texto, e.negrito, e.italico, e.sublinhado});
    }
    void fechaParagrafo(std::optional<Alinhamento> alinhamento) {
        paragrafos_.back().alinhamento = alinhamento;
        paragrafos_.emplace_back();
    }
    // Trailing empty paragraphs (the closing \par of an RTF text) print nothing.
    std::vector<ParagrafoRico> resultado(std::optional<Alinhamento> ultimo) {
        paragrafos_.back().alinhamento = ultimo;
        while (paragrafos_.size() > 1 && paragrafos_.back().trechos.empty())
            paragrafos_.pop_back();
        return std::move(paragrafos_);
    }

private:
    std::vector<ParagrafoRico> paragrafos_{1};
};

QChar deWindows1252(uchar byte) {
    // 0x80..0x9F differ from Latin-1; 0 marks the bytes Windows-1252 leaves undefined.
    static const char16_t faixa80[32] = {
        0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
    if (byte >= 0x80 && byte < 0xA0 && faixa80[byte - 0x80] != 0)
        return QChar(faixa80[byte - 0x80]);
    return QChar(byte);
}

// RTF as a rich-text box saves it: destinations (font and colour tables, "\*" groups) are
// dropped; \b, \i, \ul and \plain set the style, scoped by groups; \ql, \qc, \qr, \qj
// align the paragraph that \par ends, \pard clears that; \line breaks the line; \'hh is a
// Windows-1252 byte and \uN a Unicode character (its replacement character is skipped).
std::vector<ParagrafoRico> leRtf(const QString& rtf, Estilo base) {
    struct Estado {
        bool ignorando = false;
        Estilo estilo;
        std::optional<Alinhamento> alinhamento;
    };
    std::vector<Estado> pilha{{false, base, std::nullopt}};
    Montador m;
    int pularDepoisDeUnicode = 0;
    auto texto = [&](const QString& t) {
        if (!pilha.back().ignorando)
            m.acrescenta(t, pilha.back().estilo);
    };
    for (int i = 0; i < rtf.size(); ++i) {
        const QChar c = rtf[i];
        if (c == QLatin1Char('{')) {
            pilha.push_back(pilha.back());
            continue;
        }
        if (c == QLatin1Char('}')) {
            if (pilha.size() > 1)
                pilha.pop_back();
            continue;
        }
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n'))
            continue;
        if (c != QLatin1Char('\\')) {
            if (pularDepoisDeUnicode > 0)
                --pularDepoisDeUnicode;
            else
                texto(QString(c));
            continue;
        }
        if (++i >= rtf.size())
            break;
        const QChar d = rtf[i];
        if (d == QLatin1Char('\'') && i + 2 < rtf.size()) {
            const uchar byte = static_cast<uchar>(rtf.mid(i + 1, 2).toUInt(nullptr, 16));
            i += 2;
            texto(QString(deWindows1252(byte)));
            continue;
        }
        if (!d.isLetter()) {
            if (d == QLatin1Char('*'))
                pilha.back().ignorando = true;
            else if (d == QLatin1Char('~'))
                texto(QString(QChar(0xA0)));
            else if (d == QLatin1Char('\\') || d == QLatin1Char('{') || d == QLatin1Char('}'))
                texto(QString(d));
            continue;
        }
        int fim = i;
        while (fim < rtf.size() && rtf[fim].isLetter())
            ++fim;
        const QString palavra = rtf.mid(i, fim - i);
        const int inicioNumero = fim;
        if (fim < rtf.size() && (rtf[fim] == QLatin1Char('-') || rtf[fim].isDigit()))
            ++fim;
        while (fim < rtf.size() && rtf[fim].isDigit())
            ++fim;
        const bool temNumero = fim > inicioNumero;
        const int numero = rtf.mid(inicioNumero, fim - inicioNumero).toInt();
        if (fim < rtf.size() && rtf[fim] == QLatin1Char(' '))
            ++fim;
        i = fim - 1;

        static const QStringList destinos = {
            "fonttbl", "colortbl",  "stylesheet",        "info",     "pict", "header",
            "footer",  "listtable", "listoverridetable", "generator"};
        Estado& e = pilha.back();
        const bool liga = !temNumero || numero != 0;
        if (destinos.contains(palavra))
            e.ignorando = true;
        else if (e.ignorando)
            continue;
        else if (palavra == QLatin1String("par"))
            m.fechaParagrafo(e.alinhamento);
        else if (palavra == QLatin1String("line"))
            m.fechaParagrafo(e.alinhamento);
        else if (palavra == QLatin1String("tab"))
            texto(QStringLiteral(" "));
        else if (palavra == QLatin1String("u")) {
            texto(QString(QChar(static_cast<char16_t>(numero < 0 ? numero + 65536 : numero))));
            pularDepoisDeUnicode = 1;
        } else if (palavra == QLatin1String("b"))
            e.estilo.negrito = liga;
        else if (palavra == QLatin1String("i"))
            e.estilo.italico = liga;
        else if (palavra == QLatin1String("ul"))
            e.estilo.sublinhado = liga;
        else if (palavra == QLatin1String("ulnone"))
            e.estilo.sublinhado = false;
        else if (palavra == QLatin1String("plain"))
            e.estilo = base;
        else if (palavra == QLatin1String("pard"))
            e.alinhamento.reset();
        else if (palavra == QLatin1String("ql"))
            e.alinhamento = Alinhamento::Esquerda;
        else if (palavra == QLatin1String("qr"))
            e.alinhamento = Alinhamento::Direita;
        else if (palavra == QLatin1String("qc"))
            e.alinhamento = Alinhamento::Centro;
        else if (palavra == QLatin1String("qj"))
            e.alinhamento = Alinhamento::Justificado;
    }
    return m.resultado(pilha.back().alinhamento);
}

std::optional<Alinhamento> alinhamentoHtml(const QTextBlockFormat& f) {
    if (!f.hasProperty(QTextFormat::BlockAlignment))
        return std::nullopt;
    const Qt::Alignment a = f.alignment();
    if (a & Qt::AlignJustify)
        return Alinhamento::Justificado;
    if (a & Qt::AlignHCenter)
        return Alinhamento::Centro;
    if (a & (Qt::AlignRight | Qt::AlignTrailing))
        return Alinhamento::Direita;
    return Alinhamento::Esquerda;
}

std::vector<ParagrafoRico> leHtml(const QString& html, Estilo base) {
    QTextDocument documento;
    documento.setHtml(html);
    Montador m;
    for (QTextBlock b = documento.begin(); b.isValid(); b = b.next()) {
        const std::optional<Alinhamento> alinhamento = alinhamentoHtml(b.blockFormat());
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            const QTextCharFormat cf = f.charFormat();
            Estilo e = base;
            if (cf.hasProperty(QTextFormat::FontWeight))
                e.negrito = cf.fontWeight() >= QFont::DemiBold;
            if (cf.hasProperty(QTextFormat::FontItalic))
                e.italico = cf.fontItalic();
            if (cf.hasProperty(QTextFormat::TextUnderlineStyle))
                e.sublinhado = cf.fontUnderline();
            // A <br> arrives as a line separator inside the block.
            const QStringList partes = f.text().split(QChar::LineSeparator);
            for (int i = 0; i < partes.size(); ++i) {
                if (i > 0)
                    m.fechaParagrafo(alinhamento);
                m.acrescenta(partes[i], e);
            }
        }
        if (b.next().isValid())
            m.fechaParagrafo(alinhamento);
        else
            return m.resultado(alinhamento);
    }
    return m.resultado(std::nullopt);
}

// ---- Layout --------------------------------------------------------------------------------

// A piece of a word in one style, measured.
struct Peca {
    QString texto;
    Estilo estilo;
    int largura = 0;
};
struct Palavra {
    std::vector<Peca> pecas;
    int largura = 0;
};

class Diagramador {
public:
    Diagramador(const TppAparenciaDeTexto& a, Retangulo caixa) : a_(a), caixa_(caixa) {
        const MedidorDeTexto& m = MedidorDeTexto::instancia();
        espaco_ = m.largura(a.Font, QStringLiteral(" "));
        altura_ = m.alturaDaLinha(a.Font);
        ascendente_ = m.ascendente(a.Font);
        y_ = caixa.topo;
    }

    void paragrafo(const ParagrafoRico& p) {
        const Alinhamento alinhamento = p.alinhamento.value_or(alinhamentoDoComponente());
        std::vector<Palavra> linha;
        int ocupado = 0; // words and the single blanks between them
        auto fecha = [&](bool ultima) {
            poeLinha(linha, ocupado, alinhamento, ultima);
            linha.clear();
            ocupado = 0;
        };
        for (Palavra& palavra : palavras(p)) {
            while (palavra.largura > caixa_.largura && !palavra.pecas.empty()) {
                // Wider than the box: as much as fits goes on a line of its own.
                if (!linha.empty())
                    fecha(false);
                linha.push_back(corta(palavra));
                ocupado = linha.back().largura;
                fecha(false);
            }
            if (palavra.pecas.empty())
                continue;
            const int com = linha.empty() ? palavra.largura : ocupado + espaco_ + palavra.largura;
            if (!linha.empty() && com > caixa_.largura)
                fecha(false);
            ocupado = linha.empty() ? palavra.largura : ocupado + espaco_ + palavra.largura;
            linha.push_back(std::move(palavra));
        }
        fecha(true);
    }

    std::vector<ComandoTexto> resultado() { return std::move(comandos_); }

private:
    Alinhamento alinhamentoDoComponente() const {
        switch (a_.TextAlignment) {
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

    Fonte fonte(Estilo e) const {
        Fonte f = a_.Font;
        f.negrito = e.negrito;
        f.italico = e.italico;
        f.sublinhado = e.sublinhado;
        return f;
    }

    int mede(const QString& texto, Estilo e) const {
        return MedidorDeTexto::instancia().largura(fonte(e), texto);
    }

    // The words of a paragraph: blanks separate them whatever their style; a word may
    // change style inside ("im<b>portante</b>").
    std::vector<Palavra> palavras(const ParagrafoRico& p) const {
        std::vector<Palavra> ps;
        Palavra atual;
        auto fechaPalavra = [&] {
            if (!atual.pecas.empty())
                ps.push_back(std::move(atual));
            atual = Palavra();
        };
        for (const TrechoRico& t : p.trechos) {
            const Estilo e = estiloDe(t);
            const QStringList partes = t.texto.split(QLatin1Char(' '));
            for (int i = 0; i < partes.size(); ++i) {
                if (i > 0)
                    fechaPalavra();
                if (partes[i].isEmpty())
                    continue;
                const int largura = mede(partes[i], e);
                atual.pecas.push_back({partes[i], e, largura});
                atual.largura += largura;
            }
        }
        fechaPalavra();
        return ps;
    }

    // Takes from the front of `palavra` the most characters that fit the box (one at
    // least) and returns them.
    Palavra corta(Palavra& palavra) const {
        Palavra inicio;
        while (!palavra.pecas.empty()) {
            Peca& p = palavra.pecas.front();
            int n = static_cast<int>(p.texto.size());
            while (n > 0 && inicio.largura + mede(p.texto.left(n), p.estilo) > caixa_.largura)
                --n;
            if (n == 0 && inicio.pecas.empty())
                n = 1;
            if (n == 0)
                break;
            const int largura = mede(p.texto.left(n), p.estilo);
            inicio.pecas.push_back({p.texto.left(n), p.estilo, largura});
            inicio.largura += largura;
            if (n < p.texto.size()) {
                p.texto = p.texto.mid(n);
                p.largura = mede(p.texto, p.estilo);
                break;
            }
            palavra.pecas.erase(palavra.pecas.begin());
        }
        palavra.largura = 0;
        for (const Peca& p : palavra.pecas)
            palavra.largura += p.largura;
        return inicio;
    }

    // One line: a background when the component has one, then a command per run of one
    // style. Justified lines (not a paragraph's last) spread their words to both edges.
    void poeLinha(const std::vector<Palavra>& linha, int ocupado, Alinhamento alinhamento,
                  bool ultima) {
        const int linhaDeBase = y_ + ascendente_;
        if (!a_.Transparent) {
            ComandoTexto fundo = vazio(a_.Font, alinhamento);
            fundo.caixa = {caixa_.esquerda, y_, caixa_.largura, altura_};
            fundo.transparente = false;
            comandos_.push_back(std::move(fundo));
        }
        double x = caixa_.esquerda;
        double vao = espaco_;
        if (alinhamento == Alinhamento::Direita)
            x = caixa_.direita() - ocupado;
        else if (alinhamento == Alinhamento::Centro)
            x = caixa_.esquerda + (caixa_.largura - ocupado) / 2;
        else if (alinhamento == Alinhamento::Justificado && !ultima && linha.size() > 1)
            vao = espaco_ + double(caixa_.largura - ocupado) / double(linha.size() - 1);
        const bool separados = vao != espaco_;

        const std::size_t primeiro = comandos_.size();
        for (std::size_t i = 0; i < linha.size(); ++i) {
            if (i > 0)
                x += vao;
            for (std::size_t j = 0; j < linha[i].pecas.size(); ++j) {
                const Peca& p = linha[i].pecas[j];
                const int xi = static_cast<int>(std::lround(x));
                ComandoTexto* c = comandos_.size() > primeiro ? &comandos_.back() : nullptr;
                const bool mesmoEstilo = c && c->fonte == fonte(p.estilo) && !c->trechos.empty();
                if (!mesmoEstilo) {
                    comandos_.push_back(vazio(fonte(p.estilo), alinhamento));
                    c = &comandos_.back();
                    c->caixa = {xi, y_, 0, altura_};
                }
                if (mesmoEstilo && !(separados && j == 0))
                    c->trechos.back().texto += (j == 0 ? QStringLiteral(" ") : QString()) + p.texto;
                else
                    c->trechos.push_back({xi, linhaDeBase, p.texto});
                x += p.largura;
                c->caixa.largura = static_cast<int>(std::lround(x)) - c->caixa.esquerda;
            }
        }
        y_ += altura_;
    }

    ComandoTexto vazio(const Fonte& f, Alinhamento alinhamento) const {
        ComandoTexto c;
        c.fonte = f;
        c.alinhamento = alinhamento;
        c.transparente = true;
        c.fundo = a_.Color;
        return c;
    }

    const TppAparenciaDeTexto& a_;
    Retangulo caixa_;
    int espaco_ = 0;
    int altura_ = 0;
    int ascendente_ = 0;
    int y_ = 0;
    std::vector<ComandoTexto> comandos_;
};

} // namespace

std::vector<ParagrafoRico> leTextoRico(const QString& formatado, const Fonte& base) {
    const Estilo estilo{base.negrito, base.italico, base.sublinhado};
    if (formatado.trimmed().startsWith(QLatin1String("{\\rtf")))
        return leRtf(formatado, estilo);
    if (Qt::mightBeRichText(formatado))
        return leHtml(formatado, estilo);
    QString texto = formatado;
    texto.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    texto.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    Montador m;
    const QStringList linhas = texto.split(QLatin1Char('\n'));
    for (int i = 0; i < linhas.size(); ++i) {
        if (i > 0)
            m.fechaParagrafo(std::nullopt);
        m.acrescenta(linhas[i], estilo);
    }
    return m.resultado(std::nullopt);
}

QString textoSemFormato(const std::vector<ParagrafoRico>& paragrafos) {
    QStringList linhas;
    for (const ParagrafoRico& p : paragrafos) {
        QString l;
        for (const TrechoRico& t : p.trechos)
            l += t.texto;
        linhas << l;
    }
    return linhas.join(QLatin1Char('\n'));
}

std::vector<ComandoTexto> linhasRicas(const TppAparenciaDeTexto& aparencia,
                                      const std::vector<ParagrafoRico>& paragrafos,
                                      Retangulo caixa) {
    Diagramador d(aparencia, caixa);
    for (const ParagrafoRico& p : paragrafos)
        d.paragrafo(p);
    return d.resultado();
}

} // namespace nq
