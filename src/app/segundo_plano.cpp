#include "segundo_plano.h"

#include <QCloseEvent>
#include <QDialog>
#include <QEventLoop>
#include <QLabel>
#include <QProgressBar>
#include <QThread>
#include <QVBoxLayout>
#include <exception>

namespace nq {

namespace {

// The notice of a step under way: it cannot be closed, the step ends it.
class AvisoDeEspera : public QDialog {
public:
    AvisoDeEspera(QWidget* pai, const QString& aviso)
        : QDialog(pai, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
        setObjectName(QStringLiteral("AvisoDeEspera"));
        setWindowTitle(QStringLiteral("Aguarde"));
        setWindowModality(Qt::ApplicationModal);
        auto* layout = new QVBoxLayout(this);
        auto* texto = new QLabel(aviso, this);
        texto->setObjectName(QStringLiteral("aviso"));
        layout->addWidget(texto);
        auto* barra = new QProgressBar(this);
        barra->setRange(0, 0); // moving: the step's length is not known
        barra->setTextVisible(false);
        layout->addWidget(barra);
        setFixedSize(sizeHint().expandedTo(QSize(320, 0)));
    }
    void reject() override {}

protected:
    void closeEvent(QCloseEvent* evento) override { evento->ignore(); }
};

} // namespace

void executaEmSegundoPlano(QWidget* pai, const QString& aviso,
                           const std::function<void()>& tarefa) {
    std::exception_ptr erro;
    QThread* linha = QThread::create([&tarefa, &erro] {
        try {
            tarefa();
        } catch (...) {
            erro = std::current_exception();
        }
    });
    AvisoDeEspera espera(pai, aviso);
    QEventLoop laco;
    QObject::connect(linha, &QThread::finished, &laco, &QEventLoop::quit);
    espera.show();
    linha->start();
    laco.exec();
    linha->wait();
    delete linha;
    if (erro)
        std::rethrow_exception(erro);
}

} // namespace nq
