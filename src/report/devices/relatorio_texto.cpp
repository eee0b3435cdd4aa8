#include "report/devices/relatorio_texto.h"

#include "report/devices/textos.h"

#include <algorithm>
#include <cmath>

namespace nq {

QStringList DispositivoTextoDeRelatorio::linhasDaPagina(const Pagina& pagina) const {
    const std::vector<TextoNaPagina> textos = textosDaPagina(pagina);
    if (textos.empty())
        return {};
    int coluna = cpp_ > 0 ? static_cast<int>(std::lround(25400 / cpp_)) : 0;
    if (coluna <= 0)
        for (const TextoNaPagina& t : textos) {
            const int c = larguraDoCaractere(t.fonte);
            coluna = coluna == 0 ? c : std::min(coluna, c);
        }
    coluna = std::max(coluna, 1);

    const auto linhas = linhasDeTexto(textos);
    // Without a fixed line pitch the grid takes the closest spacing of two lines of text
    // (the line height of the smallest font when there is one line), so evenly spaced
    // detail lines stay evenly spaced in the file.
    int linha = lpp_ > 0 ? static_cast<int>(std::lround(25400 / lpp_)) : 0;
    if (linha <= 0) {
        for (std::size_t i = 1; i < linhas.size(); ++i) {
            const int d = linhas[i].front().linhaDeBase - linhas[i - 1].front().linhaDeBase;
            linha = linha == 0 ? d : std::min(linha, d);
        }
        if (linha <= 0)
            for (const TextoNaPagina& t : textos)
                linha = linha == 0 ? t.altura : std::min(linha, t.altura);
    }
    linha = std::max(linha, 1);

    QStringList grade;
    int anterior = -1;
    for (const auto& textosDaLinha : linhas) {
        const int indice = std::max(
            anterior + 1,
            static_cast<int>(std::lround(double(textosDaLinha.front().linhaDeBase) / linha)));
        anterior = indice;
        while (grade.size() <= indice)
            grade << QString();
        QString& l = grade[indice];
        int fim = -1; // one blank at least between two texts of a line
        for (const TextoNaPagina& t : textosDaLinha) {
            const int n = static_cast<int>(t.texto.size());
            const int ancora = static_cast<int>(std::lround(double(t.ancora()) / coluna));
            int inicio = t.alinhamento == Alinhamento::Direita  ? ancora - n
                         : t.alinhamento == Alinhamento::Centro ? ancora - n / 2
                                                                : ancora;
            inicio = std::max({inicio, fim + 1, 0});
            if (l.size() < inicio + n)
                l.append(QString(inicio + n - l.size(), QLatin1Char(' ')));
            l.replace(inicio, n, t.texto);
            fim = inicio + n;
        }
    }
    return grade;
}

void DispositivoTextoDeRelatorio::iniciaTrabalho(const TrabalhoDeImpressao&) {
    saida_.clear();
    primeira_ = true;
}

void DispositivoTextoDeRelatorio::recebePagina(const Pagina& pagina) {
    if (!primeira_)
        saida_ += QLatin1Char('\f');
    primeira_ = false;
    for (const QString& l : linhasDaPagina(pagina))
        saida_ += l + QStringLiteral("\r\n");
}

void DispositivoTextoDeRelatorio::terminaTrabalho() {
    gravaArquivo(arquivo(), saida_.toUtf8());
    saida_.clear();
}

} // namespace nq
