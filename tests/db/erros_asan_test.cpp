// The Firebird layer's ways out of a failed attachment, with the layer built
// under AddressSanitizer: memory errors stop the run and the leak check runs at
// its end. The client library allocates from pools of its own, out of the
// sanitizer's sight, so what those keep is watched through resident memory.

#include "core/erro.h"
#include "db/firebird.h"

#include <QFile>
#include <QTemporaryDir>
#include <dlfcn.h>
#include <gtest/gtest.h>

using namespace nq;
using namespace nq::fb;

namespace {

long residenteKb() {
    QFile f(QStringLiteral("/proc/self/statm"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const auto campos = f.readAll().split(' ');
    return campos.size() > 1 ? campos[1].toLong() * 4 : 0;
}

ParametrosConexao parametros(const QString& biblioteca = {}) {
    ParametrosConexao p;
    p.usuario = QStringLiteral("QTWVEXO8");
    p.senha = QStringLiteral("mavu");
    p.bibliotecaCliente = biblioteca;
    return p;
}

// How much resident memory `vezes` failed attachments leave behind.
long crescimentoKb(const QString& caminho, const ParametrosConexao& p, int vezes) {
    const auto tenta = [&] {
        try {
            Banco::conecta(caminho, p);
            ADD_FAILURE() << "abriu " << caminho.toStdString();
        } catch (const Erro&) {
        }
    };
    for (int i = 0; i < vezes / 10; ++i) // the client's and the sanitizer's first needs
        tenta();
    const long antes = residenteKb();
    for (int i = 0; i < vezes; ++i)
        tenta();
    return residenteKb() - antes;
}

TEST(FalhasDoClienteFirebird, BibliotecaQueNaoCarregaNaoDeixaOBlocoDeParametros) {
    // 40 000 parameter blocks left behind hold over 20 MB.
    EXPECT_LT(crescimentoKb(QStringLiteral("/tmp/NQ404.FDB"),
                            parametros(QStringLiteral("/nao/existe/libfbclient.so")), 40000),
              8192);
}

TEST(FalhasDoClienteFirebird, BibliotecaQueNaoEhOClienteEhDescarregada) {
    const QString biblioteca = QStringLiteral(NQ404_SEM_FIREBIRD);
    ASSERT_EQ(dlopen(QFile::encodeName(biblioteca).constData(), RTLD_NOW | RTLD_NOLOAD), nullptr);
    try {
        Banco::conecta(QStringLiteral("/tmp/NQ404.FDB"), parametros(biblioteca));
        ADD_FAILURE() << "conectou com uma biblioteca que não é o cliente";
    } catch (const Erro& e) {
        EXPECT_TRUE(e.texto().contains(QStringLiteral("não é um cliente Firebird 3"))) << e.what();
    }
    EXPECT_EQ(dlopen(QFile::encodeName(biblioteca).constData(), RTLD_NOW | RTLD_NOLOAD), nullptr)
        << "a biblioteca recusada continua carregada";
}

TEST(FalhasDoClienteFirebird, ArquivosQueNaoAbremNaoDeixamNada) {
    QTemporaryDir dir;
    const QString lixo = dir.filePath(QStringLiteral("LIXO.FDB"));
    QFile f(lixo);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray("isto não é um banco de dados ").repeated(500));
    f.close();
    // Slow ways out (each touches the file): few rounds, for the sanitizer to watch.
    EXPECT_LT(crescimentoKb(dir.filePath(QStringLiteral("AUSENTE.FDB")), parametros(), 50), 8192);
    EXPECT_LT(crescimentoKb(lixo, parametros(), 50), 8192);
}

} // namespace
