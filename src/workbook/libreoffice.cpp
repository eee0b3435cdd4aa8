#include "workbook/libreoffice.h"

#include "core/erro.h"
#include "workbook/localiza_libreoffice.h"
#include "workbook/processo_libreoffice.h"
#include "workbook/uno.h"

#include <QDir>
#include <QFileInfo>
#include <chrono>
#include <com/sun/star/awt/XWindow2.hpp>
#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <thread>

namespace nq {

using namespace css;
using namespace std::chrono_literals;

namespace {

// The office's own end; short, as it runs when the program quits.
constexpr std::chrono::seconds PrazoParaEncerrar = 10s;

} // namespace

struct LibreOffice::Conexao {
    explicit Conexao(const OpcoesLibreOffice& opcoes)
        : processo(localizaLibreOffice(opcoes.programa), opcoes.modo == ModoPlanilha::Oculto),
          canal(std::make_shared<lo::CanalUno>(
              std::chrono::seconds(opcoes.segundosPorChamada),
              [p = &processo] {
                  if (p->oculto())
                      p->mata();
              },
              processo.oculto() ? QStringLiteral("e foi encerrado")
                                : QStringLiteral("e foi deixado aberto como está"))) {
        conecta(opcoes.segundosParaConectar);
    }

    void conecta(int segundos) {
        const auto limite = std::chrono::steady_clock::now() + std::chrono::seconds(segundos);
        while (!canal->conecta(processo.pipe())) {
            if (processo.terminou() && !processo.reiniciaSePedido())
                throw Erro("O LibreOffice terminou antes de aceitar a conexão.");
            if (std::chrono::steady_clock::now() > limite)
                throw Erro(QString("O LibreOffice não respondeu em %1 segundos.").arg(segundos));
            std::this_thread::sleep_for(100ms);
        }
    }

    // An office that died may take a moment to be seen gone; its bridge knows at once.
    bool viva() const {
        if (processo.terminou() || !canal->ativo())
            return false;
        try {
            canal->chama(QStringLiteral("O LibreOffice não responde"),
                         [&] { canal->desktop()->getCurrentFrame(); });
            return true;
        } catch (const Erro&) {
            return false;
        }
    }

    // Whether a workbook is shown to the user. Documents nobody can see are the
    // program's own and are closed on the way.
    bool mostraDocumento() {
        return canal->chama(PrazoParaEncerrar, QStringLiteral("O LibreOffice não responde"), [&] {
            const auto documentos = canal->desktop()->getComponents()->createEnumeration();
            bool mostra = false;
            while (documentos->hasMoreElements()) {
                uno::Reference<frame::XModel> modelo(documentos->nextElement(), uno::UNO_QUERY);
                const auto controle = modelo.is() ? modelo->getCurrentController() : nullptr;
                if (!controle.is())
                    continue;
                uno::Reference<awt::XWindow2> janela(controle->getFrame()->getContainerWindow(),
                                                     uno::UNO_QUERY);
                if (janela.is() && janela->isVisible()) {
                    mostra = true;
                    continue;
                }
                uno::Reference<util::XCloseable> fechavel(modelo, uno::UNO_QUERY);
                if (fechavel.is())
                    fechavel->close(true);
            }
            return mostra;
        });
    }

    // Asks the office to quit; false when it refuses.
    bool termina() {
        return canal->chama(PrazoParaEncerrar, QStringLiteral("O LibreOffice não encerrou"),
                            [&] { return static_cast<bool>(canal->desktop()->terminate()); });
    }

    void encerra() {
        if (processo.oculto()) {
            try {
                if (canal->ativo())
                    termina();
            } catch (const Erro&) {
                // Killed below either way.
            }
            canal->desliga();
            processo.encerra(PrazoParaEncerrar);
            return;
        }
        bool deixa = true;
        try {
            deixa = !processo.terminou() && (!canal->ativo() || mostraDocumento() || !termina());
        } catch (const Erro&) {
            // An office that does not answer may still hold the user's workbook.
        }
        canal->desliga();
        if (deixa && !processo.terminou())
            processo.deixa();
        else
            processo.encerra(PrazoParaEncerrar);
    }

    ProcessoLibreOffice processo;
    std::shared_ptr<lo::CanalUno> canal;
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
    return lo::criaPlanilha(conexao_->canal, opcoes_);
}

pid_t LibreOffice::processo() const {
    return conexao_ ? conexao_->processo.pid() : 0;
}

void LibreOffice::encerra() {
    if (!conexao_)
        return;
    conexao_->encerra();
    conexao_.reset();
}

bool LibreOffice::podeMostrarJanelas(const QString& programa) {
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return false;
    QString encontrado;
    try {
        encontrado = localizaLibreOffice(programa);
    } catch (const Erro&) {
        return false;
    }
    const QDir dir = QFileInfo(encontrado).absoluteDir();
    return !dir.entryList({QStringLiteral("libvclplug_*.so")}, QDir::Files).isEmpty();
}

} // namespace nq
