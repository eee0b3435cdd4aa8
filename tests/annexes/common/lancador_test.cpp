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

TEST(Lancador, ValoresCompartilhados) {
    ValoresFixosDoLancador v;
    EXPECT_FALSE(v.camaraLegislativa());
    v.marcaCamaraLegislativa();
    EXPECT_TRUE(v.camaraLegislativa());

    EXPECT_EQ(v.filtroReserva(), " ");
    v.defineFiltroReserva(false);
    EXPECT_EQ(v.filtroReserva(),
              " (D.TPEM<>'RD') AND (COALESCE(D.PKEMPA, 0) NOT IN (SELECT PKEMP FROM DESPES "
              "WHERE DESPES.TPEM='RD')) AND ");
    v.defineFiltroReserva(true);
    EXPECT_EQ(v.filtroReserva(), " ");
}

TEST(Lancador, BimestreFixo) {
    ValoresFixosDoLancador v;
    EXPECT_EQ(v.digitoBimestre(), "");
    v.defineBimestre(4);
    EXPECT_EQ(v.textoBimestre(), "4 - Julho -  Agosto");
    EXPECT_EQ(v.indiceBimestre(), 3);
    EXPECT_THROW(v.defineBimestre(7), Erro);
    EXPECT_EQ(v.indiceBimestre(), 3);
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
