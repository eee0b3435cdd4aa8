#include "figuras_cabem.h"

#include "core/erro.h"
#include "report/carregador.h"
#include "report/execucao.h"
#include "report/formato.h"
#include "report/motor.h"
#include "tables/clientdataset.h"

#include <gtest/gtest.h>
#include <limits>
#include <map>
#include <set>

namespace nq::teste {

namespace {

// Two texts on one line closer than this run together when read: a third of a character
// at 20 cpi. (Annex 1's boxes of the appropriation columns lie 0.46 mm apart.)
constexpr int FolgaMinima = 400;

const Moeda MaiorFigura = Moeda::deDezMilesimos(-std::numeric_limits<int64_t>::max());
const QString TextoLongo = QString(80, QLatin1Char('W'));

// The fields each pipeline is read by, money or not.
using Campos = std::map<TppDBPipeline*, std::map<QString, bool>>;

void coleta(const TppCustomReport& r, Campos& campos) {
    for (const auto& g : r.grupos())
        if (!g->BreakName.isEmpty())
            campos[g->DataPipeline ? g->DataPipeline : r.DataPipeline][g->BreakName] |= false;
    for (TppBand* b : r.todasAsBandas())
        for (const auto& c : b->componentes()) {
            if (auto* sub = dynamic_cast<TppSubReport*>(c.get()))
                coleta(sub->Report(), campos);
            if (auto* t = dynamic_cast<TppDBText*>(c.get()))
                if (TppDBPipeline* p =
                        Execucao::pipelineDe(*t, t->DataPipeline, t->ParentDataPipeline))
                    campos[p][t->DataField] |= !t->DisplayFormat.isEmpty();
        }
}

void mostraAMaiorFigura(const TppCustomReport& r) {
    for (TppBand* b : r.todasAsBandas())
        for (const auto& c : b->componentes()) {
            if (auto* sub = dynamic_cast<TppSubReport*>(c.get()))
                mostraAMaiorFigura(sub->Report());
            if (auto* v = dynamic_cast<TppVariable*>(c.get());
                v && v->DataType == TppDataType::dtCurrency)
                v->OnCalc = [](TppVariable&, Value& valor) { valor = Value(MaiorFigura); };
        }
}

struct Texto {
    const ComandoTexto* comando;
    const TrechoDeTexto* trecho;
    int esquerda; // drawn extent
    int direita;
};

} // namespace

void verificaFigurasCabem(const QString& arquivo) {
    std::unique_ptr<TppReport> r = carregaLayout(arquivo);
    Campos campos;
    coleta(*r, campos);
    std::vector<std::unique_ptr<ClientDataSet>> tabelas;
    for (const auto& [pipeline, deste] : campos) {
        if (!pipeline)
            continue;
        auto t = std::make_unique<ClientDataSet>(pipeline->Name);
        std::vector<Value> linha;
        for (const auto& [nome, dinheiro] : deste) {
            t->addField(nome, dinheiro ? FieldKind::Money : FieldKind::Text, 200);
            linha.push_back(dinheiro ? Value(MaiorFigura) : Value(TextoLongo));
        }
        t->createDataSet();
        t->appendRecord(linha);
        r->ligaTabela(pipeline->Name, *t);
        tabelas.push_back(std::move(t));
    }
    mostraAMaiorFigura(*r);
    const QString figura = formataValor(Value(MaiorFigura), QStringLiteral("#,0.00;-#,0.00"));

    const Documento d = TppEngine(r.get()).geraDocumento();
    const MedidorDeTexto& m = MedidorDeTexto::instancia();
    int figuras = 0;
    for (const Pagina& p : d.paginas) {
        std::vector<Texto> textos;
        for (const ComandoDeDesenho& c : p.comandos)
            if (auto* t = std::get_if<ComandoTexto>(&c))
                for (const TrechoDeTexto& trecho : t->trechos)
                    if (!trecho.texto.trimmed().isEmpty())
                        textos.push_back(
                            {t, &trecho, trecho.x, trecho.x + m.largura(t->fonte, trecho.texto)});
        for (const Texto& f : textos) {
            const ComandoTexto& c = *f.comando;
            if (c.trechos.size() != 1 || c.trechos[0].texto != figura)
                continue;
            ++figuras;
            const QString onde = QStringLiteral("%1, página %2, caixa em x=%3 y=%4")
                                     .arg(arquivo)
                                     .arg(p.numero)
                                     .arg(c.caixa.esquerda)
                                     .arg(c.caixa.topo);
            EXPECT_GE(f.esquerda, c.caixa.esquerda) << qPrintable(onde);
            EXPECT_LE(f.direita, c.caixa.direita()) << qPrintable(onde);
            for (const Texto& outro : textos) {
                if (&outro == &f ||
                    std::abs(outro.trecho->linhaDeBase - f.trecho->linhaDeBase) * 2 >
                        m.alturaDaLinha(c.fonte))
                    continue;
                const int folga = outro.esquerda >= f.esquerda ? outro.esquerda - f.direita
                                                               : f.esquerda - outro.direita;
                EXPECT_GE(folga, FolgaMinima) << qPrintable(onde) << " junto de \""
                                              << qPrintable(outro.trecho->texto) << "\"";
            }
        }
    }
    EXPECT_GT(figuras, 0) << "nenhuma figura impressa em " << qPrintable(arquivo);
}

} // namespace nq::teste
