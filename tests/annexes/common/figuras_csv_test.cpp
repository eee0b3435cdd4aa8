#include "annexes/common/figuras_csv.h"
#include "apoio/aplicacao.h"
#include "report/modelo.h"
#include "report/motor.h"
#include "tables/clientdataset.h"

#include <gtest/gtest.h>

using namespace nq;

namespace {

template <class T> T& poe(TppBand& b, const QString& nome, int esquerda, int topo = 0) {
    T& c = b.adiciona(std::make_unique<T>());
    c.Name = nome;
    c.mmLeft = esquerda;
    c.mmTop = topo;
    c.mmWidth = 25000;
    c.mmHeight = 4000;
    if constexpr (std::is_base_of_v<TppAparenciaDeTexto, T>)
        c.Font.nome = QStringLiteral("Roman 20cpi");
    return c;
}

TppDBText& campo(TppBand& b, const QString& nome, int esquerda, const QString& formato = {}) {
    auto& t = poe<TppDBText>(b, QStringLiteral("pp") + nome, esquerda);
    t.DataField = nome;
    t.DisplayFormat = formato;
    return t;
}

std::vector<QStringList> linhas(const std::vector<Figura>& fs) {
    std::vector<QStringList> r;
    for (const Figura& f : fs)
        r.push_back({f.quadro, f.id, f.descricao, f.coluna, f.valor});
    return r;
}

// Expenditure by function, as annex 2 prints it: a detail line per row, a "SubTotal:"
// footer per function whose figures belong to the function's own (first) line; a
// percentage held as a floating-point field; a destination table without ID whose first
// field is its caption.
TEST(ColetorDeFiguras, DetalhesRodapesDeGrupoEPercentuais) {
    garanteAplicacao();
    ClientDataSet imp(QStringLiteral("cdsImp"));
    imp.addField("ID", FieldKind::Text, 5);
    imp.addField("FUNCAO", FieldKind::Text, 2);
    imp.addField("NOME", FieldKind::Text, 45);
    imp.addField("DOTACAO", FieldKind::Money);
    imp.addField("PORC", FieldKind::Float);
    imp.addField("SEQ", FieldKind::Integer);
    imp.createDataSet();
    const struct {
        const char* id;
        const char* funcao;
        const char* nome;
        int64_t reais;
    } dados[] = {{"00010", "04", "Administração", 0},
                 {"00020", "04", "Planejamento", 100},
                 {"00030", "04", "Controle", 50},
                 {"00040", "10", "Saúde", 0},
                 {"00050", "10", "Atenção básica", 70}};
    for (const auto& d : dados)
        imp.appendRecord({Value(QString(d.id)), Value(QString(d.funcao)),
                          Value(QString::fromUtf8(d.nome)), Value(Moeda::deInteiro(d.reais)),
                          Value(d.reais / 220.0 * 100), Value(int32_t{1})});
    ClientDataSet vinc(QStringLiteral("cdsVinc"));
    vinc.addField("NOME", FieldKind::Text, 40);
    vinc.addField("SALDO", FieldKind::Float);
    vinc.createDataSet();
    vinc.appendRecord({Value(QStringLiteral("  Recursos próprios  ")), Value(1234.5)});

    TppReport r;
    r.DataPipeline = &r.criaPipeline("ppDBPipeline4");
    r.ligaTabela("ppDBPipeline4", imp);
    TppGroup& g = r.adicionaGrupo();
    g.BreakName = "FUNCAO";
    auto& detalhe = r.criaBanda<TppDetailBand>();
    detalhe.mmHeight = 4000;
    campo(detalhe, "NOME", 0);
    campo(detalhe, "DOTACAO", 30000, "#,0.00;-#,0.00");
    campo(detalhe, "PORC", 60000, "0.00");
    campo(detalhe, "SEQ", 90000, "0");
    auto& rodape = g.FooterBand();
    rodape.mmHeight = 4000;
    poe<TppLabel>(rodape, "ppSubTotal", 0).Caption = "SubTotal:";
    auto& subtotal = poe<TppVariable>(rodape, "ppVariable8", 30000);
    subtotal.DataType = TppDataType::dtCurrency;
    subtotal.DisplayFormat = "#,0.00;-#,0.00";
    subtotal.ResetType = TppVarEventType::veGroupEnd;
    subtotal.ResetComponent = &g;
    auto& soma = poe<TppVariable>(detalhe, "ppSoma", 120000);
    soma.DataType = TppDataType::dtCurrency;
    soma.Visible = false;
    soma.ResetType = TppVarEventType::veGroupStart;
    soma.ResetComponent = &g;
    soma.OnCalc = [&](TppVariable&, Value& v) {
        v = Value(v.asCurrency() + imp.fieldByName("DOTACAO").asCurrency());
    };
    subtotal.OnCalc = [&](TppVariable&, Value& v) { v = soma.value; };
    auto& resumo = r.criaBanda<TppSummaryBand>();
    resumo.PrintHeight = TppPrintHeightType::phDynamic;
    auto& sub = poe<TppSubReport>(resumo, "ppSubReport2", 0);
    r.criaPipeline("ppDBPipeline3");
    r.ligaTabela("ppDBPipeline3", vinc);
    sub.Report().DataPipeline = r.pipeline("ppDBPipeline3");
    auto& detalheVinc = sub.Report().criaBanda<TppDetailBand>();
    detalheVinc.mmHeight = 4000;
    campo(detalheVinc, "SALDO", 30000, "#,0.00;-#,0.00");

    std::vector<Figura> figuras;
    {
        ColetorDeFiguras coletor(r);
        TppEngine(&r).geraDocumento();
        figuras = coletor.figuras();
    }
    const std::vector<QStringList> esperado = {
        {"cdsImp", "00010", "Administração", "DOTACAO", "0.00"},
        {"cdsImp", "00010", "Administração", "PORC", "0.00"},
        {"cdsImp", "00020", "Planejamento", "DOTACAO", "100.00"},
        {"cdsImp", "00020", "Planejamento", "PORC", "45.45"},
        {"cdsImp", "00030", "Controle", "DOTACAO", "50.00"},
        {"cdsImp", "00030", "Controle", "PORC", "22.73"},
        {"cdsImp", "00010", "Administração", "ppVariable8", "150.00"},
        {"cdsImp", "00040", "Saúde", "DOTACAO", "0.00"},
        {"cdsImp", "00040", "Saúde", "PORC", "0.00"},
        {"cdsImp", "00050", "Atenção básica", "DOTACAO", "70.00"},
        {"cdsImp", "00050", "Atenção básica", "PORC", "31.82"},
        {"cdsImp", "00040", "Saúde", "ppVariable8", "70.00"},
        {"cdsVinc", "Recursos próprios", "  Recursos próprios  ", "SALDO", "1234.50"},
    };
    EXPECT_EQ(linhas(figuras), esperado);
    // Detached: a second run without the collector records nothing more.
    TppEngine(&r).geraDocumento();
    EXPECT_FALSE(g.HeaderBand().BeforeGenerate);
}

} // namespace
