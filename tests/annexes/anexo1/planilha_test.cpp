#include "apoio_anexo1.h"

#include "planilha_na_memoria.h"

#include <QFile>
#include <map>

using nq::Moeda;

namespace {

class Anexo1Planilha : public BancoDoAnexo1 {
protected:
    void SetUp() override {
        BancoDoAnexo1::SetUp();
        usaPlanilhaNaMemoria(pasta);
        pasta.folhas["mod1 6b"]["A26"] = nq::ValorCelula::deTexto("(-) Deduções");
    }
    double celula(const QString& endereco) { return pasta.folhas["mod1 6b"][endereco].numero; }

    Pasta pasta;
};

const QString Pergunta = "Deseja Exportar os Dados para a Planilha do TCE ?";

TEST_F(Anexo1Planilha, FigurasVaoParaAsCelulasDoBimestreComARedutoraInvertida) {
    const Resultado r = roda(3, false, {true});
    ASSERT_TRUE(r.perguntou(Pergunta));
    EXPECT_EQ(pasta.aberta, dados() + "tce.xls");
    EXPECT_TRUE(pasta.mostrada);
    EXPECT_EQ(pasta.folhas["Com"]["AR6"].numero, 8); // 2008
    EXPECT_EQ(pasta.folhas["Com"]["AH6"].numero, 3);
    EXPECT_EQ(pasta.folhas["Com"]["AJ6"].numero, 6);

    const Moeda redutora = moeda(receita(r), "00145", "REALIZADO_BIM3");
    ASSERT_LT(redutora, Moeda());
    EXPECT_DOUBLE_EQ(celula("I26"), -redutora.paraDouble());
    EXPECT_DOUBLE_EQ(celula("B26"), -moeda(receita(r), "00145", "PREVISAO_ANUAL").paraDouble());
    EXPECT_DOUBLE_EQ(celula("B14"), moeda(receita(r), "00040", "PREVISAO_ANUAL").paraDouble());
    EXPECT_DOUBLE_EQ(celula("I14"), moeda(receita(r), "00040", "REALIZADO_BIM3").paraDouble());
    EXPECT_DOUBLE_EQ(celula("H40"), moeda(despesa(r), "00260", "EMPENHADO_BIM3").paraDouble());
    EXPECT_DOUBLE_EQ(celula("I40"), moeda(despesa(r), "00260", "LIQUIDADO_BIM3").paraDouble());
    EXPECT_DOUBLE_EQ(celula("C51"), moeda(despesa(r), "00370", "DOTACAO_ATUALIZADA").paraDouble());
    // The contingency reserve gets no bimester columns; other bimesters stay empty.
    EXPECT_EQ(pasta.folhas["mod1 6b"].count("H51"), 0u);
    EXPECT_EQ(pasta.folhas["mod1 6b"].count("D14"), 0u);
    // Title lines are not written.
    EXPECT_EQ(pasta.folhas["mod1 6b"].count("B13"), 0u);
}

TEST_F(Anexo1Planilha, CamaraNuncaEhPerguntadaSobreAPlanilha) {
    const auto roda1 = [this] { return roda(1, false, {true}); };
    EXPECT_FALSE(perguntaPlanilhaCom("CÂMARA MUNICIPAL DE TESTE", roda1));
    EXPECT_TRUE(pasta.aberta.isEmpty());
    EXPECT_FALSE(perguntaPlanilhaCom("camara municipal de teste", roda1));
}

TEST_F(Anexo1Planilha, OutraVersaoRecebeAMensagemENadaEhEscritoNoModelo) {
    pasta.folhas["mod1 6b"]["A26"] = nq::ValorCelula::deTexto("Deduções");
    const Resultado r = roda(2, false, {true});
    EXPECT_EQ(r.mensagens.back().texto, "A Planilha selecionada não está na versão Correnta !");
    EXPECT_EQ(r.mensagens.back().titulo, "Operação Cancelada.");
    EXPECT_EQ(pasta.folhas["mod1 6b"].size(), 1u);
    EXPECT_TRUE(pasta.fechada);
    EXPECT_FALSE(pasta.mostrada);
}

TEST_F(Anexo1Planilha, CaminhoInexistentePedeOutraPlanilha) {
    valores.definePlanilha(dados() + "nao-existe.xls");
    const Resultado r = roda(1, false, {true});
    EXPECT_EQ(r.mensagens.back().texto, "O Caminho da Planilha informado não existe !");
    EXPECT_EQ(valores.escolhasPedidas(), 1);
    EXPECT_TRUE(pasta.aberta.isEmpty());
}

TEST_F(Anexo1Planilha, RespostaNaoDeixaAPlanilhaDeLado) {
    const Resultado r = roda(1, false, {false});
    EXPECT_TRUE(r.perguntou(Pergunta));
    EXPECT_TRUE(pasta.aberta.isEmpty());
}

} // namespace
