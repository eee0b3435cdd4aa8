#include "report/preview/opcoes.h"
#include "report/preview/textos.h"

#include "core/erro.h"

#include <gtest/gtest.h>

using namespace nq;

namespace {

std::vector<int> faixa(int de, int ate) {
    std::vector<int> v;
    for (int p = de; p <= ate; ++p)
        v.push_back(p);
    return v;
}

} // namespace

TEST(ListaDePaginas, SegueARegraDoDialogo) {
    std::vector<int> esperado{1, 3};
    const std::vector<int> cinco = faixa(5, 12);
    esperado.insert(esperado.end(), cinco.begin(), cinco.end());
    EXPECT_EQ(interpretaListaDePaginas(QStringLiteral("1,3,5-12")), esperado);
    EXPECT_EQ(interpretaListaDePaginas(QStringLiteral("3 1 3")), (std::vector<int>{1, 3}));
    EXPECT_EQ(interpretaListaDePaginas(QStringLiteral("5-")), (std::vector<int>{5}));
    EXPECT_EQ(interpretaListaDePaginas(QStringLiteral("12-5")), (std::vector<int>{5, 12}));
    EXPECT_EQ(interpretaListaDePaginas(QStringLiteral("2-4;9")), (std::vector<int>{2, 3, 4, 9}));
    // A "-" after anything but a number opens nothing.
    EXPECT_EQ(interpretaListaDePaginas(QStringLiteral("2 -4")), (std::vector<int>{2, 4}));
}

TEST(ListaDePaginas, TextoSemNumerosDaListaVazia) {
    EXPECT_TRUE(interpretaListaDePaginas(QString()).empty());
    EXPECT_TRUE(interpretaListaDePaginas(QStringLiteral("abc, -")).empty());
    EXPECT_TRUE(interpretaListaDePaginas(QStringLiteral("0")).empty());
}

TEST(ListaDePaginas, NumeroEnormeNaoEstoura) {
    const auto paginas = interpretaListaDePaginas(QStringLiteral("99999999999999999999"));
    ASSERT_EQ(paginas.size(), 1u);
    EXPECT_GT(paginas.front(), 0);
}

TEST(PaginasAImprimir, IntervaloEParidade) {
    OpcoesDeImpressao o;
    EXPECT_EQ(paginasAImprimir(o, 4), faixa(1, 4));
    o.paridade = ParidadeDePaginas::Impares;
    EXPECT_EQ(paginasAImprimir(o, 4), (std::vector<int>{1, 3}));
    o.paridade = ParidadeDePaginas::Pares;
    EXPECT_EQ(paginasAImprimir(o, 5), (std::vector<int>{2, 4}));

    o = {};
    o.intervalo = IntervaloDePaginas::PaginaAtual;
    o.paginaAtual = 3;
    EXPECT_EQ(paginasAImprimir(o, 4), (std::vector<int>{3}));

    o = {};
    o.intervalo = IntervaloDePaginas::Paginas;
    o.paginas = {2, 3, 7};
    EXPECT_EQ(paginasAImprimir(o, 4), (std::vector<int>{2, 3})); // 7 is past the run
    o.paridade = ParidadeDePaginas::Impares;
    EXPECT_EQ(paginasAImprimir(o, 4), (std::vector<int>{3}));
}

TEST(TabelaDeTextos, TextosEMarcadores) {
    EXPECT_EQ(texto(TextoDoRelatorio::UltimaPagina), QStringLiteral("Ultima Página"));
    EXPECT_EQ(texto(44014), QStringLiteral("Número de &cópias"));
    EXPECT_EQ(texto(TextoDoRelatorio::ImprimindoPaginaDeTotal,
                    {2, 7, QStringLiteral("RELATORIO2"), QStringLiteral("PDF")}),
              QStringLiteral("Imprimindo a Página 2 de 7 do Relatório RELATORIO2 em PDF"));
    EXPECT_EQ(texto(TextoDoRelatorio::Desenhando, {3, 9, QStringLiteral("Report"), {}}),
              QStringLiteral("Desenhando a página 3 de 9 para o o relatório Report"));
    EXPECT_THROW(texto(43002), Erro);
}
