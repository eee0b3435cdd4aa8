#include "relatorio_de_teste.h"

namespace nq::teste {

namespace {

template <class T> T& poe(TppBand& banda, const QString& nome, int esquerda, int largura) {
    auto c = std::make_unique<T>();
    c->Name = nome;
    c->mmLeft = esquerda;
    c->mmTop = 500;
    c->mmWidth = largura;
    c->mmHeight = 5000;
    c->Font = Fonte{QStringLiteral("Roman 20cpi"), 8};
    c->Transparent = true;
    return banda.adiciona(std::move(c));
}

} // namespace

RelatorioDeTeste::RelatorioDeTeste(int linhas) {
    tabela.addField(QStringLiteral("NOME"), FieldKind::Text, 40);
    tabela.addField(QStringLiteral("VALOR"), FieldKind::Money);
    tabela.createDataSet();
    for (int i = 1; i <= linhas; ++i)
        tabela.appendRecord({Value(QStringLiteral("Linha %1").arg(i)),
                             Value(Moeda::deDezMilesimos(i * 12345600LL))});
    relatorio.Name = QStringLiteral("relatorio1");
    relatorio.PrinterSetup.DocumentName = QStringLiteral("Teste");
    TppDBPipeline& p = relatorio.criaPipeline(QStringLiteral("ppDBPipeline1"));
    p.DataSource = &tabela;
    relatorio.DataPipeline = &p;

    auto& cabecalho = relatorio.criaBanda<TppHeaderBand>();
    cabecalho.mmHeight = 15000;
    auto& titulo = poe<TppLabel>(cabecalho, QStringLiteral("ppLabel1"), 10000, 120000);
    titulo.Caption = QStringLiteral("RELATÓRIO DE TESTE");
    titulo.Font = Fonte{QStringLiteral("Arial"), 12, true};

    auto& detalhe = relatorio.criaBanda<TppDetailBand>();
    detalhe.mmHeight = 6000;
    poe<TppDBText>(detalhe, QStringLiteral("ppDBText1"), 10000, 80000).DataField =
        QStringLiteral("NOME");
    poe<TppLabel>(detalhe, QStringLiteral("ppLabel2"), 95000, 10000).Caption = QStringLiteral("R$");
    auto& valor = poe<TppDBText>(detalhe, QStringLiteral("ppDBText2"), 110000, 30000);
    valor.DataField = QStringLiteral("VALOR");
    valor.DisplayFormat = QStringLiteral("#,0.00;-#,0.00");
    valor.TextAlignment = TppTextAlignment::taRightJustified;

    auto& resumo = relatorio.criaBanda<TppSummaryBand>();
    resumo.mmHeight = 6000;
    auto& total = poe<TppDBCalc>(resumo, QStringLiteral("ppDBCalc1"), 110000, 30000);
    total.DataField = QStringLiteral("VALOR");
    total.DisplayFormat = valor.DisplayFormat;
    total.TextAlignment = TppTextAlignment::taRightJustified;
}

} // namespace nq::teste
