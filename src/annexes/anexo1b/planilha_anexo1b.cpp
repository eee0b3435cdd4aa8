#include "annexes/anexo1b/planilha_anexo1b.h"

#include "annexes/common/estrada_anexo.h"
#include "tables/clientdataset.h"
#include "workbook/planilha.h"

namespace nq {

namespace {

constexpr int LinhaDaAdministracaoDireta = 13;
constexpr int PrimeiraLinhaDasEntidades = 15;

} // namespace

void exportaAnexo1B(Planilha& planilha, const QString& caminho, ClientDataSet& cdsRec,
                    ClientDataSet& cdsDes, int bimestre, const QString& exercicio) {
    abrePlanilhaNaFolhaCom(planilha, caminho, exercicio, bimestre);
    planilha.selecionaFolha(QStringLiteral("mod1 anexo"));
    for (const char* celula : {"A15", "A16", "A17"})
        planilha.escreveTexto(QString::fromLatin1(celula), QString());

    int proxima = PrimeiraLinhaDasEntidades;
    for (cdsRec.first(); !cdsRec.eof(); cdsRec.next()) {
        if (cdsRec.fieldByName(QStringLiteral("TITULO")).asString() != QStringLiteral("VA"))
            continue;
        const bool primeira = cdsRec.recNo() == 1;
        const QString linha = QString::number(primeira ? LinhaDaAdministracaoDireta : proxima++);
        if (!primeira)
            planilha.escreveTexto(QLatin1Char('A') + linha,
                                  cdsRec.fieldByName(QStringLiteral("NOME")).asString());
        auto escreve = [&](char coluna, Moeda valor) {
            planilha.escreveMoeda(QLatin1Char(coluna) + linha, valor);
        };
        escreve('B', cdsRec.fieldByName(campoDoBimestre(QStringLiteral("ARRECADADA_BIM"), bimestre))
                         .asCurrency());
        escreve('C', somaDosBimestres(cdsRec, QStringLiteral("ARRECADADA_BIM"), 6));
        // The expenditure of the same key, as the report pairs them; none writes zeros.
        const bool temDespesa =
            cdsDes.locate(QStringLiteral("DESPESA"),
                          Value(cdsRec.fieldByName(QStringLiteral("RECEITA")).asString()));
        auto doBimestre = [&](const QString& campo) {
            return temDespesa ? cdsDes.fieldByName(campoDoBimestre(campo, bimestre)).asCurrency()
                              : Moeda();
        };
        auto doAno = [&](const QString& campo) {
            return temDespesa ? somaDosBimestres(cdsDes, campo, 6) : Moeda();
        };
        escreve('D', doBimestre(QStringLiteral("EMPENHADO_BIM")));
        escreve('E', doAno(QStringLiteral("EMPENHADO_BIM")));
        escreve('F', doBimestre(QStringLiteral("LIQUIDADO_BIM")));
        escreve('G', doAno(QStringLiteral("LIQUIDADO_BIM")));
    }
    planilha.mostra();
}

} // namespace nq
