#include "lote.h"

#include "annexes/common/figuras_csv.h"
#include "aplicacao.h"
#include "core/configuracao.h"
#include "core/erro.h"
#include "core/mensagens.h"
#include "db/modulodados.h"
#include "inicio.h"
#include "report/preview/saida.h"
#include "workbook/libreoffice.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDateTime>
#include <QDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QScopeGuard>
#include <QTemporaryFile>
#include <QTreeWidget>
#include <cstdio>
#include <optional>

namespace nq {

namespace {

// The annexes as the batch options name them: the launcher's row and window.
struct AnexoDoLote {
    QString opcao;
    int linha;
    QString janela;
    bool pedeBimestre;
};

const std::vector<AnexoDoLote>& anexosDoLote() {
    static const std::vector<AnexoDoLote> tabela = {
        {"1", 0, "ImpAnexo1", true},   {"1b", 1, "ImpAnexo1B", true},  {"2", 2, "ImpAnexo2", true},
        {"3", 3, "ImpAnexo3", true},   {"4", 4, "ImpAnexo4", true},    {"5", 5, "ImpAnexo5", true},
        {"6", 6, "ImpAnexo6", true},   {"7", 7, "Form07", true},       {"8", 8, "ImpAnexo8", false},
        {"rgf", 10, "Form101", false}, {"10", 11, "ImpAnexo10", false}};
    return tabela;
}

// Annex 10 reads its reference month from a list of its own.
bool pedeMes(const AnexoDoLote& a) {
    return a.janela == QLatin1String("ImpAnexo10");
}

const AnexoDoLote* anexoDoLote(const QString& opcao) {
    for (const AnexoDoLote& a : anexosDoLote())
        if (a.opcao.compare(opcao, Qt::CaseInsensitive) == 0)
            return &a;
    return nullptr;
}

void escreveErro(const QString& texto) {
    std::fputs((QStringLiteral("nq404: ") + texto + QLatin1Char('\n')).toLocal8Bit().constData(),
               stderr);
}

// The scripted answers of a batch run, echoed to standard error, noting any
// message that reports a failure: an error box, or the launcher's error guard.
class MensagensDoLote : public MensagensRoteirizadas {
public:
    explicit MensagensDoLote(bool resposta) : MensagensRoteirizadas(resposta) { defineEco(true); }
    void mostra(const QString& texto, const QString& titulo, Icone icone) override {
        MensagensRoteirizadas::mostra(texto, titulo, icone);
        if (icone == Icone::Erro || texto.startsWith(QStringLiteral("O seguinte erro ocorreu!")))
            falhou_ = true;
    }
    bool falhou() const { return falhou_; }

private:
    bool falhou_ = false;
};

// Reports go to the PDF (or nowhere) and their figures to the CSV, each file
// written whole once the pages exist.
class SaidaDoLote : public SaidaDeRelatorios {
public:
    SaidaDoLote(QString pdf, QString csv) : pdf_(std::move(pdf)), csv_(std::move(csv)) {}

    void executa(TppReport& relatorio) override {
        std::optional<ColetorDeFiguras> coletor;
        if (!csv_.isEmpty())
            coletor.emplace(relatorio);
        SaidaDeRelatorios::executa(relatorio);
        if (coletor) {
            gravaFigurasCsv(csv_, coletor->figuras());
            csvGravado_ = true;
        }
    }
    void apresenta(TppReport& relatorio, const Documento& documento) override {
        if (!pdf_.isEmpty()) {
            SaidaParaArquivo(QStringLiteral("PDFFile"), pdf_).apresenta(relatorio, documento);
            pdfGravado_ = true;
        } else if (relatorio.OnPreviewFormClose) {
            relatorio.OnPreviewFormClose();
        }
    }
    bool pdfGravado() const { return pdfGravado_; }
    bool csvGravado() const { return csvGravado_; }

private:
    QString pdf_;
    QString csv_;
    bool pdfGravado_ = false;
    bool csvGravado_ = false;
};

// What a user does in a window the launcher shows modally: picks the month
// "MM - ..." in its list, when it has one, and presses its print button. The
// window is never shown.
void usaJanelaModal(QDialog& janela, const OpcoesDoLote& o) {
    if (auto* meses = janela.findChild<QComboBox*>(QStringLiteral("combomes"))) {
        const QString mm = QStringLiteral("%1 - ").arg(o.mes, 2, 10, QLatin1Char('0'));
        for (int i = 0; i < meses->count(); ++i)
            if (meses->itemText(i).startsWith(mm))
                meses->setCurrentIndex(i);
    }
    if (auto* imprime = janela.findChild<QAbstractButton*>(QStringLiteral("BtnImprimir")))
        imprime->click();
}

// A file can be created in the directory of `arquivo`, and it is no directory itself.
void verificaGravavel(const QString& arquivo, const QString& opcao) {
    const QFileInfo info(arquivo);
    QTemporaryFile teste(info.absolutePath() + QStringLiteral("/.nq404-XXXXXX"));
    if (info.isDir() || !teste.open())
        throw Erro(QStringLiteral("Não é possível gravar o arquivo de %1: %2").arg(opcao, arquivo));
}

// When the filled workbook was last written, to tell whether this run wrote it.
QDateTime gravadoEm(const QString& arquivo) {
    const QFileInfo info(arquivo);
    return info.exists() ? info.lastModified() : QDateTime();
}

} // namespace

bool pedeLote(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const QString a = QString::fromLocal8Bit(argv[i]);
        if (a.startsWith(QStringLiteral("--")) && a != QStringLiteral("--ini") &&
            !a.startsWith(QStringLiteral("--ini=")))
            return true;
    }
    return false;
}

OpcoesDoLote leOpcoesDoLote(const QStringList& argumentos) {
    OpcoesDoLote o;
    for (qsizetype i = 1; i < argumentos.size(); ++i) {
        QString nome = argumentos[i];
        std::optional<QString> valor;
        if (const qsizetype igual = nome.indexOf(QLatin1Char('=')); igual > 0) {
            valor = nome.mid(igual + 1);
            nome = nome.left(igual);
        }
        if (nome == QStringLiteral("--help") || nome == QStringLiteral("--ajuda")) {
            o.ajuda = true;
            continue;
        }
        if (nome == QStringLiteral("--lista-anexos")) {
            o.listaAnexos = true;
            continue;
        }
        if (!nome.startsWith(QStringLiteral("--")))
            throw Erro(QStringLiteral("Argumento inesperado: \"%1\".").arg(nome));
        if (!valor) {
            if (i + 1 >= argumentos.size())
                throw Erro(QStringLiteral("Falta o valor da opção %1.").arg(nome));
            valor = argumentos[++i];
        }
        if (nome == QStringLiteral("--anexo")) {
            if (!anexoDoLote(*valor))
                throw Erro(QStringLiteral("Anexo desconhecido: \"%1\". Use 1, 1b, 2, 3, 4, 5, 6, "
                                          "7, 8, 10 ou rgf.")
                               .arg(*valor));
            o.anexo = valor->toLower();
        } else if (nome == QStringLiteral("--bimestre")) {
            bool ok = false;
            o.bimestre = valor->toInt(&ok);
            if (!ok || o.bimestre < 1 || o.bimestre > 6)
                throw Erro(QStringLiteral("Bimestre inválido: \"%1\" (de 1 a 6).").arg(*valor));
        } else if (nome == QStringLiteral("--mes")) {
            bool ok = false;
            o.mes = valor->toInt(&ok);
            if (!ok || o.mes < 1 || o.mes > 12)
                throw Erro(QStringLiteral("Mês inválido: \"%1\" (de 1 a 12).").arg(*valor));
        } else if (nome == QStringLiteral("--responder")) {
            if (*valor != QStringLiteral("sim") && *valor != QStringLiteral("nao") &&
                *valor != QStringLiteral("não"))
                throw Erro(QStringLiteral("Resposta inválida: \"%1\" (sim ou nao).").arg(*valor));
            o.responde = *valor == QStringLiteral("sim");
        } else if (nome == QStringLiteral("--pdf")) {
            o.pdf = *valor;
        } else if (nome == QStringLiteral("--csv")) {
            o.csv = *valor;
        } else if (nome == QStringLiteral("--ini")) {
            o.ini = *valor;
        } else if (nome == QStringLiteral("--planilha")) {
            o.planilha = *valor;
        } else if (nome == QStringLiteral("--planilha-saida")) {
            o.planilhaSaida = *valor;
        } else {
            throw Erro(QStringLiteral("Opção desconhecida: %1.").arg(nome));
        }
    }
    return o;
}

QString ajudaDoLote() {
    return QStringLiteral(
        "Uso: nq404 --anexo N [opções]\n"
        "Calcula um anexo sem janelas e grava o relatório e os seus valores.\n"
        "\n"
        "  --anexo N             o anexo: 1, 1b, 2, 3, 4, 5, 6, 7, 8, 10 ou rgf\n"
        "  --bimestre B          o bimestre de referência, de 1 a 6\n"
        "  --mes M               o mês de referência do anexo 10, de 1 a 12\n"
        "  --pdf ARQUIVO         grava o relatório em PDF\n"
        "  --csv ARQUIVO         grava os valores impressos em CSV (UTF-8, separado por \";\":\n"
        "                        quadro;id;descricao;coluna;valor)\n"
        "  --responder sim|nao   a resposta a todas as perguntas (padrão: nao)\n"
        "  --ini ARQUIVO         lê esta configuração em vez do Vexo.ini ao lado do programa\n"
        "  --planilha ARQUIVO    a planilha do Tribunal de Contas a preencher (não é alterada)\n"
        "  --planilha-saida ARQ  onde gravar a cópia preenchida da planilha\n"
        "  --lista-anexos        lista os anexos disponíveis nesta versão, um por linha\n"
        "  --help                mostra esta ajuda\n"
        "\n"
        "As mensagens vão para a saída de erros. Termina com 0 quando tudo foi gravado,\n"
        "1 quando a execução falhou e 2 quando as opções estão erradas.\n");
}

QStringList listaDeAnexos(const AnexosDisponiveis& anexos) {
    QStringList lista;
    for (const AnexoDoLote& a : anexosDoLote())
        if (anexos.count(a.janela))
            lista << a.opcao;
    return lista;
}

void verificaLote(const OpcoesDoLote& o, const AnexosDisponiveis& anexos) {
    if (o.anexo.isEmpty())
        throw Erro(QStringLiteral("Indique o anexo com --anexo."));
    const AnexoDoLote& anexo = *anexoDoLote(o.anexo);
    if (!anexos.count(anexo.janela))
        throw Erro(QStringLiteral("O anexo %1 ainda não está disponível nesta versão do programa.")
                       .arg(o.anexo));
    if (anexo.pedeBimestre && o.bimestre == 0)
        throw Erro(QStringLiteral("Indique o bimestre com --bimestre (de 1 a 6)."));
    if (pedeMes(anexo) != (o.mes != 0))
        throw Erro(pedeMes(anexo) ? QStringLiteral("Indique o mês com --mes (de 1 a 12).")
                                  : QStringLiteral("A opção --mes é só do anexo 10."));
    if (!o.ini.isEmpty() && !QFileInfo(o.ini).isFile())
        throw Erro(QStringLiteral("O arquivo de configuração não existe: %1").arg(o.ini));
    if (o.planilha.isEmpty() != o.planilhaSaida.isEmpty())
        throw Erro(QStringLiteral("Use --planilha e --planilha-saida juntas."));
    if (!o.planilha.isEmpty()) {
        if (!QFileInfo(o.planilha).isFile())
            throw Erro(QStringLiteral("A planilha não existe: %1").arg(o.planilha));
        if (QFileInfo(o.planilha).absoluteFilePath() ==
            QFileInfo(o.planilhaSaida).absoluteFilePath())
            throw Erro(QStringLiteral("A planilha de saída deve ser outro arquivo."));
        verificaGravavel(o.planilhaSaida, QStringLiteral("--planilha-saida"));
    }
    if (!o.pdf.isEmpty())
        verificaGravavel(o.pdf, QStringLiteral("--pdf"));
    if (!o.csv.isEmpty())
        verificaGravavel(o.csv, QStringLiteral("--csv"));
}

int executaLote(const OpcoesDoLote& o, const AnexosDisponiveis& anexos) {
    MensagensDoLote respostas(o.responde);
    Mensagens* anteriores = instalaMensagens(&respostas);
    const auto repoe = qScopeGuard([&] { instalaMensagens(anteriores); });
    try {
        verificaLote(o, anexos);
    } catch (const Erro& e) {
        escreveErro(e.texto());
        return 2;
    }
    if (!o.ini.isEmpty())
        defineCaminhoVexoIni(QFileInfo(o.ini).absoluteFilePath());

    Tdm dados;
    const ResultadoInicio inicio = InicioNQ404(dados).executa();
    if (inicio.encerrar || inicio.ano.isEmpty()) {
        escreveErro(QStringLiteral("o programa não pôde iniciar."));
        return 1;
    }

    std::unique_ptr<LibreOffice> office;
    FabricaDePlanilha planilha = [&]() {
        if (!office)
            office = std::make_unique<LibreOffice>(
                OpcoesLibreOffice{ModoPlanilha::Oculto, o.planilhaSaida});
        return office->novaPlanilha();
    };
    const QDateTime planilhaAntes = gravadoEm(o.planilhaSaida);

    SaidaDoLote saida(o.pdf, o.csv);
    {
        SaidaInstalada instalada(saida);
        TFrmImprime lancador(anexos, planilha);
        lancador.combomes->setCurrentIndex(o.bimestre - 1);
        lancador.Edit1->setText(o.planilha);
        lancador.mostraModal = [&o](QDialog& janela) { usaJanelaModal(janela, o); };
        try {
            lancador.FormShow();
            lancador.ListView1->setCurrentItem(
                lancador.ListView1->topLevelItem(anexoDoLote(o.anexo)->linha));
            lancador.ListView1Click();
        } catch (const Erro& e) {
            mostraErro(e.texto());
        } catch (const std::exception& e) {
            mostraErro(QString::fromLocal8Bit(e.what()));
        }
    }

    bool falhou = respostas.falhou();
    auto exige = [&](bool gravado, const QString& arquivo) {
        if (!arquivo.isEmpty() && !gravado) {
            escreveErro(QStringLiteral("o arquivo %1 não foi gravado.").arg(arquivo));
            falhou = true;
        }
    };
    exige(saida.pdfGravado(), o.pdf);
    exige(saida.csvGravado(), o.csv);
    const QDateTime planilhaDepois = gravadoEm(o.planilhaSaida);
    exige(planilhaDepois.isValid() && planilhaDepois != planilhaAntes, o.planilhaSaida);
    return falhou ? 1 : 0;
}

int principalDoLote(int argc, char** argv, const AnexosDisponiveis& anexos) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    AplicacaoNQ404 app(argc, argv);
    OpcoesDoLote opcoes;
    try {
        opcoes = leOpcoesDoLote(app.arguments());
    } catch (const Erro& e) {
        escreveErro(e.texto() + QStringLiteral(" Use --help para ver as opções."));
        return 2;
    }
    if (opcoes.ajuda) {
        std::fputs(ajudaDoLote().toLocal8Bit().constData(), stdout);
        return 0;
    }
    if (opcoes.listaAnexos) {
        for (const QString& a : listaDeAnexos(anexos))
            std::puts(a.toLocal8Bit().constData());
        return 0;
    }
    return executaLote(opcoes, anexos);
}

} // namespace nq
