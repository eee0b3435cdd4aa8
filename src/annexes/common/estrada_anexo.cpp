#include "annexes/common/estrada_anexo.h"

#include "annexes/common/aguarde.h"
#include "annexes/common/lancador.h"
#include "core/configuracao.h"
#include "core/erro.h"
#include "core/gravacao_atomica.h"
#include "core/mensagens.h"
#include "db/consultas.h"
#include "db/modulodados.h"
#include "tables/clientdataset.h"
#include "workbook/planilha.h"

#include <QFile>
#include <QFileInfo>
#include <QPushButton>

namespace nq {

namespace {

QByteArray leArquivo(const QString& origem) {
    QFile entrada(origem);
    if (!entrada.open(QIODevice::ReadOnly))
        throw Erro(QStringLiteral("Não foi possível ler o arquivo %1: %2")
                       .arg(origem, entrada.errorString()));
    const QByteArray dados = entrada.readAll();
    if (entrada.error() != QFileDevice::NoError)
        throw Erro(QStringLiteral("Não foi possível ler o arquivo %1: %2")
                       .arg(origem, entrada.errorString()));
    return dados;
}

} // namespace

EstradaDoAnexo::EstradaDoAnexo(QString diretorio, TCRSQLConnection& conexao, AoSair aoSair)
    : diretorio_(std::move(diretorio)), conexao_(conexao), aoSair_(aoSair), plano_(conexao) {}

EstradaDoAnexo::~EstradaDoAnexo() {
    try {
        if (aoSair_ == AoSair::ApagaCopias)
            limpa();
        else if (aoSair_ == AoSair::RestauraCopias && !concluida_)
            for (auto a = anteriores_.rbegin(); a != anteriores_.rend(); ++a) {
                if (a->second)
                    gravaArquivoAtomico(a->first, *a->second);
                else
                    QFile::remove(a->first);
            }
    } catch (...) {
        // Leaving on the annex's own failure: that is the one the user must see.
    }
}

void FigurasDaLinha::soma(const QString& campo, const FormaDaSoma& forma, Meses meses) {
    soma(plano_, campo, forma, meses);
}

void FigurasDaLinha::subtrai(const QString& campo, const FormaDaSoma& forma, Meses meses) {
    parcelas_.push_back({campo, &plano_, plano_.pede(forma, w_, meses), true, {}});
}

void FigurasDaLinha::soma(PlanoDeFiguras& plano, const QString& campo, const FormaDaSoma& forma,
                          Meses meses) {
    parcelas_.push_back({campo, &plano, plano.pede(forma, w_, meses), false, {}});
}

void FigurasDaLinha::copia(const QString& de, const QString& para) {
    parcelas_.push_back({para, nullptr, 0, false, de});
}

PlanoDeFiguras& EstradaDoAnexo::plano(TCRSQLConnection& conexao) {
    if (&conexao == &conexao_)
        return plano_;
    for (auto& [c, p] : outrosPlanos_)
        if (c == &conexao)
            return *p;
    outrosPlanos_.emplace_back(&conexao, std::make_unique<PlanoDeFiguras>(conexao));
    return *outrosPlanos_.back().second;
}

void EstradaDoAnexo::carrega(ClientDataSet& tabela, ArquivoDigitado arquivo,
                             const QString& trabalho, const QString& ano) {
    const QString copia = arquivoNoDiretorio(diretorio_, trabalho);
    if (aoSair_ == AoSair::RestauraCopias)
        anteriores_.emplace_back(copia, QFileInfo::exists(copia)
                                            ? std::optional<QByteArray>(leArquivo(copia))
                                            : std::nullopt);
    pendentes_.push_back(std::make_unique<ArquivoPendente>(copia));
    gravaArquivoAtomico(copia, leArquivo(caminhoArquivo(diretorio_, arquivo, ano)));
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
    percorre(
        tabela, aguarde,
        [](ClientDataSet& t) {
            return t.fieldByName(QStringLiteral("FILTRO")).asString().trimmed();
        },
        declara, depois);
}

void EstradaDoAnexo::percorre(
    ClientDataSet& tabela, AguardeRelatorio* aguarde, const CondicaoDaLinha& condicao,
    const std::function<void(FigurasDaLinha& linha, const QString& w)>& declara,
    const std::function<void(const QString& w)>& depois) {
    struct Linha {
        int recNo;
        QString filtro;
        FigurasDaLinha figuras;
    };
    std::vector<Linha> linhas;
    tabela.first();
    while (!tabela.eof()) {
        const QString filtro = condicao(tabela);
        if (!filtro.isEmpty()) {
            linhas.push_back({tabela.recNo(), filtro, FigurasDaLinha(plano_, filtro)});
            declara(linhas.back().figuras, filtro);
        }
        tabela.next();
    }
    plano_.resolve();
    for (auto& [conexao, outro] : outrosPlanos_)
        outro->resolve();
    int linha = 0;
    tabela.first();
    while (!tabela.eof()) {
        if (linha < static_cast<int>(linhas.size()) && linhas[linha].recNo == tabela.recNo()) {
            const Linha& l = linhas[linha++];
            tabela.edit();
            for (const FigurasDaLinha::Parcela& p : l.figuras.parcelas_) {
                Field f = tabela.fieldByName(p.campo);
                if (!p.plano) {
                    f.setAsCurrency(tabela.fieldByName(p.copiaDe).asCurrency());
                    continue;
                }
                const Moeda v = p.plano->valor(p.figura);
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

int EstradaDoAnexo::comandos() const {
    int total = comandos_ + plano_.comandos();
    for (const auto& [conexao, outro] : outrosPlanos_)
        total += outro->comandos();
    return total;
}

qint64 EstradaDoAnexo::linhas() const {
    qint64 total = comandos_ + plano_.linhas();
    for (const auto& [conexao, outro] : outrosPlanos_)
        total += outro->linhas();
    return total;
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
    if (!mensagens().pergunta(textoDaPerguntaPlanilha(), QStringLiteral("Atenção"),
                              Icone::Pergunta))
        return Planilha::NaoExporta;
    if (!QFileInfo(caminho).isFile()) {
        mensagens().mostra(QStringLiteral("O Caminho da Planilha informado não existe !"),
                           QStringLiteral("Atenção"), Icone::Erro);
        l.escolhePlanilha();
        return Planilha::ArquivoAusente;
    }
    return Planilha::Exporta;
}

const QString& EstradaDoAnexo::textoDaPerguntaPlanilha() {
    static const QString texto =
        QStringLiteral("Deseja Exportar os Dados para a Planilha do TCE ?");
    return texto;
}

void EstradaDoAnexo::limpa() {
    for (auto& [tabela, arquivo] : carregadas_) {
        tabela->close();
        QFile::remove(arquivo);
    }
    carregadas_.clear();
    pendentes_.clear();
}

CadastroDoCliente leCadastroDoCliente() {
    ClientDataSet& q = dm().qrCliente;
    q.close();
    q.open();
    if (q.isEmpty()) {
        q.close();
        throw Erro(QStringLiteral("O cadastro do município (tabela CADCLI) está vazio."));
    }
    q.first();
    auto campo = [&q](const char* nome) {
        return q.fieldByName(QString::fromLatin1(nome)).asString();
    };
    CadastroDoCliente c{campo("CLNT1"), campo("CID"),  campo("MEXER").trimmed(),
                        campo("PREN"),  campo("PRE"),  campo("CONN"),
                        campo("CON"),   campo("TESN"), campo("TES")};
    q.close();
    return c;
}

int CadastroDoCliente::ano() const {
    bool ok = false;
    const int a = exercicio.toInt(&ok);
    if (!ok)
        throw Erro(QStringLiteral("O exercício do cadastro do município (MEXER) não é um ano: "
                                  "\"%1\".")
                       .arg(exercicio));
    return a;
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

bool camaraEmMaiusculas(const QString& nome) {
    const QString inicio = nome.left(3).toUpper();
    return inicio == QStringLiteral("CAM") || inicio == QStringLiteral("CÂM");
}

bool camaraSemAcento(const QString& nome) {
    return nome.left(3).toUpper() == QStringLiteral("CAM");
}

void abrePlanilhaNaFolhaCom(Planilha& planilha, const QString& caminho, const QString& exercicio,
                            int bimestre) {
    planilha.abre(caminho);
    planilha.selecionaFolha(QStringLiteral("Com"));
    planilha.escreveNumero(QStringLiteral("AR6"), exercicio.mid(3, 1).toInt());
    planilha.escreveNumero(QStringLiteral("AH6"), bimestre);
    planilha.escreveNumero(QStringLiteral("AJ6"), 2 * bimestre);
}

void abrePlanilhaNaFolhaComEmTexto(Planilha& planilha, const QString& caminho,
                                   const QString& exercicio, int bimestre) {
    planilha.abre(caminho);
    planilha.selecionaFolha(QStringLiteral("Com"));
    planilha.escreveTexto(QStringLiteral("AR6"), exercicio.left(4));
    if (bimestre < 1)
        return;
    planilha.escreveTexto(QStringLiteral("AH6"), QString::number(bimestre));
    planilha.escreveTexto(QStringLiteral("AJ6"), QString::number(2 * bimestre));
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

Meses mesesDoBimestre(int k) {
    return {2 * k - 1, 2 * k};
}

Meses mesesAteOBimestre(int k) {
    return {1, 2 * k};
}

int linhaDoId(const ClientDataSet& tabela, const QString& id) {
    const int campo = tabela.fieldIndex(QStringLiteral("ID"));
    for (int i = 0; i < tabela.recordCount(); ++i)
        if (tabela.valueAt(i, campo).asString() == id)
            return i;
    return -1;
}

Moeda sextoDe(Moeda v) {
    const int64_t d = v.dezMilesimos();
    int64_t q = d / 6;
    const int64_t r = d % 6;
    if (2 * (r < 0 ? -r : r) >= 6)
        q += d < 0 ? -1 : 1;
    return Moeda::deDezMilesimos(q);
}

} // namespace nq
