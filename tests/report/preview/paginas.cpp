#include "paginas.h"

#include <QApplication>
#include <gtest/gtest.h>
#include <memory>

namespace nq::teste {

namespace {

ComandoTexto texto(int x, int y, const QString& valor, double tamanho) {
    ComandoTexto t;
    t.fonte = Fonte{QStringLiteral("Arial"), tamanho};
    const MedidorDeTexto& m = MedidorDeTexto::instancia();
    t.caixa = Retangulo{x, y, m.largura(t.fonte, valor) + 1000, m.alturaDaLinha(t.fonte)};
    t.trechos.push_back({x, y + m.ascendente(t.fonte), valor});
    return t;
}

} // namespace

Documento documento(int quantas, const QString& nome) {
    Documento d;
    d.nomeRelatorio = nome;
    d.trabalho.nomeDocumento = nome;
    d.trabalho.permiteImprimirParaArquivo = true;
    for (int i = 1; i <= quantas; ++i) {
        Pagina p;
        p.papel = Papel{QStringLiteral("Carta"), 1, 215900, 279400};
        p.numero = i;
        p.numeroRelativo = i;
        p.primeira = i == 1;
        p.ultima = i == quantas;
        p.comandos.push_back(texto(20000, 20000, QStringLiteral("RELATÓRIO DE TESTE"), 14));
        p.comandos.push_back(texto(20000, 60000, QStringLiteral("Página %1").arg(i), 40));
        p.comandos.push_back(ComandoLinha{20000, 40000, 195900, 40000, Caneta{}});
        d.paginas.push_back(std::move(p));
    }
    return d;
}

namespace {

// The widgets' application object for the whole run, gone before the program's statics.
class AmbienteDeJanelas : public ::testing::Environment {
public:
    void SetUp() override {
        static int argc = 1;
        static char nome[] = "report_preview_testes";
        static char* argv[] = {nome, nullptr};
        aplicacao_ = std::make_unique<QApplication>(argc, argv);
    }
    void TearDown() override { aplicacao_.reset(); }

private:
    std::unique_ptr<QApplication> aplicacao_;
};

[[maybe_unused]] const ::testing::Environment* const ambiente =
    ::testing::AddGlobalTestEnvironment(new AmbienteDeJanelas);

} // namespace

} // namespace nq::teste
