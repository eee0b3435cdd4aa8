#include "report/preview/preview.h"

#include "core/erro.h"
#include "core/mensagens.h"
#include "report/motor.h"
#include "report/preview/dialogo_impressao.h"
#include "report/preview/dialogos.h"
#include "report/preview/impressao.h"
#include "report/preview/impressora.h"
#include "report/preview/textos.h"
#include "report/preview/vista.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>
#include <map>

namespace nq {

namespace {

constexpr int LarguraDosCampos = 37;
constexpr int ZoomMinimo = 5;
constexpr int ZoomMaximo = 1000;

QString textoDoErro(std::exception_ptr erro) {
    try {
        std::rethrow_exception(erro);
    } catch (const Erro& e) {
        return e.texto();
    } catch (const std::exception& e) {
        return QString::fromLocal8Bit(e.what());
    } catch (...) {
        return QStringLiteral("Erro desconhecido ao gerar o relatório.");
    }
}

QLineEdit* campo(QWidget* pai, const QString& nome) {
    auto* c = new QLineEdit(pai);
    c->setObjectName(nome);
    c->setFixedWidth(LarguraDosCampos);
    c->setAlignment(Qt::AlignRight);
    return c;
}

} // namespace

ConfiguracaoDaPreview ConfiguracaoDaPreview::doRelatorio(const TppReport& r) {
    ConfiguracaoDaPreview c;
    c.trabalho.nomeDocumento = tituloDoRelatorio(r);
    c.trabalho.impressora = r.PrinterSetup.PrinterName;
    c.trabalho.bandeja = r.PrinterSetup.BinName;
    c.trabalho.copias = r.PrinterSetup.Copies;
    c.trabalho.agrupar = r.PrinterSetup.Collation;
    c.trabalho.tipoDispositivo = r.DeviceType;
    c.trabalho.permiteImprimirParaArquivo = r.AllowPrintToFile;
    c.trabalho.permiteImprimirParaArquivoMorto = r.AllowPrintToArchive;
    c.estado = r.PreviewFormSettings.WindowState;
    c.zoom = r.PreviewFormSettings.ZoomSetting;
    c.percentual = r.PreviewFormSettings.ZoomPercentage;
    c.mostraDialogoDeImpressao = r.ShowPrintDialog;
    c.mostraCancelamento = r.ShowCancelDialog;
    return c;
}

JanelaDePreview::JanelaDePreview(const ConfiguracaoDaPreview& configuracao, QWidget* pai)
    : QDialog(pai, Qt::Window), configuracao_(configuracao), modo_(configuracao.zoom),
      percentual_(std::clamp(configuracao.percentual, ZoomMinimo, ZoomMaximo)) {
    setWindowTitle(configuracao.trabalho.nomeDocumento);
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    criaBarra();
    rolagem_ = new QScrollArea(this);
    rolagem_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    rolagem_->setBackgroundRole(QPalette::Dark);
    vista_ = new VistaDaPagina(rolagem_);
    rolagem_->setWidget(vista_);
    rolagem_->viewport()->installEventFilter(this);
    layout->addWidget(rolagem_, 1);
    status_ = new QStatusBar(this);
    status_->setSizeGripEnabled(false);
    layout->addWidget(status_);
    connect(vista_, &VistaDaPagina::desenhou, this, &JanelaDePreview::mostraDesenho,
            Qt::QueuedConnection);
    resize(900, 700);
    if (configuracao.estado == TWindowState::wsMaximized) {
        // Without a window manager the state alone changes nothing: take the screen too.
        setGeometry(screen()->availableGeometry());
        setWindowState(Qt::WindowMaximized);
    }
    status_->showMessage(
        texto(TextoDoRelatorio::Calculando, {1, 0, configuracao_.trabalho.nomeDocumento, {}}));
    atualizaEstado();
}

JanelaDePreview::~JanelaDePreview() = default;

void JanelaDePreview::criaBarra() {
    auto* barra = new QToolBar(this);
    barra->setObjectName(QStringLiteral("barra"));
    layout()->addWidget(barra);
    const auto acao = [&](TextoDoRelatorio dica, const QString& nome, QStyle::StandardPixmap icone,
                          auto aoClicar) {
        QAction* a = barra->addAction(texto(dica));
        a->setObjectName(nome);
        a->setToolTip(texto(dica));
        if (icone != QStyle::SP_CustomBase)
            a->setIcon(style()->standardIcon(icone));
        connect(a, &QAction::triggered, this, aoClicar);
        return a;
    };
    constexpr auto SemIcone = QStyle::SP_CustomBase;
    imprimir_ = acao(TextoDoRelatorio::Imprimir, QStringLiteral("imprimir"), SemIcone,
                     [this] { imprime(); });
    barra->addSeparator();
    paginaInteira_ = acao(TextoDoRelatorio::PaginaInteira, QStringLiteral("paginaInteira"),
                          SemIcone, [this] { defineZoom(TppZoomSetting::zsWholePage); });
    larguraDaPagina_ = acao(TextoDoRelatorio::LarguraDaPagina, QStringLiteral("larguraDaPagina"),
                            SemIcone, [this] { defineZoom(TppZoomSetting::zsPageWidth); });
    cem_ = acao(TextoDoRelatorio::Cem, QStringLiteral("cem"), SemIcone,
                [this] { defineZoom(TppZoomSetting::zs100Percent); });
    for (QAction* a : {paginaInteira_, larguraDaPagina_, cem_})
        a->setCheckable(true);
    campoZoom_ = campo(barra, QStringLiteral("zoom"));
    barra->addWidget(campoZoom_);
    connect(campoZoom_, &QLineEdit::editingFinished, this, [this] {
        QString t = campoZoom_->text().trimmed();
        if (t.endsWith(QLatin1Char('%')))
            t.chop(1);
        bool numero = false;
        const int valor = t.trimmed().toInt(&numero);
        // The field also finishes when the focus merely passes through it: the zoom it
        // shows changes nothing, and page width or whole page stay in force.
        if (numero && valor != percentual())
            definePercentual(valor);
        atualizaEstado();
    });
    barra->addSeparator();
    primeira_ = acao(TextoDoRelatorio::PrimeiraPagina, QStringLiteral("primeira"),
                     QStyle::SP_MediaSkipBackward, [this] { vaiPara(1); });
    anterior_ = acao(TextoDoRelatorio::PaginaAnterior, QStringLiteral("anterior"),
                     QStyle::SP_MediaSeekBackward, [this] { vaiPara(atual_ - 1); });
    campoPagina_ = campo(barra, QStringLiteral("pagina"));
    barra->addWidget(campoPagina_);
    connect(campoPagina_, &QLineEdit::editingFinished, this, [this] {
        bool numero = false;
        const int valor = campoPagina_->text().trimmed().toInt(&numero);
        if (numero)
            vaiPara(valor);
        atualizaEstado();
    });
    proxima_ = acao(TextoDoRelatorio::ProximaPagina, QStringLiteral("proxima"),
                    QStyle::SP_MediaSeekForward, [this] { vaiPara(atual_ + 1); });
    ultima_ = acao(TextoDoRelatorio::UltimaPagina, QStringLiteral("ultima"),
                   QStyle::SP_MediaSkipForward, [this] { vaiPara(quantidadeDePaginas()); });
    barra->addSeparator();
    fechar_ = new QPushButton(barra);
    fechar_->setObjectName(QStringLiteral("fechar"));
    // Enter belongs to the zoom and page fields: it applies their value, never closes.
    fechar_->setAutoDefault(false);
    barra->addWidget(fechar_);
    connect(fechar_, &QPushButton::clicked, this, &JanelaDePreview::fecharOuCancelar);
}

void JanelaDePreview::recebePagina(Pagina&& pagina) {
    paginas_.push_back(std::move(pagina));
    if (atual_ == 0)
        vaiPara(1);
    status_->showMessage(
        texto(TextoDoRelatorio::Calculando,
              {quantidadeDePaginas() + 1, 0, configuracao_.trabalho.nomeDocumento, {}}));
    atualizaEstado();
}

void JanelaDePreview::terminaGeracao() {
    gerando_ = false;
    status_->clearMessage();
    atualizaEstado();
    // A run without pages (no data, or stopped before the first) leaves nothing to show.
    if (fecharAoTerminar_ || paginas_.empty())
        QTimer::singleShot(0, this, &QDialog::reject);
}

void JanelaDePreview::falhaGeracao(std::exception_ptr erro) {
    erro_ = erro;
    gerando_ = false;
    status_->showMessage(textoDoErro(erro));
    atualizaEstado();
    if (paginas_.empty() || fecharAoTerminar_)
        QTimer::singleShot(0, this, &QDialog::reject);
}

void JanelaDePreview::vaiPara(int pagina) {
    if (paginas_.empty())
        return;
    const int destino = std::clamp(pagina, 1, quantidadeDePaginas());
    if (destino != atual_) {
        atual_ = destino;
        status_->showMessage(
            texto(TextoDoRelatorio::Desenhando,
                  {atual_, quantidadeDePaginas(), configuracao_.trabalho.nomeDocumento, {}}));
        aplicaZoom();
        rolagem_->verticalScrollBar()->setValue(0);
    }
    atualizaEstado();
}

void JanelaDePreview::mostraDesenho() {
    if (gerando_)
        status_->showMessage(
            texto(TextoDoRelatorio::Calculando,
                  {quantidadeDePaginas() + 1, 0, configuracao_.trabalho.nomeDocumento, {}}));
    else if (!erro_)
        status_->clearMessage();
}

double JanelaDePreview::zoomCalculado() const {
    if (paginas_.empty())
        return 1;
    const Papel& papel = paginas_[static_cast<size_t>(std::max(atual_, 1) - 1)].papel;
    const QSizeF inteiro = vista_->tamanhoDoPapel(papel, 1);
    const QSize area =
        rolagem_->viewport()->size() - QSize(2 * VistaDaPagina::Margem, 2 * VistaDaPagina::Margem);
    // The vertical scroll bar takes its room when the page is taller than the window.
    const double largura = area.width() - (modo_ == TppZoomSetting::zsPageWidth
                                               ? rolagem_->verticalScrollBar()->sizeHint().width()
                                               : 0);
    switch (modo_) {
    case TppZoomSetting::zsWholePage:
        return std::max(0.01,
                        std::min(area.width() / inteiro.width(), area.height() / inteiro.height()));
    case TppZoomSetting::zsPageWidth:
        return std::max(0.01, largura / inteiro.width());
    case TppZoomSetting::zs100Percent:
        return 1;
    case TppZoomSetting::zsPercentage:
        return percentual_ / 100.0;
    }
    return 1;
}

int JanelaDePreview::percentual() const {
    return qRound(zoomCalculado() * 100);
}

void JanelaDePreview::defineZoom(TppZoomSetting modo) {
    modo_ = modo;
    aplicaZoom();
    atualizaEstado();
}

void JanelaDePreview::definePercentual(int percentual) {
    percentual_ = std::clamp(percentual, ZoomMinimo, ZoomMaximo);
    defineZoom(TppZoomSetting::zsPercentage);
}

void JanelaDePreview::aplicaZoom() {
    vista_->mostra(atual_ > 0 ? &paginas_[static_cast<size_t>(atual_ - 1)] : nullptr,
                   zoomCalculado());
}

void JanelaDePreview::atualizaEstado() {
    const int total = quantidadeDePaginas();
    imprimir_->setEnabled(!gerando_ && total > 0);
    paginaInteira_->setChecked(modo_ == TppZoomSetting::zsWholePage);
    larguraDaPagina_->setChecked(modo_ == TppZoomSetting::zsPageWidth);
    cem_->setChecked(modo_ == TppZoomSetting::zs100Percent);
    campoZoom_->setText(QString::number(percentual()) + QLatin1Char('%'));
    primeira_->setEnabled(atual_ > 1);
    anterior_->setEnabled(atual_ > 1);
    proxima_->setEnabled(atual_ < total);
    ultima_->setEnabled(atual_ < total);
    campoPagina_->setText(atual_ > 0 ? QString::number(atual_) : QString());
    fechar_->setText(texto(gerando_ ? TextoDoRelatorio::Cancelar : TextoDoRelatorio::Fechar));
}

void JanelaDePreview::fecharOuCancelar() {
    if (gerando_)
        cancelada_ = true;
    else
        accept();
}

void JanelaDePreview::imprime() {
    if (gerando_ || paginas_.empty())
        return;
    const TrabalhoDeImpressao& trabalho = configuracao_.trabalho;
    ContextoDeImpressao contexto;
    contexto.impressora = trabalho.impressora;
    contexto.paginaAtual = atual_;
    contexto.copias = trabalho.copias;
    contexto.agrupar = trabalho.agrupar;
    contexto.permiteArquivo = trabalho.permiteImprimirParaArquivo;
    contexto.permiteArquivoMorto = trabalho.permiteImprimirParaArquivoMorto;
    TppPrintDialog dialogo(contexto, this);
    if (configuracao_.mostraDialogoDeImpressao && dialogo.exec() != QDialog::Accepted)
        return;
    try {
        const OpcoesDeImpressao opcoes = dialogo.opcoes();
        if (imprimePaginas(paginas_, trabalho, opcoes, dialogo.impressora(),
                           configuracao_.mostraCancelamento, this) &&
            opcoes.paraArquivo)
            avisaArquivoGravado(opcoes);
    } catch (const Erro& e) {
        mensagens().mostra(e.texto(), QStringLiteral("Atenção"), Icone::Erro);
    }
}

void JanelaDePreview::avisaArquivoGravado(const OpcoesDeImpressao& opcoes) {
    const QString onde = QDir::toNativeSeparators(QFileInfo(opcoes.arquivo).absoluteFilePath());
    const bool imagens = opcoes.dispositivo == QLatin1String("GraphicFile");
    mensagens().mostra(
        imagens ? QStringLiteral("O relatório foi gravado em \"%1\", uma imagem por página "
                                 "(o número da página segue o nome).")
                      .arg(onde)
                : QStringLiteral("O relatório foi gravado em \"%1\".").arg(onde),
        QStringLiteral("Arquivo gravado"), Icone::Informacao);
}

void JanelaDePreview::keyPressEvent(QKeyEvent* evento) {
    const bool ctrl = evento->modifiers() & Qt::ControlModifier;
    switch (evento->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // The fields have taken their value already; the window stays.
        return;
    case Qt::Key_PageDown:
        vaiPara(atual_ + 1);
        return;
    case Qt::Key_PageUp:
        vaiPara(atual_ - 1);
        return;
    case Qt::Key_Home:
        if (ctrl) {
            vaiPara(1);
            return;
        }
        break;
    case Qt::Key_End:
        if (ctrl) {
            vaiPara(quantidadeDePaginas());
            return;
        }
        break;
    case Qt::Key_P:
        if (ctrl) {
            imprime();
            return;
        }
        break;
    default:
        break;
    }
    QDialog::keyPressEvent(evento);
}

// Whole page and page width follow the room the window gives the page.
bool JanelaDePreview::eventFilter(QObject* objeto, QEvent* evento) {
    if (objeto == rolagem_->viewport() && evento->type() == QEvent::Resize &&
        (modo_ == TppZoomSetting::zsWholePage || modo_ == TppZoomSetting::zsPageWidth)) {
        aplicaZoom();
        atualizaEstado();
    }
    return QDialog::eventFilter(objeto, evento);
}

void JanelaDePreview::closeEvent(QCloseEvent* evento) {
    if (gerando_) {
        // The run unwinds first; the window closes when it has stopped.
        cancelada_ = true;
        fecharAoTerminar_ = true;
        evento->ignore();
        return;
    }
    QDialog::closeEvent(evento);
}

void JanelaDePreview::reject() {
    if (gerando_) {
        cancelada_ = true;
        fecharAoTerminar_ = true;
        return;
    }
    QDialog::reject();
}

namespace {

std::map<const TppReport*, JanelaDePreview*>& previewsAbertas() {
    static std::map<const TppReport*, JanelaDePreview*> abertas;
    return abertas;
}

// Keeps the window reachable through PreviewForm while it exists.
class RegistroDaPreview {
public:
    RegistroDaPreview(const TppReport& r, JanelaDePreview& j) : relatorio_(r) {
        previewsAbertas()[&r] = &j;
    }
    ~RegistroDaPreview() { previewsAbertas().erase(&relatorio_); }
    RegistroDaPreview(const RegistroDaPreview&) = delete;
    RegistroDaPreview& operator=(const RegistroDaPreview&) = delete;

private:
    const TppReport& relatorio_;
};

// The user stopped the run from the preview.
struct GeracaoInterrompida {};

void exibe(TppReport& relatorio, QWidget* pai,
           const std::function<void(JanelaDePreview&)>& alimenta) {
    JanelaDePreview janela(ConfiguracaoDaPreview::doRelatorio(relatorio), pai);
    {
        RegistroDaPreview registro(relatorio, janela);
        if (relatorio.OnPreviewFormCreate)
            relatorio.OnPreviewFormCreate();
        alimenta(janela);
        if (janela.gerando() || janela.quantidadeDePaginas() > 0)
            janela.exec();
        if (relatorio.OnPreviewFormClose)
            relatorio.OnPreviewFormClose();
    }
    if (janela.erro())
        std::rethrow_exception(janela.erro());
}

} // namespace

JanelaDePreview* PreviewForm(const TppReport& relatorio) {
    const auto i = previewsAbertas().find(&relatorio);
    return i == previewsAbertas().end() ? nullptr : i->second;
}

void mostraPreview(TppReport& relatorio, QWidget* pai) {
    exibe(relatorio, pai, [&relatorio](JanelaDePreview& janela) {
        // The run starts once the window shows; it lets the window answer between pages.
        QTimer::singleShot(0, &janela, [&relatorio, &janela] {
            try {
                TppEngine motor(&relatorio);
                motor.defineAvisoDeSemDados([&janela] { TppNoDataDialog(&janela).exec(); });
                motor.gera([&janela](Pagina&& pagina) {
                    janela.recebePagina(std::move(pagina));
                    QApplication::processEvents();
                    if (janela.cancelada())
                        throw GeracaoInterrompida{};
                });
                janela.terminaGeracao();
            } catch (const GeracaoInterrompida&) {
                janela.terminaGeracao();
            } catch (...) {
                janela.falhaGeracao(std::current_exception());
            }
        });
    });
}

void mostraPreview(TppReport& relatorio, const Documento& documento, QWidget* pai) {
    exibe(relatorio, pai, [&documento](JanelaDePreview& janela) {
        for (const Pagina& pagina : documento.paginas)
            janela.recebePagina(Pagina(pagina));
        janela.terminaGeracao();
    });
}

} // namespace nq
