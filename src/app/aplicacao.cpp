#include "aplicacao.h"

#include "core/erro.h"
#include "core/mensagens.h"

#include <QLibraryInfo>
#include <QTranslator>

namespace nq {

AplicacaoNQ404::AplicacaoNQ404(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("NQ 404"));
    instalaTraducoesDoQt(*this);
}

bool instalaTraducoesDoQt(QCoreApplication& app) {
    // One for the whole run, whatever the user's language: the program speaks Portuguese.
    static QTranslator* traducao = nullptr;
    if (traducao)
        return true;
    auto* nova = new QTranslator(&app);
    const QString pasta = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!nova->load(QStringLiteral("qtbase_pt_BR"), pasta)) {
        delete nova;
        qWarning("NQ 404: as traduções do Qt para o português (qtbase_pt_BR.qm) não estão em %s; "
                 "os diálogos do Qt aparecerão em inglês.",
                 qPrintable(pasta));
        return false;
    }
    app.installTranslator(nova);
    traducao = nova;
    return true;
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
