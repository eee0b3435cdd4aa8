#include "annexes/gestao_fiscal/planilha_gestao.h"

#include "tables/clientdataset.h"
#include "workbook/planilha.h"

#include <map>

namespace nq {

namespace {

struct LinhaDaFolha {
    int linha;
    bool daCamara; // the chamber's sheet has the row too
};

// Sheet rows by line ID.
const std::map<QString, LinhaDaFolha> LinhasDaFolha = {
    {"00020", {14, true}},  {"00070", {20, false}}, {"00110", {25, false}}, {"00190", {30, false}},
    {"00230", {35, false}}, {"00270", {40, false}}, {"00400", {12, false}}, {"00410", {14, false}},
    {"00430", {15, false}}, {"00440", {16, false}}, {"00470", {12, false}}, {"00480", {14, false}}};

} // namespace

void exportaGestaoFiscal(Planilha& planilha, const QString& caminho, ClientDataSet& cdsGe3,
                         ClientDataSet& cdsGestao, int quadrimestre, bool camara) {
    const QString folha = camara ? QStringLiteral("mod 10 3q") : QStringLiteral("mod10 3q");
    // The current figures of quadrimester 1, 2, 3 go to columns E, G, I.
    const QString coluna = QString(QChar('C' + 2 * quadrimestre));
    const QString valor = QStringLiteral("VALOR");
    const QString anterior = QStringLiteral("VALOR1");
    planilha.abre(caminho);
    planilha.selecionaFolha(folha);
    cdsGe3.first();
    planilha.escreveMoeda(QStringLiteral("C11"), cdsGe3.fieldByName(anterior).asCurrency());
    planilha.escreveMoeda(coluna + QStringLiteral("11"), cdsGe3.fieldByName(valor).asCurrency());
    for (cdsGestao.first(); !cdsGestao.eof(); cdsGestao.next()) {
        const QString id = cdsGestao.fieldByName(QStringLiteral("ID")).asString();
        const auto l = LinhasDaFolha.find(id);
        if (l == LinhasDaFolha.end() || (camara && !l->second.daCamara))
            continue;
        const QString linha = QString::number(l->second.linha);
        const int numero = id.toInt();
        if (numero < 400) {
            planilha.escreveMoeda(QStringLiteral("C") + linha,
                                  cdsGestao.fieldByName(anterior).asCurrency());
            planilha.escreveMoeda(coluna + linha, cdsGestao.fieldByName(valor).asCurrency());
        } else {
            planilha.escreveMoeda((numero <= 440 ? QStringLiteral("N") : QStringLiteral("U")) +
                                      linha,
                                  cdsGestao.fieldByName(anterior).asCurrency());
        }
    }
    planilha.mostra();
}

} // namespace nq
