#include "apoio/aplicacao.h"
#include "app/pacotes.h"

#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace nq;

TEST(Pacotes, ModulosCarregadosComSuasDependencias) {
    garanteAplicacao();
    const auto modulos = modulosCarregados();
    ASSERT_GT(modulos.size(), 3u);
    EXPECT_TRUE(modulos.front().arquivo.endsWith("/app_testes"));
    const ModuloCarregado* widgets = nullptr;
    for (const auto& m : modulos)
        if (m.arquivo.contains("libQt6Widgets.so"))
            widgets = &m;
    ASSERT_TRUE(widgets);
    EXPECT_TRUE(widgets->requer.contains("libQt6Gui.so.6"));
    EXPECT_TRUE(widgets->requer.contains("libc.so.6"));

    TForm1 janela;
    QTreeWidget* arvore = janela.arvore();
    ASSERT_EQ(arvore->topLevelItemCount(), static_cast<int>(modulos.size()));
    const QTreeWidgetItem* raiz = arvore->topLevelItem(0);
    ASSERT_EQ(raiz->childCount(), 1);
    EXPECT_EQ(raiz->child(0)->text(0), "Requires");
    EXPECT_EQ(raiz->child(0)->childCount(), modulos.front().requer.size());
}
