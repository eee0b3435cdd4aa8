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
        arquivo = dados() + "tce.xls";
        QFile f(arquivo);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("planilha");
        f.close();
        valores.definePlanilha(arquivo);
        valores.defineFabricaDePlanilha(
            [this] { return std::make_unique<PlanilhaNaMemoria>(pasta); });
        pasta.folhas["mod1 6b"]["A26"] = nq::ValorCelula::deTexto("(-) Deduções");
    }
    bool perguntouPlanilha(const Resultado& r) const {
        for (const auto& m : r.mensagens)
            if (m.texto == "Deseja Exportar os Dados para a Planilha do TCE ?")
                return true;
        return false;
    }
    double celula(const QString& endereco) { return pasta.folhas["mod1 6b"][endereco].numero; }

    QString arquivo;
    Pasta pasta;
};

TEST_F(Anexo1Planilha, FigurasVaoParaAsCelulasDoBimestreComARedutoraInvertida) {
    const Resultado r = roda(3, false, {true});
    ASSERT_TRUE(perguntouPlanilha(r));
    EXPECT_EQ(pasta.aberta, arquivo);
    EXPECT_TRUE(pasta.mostrada);
    EXPECT_EQ(pasta.folhas["Com"]["AR6"].numero, 8); // 2008
    EXPECT_EQ(pasta.folhas["Com"]["AH6"].numero, 3);
    EXPECT_EQ(pasta.folhas["Com"]["AJ6"].numero, 6);

    const Moeda redutora = moeda(r.receita, "00145", "REALIZADO_BIM3");
    ASSERT_LT(redutora, Moeda());
    EXPECT_DOUBLE_EQ(celula("I26"), -redutora.paraDouble());
    EXPECT_DOUBLE_EQ(celula("B26"), -moeda(r.receita, "00145", "PREVISAO_ANUAL").paraDouble());
    EXPECT_DOUBLE_EQ(celula("B14"), moeda(r.receita, "00040", "PREVISAO_ANUAL").paraDouble());
    EXPECT_DOUBLE_EQ(celula("I14"), moeda(r.receita, "00040", "REALIZADO_BIM3").paraDouble());
    EXPECT_DOUBLE_EQ(celula("H40"), moeda(r.despesa, "00260", "EMPENHADO_BIM3").paraDouble());
    EXPECT_DOUBLE_EQ(celula("I40"), moeda(r.despesa, "00260", "LIQUIDADO_BIM3").paraDouble());
    EXPECT_DOUBLE_EQ(celula("C51"), moeda(r.despesa, "00370", "DOTACAO_ATUALIZADA").paraDouble());
    // The contingency reserve gets no bimester columns; other bimesters stay empty.
    EXPECT_EQ(pasta.folhas["mod1 6b"].count("H51"), 0u);
    EXPECT_EQ(pasta.folhas["mod1 6b"].count("D14"), 0u);
    // Title lines are not written.
    EXPECT_EQ(pasta.folhas["mod1 6b"].count("B13"), 0u);
}

TEST_F(Anexo1Planilha, CamaraNuncaEhPerguntadaSobreAPlanilha) {
    executa("UPDATE CADCLI SET CLNT1 = 'CÂMARA MUNICIPAL DE TESTE'");
    const Resultado r = roda(1, false, {true});
    EXPECT_FALSE(perguntouPlanilha(r));
    EXPECT_TRUE(pasta.aberta.isEmpty());
    executa("UPDATE CADCLI SET CLNT1 = 'camara municipal de teste'");
    EXPECT_FALSE(perguntouPlanilha(roda(1, false, {true})));
    executa("UPDATE CADCLI SET CLNT1 = 'Prefeitura Municipal de Teste'");
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
    EXPECT_TRUE(perguntouPlanilha(r));
    EXPECT_TRUE(pasta.aberta.isEmpty());
}

} // namespace
