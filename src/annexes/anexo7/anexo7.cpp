#include "annexes/anexo7/anexo7.h"

#include "annexes/anexo7/planilha_anexo7.h"
#include "annexes/common/assinaturas.h"
#include "annexes/common/estrada_anexo.h"
#include "annexes/common/justificativa.h"
#include "annexes/common/lancador.h"
#include "core/configuracao.h"
#include "core/erro.h"
#include "core/globais.h"
#include "core/mensagens.h"
#include "db/consultas.h"
#include "db/modulodados.h"
#include "entry/catalogo.h"
#include "entry/preparacoes.h"
#include "report/carregador.h"
#include "report/modelo.h"
#include "workbook/planilha.h"

#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QScopeGuard>
#include <array>
#include <optional>

namespace nq {

namespace {

const QString Prefeitura = QStringLiteral("00010");
const QString Total = QStringLiteral("00900");
const std::array<QString, 7> Colunas = {
    QStringLiteral("PREV_INICIAL"), QStringLiteral("PREV_ATUAL"),  QStringLiteral("DC_LIQUIDADA"),
    QStringLiteral("DEDU_INC_I"),   QStringLiteral("DEDU_INC_II"), QStringLiteral("DC_LIQUIDAS"),
    QStringLiteral("OPE_CRE_EXR")};

// The deductible capital expenditure of items I ('IC') and II ('IF').
QString deducao(const char* tipo) {
    return QStringLiteral("DESPES.TIPO='%1' AND (DESPES.CATEC LIKE '4.4.50%' OR DESPES.CATEC "
                          "LIKE '4.4.60%' OR DESPES.CATEC LIKE '4.5.50%')")
        .arg(QLatin1String(tipo));
}

// The figures of the prefecture's line. They make one statement on the client
// record, a subselect per column; each column is asked of the plan as that
// statement with its subselect alone, the condition W left open.
struct Figuras {
    QString fim;    // month/day/year
    QString inicio; // month/day/year

    static FormaDaSoma coluna(const QString& apelido, const QString& soma, const QString& origem,
                              const QString& fixa,
                              std::function<QString(const QString& w)> subselect,
                              std::optional<Etapas> etapas = std::nullopt) {
        return {soma,
                origem,
                fixa,
                {},
                [=](const QString& w, Meses) {
                    return QStringLiteral("SELECT ") + subselect(w) + QStringLiteral(" AS ") +
                           apelido + QStringLiteral(" FROM CADCLI");
                },
                std::move(etapas)};
    }

    FormaDaSoma previsao() const {
        return coluna(QStringLiteral("PREV_INICIAL"), QStringLiteral("SUM(TOTOR)"),
                      QStringLiteral("RECDIS"), {}, [](const QString& w) {
                          return QStringLiteral("(SELECT SUM(TOTOR) FROM RECDIS WHERE ") + w +
                                 QLatin1Char(')');
                      });
    }
    FormaDaSoma alteracao() const {
        const QString ate = QStringLiteral("RECALP.DTLAN<='") + fim + QLatin1Char('\'');
        return coluna(QStringLiteral("ALTERACAO"), QStringLiteral("SUM(RECALP.VALOR)"),
                      QStringLiteral("RECALP INNER JOIN RECDIS ON RECDIS.FICHA=RECALP.FICHA"), ate,
                      [=](const QString& w) {
                          return QStringLiteral("(SELECT SUM(RECALP.VALOR) FROM RECALP INNER JOIN "
                                                "RECDIS ON RECDIS.FICHA=RECALP.FICHA WHERE (") +
                                 w + QStringLiteral(") AND ") + ate + QLatin1Char(')');
                      });
    }
    FormaDaSoma realizado() const {
        const QString ate = QStringLiteral("RECEIT.DTLAN<='") + fim + QLatin1Char('\'');
        return coluna(
            QStringLiteral("OP_EXERC"), QStringLiteral("SUM(RECEIT.VAREC)"),
            QStringLiteral("RECEIT INNER JOIN RECDIS ON RECDIS.FICHA=RECEIT.FICHA"), ate,
            [=](const QString& w) {
                return QStringLiteral("(SELECT SUM(RECEIT.VAREC) FROM RECEIT INNER JOIN "
                                      "RECDIS ON RECDIS.FICHA=RECEIT.FICHA WHERE (") +
                       w + QStringLiteral(") AND ") + ate + QLatin1Char(')');
            },
            // The receipts read once up to the date, grouped by item.
            Etapas{{QStringLiteral("RECEIT"),
                    QStringLiteral("FICHA"),
                    {},
                    {QStringLiteral("VAREC")},
                    QStringLiteral("DTLAN<='") + fim + QLatin1Char('\'')},
                   QStringLiteral("RECDIS"),
                   QStringLiteral("RECDIS.FICHA"),
                   {}});
    }
    QString noBimestre() const {
        return QStringLiteral("VIEWLIQ.DATAE BETWEEN '") + inicio + QStringLiteral("' AND '") +
               fim + QLatin1Char('\'');
    }
    FormaDaSoma liquidado() const {
        const QString periodo = noBimestre();
        return coluna(QStringLiteral("DESP_LIQ"), QStringLiteral("SUM(VIEWLIQ.VADEM)"),
                      QStringLiteral("VIEWLIQ INNER JOIN DESPES ON DESPES.PKEMP=VIEWLIQ.PKEMP"),
                      periodo, [=](const QString& w) {
                          return QStringLiteral(
                                     "(SELECT SUM(VIEWLIQ.VADEM) FROM VIEWLIQ INNER "
                                     "JOIN DESPES ON DESPES.PKEMP=VIEWLIQ.PKEMP WHERE ") +
                                 periodo + QStringLiteral(" AND (") + w + QStringLiteral("))");
                      });
    }
    FormaDaSoma deduzido(const QString& apelido) const {
        const QString periodo = noBimestre();
        return coluna(apelido, QStringLiteral("SUM(VIEWLIQ.VADEM)"),
                      QStringLiteral("VIEWLIQ INNER JOIN DESPES ON DESPES.PKEMP=VIEWLIQ.PKEMP"),
                      periodo, [=](const QString& w) {
                          return QStringLiteral(
                                     "(SELECT SUM(VIEWLIQ.VADEM) FROM VIEWLIQ INNER "
                                     "JOIN DESPES ON DESPES.PKEMP=VIEWLIQ.PKEMP WHERE ") +
                                 w + QStringLiteral(" AND ") + periodo + QLatin1Char(')');
                      });
    }
};

void soma(ClientDataSet& t, const QString& campo, Moeda valor) {
    Field f = t.fieldByName(campo);
    f.setAsCurrency(f.asCurrency() + valor);
}

Moeda valor(ClientDataSet& t, const QString& campo) {
    return t.fieldByName(campo).asCurrency();
}

// The TOTAL line follows the lines: each column the sum of every line that is
// not a title (nothing else would fill it: title lines are never typed).
void totaliza(ClientDataSet& t) {
    std::array<Moeda, Colunas.size()> total{};
    for (t.first(); !t.eof(); t.next()) {
        if (t.fieldByName(QStringLiteral("TITULO")).asString() == QLatin1String("TI"))
            continue;
        for (size_t c = 0; c < Colunas.size(); ++c)
            total[c] += valor(t, Colunas[c]);
    }
    if (!t.locate(QStringLiteral("ID"), Value(Total)))
        return;
    t.edit();
    for (size_t c = 0; c < Colunas.size(); ++c)
        t.fieldByName(Colunas[c]).setAsCurrency(total[c]);
    t.post();
}

void cursorNormal() {
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
}

} // namespace

TImpAnexo7::TImpAnexo7(QWidget* dono)
    : QWidget(dono), relatorio1_(carregaLayout(QStringLiteral(":/anexo7/relatorio1.json"))) {
    BtnImprimir = criaBotaoImprimir(*this, QStringLiteral("Form07"));
    setWindowTitle(QStringLiteral("Modelo 7"));
    connect(BtnImprimir, &QPushButton::clicked, this, &TImpAnexo7::BtnImprimirClick);
    relatorio1_->ligaTabela(QStringLiteral("ppDBPipeline1"), cdsPrint);
    relatorio1_->ligaTabela(QStringLiteral("ppDBPipeline2"), cdsJustif);
}

TImpAnexo7::~TImpAnexo7() = default;

QString TImpAnexo7::arquivoDaCopia(const QString& diretorio) {
    return arquivoNoDiretorio(diretorio, QStringLiteral("NQ404_Anx7P.XML"));
}

void TImpAnexo7::BtnImprimirClick() {
    QString erro;
    try {
        executa();
        return;
    } catch (const Erro& e) {
        erro = e.texto();
    } catch (const std::exception& e) {
        erro = QString::fromLocal8Bit(e.what());
    }
    cursorNormal();
    mensagens().mostra(QStringLiteral("O seguinte erro ocorreu!\rErro: ") + erro);
}

void TImpAnexo7::executa() {
    PreparaAnexo7(diretorioDados(), dm().cdsAux2);
    copiaDigitado();

    QApplication::setOverrideCursor(Qt::WaitCursor);
    const auto cursor = qScopeGuard([] { cursorNormal(); });
    const CadastroDoCliente cliente = leCadastroDoCliente();
    TppReport& r = *relatorio1_;
    r.exige<TppLabel>(QStringLiteral("MUNI")).Caption =
        QStringLiteral("MUNICIPIO: ") + cliente.cidade;
    r.exige<TppLabel>(QStringLiteral("cli1")).Caption = cliente.nome;
    r.exige<TppLabel>(QStringLiteral("PERI")).Caption =
        QStringLiteral("ANO DE ") + cliente.exercicio;
    r.exige<TppLabel>(QStringLiteral("pptit")).Caption =
        QStringLiteral("ADMINISTRAÇÃO DIRETA, INDIRETA e FUNDACIONAL ");
    preencheAssinaturas(r, cliente);

    EstradaDoAnexo estrada(diretorioDados(), dm().Conexao);
    gera_Receita_Despesa(estrada, cliente.ano());
    comandos_ = estrada.comandos();

    cursorNormal();
    justificaSePassou();
    ligaJustificativa();
    r.Print();

    if (EstradaDoAnexo::perguntaPlanilha(camaraSemAcento(cliente.nome)) ==
        EstradaDoAnexo::Planilha::Exporta) {
        const std::unique_ptr<Planilha> planilha = lancador().novaPlanilha();
        exportaAnexo7(*planilha, lancador().caminhoPlanilha(), cdsPrint, lancador().bimestre(),
                      cliente.exercicio);
    }
}

void TImpAnexo7::copiaDigitado() {
    const QString dir = diretorioDados();
    const QString copia = arquivoDaCopia(dir);
    QFile::remove(copia);
    if (!QFile::copy(caminhoArquivo(dir, ArquivoDigitado::Anexo7), copia))
        mensagens().mostra(QStringLiteral("Atenção: O Arquivo referente aos Dados Digitados está "
                                          "Danificado!!! Redigite as informações."),
                           QStringLiteral("Atenção"), Icone::Exclamacao);
}

void TImpAnexo7::gera_Receita_Despesa(EstradaDoAnexo& estrada, int exercicio) {
    const auto [inicio, fim] = diasDoBimestre(exercicio, lancador().bimestre());
    const Figuras f{dataSqlMDA(fim), dataSqlMDA(inicio)};
    const QString operacoes = QStringLiteral("RECDIS.CODRE LIKE '21%'");
    PlanoDeFiguras& plano = estrada.plano();
    const auto previsao = plano.pede(f.previsao(), QStringLiteral("CODRE LIKE '21%'"));
    const auto alteracao = plano.pede(f.alteracao(), operacoes);
    const auto realizado = plano.pede(f.realizado(), operacoes);
    const auto liquidado = plano.pede(f.liquidado(), QStringLiteral("DESPES.CATEC LIKE '4%'"));
    const auto incisoI = plano.pede(f.deduzido(QStringLiteral("DC_INC_I")), deducao("IC"));
    const auto incisoII = plano.pede(f.deduzido(QStringLiteral("DC_INC_II")), deducao("IF"));
    plano.resolve();

    const QString copia = arquivoDaCopia(diretorioDados());
    ClientDataSet& t = dm().cdsXML;
    const auto fecha = qScopeGuard([&t] { t.close(); });
    t.close();
    t.clearFields();
    t.setIndexFieldNames({});
    t.setFilter(QStringLiteral("ID='%1'").arg(Prefeitura));
    t.setFiltered(true);
    t.loadFromFile(copia);
    if (t.isEmpty())
        throw Erro(QStringLiteral("A linha \"%1\" (PREFEITURA MUNICIPAL) não está no arquivo %2.")
                       .arg(Prefeitura, copia));
    t.edit();
    soma(t, QStringLiteral("PREV_INICIAL"), plano.valor(previsao));
    soma(t, QStringLiteral("PREV_ATUAL"), plano.valor(previsao) + plano.valor(alteracao));
    soma(t, QStringLiteral("DC_LIQUIDADA"), plano.valor(liquidado));
    soma(t, QStringLiteral("DEDU_INC_I"), plano.valor(incisoI));
    soma(t, QStringLiteral("DEDU_INC_II"), plano.valor(incisoII));
    t.fieldByName(QStringLiteral("DC_LIQUIDAS"))
        .setAsCurrency(valor(t, QStringLiteral("DC_LIQUIDADA")) -
                       valor(t, QStringLiteral("DEDU_INC_I")) -
                       valor(t, QStringLiteral("DEDU_INC_II")));
    soma(t, QStringLiteral("OPE_CRE_EXR"), plano.valor(realizado));
    t.post();
    t.setFiltered(false);
    totaliza(t);
    t.saveToFile(copia);

    cdsPrint.close();
    cdsPrint.setIndexFieldNames(QStringLiteral("ID"));
    cdsPrint.loadFromFile(copia);
}

void TImpAnexo7::justificaSePassou() {
    if (!cdsPrint.locate(QStringLiteral("ID"), Value(Prefeitura)) ||
        valor(cdsPrint, QStringLiteral("DC_LIQUIDAS")) >=
            valor(cdsPrint, QStringLiteral("OPE_CRE_EXR")))
        return;
    mensagens().mostra(QStringLiteral("O montante das operações de crédito ultrapassou as "
                                      "despesas de capital líquidas. Deverá ser apresentado uma "
                                      "justificativa."),
                       QStringLiteral("Atenção"), Icone::Exclamacao);
    TFormJustific dialogo(this);
    dialogo.Tag = 0;
    pedeJustificativa(dialogo);
}

void TImpAnexo7::ligaJustificativa() {
    auto& memo = relatorio1_->exige<TppDBRichText>(QStringLiteral("MemoJus"));
    const QString arquivo = caminhoArquivo(diretorioDados(), ArquivoDigitado::Justificativas);
    cdsJustif.close();
    if (!QFile::exists(arquivo)) {
        memo.DataPipeline = nullptr;
        memo.DataField.clear();
        return;
    }
    cdsJustif.clearFields();
    cdsJustif.setFilter(QStringLiteral("CODIGO=1"));
    cdsJustif.setFiltered(true);
    cdsJustif.loadFromFile(arquivo);
    memo.DataPipeline = relatorio1_->pipeline(QStringLiteral("ppDBPipeline2"));
    memo.DataField = QStringLiteral("DESCRICAO");
}

} // namespace nq
