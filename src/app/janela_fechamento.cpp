#include "janela_fechamento.h"

#include "annexes/common/lancador.h"
#include "core/erro.h"
#include "core/mensagens.h"
#include "db/modulodados.h"

#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

namespace nq {

namespace {

QWidget* comBotao(QLineEdit* campo, const std::function<void()>& escolhe, QWidget* pai) {
    auto* linha = new QWidget(pai);
    auto* layout = new QHBoxLayout(linha);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* botao = new QToolButton(linha);
    botao->setText(QStringLiteral("..."));
    QObject::connect(botao, &QToolButton::clicked, linha, escolhe);
    layout->addWidget(campo, 1);
    layout->addWidget(botao);
    return linha;
}

QString linhaDoRelatorio(const ResultadoDoRelatorio& r) {
    QString situacao = QStringLiteral("gravado");
    if (r.situacao == SituacaoDoRelatorio::Falhou)
        situacao = QStringLiteral("FALHOU (%1)").arg(r.motivo);
    else if (r.situacao == SituacaoDoRelatorio::NaoRodou)
        situacao = QStringLiteral("não executado (%1)").arg(r.motivo);
    return QStringLiteral("%1  %2 s  %3")
        .arg(r.relatorio.titulo)
        .arg(r.segundos, 0, 'f', 1)
        .arg(situacao);
}

} // namespace

TFrmFechamento::TFrmFechamento(AnexosDisponiveis anexos, QWidget* pai)
    : QDialog(pai), anexos_(std::move(anexos)) {
    setObjectName(QStringLiteral("FrmFechamento"));
    setWindowTitle(QStringLiteral("Fechamento do Bimestre"));
    abreIndice = [](const QString& indice) {
        return QDesktopServices::openUrl(QUrl::fromLocalFile(indice));
    };
    criaControles();
}

void TFrmFechamento::criaControles() {
    combomes = new QComboBox(this);
    combomes->addItems(textosBimestres());
    combomes->setCurrentIndex(-1);
    edtSaida = new QLineEdit(this);
    edtPlanilha = new QLineEdit(this);
    edtPlanilhaSaida = new QLineEdit(this);
    auto* formulario = new QFormLayout;
    formulario->addRow(QStringLiteral("Bimestre de Referência"), combomes);
    formulario->addRow(QStringLiteral("Pasta dos relatórios"),
                       comBotao(
                           edtSaida,
                           [this] {
                               if (const QString p = escolhePasta(); !p.isEmpty())
                                   edtSaida->setText(p);
                           },
                           this));
    formulario->addRow(QStringLiteral("Planilha do TCE (opcional)"),
                       comBotao(
                           edtPlanilha,
                           [this] {
                               const QString p = QFileDialog::getOpenFileName(
                                   this, QStringLiteral("Planilha do Tribunal de Contas"), {},
                                   QStringLiteral("Planilhas (*.xls *.xlsx *.ods)"));
                               if (!p.isEmpty())
                                   edtPlanilha->setText(QDir::toNativeSeparators(p));
                           },
                           this));
    formulario->addRow(QStringLiteral("Gravar a planilha preenchida em"),
                       comBotao(
                           edtPlanilhaSaida,
                           [this] {
                               const QString p = QFileDialog::getSaveFileName(
                                   this, QStringLiteral("Planilha preenchida"), {},
                                   QStringLiteral("Planilhas (*.xls *.xlsx *.ods)"));
                               if (!p.isEmpty())
                                   edtPlanilhaSaida->setText(QDir::toNativeSeparators(p));
                           },
                           this));
    registro = new QPlainTextEdit(this);
    registro->setReadOnly(true);
    btnExecutar = new QPushButton(QStringLiteral("Executar"), this);
    auto* fechar = new QPushButton(QStringLiteral("Fechar"), this);
    connect(btnExecutar, &QPushButton::clicked, this, [this] { btnExecutarClick(); });
    connect(fechar, &QPushButton::clicked, this, &QDialog::reject);
    auto* botoes = new QHBoxLayout;
    botoes->addStretch(1);
    botoes->addWidget(btnExecutar);
    botoes->addWidget(fechar);
    auto* coluna = new QVBoxLayout(this);
    coluna->addLayout(formulario);
    coluna->addWidget(registro, 1);
    coluna->addLayout(botoes);
    resize(640, 420);
}

QString TFrmFechamento::escolhePasta() {
    return QFileDialog::getExistingDirectory(this, QStringLiteral("Pasta dos relatórios"),
                                             edtSaida->text());
}

int TFrmFechamento::btnExecutarClick() {
    const OpcoesDoFechamento opcoes{combomes->currentIndex() + 1, edtSaida->text().trimmed(),
                                    edtPlanilha->text().trimmed(),
                                    edtPlanilhaSaida->text().trimmed(), false};
    QString problema;
    if (combomes->currentIndex() < 0)
        problema = QStringLiteral("Especifique o Bimestre!");
    else if (opcoes.saida.isEmpty())
        problema = QStringLiteral("Informe a pasta onde gravar os relatórios.");
    else if (opcoes.planilha.isEmpty() != opcoes.planilhaSaida.isEmpty())
        problema = QStringLiteral("Informe a planilha do TCE e onde gravar a cópia preenchida, "
                                  "ou deixe as duas em branco.");
    else if (!opcoes.planilha.isEmpty() && !QFileInfo(opcoes.planilha).isFile())
        problema = QStringLiteral("A planilha não existe: %1").arg(opcoes.planilha);
    Fechamento fechamento(opcoes, anexos_);
    if (problema.isEmpty()) {
        try {
            fechamento.verificaSaidas(dm());
        } catch (const Erro& e) {
            problema = e.texto();
        }
    }
    if (!problema.isEmpty()) {
        mensagens().mostra(problema, QStringLiteral("Atenção"), Icone::Exclamacao);
        return 2;
    }

    registro->clear();
    QProgressDialog progresso(QStringLiteral("Fechamento do bimestre..."),
                              QStringLiteral("Cancelar"), 0, 1, this);
    progresso.setWindowTitle(QStringLiteral("Fechamento do Bimestre"));
    progresso.setWindowModality(Qt::WindowModal);
    progresso.setMinimumDuration(0);
    progresso.setAutoReset(false);
    // Each report's wait window is centred on the screen and stays on top: the
    // progress and its "Cancelar" go above it, where they stay in reach.
    if (const QScreen* tela = QGuiApplication::primaryScreen()) {
        const QRect area = tela->availableGeometry();
        progresso.move(area.center().x() - progresso.sizeHint().width() / 2,
                       area.top() + area.height() / 6);
    }
    fechamento.aoComecar = [&](const RelatorioDoFechamento& r, int indice, int total) {
        progresso.setMaximum(total);
        progresso.setValue(indice);
        progresso.setLabelText(
            QStringLiteral("%1 (%2 de %3)...").arg(r.titulo).arg(indice + 1).arg(total));
        QApplication::processEvents();
        return !progresso.wasCanceled();
    };
    fechamento.aoTerminar = [&](const ResultadoDoRelatorio& r) {
        registro->appendPlainText(linhaDoRelatorio(r));
        QApplication::processEvents();
    };
    const ResumoDoFechamento resumo = fechamento.executa();
    progresso.setValue(progresso.maximum());
    progresso.close();
    for (const ResultadoDaConferencia& c : resumo.conferencias)
        registro->appendPlainText(c.mensagem);

    const int status = statusDoFechamento(resumo);
    const QString indice = QDir(opcoes.saida).filePath(QStringLiteral("indice.html"));
    if (!resumo.falhaDoFechamento.isEmpty()) {
        mensagens().mostra(resumo.falhaDoFechamento, QStringLiteral("Atenção"), Icone::Erro);
        return status;
    }
    registro->appendPlainText(QStringLiteral("Índice: %1").arg(QDir::toNativeSeparators(indice)));
    const QString texto =
        resumo.cancelado ? QStringLiteral("O fechamento foi cancelado; os relatórios gravados "
                                          "até então estão na pasta.")
        : status == 1    ? QStringLiteral("Algum relatório não foi gravado.")
        : status == 3    ? QStringLiteral("Os relatórios foram gravados, mas alguma conferência "
                                             "entre eles não confere.")
                         : QStringLiteral("Todos os relatórios foram gravados e as conferências "
                                             "conferem.");
    if (mensagens().pergunta(texto + QStringLiteral("\n\nDeseja abrir o índice do fechamento?"),
                             QStringLiteral("Fechamento do Bimestre"), Icone::Pergunta) &&
        !abreIndice(indice))
        mensagens().mostra(QStringLiteral("O índice \"%1\" não pôde ser aberto: não há neste "
                                          "computador um programa que abra páginas HTML. Abra-o "
                                          "pelo navegador de internet.")
                               .arg(QDir::toNativeSeparators(indice)),
                           QStringLiteral("Atenção"), Icone::Exclamacao);
    return status;
}

} // namespace nq
