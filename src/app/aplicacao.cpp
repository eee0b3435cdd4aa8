#include "aplicacao.h"

#include "core/erro.h"
#include "core/mensagens.h"

namespace nq {

AplicacaoNQ404::AplicacaoNQ404(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("NQ 404"));
}

bool AplicacaoNQ404::notify(QObject* destino, QEvent* evento) {
    try {
        return QApplication::notify(destino, evento);
    } catch (const Erro& e) {
        mostraErro(e.texto());
    } catch (const std::exception& e) {
        mostraErro(QString::fromLocal8Bit(e.what()));
    }
    return false;
}

void mostraErro(const QString& texto) {
    mensagens().mostra(texto, QStringLiteral("NQ 404"), Icone::Erro);
}

} // namespace nq
