#include "report/fontes.h"

#include <QFontMetricsF>
#include <QHash>
#include <QImage>
#include <bitset>
#include <cmath>
#include <vector>

namespace nq {

namespace {

constexpr int MilesimosPorPolegada = 25400;

const QString& fonteMonoespacada() {
    static const QString nome = QStringLiteral("DejaVu Sans Mono");
    return nome;
}

QImage& dispositivoDeReferencia() {
    static QImage imagem = [] {
        QImage i(1, 1, QImage::Format_ARGB32);
        const int porMetro = qRound(PontosPorPolegadaDeReferencia / 0.0254);
        i.setDotsPerMeterX(porMetro);
        i.setDotsPerMeterY(porMetro);
        return i;
    }();
    return imagem;
}

int emMilesimos(double pixels) {
    return static_cast<int>(
        std::lround(pixels * MilesimosPorPolegada / PontosPorPolegadaDeReferencia));
}

QFontMetricsF metricas(const FonteResolvida& f) {
    return QFontMetricsF(f.fonte, &dispositivoDeReferencia());
}

} // namespace

double passoDaFonteDeImpressora(const QString& nome) {
    static const QHash<QString, double> passos = {
        {QStringLiteral("roman 20cpi"), 20},
        {QStringLiteral("draft 10cpi"), 10},
        {QStringLiteral("roman 6cpi"), 6},
        {QStringLiteral("courier 5 pitch"), 5},
    };
    return passos.value(nome.trimmed().toLower(), 0);
}

FonteResolvida resolveFonte(const Fonte& f) {
    const double passo = passoDaFonteDeImpressora(f.nome);
    FonteResolvida r;
    r.fonte = QFont(passo > 0 ? fonteMonoespacada() : f.nome);
    r.fonte.setPointSizeF(f.tamanho > 0 ? f.tamanho : 10);
    r.fonte.setBold(f.negrito);
    r.fonte.setItalic(f.italico);
    r.fonte.setUnderline(f.sublinhado);
    r.fonte.setStrikeOut(f.riscado);
    r.fonte.setHintingPreference(QFont::PreferNoHinting);
    r.fonte.setKerning(false);
    if (passo > 0) {
        // Advance of one character at this size, against the printer's fixed pitch.
        const double avanco = metricas(r).horizontalAdvance(QLatin1Char('0'));
        const double desejado = PontosPorPolegadaDeReferencia / passo;
        if (avanco > 0)
            r.escalaHorizontal = desejado / avanco;
    }
    r.escalaHorizontal *= f.condensacao;
    return r;
}

struct MedidorDeTexto::Medidas {
    Fonte fonte; // as asked for, without its condensation
    FonteResolvida resolvida;
    QFontMetricsF metricas;
    int ascendente = 0;
    int alturaDaLinha = 0;
    // A fixed-pitch font gives every character of `uniformes` (printable Latin-1, where
    // the font has them all alike) the same advance: a text of those measures its length
    // times that advance, exactly as the font engine sums it, without shaping the text.
    qreal avanco = 0;
    std::bitset<256> uniformes;
};

struct MedidorDeTexto::Cache {
    std::vector<std::unique_ptr<const Medidas>> fontes;
    const Medidas* ultima = nullptr;
};

namespace {

// The same font for measuring: what the old text key compared (colour and condensation
// left out).
bool mesmaFonte(const Fonte& a, const Fonte& b) {
    return a.tamanho == b.tamanho && a.negrito == b.negrito && a.italico == b.italico &&
           a.sublinhado == b.sublinhado && a.riscado == b.riscado && a.nome == b.nome;
}

} // namespace

MedidorDeTexto::MedidorDeTexto() : cache_(std::make_unique<Cache>()) {}

MedidorDeTexto::~MedidorDeTexto() = default;

const MedidorDeTexto& MedidorDeTexto::instancia() {
    // Never destroyed: font metrics must not outlive the application object at exit.
    static const MedidorDeTexto* medidor = new MedidorDeTexto;
    return *medidor;
}

const MedidorDeTexto::Medidas& MedidorDeTexto::medidas(const Fonte& f) const {
    // A report measures a few fonts many times, mostly the same one in a row.
    if (cache_->ultima && mesmaFonte(cache_->ultima->fonte, f))
        return *cache_->ultima;
    for (const auto& m : cache_->fontes)
        if (mesmaFonte(m->fonte, f))
            return *(cache_->ultima = m.get());
    Fonte normal = f;
    normal.condensacao = 1; // applied to each measure: one entry serves every condensation
    normal.cor = Qt::black;
    const FonteResolvida r = resolveFonte(normal);
    auto m = std::make_unique<Medidas>(Medidas{normal, r, metricas(r), 0, 0, 0, {}});
    m->ascendente = emMilesimos(m->metricas.ascent());
    m->alturaDaLinha = emMilesimos(m->metricas.lineSpacing());
    if (passoDaFonteDeImpressora(f.nome) > 0) {
        m->avanco = m->metricas.horizontalAdvance(QStringLiteral("0"));
        for (int c = 0x20; c < 0x100; ++c)
            if ((c < 0x7F || c >= 0xA0) &&
                m->metricas.horizontalAdvance(QString(QChar(c))) == m->avanco)
                m->uniformes.set(c);
    }
    cache_->fontes.push_back(std::move(m));
    return *(cache_->ultima = cache_->fontes.back().get());
}

FonteResolvida MedidorDeTexto::resolvida(const Fonte& fonte) const {
    FonteResolvida r = medidas(fonte).resolvida;
    r.escalaHorizontal *= fonte.condensacao;
    return r;
}

int MedidorDeTexto::largura(const Fonte& fonte, const QString& texto) const {
    const Medidas& m = medidas(fonte);
    qreal avanco = 0;
    bool uniforme = m.avanco > 0;
    for (const QChar c : texto)
        if (c.unicode() > 0xFF || !m.uniformes.test(c.unicode())) {
            uniforme = false;
            break;
        }
    if (uniforme)
        avanco = m.avanco * texto.size();
    else
        avanco = m.metricas.horizontalAdvance(texto);
    return emMilesimos(avanco * m.resolvida.escalaHorizontal * fonte.condensacao);
}

double MedidorDeTexto::avancoFixo(const Fonte& fonte) const {
    return medidas(fonte).avanco;
}

int MedidorDeTexto::ascendente(const Fonte& fonte) const {
    return medidas(fonte).ascendente;
}

int MedidorDeTexto::alturaDaLinha(const Fonte& fonte) const {
    return medidas(fonte).alturaDaLinha;
}

} // namespace nq
