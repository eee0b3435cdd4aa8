#include "report/fontes.h"

#include <QFontMetricsF>
#include <QHash>
#include <QImage>
#include <cmath>

namespace nq {

namespace {

constexpr int MilesimosPorPolegada = 25400;
// Reference resolution for measuring: fine enough that hinting and rounding vanish.
constexpr int PontosPorPolegadaDeReferencia = 1200;

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
    FonteResolvida resolvida;
    QFontMetricsF metricas;
};

struct MedidorDeTexto::Cache {
    QHash<QString, std::shared_ptr<const Medidas>> porFonte;
};

MedidorDeTexto::MedidorDeTexto() : cache_(std::make_unique<Cache>()) {}

MedidorDeTexto::~MedidorDeTexto() = default;

const MedidorDeTexto& MedidorDeTexto::instancia() {
    // Never destroyed: font metrics must not outlive the application object at exit.
    static const MedidorDeTexto* medidor = new MedidorDeTexto;
    return *medidor;
}

const MedidorDeTexto::Medidas& MedidorDeTexto::medidas(const Fonte& f) const {
    const QString chave = QStringLiteral("%1|%2|%3%4%5%6")
                              .arg(f.nome)
                              .arg(f.tamanho)
                              .arg(int(f.negrito))
                              .arg(int(f.italico))
                              .arg(int(f.sublinhado))
                              .arg(int(f.riscado));
    auto& m = cache_->porFonte[chave];
    if (!m) {
        Fonte normal = f;
        normal.condensacao = 1; // applied to each measure: one entry serves every condensation
        FonteResolvida r = resolveFonte(normal);
        m = std::make_shared<const Medidas>(Medidas{r, metricas(r)});
    }
    return *m;
}

int MedidorDeTexto::largura(const Fonte& fonte, const QString& texto) const {
    const Medidas& m = medidas(fonte);
    return emMilesimos(m.metricas.horizontalAdvance(texto) * m.resolvida.escalaHorizontal *
                       fonte.condensacao);
}

int MedidorDeTexto::ascendente(const Fonte& fonte) const {
    return emMilesimos(medidas(fonte).metricas.ascent());
}

int MedidorDeTexto::alturaDaLinha(const Fonte& fonte) const {
    return emMilesimos(medidas(fonte).metricas.lineSpacing());
}

} // namespace nq
