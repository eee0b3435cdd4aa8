#include "workbook/canal_uno.h"

#include <QFileInfo>
#include <atomic>
#include <com/sun/star/bridge/BridgeFactory.hpp>
#include <com/sun/star/connection/Connector.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>
#include <condition_variable>
#include <cppuhelper/bootstrap.hxx>
#include <cstdlib>
#include <thread>

namespace nq::lo {

using namespace css;

namespace {

// UNO's runtime in this process is the one the program is linked with, whatever
// office it talks to. It is set up once and kept: it does not survive being torn
// down and set up again.
uno::Reference<uno::XComponentContext> contextoLocal() {
    static uno::Reference<uno::XComponentContext>* contexto = nullptr;
    if (!contexto) {
        const QString rc = QStringLiteral(NQ404_LO_PROGRAMA "/fundamentalrc");
        setenv("URE_BOOTSTRAP", ("vnd.sun.star.pathname:" + rc).toLocal8Bit().constData(), 0);
        try {
            contexto = new uno::Reference<uno::XComponentContext>(
                cppu::defaultBootstrap_InitialComponentContext());
        } catch (const uno::Exception& e) {
            throw Erro("Não foi possível carregar o ambiente UNO do LibreOffice (" + rc +
                       "): " + qt(e.Message));
        }
    }
    return *contexto;
}

} // namespace

// A thread that waits for the deadline of the call in progress and, should it
// pass, runs the canal's reaction while the call is still blocked.
class CanalUno::Vigia {
public:
    explicit Vigia(std::function<void()> reacao)
        : reacao_(std::move(reacao)), linha_([this] { vigia(); }) {}
    ~Vigia() {
        {
            std::lock_guard g(m_);
            fim_ = true;
        }
        cv_.notify_all();
        linha_.join();
    }

    void arma(std::chrono::seconds prazo) {
        std::lock_guard g(m_);
        limite_ = std::chrono::steady_clock::now() + prazo;
        armado_ = true;
        cv_.notify_all();
    }
    void desarma() {
        std::lock_guard g(m_);
        armado_ = false;
        cv_.notify_all();
    }
    bool esgotou() const { return esgotou_; }

private:
    void vigia() {
        std::unique_lock l(m_);
        while (!fim_) {
            if (!armado_) {
                cv_.wait(l);
                continue;
            }
            cv_.wait_until(l, limite_);
            if (armado_ && !fim_ && std::chrono::steady_clock::now() >= limite_) {
                armado_ = false;
                esgotou_ = true;
                l.unlock();
                reacao_();
                l.lock();
            }
        }
    }

    std::function<void()> reacao_;
    std::mutex m_;
    std::condition_variable cv_;
    std::chrono::steady_clock::time_point limite_;
    bool armado_ = false;
    bool fim_ = false;
    std::atomic<bool> esgotou_ = false;
    std::thread linha_; // last: it starts with the members above in place
};

CanalUno::CanalUno(std::chrono::seconds prazo, std::function<void()> aoEsgotar, QString desfecho)
    : prazo_(prazo), aoEsgotar_(std::move(aoEsgotar)), desfecho_(std::move(desfecho)),
      vigia_(std::make_unique<Vigia>([this] { esgotou(); })) {}

CanalUno::~CanalUno() {
    desliga();
    vigia_.reset();
}

bool CanalUno::conecta(const QString& pipe) {
    const QString contexto = QStringLiteral("Não foi possível conectar ao LibreOffice");
    const auto local = contextoLocal();
    uno::Reference<connection::XConnection> conexao;
    try {
        conexao = connection::Connector::create(local)->connect(ou("pipe,name=" + pipe));
    } catch (const connection::NoConnectException&) {
        return false; // not listening yet
    } catch (const uno::Exception& e) {
        throw erroDe(contexto, e, false, 0);
    }
    try {
        const auto ponte = bridge::BridgeFactory::create(local)->createBridge(
            rtl::OUString(), "urp", conexao, nullptr);
        std::lock_guard g(trava_);
        ponte_ = ponte;
    } catch (const uno::Exception& e) {
        throw erroDe(contexto, e, false, 0);
    }
    const auto remoto = chama(contexto, [&] {
        return uno::Reference<uno::XComponentContext>(
            ponte_->getInstance("StarOffice.ComponentContext"), uno::UNO_QUERY);
    });
    if (!remoto.is()) {
        corta(); // listening, but not serving yet
        return false;
    }
    desktop_ = chama(contexto, [&] { return frame::Desktop::create(remoto); });
    return true;
}

bool CanalUno::ativo() const {
    std::lock_guard g(trava_);
    return ponte_.is() && !vigia_->esgotou();
}

void CanalUno::desliga() {
    desktop_.clear();
    corta();
}

void CanalUno::corta() {
    uno::Reference<bridge::XBridge> ponte;
    {
        std::lock_guard g(trava_);
        ponte = ponte_;
        ponte_.clear();
    }
    uno::Reference<lang::XComponent> componente(ponte, uno::UNO_QUERY);
    if (!componente.is())
        return;
    try {
        componente->dispose();
    } catch (const uno::Exception&) {
        // Gone already: nothing left to cut.
    }
}

void CanalUno::esgotou() {
    if (aoEsgotar_)
        aoEsgotar_();
    corta();
}

CanalUno::Prazo::Prazo(CanalUno& canal, std::chrono::seconds prazo, const QString& contexto)
    : canal_(canal), prazo_(prazo), contexto_(contexto), externo_(canal.profundidade_ == 0) {
    if (canal_.vigia_->esgotou())
        throw canal_.erroDeTempo(contexto, segundos());
    if (!canal_.ativo())
        throw Erro(contexto + QStringLiteral(": a conexão com o LibreOffice foi encerrada."));
    if (externo_)
        canal_.vigia_->arma(prazo);
    ++canal_.profundidade_;
}

CanalUno::Prazo::~Prazo() {
    --canal_.profundidade_;
    if (externo_)
        canal_.vigia_->desarma();
}

void CanalUno::Prazo::confere() const {
    if (canal_.vigia_->esgotou())
        throw canal_.erroDeTempo(contexto_, segundos());
}

Erro CanalUno::erroDeTempo(const QString& contexto, int segundos) const {
    return Erro(QStringLiteral("%1: o LibreOffice não respondeu em %2 segundos %3.")
                    .arg(contexto)
                    .arg(segundos)
                    .arg(desfecho_));
}

Erro CanalUno::erroDe(const QString& contexto, const uno::Exception& e, bool encerrado,
                      int segundos) const {
    if (vigia_->esgotou())
        return erroDeTempo(contexto, segundos);
    if (encerrado)
        return Erro(contexto + QStringLiteral(": o LibreOffice foi encerrado inesperadamente."));
    const QString mensagem = qt(e.Message).trimmed();
    return Erro(mensagem.isEmpty() ? contexto + "." : contexto + ": " + mensagem);
}

} // namespace nq::lo
