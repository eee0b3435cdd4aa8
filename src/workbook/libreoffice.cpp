#include "workbook/libreoffice.h"

#include "core/erro.h"
#include "workbook/processo_libreoffice.h"
#include "workbook/uno.h"

#include <QDir>
#include <QFileInfo>
#include <chrono>
#include <com/sun/star/bridge/UnoUrlResolver.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <cppuhelper/bootstrap.hxx>
#include <cstdlib>
#include <thread>

namespace nq {

using namespace css;
using namespace std::chrono_literals;

namespace {

// UNO's runtime is set up once per program and kept: it does not survive being
// torn down and set up again.
uno::Reference<uno::XComponentContext> contextoLocal(const QString& programa) {
    static uno::Reference<uno::XComponentContext>* contexto = nullptr;
    if (!contexto) {
        const QString rc = QFileInfo(programa).absolutePath() + "/fundamentalrc";
        setenv("URE_BOOTSTRAP", ("vnd.sun.star.pathname:" + rc).toLocal8Bit().constData(), 0);
        contexto = new uno::Reference<uno::XComponentContext>(
            lo::chama("Não foi possível carregar o ambiente UNO do LibreOffice",
                      [] { return cppu::defaultBootstrap_InitialComponentContext(); }));
    }
    return *contexto;
}

uno::Reference<frame::XDesktop2> conecta(ProcessoLibreOffice& processo,
                                         const OpcoesLibreOffice& opcoes) {
    const QString contexto = "Não foi possível conectar ao LibreOffice";
    const auto resolvedor = lo::chama(
        contexto, [&] { return bridge::UnoUrlResolver::create(contextoLocal(opcoes.programa)); });
    const auto limite = std::chrono::steady_clock::now() + opcoes.segundosParaConectar * 1s;
    for (;;) {
        const auto desktop = lo::chama(contexto, [&]() -> uno::Reference<frame::XDesktop2> {
            try {
                uno::Reference<uno::XComponentContext> remoto(
                    resolvedor->resolve(lo::ou(processo.enderecoUno())), uno::UNO_QUERY_THROW);
                return frame::Desktop::create(remoto);
            } catch (const connection::NoConnectException&) {
                return {}; // not listening yet
            }
        });
        if (desktop.is())
            return desktop;
        if (processo.terminou() && !processo.reiniciaSePedido())
            throw Erro("O LibreOffice terminou antes de aceitar a conexão.");
        if (std::chrono::steady_clock::now() > limite)
            throw Erro(QString("O LibreOffice não respondeu em %1 segundos.")
                           .arg(opcoes.segundosParaConectar));
        std::this_thread::sleep_for(100ms);
    }
}

} // namespace

struct LibreOffice::Conexao {
    Conexao(const OpcoesLibreOffice& opcoes)
        : processo(opcoes.programa, opcoes.modo == ModoPlanilha::Oculto),
          desktop(conecta(processo, opcoes)) {}

    // An office that died may take a moment to be seen gone; its bridge knows at once.
    bool viva() const {
        if (processo.terminou())
            return false;
        try {
            desktop->getCurrentFrame();
            return true;
        } catch (const uno::Exception&) {
            return false;
        }
    }

    ProcessoLibreOffice processo;
    uno::Reference<frame::XDesktop2> desktop;
};

LibreOffice::LibreOffice(OpcoesLibreOffice opcoes) : opcoes_(std::move(opcoes)) {}

LibreOffice::~LibreOffice() {
    encerra();
}

std::unique_ptr<Planilha> LibreOffice::novaPlanilha() {
    if (conexao_ && !conexao_->viva())
        encerra();
    if (!conexao_)
        conexao_ = std::make_unique<Conexao>(opcoes_);
    return lo::criaPlanilha(conexao_->desktop, opcoes_);
}

pid_t LibreOffice::processo() const {
    return conexao_ ? conexao_->processo.pid() : 0;
}

void LibreOffice::encerra() {
    if (!conexao_)
        return;
    try {
        conexao_->desktop->terminate();
    } catch (const uno::Exception&) {
        // The bridge goes down as the office quits; the process is reaped below anyway.
    }
    conexao_->desktop.clear();
    conexao_->processo.encerra(10s);
    conexao_.reset();
}

bool LibreOffice::podeMostrarJanelas(const QString& programa) {
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return false;
    const QDir dir = QFileInfo(programa).absoluteDir();
    return !dir.entryList({QStringLiteral("libvclplug_*.so")}, QDir::Files).isEmpty();
}

} // namespace nq
