#include "db/firebird_interno.h"

#include "core/erro.h"

#include <QDir>
#include <QFile>
#include <dlfcn.h>
#include <map>
#include <mutex>
#include <unistd.h>

using namespace Firebird;

namespace nq::fb::interno {

IMaster* mestre() {
    static IMaster* m = fb_get_master_interface();
    return m;
}

IUtil* util() {
    return mestre()->getUtilInterface();
}

namespace {

// The embedded engine keeps its lock files in a directory shared by default
// with root's processes; another user gets a private one unless FIREBIRD_LOCK
// already names one. Must happen before the engine starts.
void preparaDiretorioDeTravas() {
    if (geteuid() == 0 || qEnvironmentVariableIsSet("FIREBIRD_LOCK"))
        return;
    const QString dir = QDir::tempPath() + QStringLiteral("/nq404-firebird-%1").arg(geteuid());
    QDir().mkpath(dir);
    qputenv("FIREBIRD_LOCK", QFile::encodeName(dir));
}

} // namespace

IProvider* provedor(const QString& biblioteca) {
    static IProvider* padrao = (preparaDiretorioDeTravas(), mestre()->getDispatcher());
    if (biblioteca.isEmpty())
        return padrao;
    static std::mutex trava;
    static std::map<QString, IProvider*> carregados;
    std::lock_guard<std::mutex> guarda(trava);
    if (const auto it = carregados.find(biblioteca); it != carregados.end())
        return it->second;
    void* h = dlopen(QFile::encodeName(biblioteca).constData(), RTLD_NOW | RTLD_LOCAL);
    if (!h)
        throw Erro(QStringLiteral("Não foi possível carregar a biblioteca cliente do banco de "
                                  "dados %1: %2")
                       .arg(biblioteca, QString::fromLocal8Bit(dlerror())));
    using Funcao = IMaster* (*)();
    auto f = reinterpret_cast<Funcao>(dlsym(h, "fb_get_master_interface"));
    if (!f) {
        dlclose(h);
        throw Erro(QStringLiteral("A biblioteca %1 não é um cliente Firebird 3 "
                                  "(falta fb_get_master_interface).")
                       .arg(biblioteca));
    }
    IProvider* p = f()->getDispatcher();
    carregados.emplace(biblioteca, p);
    return p;
}

QString textoDoStatus(const FbException& e) {
    char buf[4096];
    util()->formatStatus(buf, sizeof buf, e.getStatus());
    return QString::fromLocal8Bit(buf).trimmed();
}

namespace {
QString resumoSql(const QString& sql) {
    const QString s = sql.simplified();
    return s.size() > 600 ? s.left(600) + QStringLiteral(" ...") : s;
}
} // namespace

[[noreturn]] void falhaNoComando(const FbException& e, const QString& sql) {
    QString t = QStringLiteral("Erro no banco de dados: ") + textoDoStatus(e);
    if (!sql.isEmpty())
        t += QStringLiteral("\nComando: ") + resumoSql(sql);
    throw Erro(t);
}

} // namespace nq::fb::interno
