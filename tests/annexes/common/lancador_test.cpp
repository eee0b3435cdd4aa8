#include "annexes/common/lancador.h"
#include "core/erro.h"

#include <gtest/gtest.h>

using namespace nq;

TEST(Lancador, CamaraSoComAsMinusculasDeAaZ) {
    EXPECT_TRUE(nomeDeCamara("Câmara Municipal de Itu"));
    EXPECT_TRUE(nomeDeCamara("câmara"));
    // Only A to Z are lowered: an upper-case Â stays and the name is not a chamber's.
    EXPECT_FALSE(nomeDeCamara("CÂMARA MUNICIPAL"));
    EXPECT_FALSE(nomeDeCamara("Camara Municipal"));
    EXPECT_FALSE(nomeDeCamara("Prefeitura Municipal"));
    EXPECT_FALSE(nomeDeCamara("Câ"));
    EXPECT_FALSE(nomeDeCamara(""));
}

TEST(Lancador, InstalacaoPorEscopo) {
    EXPECT_THROW(lancador(), Erro);
    ValoresFixosDoLancador a, b;
    {
        LancadorInstalado ia(a);
        EXPECT_EQ(&lancador(), &a);
        {
            LancadorInstalado ib(b);
            EXPECT_EQ(&lancador(), &b);
        }
        EXPECT_EQ(&lancador(), &a);
        lancador().escolhePlanilha();
        EXPECT_EQ(a.escolhasPedidas(), 1);
        // Without a spreadsheet program the export is refused with a text.
        try {
            lancador().novaPlanilha();
            ADD_FAILURE();
        } catch (const Erro& e) {
            EXPECT_FALSE(e.texto().isEmpty());
        }
    }
    EXPECT_THROW(lancador(), Erro);
}
