#include "annexes/common/estrada_anexo.h"

#include "annexes/common/aguarde.h"
#include "annexes/common/lancador.h"
#include "core/configuracao.h"
#include "core/erro.h"
#include "core/mensagens.h"
#include "db/consultas.h"
#include "tables/clientdataset.h"

#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QSaveFile>

namespace nq {

namespace {

// The copy goes through a temporary file, so a failed copy leaves the old work file.
void copiaArquivo(const QString& origem, const QString& destino) {
    QFile entrada(origem);
    if (!entrada.open(QIODevice::ReadOnly))
        throw Erro(QStringLiteral("Não foi possível ler o arquivo %1: %2")
                       .arg(origem, entrada.errorString()));
    QSaveFile saida(destino);
    if (!saida.open(QIODevice::WriteOnly) || saida.write(entrada.readAll()) < 0 || !saida.commit())
        throw Erro(QStringLiteral("Não foi possível gravar o arquivo %1: %2")
                       .arg(destino, saida.errorString()));
}

} // namespace

EstradaDoAnexo::EstradaDoAnexo(QString diretorio, TCRSQLConnection& conexao)
    : diretorio_(std::move(diretorio)), conexao_(conexao), plano_(conexao) {}

void FigurasDaLinha::soma(const QString& campo, const FormaDaSoma& forma, Meses meses) {
    parcelas_.push_back({campo, plano_.pede(forma, w_, meses), false});
}

void FigurasDaLinha::subtrai(const QString& campo, const FormaDaSoma& forma, Meses meses) {
    parcelas_.push_back({campo, plano_.pede(forma, w_, meses), true});
}

void EstradaDoAnexo::carrega(ClientDataSet& tabela, ArquivoDigitado arquivo,
                             const QString& trabalho, const QString& ano) {
    const QString copia = arquivoNoDiretorio(diretorio_, trabalho);
    copiaArquivo(caminhoArquivo(diretorio_, arquivo, ano), copia);
    tabela.close();
    tabela.setIndexFieldNames({});
    tabela.setFileName(copia);
    tabela.loadFromFile(copia);
    carregadas_.emplace_back(&tabela, copia);
}

void EstradaDoAnexo::percorre(ClientDataSet& tabela, AguardeRelatorio* aguarde,
                              const std::function<void(const QString& filtro)>& linha) {
    tabela.first();
    while (!tabela.eof()) {
        const QString filtro = tabela.fieldByName(QStringLiteral("FILTRO")).asString().trimmed();
        if (!filtro.isEmpty()) {
            tabela.edit();
            linha(filtro);
            tabela.post();
        }
        ++passos_;
        if (aguarde)
            aguarde->passo(passos_);
        tabela.next();
    }
}

void EstradaDoAnexo::percorre(
    ClientDataSet& tabela, AguardeRelatorio* aguarde,
    const std::function<void(FigurasDaLinha& linha, const QString& filtro)>& declara,
    const std::function<void(const QString& filtro)>& depois) {
    struct Linha {
        int recNo;
        QString filtro;
        FigurasDaLinha figuras;
    };
    std::vector<Linha> linhas;
    tabela.first();
    while (!tabela.eof()) {
        const QString filtro = tabela.fieldByName(QStringLiteral("FILTRO")).asString().trimmed();
        if (!filtro.isEmpty()) {
            linhas.push_back({tabela.recNo(), filtro, FigurasDaLinha(plano_, filtro)});
            declara(linhas.back().figuras, filtro);
        }
        tabela.next();
    }
    plano_.resolve();
    int linha = 0;
    tabela.first();
    while (!tabela.eof()) {
        if (linha < static_cast<int>(linhas.size()) && linhas[linha].recNo == tabela.recNo()) {
            const Linha& l = linhas[linha++];
            tabela.edit();
            for (const FigurasDaLinha::Parcela& p : l.figuras.parcelas_) {
                Field f = tabela.fieldByName(p.campo);
                const Moeda v = plano_.valor(p.figura);
                f.setAsCurrency(p.negativa ? f.asCurrency() - v : f.asCurrency() + v);
            }
            if (depois)
                depois(l.filtro);
            tabela.post();
        }
        ++passos_;
        if (aguarde)
            aguarde->passo(passos_);
        tabela.next();
    }
}

Moeda EstradaDoAnexo::soma(const QString& sql) {
    ++comandos_;
    return ConsultaValor(conexao_, sql);
}

EstradaDoAnexo::Planilha EstradaDoAnexo::perguntaPlanilha(bool camara) {
    ValoresDoLancador& l = lancador();
    const QString caminho = l.caminhoPlanilha();
    if (caminho.isEmpty() || camara)
        return Planilha::NaoExporta;
    if (!mensagens().pergunta(QStringLiteral("Deseja Exportar os Dados para a Planilha do TCE ?"),
                              QStringLiteral("Atenção"), Icone::Pergunta))
        return Planilha::NaoExporta;
    if (!QFileInfo(caminho).isFile()) {
        mensagens().mostra(QStringLiteral("O Caminho da Planilha informado não existe !"),
                           QStringLiteral("Atenção"), Icone::Erro);
        l.escolhePlanilha();
        return Planilha::ArquivoAusente;
    }
    return Planilha::Exporta;
}

void EstradaDoAnexo::limpa() {
    for (auto& [tabela, arquivo] : carregadas_) {
        tabela->close();
        QFile::remove(arquivo);
    }
    carregadas_.clear();
}

bool camaraParaExportar(const QString& nome) {
    QString inicio = nome.left(3);
    for (QChar& c : inicio)
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            c = QChar(c.unicode() - ('a' - 'A'));
    return inicio == QStringLiteral("CAM") || inicio == QStringLiteral("CÂM");
}

namespace {

QPushButton* criaBotao(QWidget& janela, const QString& nome, const QString& botao,
                       const QString& legenda) {
    janela.setObjectName(nome);
    janela.setWindowTitle(nome);
    auto* b = new QPushButton(legenda, &janela);
    b->setObjectName(botao);
    return b;
}

} // namespace

QPushButton* criaBotaoCalcula(QWidget& janela, const QString& nome) {
    return criaBotao(janela, nome, QStringLiteral("btncalcula"), QStringLiteral("Calcula"));
}

QPushButton* criaBotaoImprimir(QWidget& janela, const QString& nome) {
    return criaBotao(janela, nome, QStringLiteral("BtnImprimir"), QStringLiteral("Imprimir"));
}

std::pair<QDate, QDate> diasDoBimestre(int ano, int b) {
    const QDate inicio(ano, 2 * b - 1, 1);
    return {inicio, inicio.addMonths(2).addDays(-1)};
}

QString campoDoBimestre(const QString& campo, int bimestre) {
    return campo + QString::number(bimestre);
}

Moeda somaDosBimestres(ClientDataSet& tabela, const QString& campo, int ate) {
    Moeda total;
    for (int k = 1; k <= ate; ++k)
        total += tabela.fieldByName(campoDoBimestre(campo, k)).asCurrency();
    return total;
}

} // namespace nq
