#include "paginas_de_teste.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>
#include <gtest/gtest.h>
#include <memory>

namespace nq::teste {

namespace {

// Fonts and images need the GUI application object for the whole run.
class AmbienteQt : public ::testing::Environment {
public:
    void SetUp() override { app_ = std::make_unique<QGuiApplication>(argc_, argv_); }
    void TearDown() override { app_.reset(); }

private:
    int argc_ = 1;
    char nome_[8] = "testes";
    char* argv_[2] = {nome_, nullptr};
    std::unique_ptr<QGuiApplication> app_;
};

[[maybe_unused]] ::testing::Environment* const ambiente =
    ::testing::AddGlobalTestEnvironment(new AmbienteQt);

} // namespace

ComandoTexto texto(int esquerda, int topo, int largura, const QString& valor,
                   Alinhamento alinhamento, const Fonte& fonte, int registro) {
    const MedidorDeTexto& m = MedidorDeTexto::instancia();
    ComandoTexto c;
    c.caixa = Retangulo{esquerda, topo, largura, m.alturaDaLinha(fonte)};
    c.fonte = fonte;
    c.alinhamento = alinhamento;
    c.registro = registro;
    const int w = m.largura(fonte, valor);
    const int x = alinhamento == Alinhamento::Direita  ? c.caixa.direita() - w
                  : alinhamento == Alinhamento::Centro ? esquerda + (largura - w) / 2
                                                       : esquerda;
    c.trechos.push_back(TrechoDeTexto{x, topo + m.ascendente(fonte), valor});
    return c;
}

Documento relatorio() {
    Documento d;
    d.nomeRelatorio = QStringLiteral("Anexo de teste");
    d.trabalho.nomeDocumento = QStringLiteral("RELATORIO2");
    const Fonte titulo{QStringLiteral("Roman 6cpi"), 14, true};
    const QStringList nomes = {
        QStringLiteral("Receita Tributária"), QStringLiteral("Impostos, Taxas"),
        QStringLiteral("Contribuições"),      QStringLiteral("Transferências"),
        QStringLiteral("Dívida \"Ativa\""),   QStringLiteral("Outras Receitas")};
    const QStringList previstos = {QStringLiteral("1.234,56"), QStringLiteral("-5,00"),
                                   QStringLiteral("0,00"),     QStringLiteral("1.000.000,10"),
                                   QStringLiteral("12,30"),    QStringLiteral("999,99")};
    for (int p = 0; p < 2; ++p) {
        Pagina pg;
        pg.papel = Papel{QStringLiteral("Carta"), 1, 216000, 279000};
        pg.numero = pg.numeroRelativo = p + 1;
        pg.primeira = p == 0;
        pg.ultima = p == 1;
        auto& c = pg.comandos;
        c.push_back(texto(6350, 8000, 203300, QStringLiteral("PREFEITURA MUNICIPAL DE AÇÃO"),
                          Alinhamento::Centro, titulo));
        c.push_back(texto(10000, 20000, 20000, QStringLiteral("CÓDIGO")));
        c.push_back(texto(35000, 20000, 60000, QStringLiteral("ESPECIFICAÇÃO")));
        c.push_back(texto(110000, 20000, 40000, QStringLiteral("PREVISTO"), Alinhamento::Direita));
        c.push_back(texto(160000, 20000, 40000, QStringLiteral("REALIZADO"), Alinhamento::Direita));
        c.push_back(ComandoLinha{6350, 25000, 209650, 25000, Caneta{Qt::black, 0.5}});
        for (int i = 0; i < 3; ++i) {
            const int r = p * 3 + i;
            const int y = 28000 + i * 5000;
            c.push_back(texto(10000, y, 20000,
                              QStringLiteral("%1").arg(r + 1, 3, 10, QLatin1Char('0')),
                              Alinhamento::Esquerda, Fonte{QStringLiteral("Roman 20cpi"), 8}, r));
            c.push_back(texto(35000, y, 60000, nomes[r], Alinhamento::Esquerda,
                              Fonte{QStringLiteral("Roman 20cpi"), 8}, r));
            c.push_back(texto(110000, y, 40000, previstos[r], Alinhamento::Direita,
                              Fonte{QStringLiteral("Roman 20cpi"), 8}, r));
            c.push_back(texto(160000, y, 40000, QStringLiteral("%1,00").arg(r * 100),
                              Alinhamento::Direita, Fonte{QStringLiteral("Roman 20cpi"), 8}, r));
            c.push_back(ComandoLinha{6350, y + 4500, 209650, y + 4500,
                                     Caneta{Qt::black, 0.125, EstiloCaneta::Pontilhado}});
        }
        c.push_back(ComandoForma{Retangulo{6350, 6350, 203300, 266300}, TipoDeForma::Retangulo,
                                 Caneta{Qt::black, 0.75}, false});
        if (p == 0) {
            QImage img(40, 20, QImage::Format_RGB32);
            img.fill(Qt::blue);
            c.push_back(
                ComandoImagem{Retangulo{180000, 8000, 20000, 10000}, img, true, true, false});
        }
        c.push_back(texto(35000, 260000, 60000, QStringLiteral("Página %1").arg(p + 1),
                          Alinhamento::Esquerda, Fonte{QStringLiteral("Arial"), 8, false, true}));
        d.paginas.push_back(std::move(pg));
    }
    return d;
}

QByteArray leArquivo(const QString& caminho) {
    QFile f(caminho);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray executa(const QString& programa, const QStringList& argumentos, int segundos) {
    QProcess p;
    p.start(programa, argumentos);
    if (!p.waitForFinished(segundos * 1000) || p.exitStatus() != QProcess::NormalExit ||
        p.exitCode() != 0)
        return {};
    QByteArray saida = p.readAllStandardOutput();
    return saida.isNull() ? QByteArray("") : saida;
}

bool converteComLibreOffice(const QStringList& arquivos, const QString& filtro,
                            const QString& destino, const QString& filtroDeEntrada) {
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty())
        return false;
    const QString perfil = QDir(destino).filePath(QStringLiteral("perfil"));
    QStringList args = {QStringLiteral("-env:UserInstallation=file://") + perfil,
                        QStringLiteral("--headless"),
                        QStringLiteral("--convert-to"),
                        filtro,
                        QStringLiteral("--outdir"),
                        destino};
    if (!filtroDeEntrada.isEmpty())
        args << QStringLiteral("--infilter=") + filtroDeEntrada;
    executa(soffice, args + arquivos, 180);
    return true;
}

} // namespace nq::teste
