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
    const std::vector<std::pair<const char*, std::vector<int>>> casos = {
        {"1,3,5-7", {1, 3, 5, 6, 7}},
        {"3 1 3", {1, 3}},
        {"5-", {5}},
        {"12-5", {5, 12}},
        {"2-4;9", {2, 3, 4, 9}},
        {"2 -4", {2, 4}}, // a "-" after anything but a number opens nothing
        {"", {}},
        {"abc, -", {}},
        {"0", {}},
    };
    for (const auto& [texto, esperado] : casos)
        EXPECT_EQ(interpretaListaDePaginas(QString::fromLatin1(texto)), esperado) << texto;
    const auto enorme = interpretaListaDePaginas(QStringLiteral("99999999999999999999"));
    ASSERT_EQ(enorme.size(), 1u);
    EXPECT_GT(enorme.front(), 0);
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
