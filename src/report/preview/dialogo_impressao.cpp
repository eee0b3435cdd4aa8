#include "report/preview/dialogo_impressao.h"

#include "core/mensagens.h"
#include "report/devices/dispositivo.h"
#include "report/preview/impressora.h"
#include "report/preview/textos.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace nq {

namespace {

constexpr int MaximoDeCopias = 999;

QLabel* rotulo(TextoDoRelatorio numero, QWidget* pai) {
    return new QLabel(texto(numero) + QLatin1Char(':'), pai);
}

QToolButton* seta(Qt::ArrowType direcao, QWidget* pai) {
    auto* b = new QToolButton(pai);
    b->setArrowType(direcao);
    b->setAutoRepeat(true);
    b->setFixedSize(18, 12);
    return b;
}

// The sheets as they leave the printer, two copies of three pages: two stacks 1 2 3 when
// collated, three stacks 1 1, 2 2, 3 3 when not.
QPixmap figuraDeAgrupamento(bool agrupar) {
    constexpr int Largura = 14;
    constexpr int Altura = 18;
    constexpr int Deslocamento = 4;
    constexpr int Espaco = 6;
    const int pilhas = agrupar ? 2 : 3;
    const int folhas = agrupar ? 3 : 2;
    const int larguraDaPilha = Largura + (folhas - 1) * Deslocamento;
    QPixmap figura(pilhas * (larguraDaPilha + Espaco), Altura + 2 * Deslocamento + 1);
    figura.fill(Qt::transparent);
    QPainter p(&figura);
    QFont fonte = p.font();
    fonte.setPixelSize(10);
    p.setFont(fonte);
    p.setPen(Qt::black);
    for (int pilha = 0; pilha < pilhas; ++pilha)
        for (int folha = folhas - 1; folha >= 0; --folha) { // back to front
            const QRect r(pilha * (larguraDaPilha + Espaco) + folha * Deslocamento,
                          folha * Deslocamento, Largura, Altura);
            p.fillRect(r, Qt::white);
            p.drawRect(r);
            p.drawText(r, Qt::AlignCenter, QString::number(agrupar ? folha + 1 : pilha + 1));
        }
    return figura;
}

} // namespace

QString filtroDoDialogo(const QString& filtroDoDispositivo) {
    const QStringList partes = filtroDoDispositivo.split(QLatin1Char('|'));
    QStringList filtros;
    for (qsizetype i = 0; i + 1 < partes.size(); i += 2)
        filtros << QStringLiteral("%1 (%2)").arg(
            partes[i], QString(partes[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' ')));
    return filtros.join(QLatin1String(";;"));
}

TppPrintDialog::TppPrintDialog(const ContextoDeImpressao& contexto, QWidget* pai)
    : QDialog(pai), paginaAtual_(contexto.paginaAtual), permiteArquivo_(contexto.permiteArquivo) {
    setWindowTitle(texto(TextoDoRelatorio::Imprimir));
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(criaGrupoImpressora());
    auto* meio = new QHBoxLayout;
    meio->addWidget(criaGrupoIntervalo());
    meio->addWidget(criaGrupoCopias());
    layout->addLayout(meio);

    auto* linhaParidade = new QHBoxLayout;
    auto* rotuloParidade = new QLabel(texto(TextoDoRelatorio::ImprimirFaixa), this);
    paridade_ = new QComboBox(this);
    paridade_->setObjectName(QStringLiteral("paridade"));
    paridade_->addItems({texto(TextoDoRelatorio::TodasAsPaginasNaFaixa),
                         texto(TextoDoRelatorio::PaginasImpares),
                         texto(TextoDoRelatorio::PaginasPares)});
    rotuloParidade->setBuddy(paridade_);
    linhaParidade->addWidget(rotuloParidade);
    linhaParidade->addWidget(paridade_, 1);
    layout->addLayout(linhaParidade);

    grupoArquivo_ = criaGrupoArquivo(contexto);
    grupoArquivo_->setVisible(contexto.permiteArquivo);
    layout->addWidget(grupoArquivo_);
    habilitaArquivo();

    auto* botoes = new QHBoxLayout;
    auto* ok = new QPushButton(texto(TextoDoRelatorio::Ok), this);
    ok->setObjectName(QStringLiteral("ok"));
    ok->setDefault(true);
    auto* cancelar = new QPushButton(texto(TextoDoRelatorio::Cancelar), this);
    cancelar->setObjectName(QStringLiteral("cancelar"));
    botoes->addStretch();
    botoes->addWidget(ok);
    botoes->addWidget(cancelar);
    layout->addLayout(botoes);
    connect(ok, &QPushButton::clicked, this, &TppPrintDialog::accept);
    connect(cancelar, &QPushButton::clicked, this, &TppPrintDialog::reject);

    copias_->setText(QString::number(std::clamp(contexto.copias, 1, MaximoDeCopias)));
    agrupar_->setChecked(contexto.agrupar);
    const int escolhida = impressoras_->findData(nomeDaImpressora(contexto.impressora));
    impressoras_->setCurrentIndex(escolhida >= 0 ? escolhida : 0);
    escolheImpressora(impressoras_->currentIndex());
}

QWidget* TppPrintDialog::criaGrupoImpressora() {
    auto* grupo = new QGroupBox(texto(TextoDoRelatorio::Impressora), this);
    auto* grade = new QGridLayout(grupo);
    impressoras_ = new QComboBox(grupo);
    impressoras_->setObjectName(QStringLiteral("impressoras"));
    impressoras_->setMinimumWidth(260);
    for (const QPrinterInfo& info : QPrinterInfo::availablePrinters()) {
        impressoras_->addItem(info.printerName(), info.printerName());
        impressoras_->setItemData(impressoras_->count() - 1, info.description(), Qt::ToolTipRole);
    }
    auto* nome = new QLabel(texto(TextoDoRelatorio::Nome) + QLatin1Char(':'), grupo);
    nome->setBuddy(impressoras_);
    auto* propriedades = new QPushButton(texto(TextoDoRelatorio::Propriedades), grupo);
    propriedades->setEnabled(impressoras_->count() > 0);
    tipo_ = new QLabel(grupo);
    tipo_->setObjectName(QStringLiteral("tipo"));
    onde_ = new QLabel(grupo);
    onde_->setObjectName(QStringLiteral("onde"));
    grade->addWidget(nome, 0, 0);
    grade->addWidget(impressoras_, 0, 1);
    grade->addWidget(propriedades, 0, 2);
    grade->addWidget(rotulo(TextoDoRelatorio::Tipo, grupo), 1, 0);
    grade->addWidget(tipo_, 1, 1, 1, 2);
    grade->addWidget(rotulo(TextoDoRelatorio::Onde, grupo), 2, 0);
    grade->addWidget(onde_, 2, 1, 1, 2);
    connect(impressoras_, &QComboBox::currentIndexChanged, this,
            &TppPrintDialog::escolheImpressora);
    connect(propriedades, &QPushButton::clicked, this, &TppPrintDialog::mostraPropriedades);
    return grupo;
}

QWidget* TppPrintDialog::criaGrupoIntervalo() {
    auto* grupo = new QGroupBox(texto(TextoDoRelatorio::IntervaloDePagina), this);
    auto* layout = new QGridLayout(grupo);
    intervalo_ = new QButtonGroup(grupo);
    const std::pair<TextoDoRelatorio, IntervaloDePaginas> opcoes[] = {
        {TextoDoRelatorio::Todas, IntervaloDePaginas::Todas},
        {TextoDoRelatorio::PaginaAtual, IntervaloDePaginas::PaginaAtual},
        {TextoDoRelatorio::Paginas, IntervaloDePaginas::Paginas}};
    int linha = 0;
    for (const auto& [numero, intervalo] : opcoes) {
        auto* opcao = new QRadioButton(texto(numero), grupo);
        intervalo_->addButton(opcao, static_cast<int>(intervalo));
        layout->addWidget(opcao, linha++, 0);
    }
    intervalo_->button(static_cast<int>(IntervaloDePaginas::Todas))->setChecked(true);
    paginas_ = new QLineEdit(grupo);
    paginas_->setObjectName(QStringLiteral("paginas"));
    layout->addWidget(paginas_, linha - 1, 1);
    auto* nota = new QLabel(texto(TextoDoRelatorio::NotaDasPaginas), grupo);
    nota->setWordWrap(true);
    nota->setMaximumWidth(280);
    layout->addWidget(nota, linha, 0, 1, 2);
    connect(paginas_, &QLineEdit::textEdited, this, [this] {
        intervalo_->button(static_cast<int>(IntervaloDePaginas::Paginas))->setChecked(true);
    });
    return grupo;
}

QWidget* TppPrintDialog::criaGrupoCopias() {
    auto* grupo = new QGroupBox(texto(TextoDoRelatorio::Copias), this);
    auto* layout = new QGridLayout(grupo);
    copias_ = new QLineEdit(grupo);
    copias_->setObjectName(QStringLiteral("copias"));
    copias_->setMaxLength(3);
    copias_->setFixedWidth(40);
    auto* rotuloCopias = new QLabel(texto(TextoDoRelatorio::NumeroDeCopias), grupo);
    rotuloCopias->setBuddy(copias_);
    auto* acima = seta(Qt::UpArrow, grupo);
    acima->setObjectName(QStringLiteral("copiasAcima"));
    auto* abaixo = seta(Qt::DownArrow, grupo);
    abaixo->setObjectName(QStringLiteral("copiasAbaixo"));
    auto* setas = new QVBoxLayout;
    setas->setSpacing(0);
    setas->addWidget(acima);
    setas->addWidget(abaixo);
    layout->addWidget(rotuloCopias, 0, 0);
    layout->addWidget(copias_, 0, 1);
    layout->addLayout(setas, 0, 2);
    agrupar_ = new QCheckBox(texto(TextoDoRelatorio::Agrupar), grupo);
    agrupar_->setObjectName(QStringLiteral("agrupar"));
    auto* figura = new QLabel(grupo);
    figura->setPixmap(figuraDeAgrupamento(false));
    layout->addWidget(figura, 1, 0);
    layout->addWidget(agrupar_, 1, 1, 1, 2);
    connect(agrupar_, &QCheckBox::toggled, figura,
            [figura](bool agrupar) { figura->setPixmap(figuraDeAgrupamento(agrupar)); });
    connect(acima, &QToolButton::clicked, this, [this] { passoDasCopias(1); });
    connect(abaixo, &QToolButton::clicked, this, [this] { passoDasCopias(-1); });
    connect(copias_, &QLineEdit::editingFinished, this, &TppPrintDialog::corrigeCopias);
    return grupo;
}

QWidget* TppPrintDialog::criaGrupoArquivo(const ContextoDeImpressao& contexto) {
    auto* grupo = new QGroupBox(this);
    auto* grade = new QGridLayout(grupo);
    paraArquivo_ = new QCheckBox(texto(TextoDoRelatorio::ImprimirParaArquivo), grupo);
    paraArquivo_->setObjectName(QStringLiteral("paraArquivo"));
    tiposDeArquivo_ = new QComboBox(grupo);
    tiposDeArquivo_->setObjectName(QStringLiteral("tiposDeArquivo"));
    for (const QString& nome : nomesDosDispositivosDeArquivo())
        if (contexto.permiteArquivoMorto || nome != QLatin1String("ArchiveFile"))
            tiposDeArquivo_->addItem(nome);
    arquivo_ = new QLineEdit(grupo);
    arquivo_->setObjectName(QStringLiteral("arquivo"));
    arquivo_->setMinimumWidth(260);
    auto* procurar = new QToolButton(grupo);
    procurar->setObjectName(QStringLiteral("procurarArquivo"));
    procurar->setText(QStringLiteral("..."));
    grade->addWidget(paraArquivo_, 0, 0, 1, 3);
    grade->addWidget(rotulo(TextoDoRelatorio::Tipo, grupo), 1, 0);
    grade->addWidget(tiposDeArquivo_, 1, 1, 1, 2);
    grade->addWidget(rotulo(TextoDoRelatorio::Onde, grupo), 2, 0);
    grade->addWidget(arquivo_, 2, 1);
    grade->addWidget(procurar, 2, 2);
    connect(paraArquivo_, &QCheckBox::toggled, this, &TppPrintDialog::habilitaArquivo);
    connect(tiposDeArquivo_, &QComboBox::currentIndexChanged, this,
            &TppPrintDialog::escolheTipoDeArquivo);
    connect(procurar, &QToolButton::clicked, this, &TppPrintDialog::procuraArquivo);
    return grupo;
}

void TppPrintDialog::habilitaArquivo() {
    const bool arquivo = paraArquivo_->isChecked();
    for (QWidget* w : grupoArquivo_->findChildren<QWidget*>())
        if (w != paraArquivo_)
            w->setEnabled(arquivo);
    impressoras_->setEnabled(!arquivo && impressoras_->count() > 0);
}

void TppPrintDialog::escolheImpressora(int indice) {
    const QPrinterInfo info = QPrinterInfo::printerInfo(impressoras_->itemData(indice).toString());
    tipo_->setText(info.isNull() ? QString() : info.makeAndModel());
    onde_->setText(info.isNull() ? QString() : info.location());
}

void TppPrintDialog::mostraPropriedades() {
    impressora_.setPrinterName(impressoras_->currentData().toString());
    QPageSetupDialog propriedades(&impressora_, this);
    propriedades.exec();
}

int TppPrintDialog::copias() const {
    bool numero = false;
    const int n = copias_->text().trimmed().toInt(&numero);
    return numero && n >= 1 && n <= MaximoDeCopias ? n : 1;
}

void TppPrintDialog::corrigeCopias() {
    copias_->setText(QString::number(copias()));
}

void TppPrintDialog::passoDasCopias(int passo) {
    const int n = copias() + passo;
    if (n >= 1 && n <= MaximoDeCopias)
        copias_->setText(QString::number(n));
}

void TppPrintDialog::escolheTipoDeArquivo() {
    const auto dispositivo = criaDispositivoDeArquivo(tiposDeArquivo_->currentText());
    const QString atual = arquivo_->text().trimmed();
    if (!dispositivo || atual.isEmpty())
        return;
    const QFileInfo info(atual);
    const QString base =
        info.suffix().isEmpty() ? atual : atual.left(atual.size() - info.suffix().size() - 1);
    arquivo_->setText(base + QLatin1Char('.') + dispositivo->extensao());
}

void TppPrintDialog::procuraArquivo() {
    const auto dispositivo = criaDispositivoDeArquivo(tiposDeArquivo_->currentText());
    if (!dispositivo)
        return;
    QFileDialog dialogo(this, texto(TextoDoRelatorio::ImprimirParaArquivo), arquivo_->text(),
                        filtroDoDialogo(dispositivo->filtro()));
    dialogo.setAcceptMode(QFileDialog::AcceptSave);
    dialogo.setDefaultSuffix(dispositivo->extensao());
    // The replace question comes with OK, as for a name typed in the field.
    dialogo.setOption(QFileDialog::DontConfirmOverwrite);
    if (dialogo.exec() == QDialog::Accepted && !dialogo.selectedFiles().isEmpty())
        arquivo_->setText(QDir::toNativeSeparators(dialogo.selectedFiles().constFirst()));
}

bool TppPrintDialog::validaArquivo() {
    QString nome = arquivo_->text().trimmed();
    if (nome.isEmpty()) {
        mensagens().mostra(texto(TextoDoRelatorio::EspecifiqueOArquivo), windowTitle(),
                           Icone::Exclamacao);
        return false;
    }
    // A name typed without extension gets the type's, as the save dialog gives it: a file
    // without one is not opened by the desktop's viewer for its type.
    const auto dispositivo = criaDispositivoDeArquivo(tiposDeArquivo_->currentText());
    if (dispositivo && QFileInfo(nome).suffix().isEmpty()) {
        if (!nome.endsWith(QLatin1Char('.')))
            nome += QLatin1Char('.');
        nome += dispositivo->extensao();
        arquivo_->setText(nome);
    }
    const QFileInfo info(nome);
    if (!info.absoluteDir().exists() || info.isDir()) {
        mensagens().mostra(QStringLiteral("Informe um caminho de arquivo válido."), windowTitle(),
                           Icone::Exclamacao);
        return false;
    }
    if (info.exists()) {
        QApplication::beep();
        return mensagens().pergunta(nome + QStringLiteral(" já existe.\nDeseja substituí-lo?"),
                                    windowTitle(), Icone::Exclamacao);
    }
    return true;
}

void TppPrintDialog::accept() {
    if (intervalo_->checkedId() == static_cast<int>(IntervaloDePaginas::Paginas) &&
        interpretaListaDePaginas(paginas_->text()).empty()) {
        mensagens().mostra(texto(TextoDoRelatorio::NenhumaPaginaInformada), windowTitle(),
                           Icone::Exclamacao);
        return;
    }
    if (paraArquivo_->isChecked() && permiteArquivo_) {
        if (!validaArquivo())
            return;
    } else if (impressoras_->count() == 0) {
        QString aviso = QStringLiteral("Não há impressora instalada neste computador.");
        if (permiteArquivo_)
            aviso += QStringLiteral(" Para gravar o relatório num arquivo, marque \"%1\".")
                         .arg(texto(TextoDoRelatorio::ImprimirParaArquivo));
        mensagens().mostra(aviso, windowTitle(), Icone::Exclamacao);
        return;
    }
    corrigeCopias();
    impressora_.setPrinterName(impressoras_->currentData().toString());
    QDialog::accept();
}

OpcoesDeImpressao TppPrintDialog::opcoes() const {
    OpcoesDeImpressao o;
    o.impressora = impressoras_->currentData().toString();
    o.intervalo = static_cast<IntervaloDePaginas>(intervalo_->checkedId());
    o.paginas = interpretaListaDePaginas(paginas_->text());
    o.paginaAtual = paginaAtual_;
    o.paridade = static_cast<ParidadeDePaginas>(paridade_->currentIndex());
    o.copias = copias();
    o.agrupar = agrupar_->isChecked();
    o.paraArquivo = paraArquivo_->isChecked() && permiteArquivo_;
    o.dispositivo = tiposDeArquivo_->currentText();
    o.arquivo = arquivo_->text().trimmed();
    return o;
}

} // namespace nq
