#include "annexes/anexo6/planilha_anexo6.h"

#include "tables/clientdataset.h"
#include "workbook/planilha.h"

namespace nq {

namespace {

constexpr int LinhaLegislativo = 14;
constexpr int LinhaExecutivo = 16;
// The indirect entities follow one another from this row on.
constexpr int PrimeiraEntidade = 19;

Moeda valor(ClientDataSet& t, const char* campo) {
    return t.fieldByName(QString::fromLatin1(campo)).asCurrency();
}

} // namespace

void exportaAnexo6(Planilha& planilha, const QString& caminho, ClientDataSet& cdsRestos,
                   int exercicio) {
    planilha.abre(caminho);
    planilha.selecionaFolha(QStringLiteral("mod 6"));
    for (int r = PrimeiraEntidade; r < PrimeiraEntidade + 3; ++r)
        planilha.escreveTexto(QStringLiteral("A%1").arg(r), {});

    Moeda disponivelDaDireta, anterioresDaDireta;
    int entidade = PrimeiraEntidade - 1;
    for (cdsRestos.first(); !cdsRestos.eof(); cdsRestos.next()) {
        const QString adm = cdsRestos.fieldByName(QStringLiteral("ADM")).asString().trimmed();
        if (adm == QLatin1String("D")) {
            disponivelDaDireta = valor(cdsRestos, "DIS_FIN");
            anterioresDaDireta = valor(cdsRestos, "RP_ANT");
        }
        int linha = 0;
        if (adm == QLatin1String("D01"))
            linha = LinhaLegislativo;
        else if (adm == QLatin1String("D02"))
            linha = LinhaExecutivo;
        else if (adm == QLatin1String("I"))
            linha = ++entidade;
        if (linha == 0)
            continue;
        auto celula = [linha](char coluna) { return QLatin1Char(coluna) + QString::number(linha); };
        auto escreve = [&](char coluna, Moeda v) { planilha.escreveMoeda(celula(coluna), v); };

        if (linha >= PrimeiraEntidade)
            planilha.escreveTexto(celula('A'),
                                  cdsRestos.fieldByName(QStringLiteral("NOME")).asString());
        if (linha == LinhaExecutivo) {
            const Moeda anteriores = valor(cdsRestos, "RP_ANT");
            escreve('B', anteriores.ehZero() ? anterioresDaDireta : anteriores);
        }
        escreve('C', valor(cdsRestos, "RP_EXER"));
        escreve('D', valor(cdsRestos, "NP_EXER"));
        escreve('E', valor(cdsRestos, "RP_CANC_BIM"));
        escreve('F', valor(cdsRestos, "RP_CANC_ACU"));
        escreve('G', valor(cdsRestos, "RP_PAGO_BIM"));
        escreve('H', valor(cdsRestos, "RP_PAGO_ACU"));
        if (exercicio <= 2005)
            escreve('I', valor(cdsRestos, "RP_ANT") + valor(cdsRestos, "RP_EXER") +
                             valor(cdsRestos, "NP_EXER") -
                             (valor(cdsRestos, "RP_CANC_ACU") + valor(cdsRestos, "RP_PAGO_ACU")));
        else if (linha == LinhaExecutivo && valor(cdsRestos, "DIS_FIN").ehZero())
            escreve('J', disponivelDaDireta);
    }
    planilha.mostra();
}

} // namespace nq
