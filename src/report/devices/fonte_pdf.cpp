#include "report/devices/fonte_pdf.h"

#include <QFile>
#include <QtEndian>
#include <algorithm>
#include <cctype>
#include <fontconfig/fontconfig.h>
#include <set>

namespace nq {

namespace {

quint16 u16(const QByteArray& t, int i) {
    return i + 2 <= t.size() ? qFromBigEndian<quint16>(t.constData() + i) : 0;
}
qint16 s16(const QByteArray& t, int i) {
    return static_cast<qint16>(u16(t, i));
}
quint32 u32(const QByteArray& t, int i) {
    return i + 4 <= t.size() ? qFromBigEndian<quint32>(t.constData() + i) : 0;
}
void poe16(QByteArray& t, int i, quint16 v) {
    qToBigEndian(v, t.data() + i);
}
void acrescenta16(QByteArray& t, quint16 v) {
    char b[2];
    qToBigEndian(v, b);
    t.append(b, 2);
}
void acrescenta32(QByteArray& t, quint32 v) {
    char b[4];
    qToBigEndian(v, b);
    t.append(b, 4);
}

quint32 somaDeVerificacao(const QByteArray& t) {
    quint32 soma = 0;
    for (int i = 0; i < t.size(); i += 4) {
        quint32 v = 0;
        for (int k = 0; k < 4; ++k)
            v = (v << 8) | (i + k < t.size() ? static_cast<uchar>(t[i + k]) : 0);
        soma += v;
    }
    return soma;
}

// A font file from its tables (an sfnt: a directory, then each table on four bytes).
QByteArray montaFonte(quint32 versao, const std::map<QByteArray, QByteArray>& tabelas) {
    const int n = static_cast<int>(tabelas.size());
    int potencia = 1;
    int expoente = 0;
    while (potencia * 2 <= n) {
        potencia *= 2;
        ++expoente;
    }
    QByteArray r;
    acrescenta32(r, versao);
    acrescenta16(r, static_cast<quint16>(n));
    acrescenta16(r, static_cast<quint16>(potencia * 16));
    acrescenta16(r, static_cast<quint16>(expoente));
    acrescenta16(r, static_cast<quint16>(n * 16 - potencia * 16));
    int deslocamento = 12 + 16 * n;
    QByteArray corpo;
    for (const auto& [etiqueta, dados] : tabelas) {
        r.append(etiqueta);
        acrescenta32(r, somaDeVerificacao(dados));
        acrescenta32(r, static_cast<quint32>(deslocamento + corpo.size()));
        acrescenta32(r, static_cast<quint32>(dados.size()));
        corpo.append(dados);
        while (corpo.size() % 4 != 0)
            corpo.append('\0');
    }
    return r + corpo;
}

QByteArray numero(double v) {
    return QByteArray::number(v, 'f', 3);
}

// The font file that fontconfig holds for a family and style, for the fonts whose tables
// the font engine does not hand over (it may have loaded a Type 1 copy of an OpenType
// font, whose glyph numbers differ): glyph numbers and tables then come from this file.
QRawFont fontePeloFontconfig(const QString& familia, const QString& estilo, qreal tamanho) {
    QRawFont fonte;
    FcPattern* padrao = FcPatternCreate();
    FcPatternAddString(padrao, FC_FAMILY,
                       reinterpret_cast<const FcChar8*>(familia.toUtf8().constData()));
    if (!estilo.isEmpty())
        FcPatternAddString(padrao, FC_STYLE,
                           reinterpret_cast<const FcChar8*>(estilo.toUtf8().constData()));
    FcPatternAddString(padrao, FC_FONTFORMAT, reinterpret_cast<const FcChar8*>("CFF"));
    FcConfigSubstitute(nullptr, padrao, FcMatchPattern);
    FcDefaultSubstitute(padrao);
    FcResult resultado = FcResultNoMatch;
    if (FcPattern* achado = FcFontMatch(nullptr, padrao, &resultado)) {
        FcChar8* arquivo = nullptr;
        int indice = 0;
        FcChar8* encontrada = nullptr;
        FcPatternGetInteger(achado, FC_INDEX, 0, &indice);
        // A collection's other faces are not loaded from data: those stay unembeddable.
        if (indice == 0 && FcPatternGetString(achado, FC_FILE, 0, &arquivo) == FcResultMatch &&
            FcPatternGetString(achado, FC_FAMILY, 0, &encontrada) == FcResultMatch &&
            familia == QString::fromUtf8(reinterpret_cast<const char*>(encontrada))) {
            QFile f(QString::fromUtf8(reinterpret_cast<const char*>(arquivo)));
            if (f.open(QIODevice::ReadOnly))
                fonte.loadFromData(f.readAll(), tamanho, QFont::PreferNoHinting);
        }
        FcPatternDestroy(achado);
    }
    FcPatternDestroy(padrao);
    return fonte;
}

} // namespace

QByteArray FontePdf::tabela(const char* etiqueta) const {
    return bruta_.fontTable(etiqueta);
}

FontePdf::FontePdf(const QFont& fonte) : bruta_(QRawFont::fromFont(fonte)) {
    latinos_.fill(-1);
    if (!bruta_.isValid())
        return;
    if (tabela("head").isEmpty())
        bruta_ = fontePeloFontconfig(bruta_.familyName(), bruta_.styleName(), bruta_.pixelSize());
    const QByteArray head = tabela("head");
    const QByteArray hhea = tabela("hhea");
    const QByteArray hmtx = tabela("hmtx");
    const QByteArray maxp = tabela("maxp");
    cff_ = tabela("glyf").isEmpty() && !tabela("CFF ").isEmpty();
    if (head.size() < 54 || hhea.size() < 36 || maxp.size() < 6 ||
        (!cff_ && tabela("loca").isEmpty()))
        return;
    unidadesPorEm_ = std::max<int>(u16(head, 18), 16);
    ascendente_ = s16(hhea, 4) * 1000.0 / unidadesPorEm_;
    descendente_ = -s16(hhea, 6) * 1000.0 / unidadesPorEm_;
    auto emMilesimos = [this](int v) { return v * 1000.0 / unidadesPorEm_; };
    if (const QByteArray post = tabela("post"); post.size() >= 12)
        sublinhado_ = {emMilesimos(s16(post, 8)), emMilesimos(s16(post, 10))};
    if (const QByteArray os2 = tabela("OS/2"); os2.size() >= 30)
        riscado_ = {emMilesimos(s16(os2, 28)), emMilesimos(s16(os2, 26))};
    const int metricas = u16(hhea, 34);
    const int glifos = u16(maxp, 4);
    for (int g = 0; g < std::min(metricas, glifos); ++g)
        avancos_.push_back(u16(hmtx, 4 * g));
    if (avancos_.empty())
        return;
    QByteArray postscript = bruta_.familyName().toLatin1();
    if (!bruta_.styleName().isEmpty())
        postscript += '-' + bruta_.styleName().toLatin1();
    for (char c : postscript)
        if (std::isalnum(static_cast<unsigned char>(c)) || c == '-')
            nome_ += c;
    valida_ = true;
}

void FontePdf::codigos(const QString& texto, QByteArray& destino) {
    const qsizetype inicio = destino.size();
    destino.resize(inicio + texto.size() * 2);
    char* p = destino.data() + inicio;
    for (const QChar c : texto) {
        const quint16 g = glifo(c);
        if (g >= notados_.size())
            notados_.resize(g + 1);
        if (!notados_[g]) {
            notados_[g] = true;
            usados_.try_emplace(g, QString(c));
        }
        qToBigEndian(g, p);
        p += 2;
    }
}

double FontePdf::largura(quint16 glifo) const {
    const quint16 a = avancos_[std::min<std::size_t>(glifo, avancos_.size() - 1)];
    return std::round(a * 1000.0 / unidadesPorEm_);
}

quint16 FontePdf::glifo(QChar c) {
    if (c.unicode() < latinos_.size()) {
        int& g = latinos_[c.unicode()];
        if (g < 0)
            g = glifoDaFonte(c);
        return static_cast<quint16>(g);
    }
    auto it = glifos_.constFind(c.unicode());
    if (it == glifos_.constEnd())
        it = glifos_.insert(c.unicode(), glifoDaFonte(c));
    return *it;
}

quint16 FontePdf::glifoDaFonte(QChar c) const {
    const QList<quint32> g = bruta_.glyphIndexesForString(QString(c));
    return g.isEmpty() ? 0 : static_cast<quint16>(g.first());
}

QByteArray FontePdf::programaTrueType() const {
    const QByteArray glyf = tabela("glyf");
    const QByteArray loca = tabela("loca");
    QByteArray head = tabela("head");
    const bool longo = s16(head, 50) == 1;
    const int glifos = static_cast<int>(loca.size() / (longo ? 4 : 2)) - 1;
    auto inicio = [&](int g) {
        return static_cast<int>(longo ? u32(loca, 4 * g) : 2 * u16(loca, 2 * g));
    };
    // The glyphs used, glyph 0 and whatever composite glyphs are made of.
    std::set<int> precisos;
    std::vector<int> fila{0};
    for (const auto& [g, texto] : usados_)
        fila.push_back(g);
    while (!fila.empty()) {
        const int g = fila.back();
        fila.pop_back();
        if (g >= glifos || !precisos.insert(g).second)
            continue;
        const int a = inicio(g);
        const int b = inicio(g + 1);
        if (b - a < 10 || s16(glyf, a) >= 0)
            continue;
        int i = a + 10;
        for (quint16 bandeiras = 0x20; (bandeiras & 0x20) && i + 4 <= b;) {
            bandeiras = u16(glyf, i);
            fila.push_back(u16(glyf, i + 2));
            i += 4 + ((bandeiras & 1) ? 4 : 2);
            if (bandeiras & 8)
                i += 2;
            else if (bandeiras & 0x40)
                i += 4;
            else if (bandeiras & 0x80)
                i += 8;
        }
    }
    QByteArray novoGlyf;
    QByteArray novaLoca;
    for (int g = 0; g <= glifos; ++g) {
        acrescenta32(novaLoca, static_cast<quint32>(novoGlyf.size()));
        if (g < glifos && precisos.count(g)) {
            novoGlyf.append(glyf.mid(inicio(g), inicio(g + 1) - inicio(g)));
            while (novoGlyf.size() % 4 != 0)
                novoGlyf.append('\0');
        }
    }
    poe16(head, 50, 1); // long offsets
    head.replace(8, 4, QByteArray(4, '\0'));
    std::map<QByteArray, QByteArray> tabelas{
        {"glyf", novoGlyf}, {"head", head}, {"loca", novaLoca}};
    for (const char* t : {"cvt ", "fpgm", "hhea", "hmtx", "maxp", "prep"})
        if (const QByteArray dados = tabela(t); !dados.isEmpty())
            tabelas[t] = dados;
    return montaFonte(0x00010000, tabelas);
}

QByteArray FontePdf::programaOpenType() const {
    std::map<QByteArray, QByteArray> tabelas;
    for (const char* t : {"CFF ", "OS/2", "cmap", "head", "hhea", "hmtx", "maxp", "name", "post"})
        if (const QByteArray dados = tabela(t); !dados.isEmpty())
            tabelas[t] = dados;
    return montaFonte(0x4F54544F /* OTTO */, tabelas);
}

QByteArray FontePdf::mapaDeTexto() const {
    QByteArray m = "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
                   "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
                   "/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n"
                   "1 begincodespacerange\n<0000> <FFFF>\nendcodespacerange\n";
    std::vector<std::pair<quint16, QString>> entradas(usados_.begin(), usados_.end());
    for (std::size_t i = 0; i < entradas.size(); i += 100) {
        const std::size_t n = std::min<std::size_t>(100, entradas.size() - i);
        m += QByteArray::number(static_cast<qulonglong>(n)) + " beginbfchar\n";
        for (std::size_t k = i; k < i + n; ++k) {
            m += '<' + QByteArray::number(entradas[k].first, 16).rightJustified(4, '0') + "> <";
            for (const QChar c : entradas[k].second)
                m += QByteArray::number(c.unicode(), 16).rightJustified(4, '0');
            m += ">\n";
        }
        m += "endbfchar\n";
    }
    return m + "endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n";
}

void FontePdf::grava(int objeto, const std::function<int()>& novoObjeto,
                     const std::function<void(int, const QByteArray&)>& escreve,
                     const std::function<QByteArray(const QByteArray&)>& comprime) const {
    // A subset's name carries six capitals of its own, made from the glyphs it holds.
    quint32 h = 2166136261u;
    for (const auto& [g, texto] : usados_)
        h = (h ^ g) * 16777619u;
    QByteArray nome;
    for (int i = 0; i < 6; ++i, h /= 26)
        nome += static_cast<char>('A' + h % 26);
    nome += '+' + nome_;

    const int descendente = novoObjeto();
    const int descritor = novoObjeto();
    const int programa = novoObjeto();
    const int mapa = novoObjeto();
    escreve(objeto, "<< /Type /Font /Subtype /Type0 /BaseFont /" + nome +
                        " /Encoding /Identity-H /DescendantFonts [" +
                        QByteArray::number(descendente) + " 0 R] /ToUnicode " +
                        QByteArray::number(mapa) + " 0 R >>");
    QByteArray larguras;
    for (const auto& [g, texto] : usados_)
        larguras += QByteArray::number(g) + " [" + QByteArray::number(largura(g)) + "] ";
    escreve(descendente,
            "<< /Type /Font /Subtype /" + QByteArray(cff_ ? "CIDFontType0" : "CIDFontType2") +
                " /BaseFont /" + nome +
                " /CIDSystemInfo << /Registry (Adobe) /Ordering (Identity) /Supplement 0 >>"
                " /FontDescriptor " +
                QByteArray::number(descritor) + " 0 R /DW " + QByteArray::number(largura(0)) +
                " /W [" + larguras + "]" + (cff_ ? "" : " /CIDToGIDMap /Identity") + " >>");
    const QByteArray head = tabela("head");
    auto em = [this](int v) { return numero(v * 1000.0 / unidadesPorEm_); };
    const QByteArray post = tabela("post");
    const double italico = s16(post, 4) + u16(post, 6) / 65536.0;
    const QByteArray os2 = tabela("OS/2");
    const int altura = os2.size() >= 90 && u16(os2, 0) >= 2 ? s16(os2, 88) : s16(tabela("hhea"), 4);
    const bool fixa = u32(post, 12) != 0;
    escreve(descritor,
            "<< /Type /FontDescriptor /FontName /" + nome + " /Flags " +
                QByteArray::number((fixa ? 1 : 0) | 4) + " /FontBBox [" + em(s16(head, 36)) + ' ' +
                em(s16(head, 38)) + ' ' + em(s16(head, 40)) + ' ' + em(s16(head, 42)) +
                "] /ItalicAngle " + numero(italico) + " /Ascent " + numero(ascendente_) +
                " /Descent " + numero(-descendente_) + " /CapHeight " + em(altura) + " /StemV 80 " +
                (cff_ ? "/FontFile3 " : "/FontFile2 ") + QByteArray::number(programa) + " 0 R >>");
    const QByteArray fonte = cff_ ? programaOpenType() : programaTrueType();
    const QByteArray comprimida = comprime(fonte);
    escreve(programa,
            "<< /Length " + QByteArray::number(comprimida.size()) +
                (cff_ ? " /Subtype /OpenType" : " /Length1 " + QByteArray::number(fonte.size())) +
                " /Filter /FlateDecode >>\nstream\n" + comprimida + "\nendstream");
    const QByteArray texto = comprime(mapaDeTexto());
    escreve(mapa, "<< /Length " + QByteArray::number(texto.size()) +
                      " /Filter /FlateDecode >>\nstream\n" + texto + "\nendstream");
}

} // namespace nq
