#include "annexes/anexo8/anexo8.h"

#include "annexes/anexo8/planilha_anexo8.h"
#include "annexes/common/assinaturas.h"
#include "annexes/common/estrada_anexo.h"
#include "annexes/common/lancador.h"
#include "core/globais.h"
#include "db/modulodados.h"
#include "entry/catalogo.h"
#include "entry/preparacoes.h"
#include "report/carregador.h"
#include "report/modelo.h"
#include "workbook/planilha.h"

#include <QFile>
#include <QPushButton>

namespace nq {

TImpAnexo8::TImpAnexo8(QWidget* dono)
    : QWidget(dono), relatorio_(carregaLayout(QStringLiteral(":/anexo8/RelatorioProjecao.json"))) {
    btncalcula = criaBotaoCalcula(*this, QStringLiteral("ImpAnexo8"));
    btncalcula->setText(QStringLiteral("btncalcula"));
    connect(btncalcula, &QPushButton::clicked, this, &TImpAnexo8::btncalculaClick);
    relatorio_->ligaTabela(QStringLiteral("ppDBPipeline1"), cdsProjecao);
}

TImpAnexo8::~TImpAnexo8() = default;

void TImpAnexo8::btncalculaClick() {
    carregaProjecao();

    const CadastroDoCliente cliente = leCadastroDoCliente();
    TppReport& r = *relatorio_;
    r.exige<TppLabel>(QStringLiteral("MUNI")).Caption =
        QStringLiteral("MUNICIPIO: ") + cliente.cidade;
    r.exige<TppLabel>(QStringLiteral("cli1")).Caption = cliente.nome;
    r.exige<TppLabel>(QStringLiteral("ppperi")).Caption =
        QStringLiteral("ANO DE ") + cliente.exercicio;
    preencheAssinaturas(r, cliente);

    calculaResultados();
    r.Print();

    if (EstradaDoAnexo::perguntaPlanilha(camaraSemAcento(cliente.nome)) ==
        EstradaDoAnexo::Planilha::Exporta) {
        // The launcher asks no bimester for this annex; the export writes one when chosen.
        const int b = lancador().indiceBimestre() + 1;
        const std::unique_ptr<Planilha> planilha = lancador().novaPlanilha();
        exportaAnexo8(*planilha, lancador().caminhoPlanilha(), cdsProjecao, b, cliente.exercicio);
    }
}

void TImpAnexo8::carregaProjecao() {
    const QString dir = diretorioDados();
    const QString arquivo = caminhoArquivo(dir, ArquivoDigitado::Anexo8);
    // An existing file is used as typed: its years are brought forward only by data entry.
    if (!QFile::exists(arquivo)) {
        dm().cdsXML.close();
        dm().cdsXML.clearFields();
        PreparaAnexo8(dir, dm().qrCliente);
    }
    cdsProjecao.close();
    cdsProjecao.setFileName({});
    cdsProjecao.addIndex(QStringLiteral("INDICE"), QStringLiteral("ANO"));
    cdsProjecao.setIndexName(QStringLiteral("INDICE"));
    cdsProjecao.loadFromFile(caminhoArquivo(dir, ArquivoDigitado::Anexo8));
}

void TImpAnexo8::calculaResultados() {
    for (cdsProjecao.first(); !cdsProjecao.eof(); cdsProjecao.next()) {
        cdsProjecao.edit();
        Field receita = cdsProjecao.fieldByName(QStringLiteral("RECEITA"));
        Field despesa = cdsProjecao.fieldByName(QStringLiteral("DESPESA"));
        receita.setAsCurrency(receita.asCurrency());
        despesa.setAsCurrency(despesa.asCurrency());
        cdsProjecao.fieldByName(QStringLiteral("RESULTADO"))
            .setAsCurrency(receita.asCurrency() - despesa.asCurrency());
        cdsProjecao.post();
    }
}

} // namespace nq
