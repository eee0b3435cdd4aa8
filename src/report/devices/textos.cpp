#include "report/devices/textos.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <algorithm>

namespace nq {

int TextoNaPagina::topo() const {
    return linhaDeBase - MedidorDeTexto::instancia().ascendente(fonte);
}

int TextoNaPagina::ancora() const {
    switch (alinhamento) {
    case Alinhamento::Direita:
        return x + largura;
    case Alinhamento::Centro:
        return x + largura / 2;
    default:
        return x;
    }
}

std::vector<TextoNaPagina> textosDaPagina(const Pagina& pagina) {
    const MedidorDeTexto& medidor = MedidorDeTexto::instancia();
    std::vector<TextoNaPagina> textos;
    for (const ComandoDeDesenho& comando : pagina.comandos) {
        const auto* c = std::get_if<ComandoTexto>(&comando);
        if (!c)
            continue;
        for (const TrechoDeTexto& t : c->trechos) {
            if (t.texto.trimmed().isEmpty())
                continue;
            textos.push_back(TextoNaPagina{t.x, t.linhaDeBase, medidor.largura(c->fonte, t.texto),
                                           medidor.alturaDaLinha(c->fonte), t.texto, c->fonte,
                                           c->alinhamento});
        }
    }
    std::stable_sort(
        textos.begin(), textos.end(), [](const TextoNaPagina& a, const TextoNaPagina& b) {
            return a.linhaDeBase != b.linhaDeBase ? a.linhaDeBase < b.linhaDeBase : a.x < b.x;
        });
    return textos;
}

QString textoCompleto(const ComandoTexto& texto) {
    QStringList linhas;
    for (const TrechoDeTexto& t : texto.trechos)
        linhas << t.texto;
    return linhas.join(QLatin1Char(' '));
}

int larguraDoCaractere(const Fonte& fonte) {
    Fonte normal = fonte; // the font's pitch, not that of a text condensed into its box
    normal.condensacao = 1;
    return MedidorDeTexto::instancia().largura(normal, QStringLiteral("0"));
}

QByteArray codificaCp850(const QString& texto) {
    QStringEncoder codificador("IBM850");
    QStringDecoder decodificador("IBM850");
    QByteArray r;
    for (const QChar c : texto) {
        const QByteArray b = codificador.encode(QString(c));
        const bool volta = b.size() == 1 && b[0] != '\0' && decodificador.decode(b) == QString(c);
        r += volta ? b : QByteArray("?");
    }
    return r;
}

std::vector<std::vector<TextoNaPagina>> linhasDeTexto(const std::vector<TextoNaPagina>& textos) {
    std::vector<std::vector<TextoNaPagina>> linhas;
    for (const TextoNaPagina& t : textos) {
        if (!linhas.empty()) {
            const TextoNaPagina& primeiro = linhas.back().front();
            if (t.linhaDeBase - primeiro.linhaDeBase < std::min(primeiro.altura, t.altura) / 2) {
                linhas.back().push_back(t);
                continue;
            }
        }
        linhas.push_back({t});
    }
    for (auto& linha : linhas)
        std::stable_sort(linha.begin(), linha.end(),
                         [](const TextoNaPagina& a, const TextoNaPagina& b) { return a.x < b.x; });
    return linhas;
}

} // namespace nq
