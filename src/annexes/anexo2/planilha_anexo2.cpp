#include "annexes/anexo2/planilha_anexo2.h"

#include "annexes/common/estrada_anexo.h"
#include "core/erro.h"
#include "entry/strzero.h"
#include "tables/clientdataset.h"
#include "workbook/planilha.h"

namespace nq {

namespace {

const QString Folha = QStringLiteral("mod2 6b");

struct Bloco {
    int primeira, ultima;
};

// The sheet rows of functions 01 to 28; function 04 runs into 05 with no gap row.
constexpr Bloco Blocos[28] = {
    {13, 22},   {24, 30},   {32, 38},   {40, 61},   {62, 69},   {71, 78},   {80, 86},
    {88, 96},   {98, 106},  {108, 123}, {125, 133}, {135, 152}, {154, 166}, {168, 175},
    {177, 185}, {187, 193}, {195, 201}, {203, 212}, {214, 221}, {223, 239}, {241, 247},
    {249, 258}, {260, 269}, {271, 277}, {279, 287}, {289, 298}, {300, 307}, {309, 314}};

// A code cell of the block as a number of `largura` digits.
QString codigoDaCelula(const QString& celula, const QString& texto, int largura) {
    try {
        return StrZero(texto, largura);
    } catch (const Erro&) {
        throw Erro(QStringLiteral("A célula %1 da folha \"%2\" deveria conter um código numérico "
                                  "e contém \"%3\". Nada foi gravado na planilha.")
                       .arg(celula, Folha, texto));
    }
}

class ExportacaoDoAnexo2 {
public:
    ExportacaoDoAnexo2(Planilha& planilha, ClientDataSet& cdsImp, int bimestre)
        : planilha_(planilha), t_(cdsImp), bimestre_(bimestre),
          empenhado_(QChar('F' + 2 * (bimestre - 1))), liquidado_(QChar(empenhado_.unicode() + 1)) {
    }

    // The sub-function row current in the table, into its function's block.
    void escreve(const Bloco& bloco) {
        const QString funcao = campo(QStringLiteral("FUNCAO"));
        const QString digitos = campo(QStringLiteral("SUBFUNCAO")).mid(3);
        for (int l = bloco.primeira; l <= bloco.ultima; ++l) {
            const QString linha = QString::number(l);
            const QString a = planilha_.leTexto(QLatin1Char('A') + linha);
            const QString b = planilha_.leTexto(QLatin1Char('B') + linha);
            if (b.isEmpty()) {
                // Codes go in as numbers, as the spreadsheet takes typed digits.
                planilha_.escreveNumero(QLatin1Char('A') + linha, inteiroDeTexto(funcao));
                planilha_.escreveNumero(QLatin1Char('B') + linha, inteiroDeTexto(digitos));
                planilha_.escreveTexto(QLatin1Char('C') + linha, campo(QStringLiteral("NOME")));
                escreveFiguras(linha);
                return;
            }
            if (codigoDaCelula(QLatin1Char('A') + linha, a, 2) == funcao &&
                codigoDaCelula(QLatin1Char('B') + linha, b, 3) == digitos) {
                escreveFiguras(linha);
                return;
            }
        }
    }

private:
    QString campo(const QString& nome) { return t_.fieldByName(nome).asString(); }
    Moeda moeda(const QString& nome) { return t_.fieldByName(nome).asCurrency(); }

    void escreveFiguras(const QString& linha) {
        planilha_.escreveMoeda(QLatin1Char('D') + linha, moeda(QStringLiteral("DOTACAO_ANUAL")));
        planilha_.escreveMoeda(QLatin1Char('E') + linha,
                               moeda(QStringLiteral("DOTACAO_ATUALIZADA")));
        planilha_.escreveMoeda(empenhado_ + linha,
                               moeda(campoDoBimestre(QStringLiteral("EMPENHADO_BIM"), bimestre_)));
        planilha_.escreveMoeda(liquidado_ + linha,
                               moeda(campoDoBimestre(QStringLiteral("LIQUIDADO_BIM"), bimestre_)));
    }

    Planilha& planilha_;
    ClientDataSet& t_;
    int bimestre_;
    QChar empenhado_, liquidado_;
};

} // namespace

void exportaAnexo2(Planilha& planilha, const QString& caminho, ClientDataSet& cdsImp, int bimestre,
                   const QString& exercicio) {
    abrePlanilhaNaFolhaCom(planilha, caminho, exercicio, bimestre);
    planilha.selecionaFolha(Folha);
    ExportacaoDoAnexo2 exportacao(planilha, cdsImp, bimestre);
    try {
        for (int f = 1; f <= 28; ++f) {
            const QString codigo = StrZero(f, 2);
            for (cdsImp.first(); !cdsImp.eof(); cdsImp.next())
                if (cdsImp.fieldByName(QStringLiteral("FUNCAO")).asString() == codigo &&
                    cdsImp.fieldByName(QStringLiteral("SUBFUNCAO")).asString().size() == 6)
                    exportacao.escreve(Blocos[f - 1]);
        }
    } catch (const Erro&) {
        planilha.fecha();
        throw;
    }
    planilha.mostra();
}

} // namespace nq
