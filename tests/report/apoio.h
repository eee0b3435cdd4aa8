#pragma once

#include "apoio/golden.h"
#include "core/erro.h"
#include "report/despejo.h"
#include "report/modelo.h"
#include "report/motor.h"
#include "report/pagina.h"
#include "tables/clientdataset.h"

#include <QString>
#include <QStringList>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

#include <ostream>

// Readable QString values in test failures.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
inline void PrintTo(const QStringList& l, std::ostream* os) {
    *os << '[' << l.join(QStringLiteral("|")).toStdString() << ']';
}

namespace nq::teste {

// Fonts need the application object; tests run without a display.
void garanteAplicacao();

// A layout of tests/report/layouts, by file name without extension.
std::unique_ptr<TppReport> layout(const QString& nome);

// A table "NOME" (text), "GRP" (text), "VALOR" (money) with the given rows.
struct Linha {
    QString nome;
    QString grupo;
    Moeda valor;
};
std::unique_ptr<ClientDataSet> tabela(const QString& nome, const std::vector<Linha>& linhas);
// `n` rows named "Item 01"... in groups of `porGrupo`, valued 1.5 times their number.
std::vector<Linha> linhas(int n, int porGrupo = 1000);

// Compares `atual` with tests/report/golden/<nome>.txt (see apoio/golden.h).
inline void comparaComGolden(const QString& nome, const QString& atual) {
    comparaComGolden(QStringLiteral(NQ404_FONTE "/tests/report/golden"), nome, atual);
}

// Small programmatic layouts: a landscape page 120 x 80 mm with 5 mm margins.
inline void papelPequeno(TppReport& r) {
    r.PrinterSetup.PaperName = QStringLiteral("Teste");
    r.PrinterSetup.mmPaperWidth = 120000;
    r.PrinterSetup.mmPaperHeight = 80000;
    r.PrinterSetup.Orientation = TppPrinterOrientation::poLandscape;
    r.PrinterSetup.mmMarginTop = r.PrinterSetup.mmMarginBottom = 5000;
    r.PrinterSetup.mmMarginLeft = r.PrinterSetup.mmMarginRight = 5000;
}

template <class T = TppLabel>
T& poe(TppBand& b, const QString& nome, int esquerda, int topo, int largura = 30000,
       int altura = 4000) {
    T& c = b.adiciona(std::make_unique<T>());
    c.Name = nome;
    c.mmLeft = esquerda;
    c.mmTop = topo;
    c.mmWidth = largura;
    c.mmHeight = altura;
    if constexpr (std::is_base_of_v<TppAparenciaDeTexto, T>) {
        c.Font.nome = QStringLiteral("Roman 20cpi");
        c.Font.tamanho = 8;
        c.Transparent = true;
    }
    if constexpr (std::is_same_v<T, TppLabel>) {
        c.Caption = nome;
        c.AutoSize = false;
    }
    return c;
}

inline TppDBText& campo(TppBand& b, const QString& campo, int esquerda, int topo) {
    TppDBText& t = poe<TppDBText>(b, QStringLiteral("pp") + campo, esquerda, topo);
    t.DataField = campo;
    if (campo == QLatin1String("VALOR")) {
        t.DisplayFormat = QStringLiteral("#,0.00;-#,0.00");
        t.TextAlignment = TppTextAlignment::taRightJustified;
    }
    return t;
}

class TesteDeMotor : public ::testing::Test {
protected:
    void SetUp() override { garanteAplicacao(); }

    // Generates, keeping the pages handed over before an error.
    QString gera(TppReport& r, QString* erro = nullptr) {
        Documento d;
        d.nomeRelatorio = r.Name;
        d.trabalho.nomeDocumento = r.PrinterSetup.DocumentName;
        try {
            TppEngine(&r).gera([&d](Pagina&& p) { d.paginas.push_back(std::move(p)); });
        } catch (const Erro& e) {
            if (!erro)
                throw;
            *erro = e.texto();
        }
        paginas = static_cast<int>(d.paginas.size());
        documento = std::move(d);
        return despejo(documento);
    }

    // Texts drawn on page `n` (from 1), in drawing order.
    QStringList textos(int n) const {
        QStringList t;
        for (const ComandoDeDesenho& c : documento.paginas.at(n - 1).comandos)
            if (auto* texto = std::get_if<ComandoTexto>(&c))
                for (const TrechoDeTexto& r : texto->trechos)
                    t << r.texto;
        return t;
    }

    // Top of every text drawn as `texto` on page `n`.
    std::vector<int> topos(int n, const QString& texto) const {
        std::vector<int> ys;
        for (const ComandoDeDesenho& c : documento.paginas.at(n - 1).comandos)
            if (auto* t = std::get_if<ComandoTexto>(&c))
                for (const TrechoDeTexto& r : t->trechos)
                    if (r.texto == texto)
                        ys.push_back(t->caixa.topo);
        return ys;
    }

    Documento documento;
    int paginas = 0;
};

} // namespace nq::teste
