#include "report/devices/texto.h"

#include "report/devices/textos.h"

#include <algorithm>

namespace nq {

namespace {

QString emAspas(const QString& v) {
    static const QString especiais = QStringLiteral(",\"\r\n");
    if (std::none_of(v.begin(), v.end(), [](QChar c) { return especiais.contains(c); }))
        return v;
    QString r = v;
    r.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + r + QLatin1Char('"');
}

QString semQuebras(QString v) {
    for (QChar& c : v)
        if (c == QLatin1Char('\t') || c == QLatin1Char('\r') || c == QLatin1Char('\n'))
            c = QLatin1Char(' ');
    return v;
}

QString ajustado(const QString& v, int largura, Alinhamento a) {
    const int falta = largura - static_cast<int>(v.size());
    if (falta <= 0)
        return v;
    if (a == Alinhamento::Direita)
        return QString(falta, QLatin1Char(' ')) + v;
    if (a == Alinhamento::Centro)
        return QString(falta / 2, QLatin1Char(' ')) + v +
               QString(falta - falta / 2, QLatin1Char(' '));
    return v + QString(falta, QLatin1Char(' '));
}

} // namespace

TipoArquivoTexto tipoArquivoTexto(int codigo) {
    if (codigo == 0)
        return TipoArquivoTexto::Virgula;
    if (codigo == 1)
        return TipoArquivoTexto::Tabulacao;
    return TipoArquivoTexto::ColunasFixas;
}

void DispositivoArquivoTexto::iniciaTrabalho(const TrabalhoDeImpressao&) {
    registros_.clear();
}

void DispositivoArquivoTexto::recebePagina(const Pagina& pagina) {
    for (const ComandoDeDesenho& comando : pagina.comandos) {
        const auto* t = std::get_if<ComandoTexto>(&comando);
        if (!t || t->registro < 0)
            continue;
        const int largura = larguraDoCaractere(t->fonte);
        registros_[t->registro].push_back(Valor{t->caixa.esquerda, t->caixa.topo, textoCompleto(*t),
                                                t->alinhamento,
                                                largura > 0 ? t->caixa.largura / largura : 0});
    }
}

QString DispositivoArquivoTexto::linha(const std::vector<Valor>& valores,
                                       const std::vector<int>& larguras) const {
    QString r;
    for (std::size_t i = 0; i < valores.size(); ++i) {
        const Valor& v = valores[i];
        switch (tipo_) {
        case TipoArquivoTexto::Virgula:
            r += (i ? QStringLiteral(",") : QString()) + emAspas(v.texto);
            break;
        case TipoArquivoTexto::Tabulacao:
            r += (i ? QStringLiteral("\t") : QString()) + semQuebras(v.texto);
            break;
        case TipoArquivoTexto::ColunasFixas:
            r += ajustado(semQuebras(v.texto), larguras[i], v.alinhamento);
            break;
        }
    }
    return r + QStringLiteral("\r\n");
}

void DispositivoArquivoTexto::terminaTrabalho() {
    // Values left to right, whatever order the band drew them in.
    std::vector<int> larguras;
    for (auto& [registro, valores] : registros_) {
        std::stable_sort(valores.begin(), valores.end(), [](const Valor& a, const Valor& b) {
            return a.esquerda != b.esquerda ? a.esquerda < b.esquerda : a.topo < b.topo;
        });
        if (larguras.size() < valores.size())
            larguras.resize(valores.size(), 0);
        for (std::size_t i = 0; i < valores.size(); ++i)
            larguras[i] = std::max(
                {larguras[i], valores[i].caracteres, static_cast<int>(valores[i].texto.size())});
    }
    QString saida;
    for (const auto& [registro, valores] : registros_)
        saida += linha(valores, larguras);
    registros_.clear();
    gravaArquivo(arquivo(), saida.toUtf8());
}

} // namespace nq
