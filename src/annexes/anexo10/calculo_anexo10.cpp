#include "annexes/anexo10/anexo10.h"

#include "annexes/anexo10/formas_anexo10.h"
#include "annexes/common/aguarde.h"
#include "annexes/common/estrada_anexo.h"
#include "core/erro.h"
#include "core/globais.h"
#include "core/mensagens.h"
#include "db/modulodados.h"
#include "entry/catalogo.h"
#include "entry/preparacoes.h"

#include <QFileInfo>
#include <QProgressBar>
#include <QRegularExpression>
#include <array>
#include <functional>
#include <limits>

namespace nq {

namespace {

const QString Id = QStringLiteral("ID");
const QString Titulo = QStringLiteral("TITULO");
const QString Seq = QStringLiteral("SEQ");

QString valor(int i) {
    return QStringLiteral("VALOR") + QString::number(i);
}

// The line of the other personnel expenditure, which also takes the PASEP payments.
const QString LinhaDoPasep = QStringLiteral("00090");

bool ehDespesa(ClientDataSet& t) {
    return t.fieldByName(Titulo).asString() == QLatin1String("VA");
}

// The condition W of a line as its statement joins it: an expenditure line's
// FILTRO; a revenue line's without the "AND" it starts with. Empty: the line
// has no condition and takes no database figure.
QString condicaoDaLinha(ClientDataSet& t) {
    QString w = t.fieldByName(QStringLiteral("FILTRO")).asString().trimmed();
    if (!ehDespesa(t)) {
        static const QRegularExpression e(QStringLiteral("^AND\\b"),
                                          QRegularExpression::CaseInsensitiveOption);
        w.remove(e);
    }
    return w.trimmed();
}

// The plans that answer each year's months: the previous year's only when its
// database is connected.
struct Anos {
    PlanoDeFiguras* anterior;
    PlanoDeFiguras& atual;
};

} // namespace

bool TImpAnexo10::Calcula_Dados(EstradaDoAnexo& estrada, AguardeRelatorio* aguarde) {
    const QString dir = diretorioDados();
    PreparaAnexo10(dir);
    try {
        estrada.carrega(cdsAnx10, ArquivoDigitado::Anexo10,
                        QFileInfo(arquivoCalculado(dir)).fileName());
    } catch (const Erro&) {
        mensagens().mostra(QStringLiteral("Erro ao Gerar o Relatorio!!!! Tente Novamente, "
                                          "persistindo o Erro entre em Contato com o Suporte da "
                                          "Marandu"),
                           QStringLiteral("Atenção"), Icone::Erro);
        if (!QFileInfo::exists(caminhoArquivo(dir, ArquivoDigitado::Anexo10)))
            mensagens().mostra(QStringLiteral("Entre na Digitação - Gestão Fiscal - Anexo 10b para "
                                              "solucionar o Problema"),
                               QStringLiteral("Atenção"), Icone::Exclamacao);
        return false;
    }
    if (FrmAguarde)
        FrmAguarde->gauge1->setMaximum(cdsAnx10.recordCount());

    // Value lines always print figures: what was never typed counts as 0.
    cdsAnx10.setIndexFieldNames(Seq);
    cdsAnx10.setFilter(QStringLiteral("TITULO<>'TI'"));
    cdsAnx10.setFiltered(true);
    for (cdsAnx10.first(); !cdsAnx10.eof(); cdsAnx10.next()) {
        cdsAnx10.edit();
        for (int i = 1; i <= 24; ++i)
            if (Field f = cdsAnx10.fieldByName(valor(i)); f.isNull())
                f.setAsCurrency(Moeda());
        cdsAnx10.post();
    }

    const Anos anos{dm().ConexaoAnt.Connected() ? &estrada.plano(dm().ConexaoAnt) : nullptr,
                    estrada.plano()};
    const FormaDaSoma despesa = anexo10::empenhadoNoMes(executivo_);
    const FormaDaSoma receita = anexo10::arrecadadoNoMes();
    // Months 1 to 12 of the previous year go to VALOR1 to VALOR12, those of
    // this year to VALOR13 to VALOR24.
    estrada.percorre(cdsAnx10, aguarde, condicaoDaLinha,
                     [&](FigurasDaLinha& linha, const QString&) {
                         const FormaDaSoma& forma = ehDespesa(cdsAnx10) ? despesa : receita;
                         for (int i = 1; i <= 12; ++i) {
                             if (anos.anterior)
                                 linha.soma(*anos.anterior, valor(i), forma, {i, i});
                             linha.soma(valor(12 + i), forma, {i, i});
                         }
                     });

    // The payments to the PASEP accounts join the other personnel expenditure.
    const FormaDaSoma pasep = anexo10::pagoNoMes(executivo_);
    std::array<PlanoDeFiguras::Figura, 25> figuras{};
    for (int i = 1; i <= 12; ++i) {
        if (anos.anterior)
            figuras[i] = anos.anterior->pede(pasep, anexo10::contasDoPasep(), {i, i});
        figuras[12 + i] = anos.atual.pede(pasep, anexo10::contasDoPasep(), {i, i});
    }
    anos.atual.resolve();
    if (anos.anterior)
        anos.anterior->resolve();
    if (cdsAnx10.locate(Id, Value(LinhaDoPasep))) {
        cdsAnx10.edit();
        for (int i = anos.anterior ? 1 : 13; i <= 24; ++i) {
            PlanoDeFiguras& plano = i <= 12 ? *anos.anterior : anos.atual;
            Field f = cdsAnx10.fieldByName(valor(i));
            f.setAsCurrency(f.asCurrency() + plano.valor(figuras[i]));
        }
        cdsAnx10.post();
    }
    comandos_ = estrada.comandos();
    linhas_ = estrada.linhas();
    cdsAnx10.setFiltered(false);
    return true;
}

void TImpAnexo10::Totaliza() {
    ClientDataSet& t = cdsAnx10;
    const int seq = t.fieldIndex(Seq);
    const int titulo = t.fieldIndex(Titulo);
    // The value lines whose SEQ lies in [de, ate], title lines left out.
    const auto somaDaFaixa = [&](int de, int ate, int coluna) {
        Moeda soma;
        for (int l = 0; l < t.recordCount(); ++l) {
            const int s = t.valueAt(l, seq).asInteger();
            if (t.valueAt(l, titulo).asString() != QLatin1String("TI") && s >= de && s <= ate)
                soma += t.valueAt(l, coluna).asCurrency();
        }
        return soma;
    };
    const auto daLinha = [&](const QString& id, int coluna) {
        const int l = linhaDoId(t, id);
        return l < 0 ? Moeda() : t.valueAt(l, coluna).asCurrency();
    };
    // Each step over all 24 columns, in order; a line the file lacks is skipped.
    const auto define = [&](const QString& id, const std::function<Moeda(int coluna, Moeda)>& f) {
        if (!t.locate(Id, Value(id)))
            return;
        t.edit();
        for (int i = 1; i <= 24; ++i) {
            Field campo = t.fieldByName(valor(i));
            campo.setAsCurrency(f(campo.index(), campo.asCurrency()));
        }
        t.post();
    };
    // Subtotals keep what was typed on them and add to it.
    const int semLimite = std::numeric_limits<int>::min();
    define(QStringLiteral("00100"),
           [&](int c, Moeda v) { return v + somaDaFaixa(semLimite, 10, c); });
    define(QStringLiteral("00160"), [&](int c, Moeda v) { return v + somaDaFaixa(11, 16, c); });
    define(QStringLiteral("00170"), [&](int c, Moeda) {
        return daLinha(QStringLiteral("00100"), c) - daLinha(QStringLiteral("00160"), c);
    });
    define(QStringLiteral("00044"), [&](int c, Moeda v) { return v + somaDaFaixa(31, 33, c); });
    define(QStringLiteral("00250"), [&](int c, Moeda) {
        return daLinha(QStringLiteral("00044"), c) - daLinha(QStringLiteral("00240"), c);
    });
    t.saveToFile();
}

} // namespace nq
