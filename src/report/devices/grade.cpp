#include "report/devices/grade.h"

#include <QRegularExpression>
#include <algorithm>
#include <map>

namespace nq {

namespace {
// Anchors closer than this belong to one column.
constexpr int ToleranciaDeColuna = 3000;
} // namespace

void GradeDePlanilha::acrescentaPagina(const Pagina& pagina) {
    for (const auto& linha : linhasDeTexto(textosDaPagina(pagina))) {
        for (const TextoNaPagina& t : linha)
            textos_.push_back(Texto{linhas_, t});
        ++linhas_;
    }
}

std::vector<Celula> GradeDePlanilha::celulas() const {
    std::vector<int> ancoras;
    for (const Texto& t : textos_)
        ancoras.push_back(t.texto.ancora());
    std::sort(ancoras.begin(), ancoras.end());
    // Start of each column's span of anchors; a span never grows wider than the tolerance,
    // so anchors spread evenly across the page do not chain into one column.
    std::vector<int> inicios;
    for (const int a : ancoras)
        if (inicios.empty() || a - inicios.back() > ToleranciaDeColuna)
            inicios.push_back(a);
    const auto colunaDe = [&](int ancora) {
        return static_cast<int>(std::upper_bound(inicios.begin(), inicios.end(), ancora) -
                                inicios.begin()) -
               1;
    };

    std::map<std::pair<int, int>, Celula> porPosicao;
    for (const Texto& t : textos_) {
        const int coluna = colunaDe(t.texto.ancora());
        auto [it, nova] = porPosicao.try_emplace({t.linha, coluna});
        Celula& c = it->second;
        if (nova) {
            c.linha = t.linha;
            c.coluna = coluna;
            c.negrito = t.texto.fonte.negrito;
            c.alinhamento = t.texto.alinhamento;
            c.texto = t.texto.texto.trimmed();
        } else {
            // Two texts fell into one cell: keep both.
            c.texto += QLatin1Char(' ') + t.texto.texto.trimmed();
        }
    }
    std::vector<Celula> r;
    r.reserve(porPosicao.size());
    for (auto& [posicao, c] : porPosicao) {
        if (const auto n = numeroFormatado(c.texto, local_)) {
            c.numero = n->first;
            c.casas = n->second;
        }
        r.push_back(std::move(c));
    }
    return r;
}

std::optional<std::pair<double, int>> GradeDePlanilha::numeroFormatado(const QString& texto,
                                                                       const QLocale& local) {
    const QString g = QRegularExpression::escape(local.groupSeparator());
    const QString d = QRegularExpression::escape(local.decimalPoint());
    const QString menos = QRegularExpression::escape(local.negativeSign());
    const QRegularExpression padrao(
        QStringLiteral("^(?:-|%1)?(?:[1-9]\\d{0,2}(?:%2\\d{3})+|[1-9]\\d*|0)(?:%3(\\d+))?$")
            .arg(menos, g, d));
    const QRegularExpressionMatch m = padrao.match(texto.trimmed());
    if (!m.hasMatch())
        return std::nullopt;
    QString simples = texto.trimmed();
    simples.remove(local.groupSeparator());
    simples.replace(local.decimalPoint(), QLatin1String("."));
    simples.replace(local.negativeSign(), QLatin1String("-"));
    bool ok = false;
    const double v = simples.toDouble(&ok);
    if (!ok)
        return std::nullopt;
    return std::make_pair(v, static_cast<int>(m.captured(1).size()));
}

std::vector<int> largurasDasColunas(const std::vector<Celula>& celulas) {
    std::vector<int> larguras;
    for (const Celula& c : celulas) {
        if (static_cast<int>(larguras.size()) <= c.coluna)
            larguras.resize(c.coluna + 1, 0);
        larguras[c.coluna] = std::max(larguras[c.coluna], static_cast<int>(c.texto.size()));
    }
    return larguras;
}

} // namespace nq
