// Every save of the program, interrupted at each call that puts data on disk:
// killed there (SIGKILL) or failed there (ENOSPC, EIO), or given a short
// write. Afterwards every file is the old one or the new one, whole; a
// failure is reported, never taken for success; the next run reads the
// same figures as after the old or the new file.
#include "core/gravacao_atomica.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <iostream>
#include <map>
#include <optional>
#include <set>
#include <utility>

namespace {

using Retrato = std::map<QString, QByteArray>; // file name -> bytes

Retrato retrata(const QString& pasta) {
    Retrato r;
    const QDir dir(pasta);
    for (const QString& nome : dir.entryList(QDir::Files | QDir::Hidden, QDir::Name)) {
        QFile f(dir.filePath(nome));
        EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << nome.toStdString();
        r[nome] = f.readAll();
    }
    return r;
}

void restaura(const QString& pasta, const Retrato& r) {
    QDir(pasta).removeRecursively();
    QDir().mkpath(pasta);
    for (const auto& [nome, bytes] : r) {
        QFile f(QDir(pasta).filePath(nome));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
}

bool temporario(const QString& nome) {
    return nome.startsWith(QLatin1Char('.')) && nome.contains(QLatin1String(".nq404-"));
}

Retrato semTemporarios(const Retrato& r) {
    Retrato sem;
    for (const auto& [nome, bytes] : r)
        if (!temporario(nome))
            sem[nome] = bytes;
    return sem;
}

struct Execucao {
    bool morta = false; // ended by a signal
    int codigo = -1;
    QString saida;
    QString erros;
};

// Runs the child process for one stage of a kind, with the shim's settings.
Execucao executa(const QString& tipo, const QString& pasta, const QString& etapa,
                 const std::map<QString, QString>& ambiente = {}) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const auto& [nome, valor] : ambiente)
        env.insert(nome, valor);
    if (!ambiente.empty()) {
        env.insert("LD_PRELOAD", NQ404_DESVIO);
        // A sanitized child would otherwise refuse a library loaded before its runtime.
        env.insert("ASAN_OPTIONS", env.value("ASAN_OPTIONS") + ":verify_asan_link_order=0");
    }
    p.setProcessEnvironment(env);
    p.start(NQ404_FILHA, {tipo, pasta, etapa});
    Execucao e;
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished();
        ADD_FAILURE() << tipo.toStdString() << " " << etapa.toStdString()
                      << ": o processo não terminou em 60 s";
        return e;
    }
    e.morta = p.exitStatus() == QProcess::CrashExit;
    e.codigo = p.exitCode();
    e.saida = QString::fromUtf8(p.readAllStandardOutput());
    e.erros = QString::fromUtf8(p.readAllStandardError());
    return e;
}

template <typename Mapa>
std::optional<typename Mapa::mapped_type> em(const Mapa& m, const QString& nome) {
    const auto i = m.find(nome);
    return i == m.end() ? std::nullopt : std::optional(i->second);
}

// "name: figures" lines of the child's reading, by file name.
using Figuras = std::map<QString, QString>;
Figuras figuras(const QString& saida) {
    Figuras f;
    for (const QString& linha : saida.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const qsizetype i = linha.indexOf(QLatin1String(": "));
        f[linha.left(i)] = linha.mid(i + 2);
    }
    return f;
}

class Gravacoes : public testing::TestWithParam<const char*> {
protected:
    // Each file as before or as after the save; other files only the
    // temporary ones a killed save may leave.
    void confere(const Retrato& agora, bool sobrasPermitidas, const std::string& caso) {
        std::set<QString> nomes;
        for (const Retrato* r : {&std::as_const(antes_), &std::as_const(depois_), &agora})
            for (const auto& [nome, _] : *r)
                nomes.insert(nome);
        for (const QString& nome : nomes) {
            const auto a = em(agora, nome);
            if (!em(antes_, nome) && !em(depois_, nome)) {
                EXPECT_TRUE(sobrasPermitidas && temporario(nome))
                    << caso << ": sobrou " << nome.toStdString();
                continue;
            }
            EXPECT_TRUE(a == em(antes_, nome) || a == em(depois_, nome))
                << caso << ": " << nome.toStdString() << " não é nem o antigo nem o novo ("
                << (a ? a->size() : -1) << " bytes)";
        }
    }

    // The next run reads, file by file, the figures of the old or the new file.
    void confereLeitura(const QString& pasta, const std::string& caso) {
        const Execucao e = executa(tipo_, pasta, "le");
        EXPECT_EQ(e.codigo, 0) << caso << ": " << e.erros.toStdString();
        const Figuras agora = figuras(e.saida);
        std::set<QString> nomes;
        for (const Figuras* f :
             {&std::as_const(figurasAntes_), &std::as_const(figurasDepois_), &agora})
            for (const auto& [nome, _] : *f)
                nomes.insert(nome);
        for (const QString& nome : nomes) {
            const auto a = em(agora, nome);
            EXPECT_TRUE(a == em(figurasAntes_, nome) || a == em(figurasDepois_, nome))
                << caso << ": " << nome.toStdString() << " lido como "
                << a.value_or("(ausente)").toStdString();
        }
    }

    QString tipo_ = QString::fromLatin1(GetParam());
    QTemporaryDir raiz_;
    Retrato antes_, depois_;
    Figuras figurasAntes_, figurasDepois_;
};

TEST_P(Gravacoes, CadaPontoDeFalhaDeixaOArquivoAntigoOuONovo) {
    const QString pasta = raiz_.filePath("dados");
    QDir().mkpath(pasta);
    const Execucao preparo = executa(tipo_, pasta, "prepara");
    ASSERT_EQ(preparo.codigo, 0) << preparo.erros.toStdString();
    antes_ = retrata(pasta);
    figurasAntes_ = figuras(executa(tipo_, pasta, "le").saida);

    const QString contagem = raiz_.filePath("contagem");
    const Execucao limpa = executa(tipo_, pasta, "grava", {{"NQ404_FALHA_CONTA", contagem}});
    ASSERT_EQ(limpa.codigo, 0) << limpa.erros.toStdString();
    depois_ = retrata(pasta);
    figurasDepois_ = figuras(executa(tipo_, pasta, "le").saida);
    ASSERT_NE(antes_, depois_);
    ASSERT_NE(figurasAntes_, figurasDepois_);
    QFile c(contagem);
    ASSERT_TRUE(c.open(QIODevice::ReadOnly));
    const int pontos = c.readAll().trimmed().toInt();
    ASSERT_GT(pontos, 0);

    int casos = 0;
    for (int k = 1; k <= pontos; ++k) {
        for (const QString modo : {"kill", "ENOSPC", "EIO", "curta"}) {
            const std::string caso =
                tipo_.toStdString() + ", chamada " + std::to_string(k) + ", " + modo.toStdString();
            ASSERT_NO_FATAL_FAILURE(restaura(pasta, antes_));
            const Execucao e =
                executa(tipo_, pasta, "grava",
                        {{"NQ404_FALHA_NA", QString::number(k)}, {"NQ404_FALHA_MODO", modo}});
            ++casos;
            const Retrato agora = retrata(pasta);
            if (modo == QLatin1String("kill")) {
                EXPECT_TRUE(e.morta) << caso << ": não chegou à chamada";
                confere(agora, true, caso);
                confereLeitura(pasta, caso);
                // A later save over what the killed one left succeeds.
                if (e.morta && semTemporarios(agora) == antes_) {
                    EXPECT_EQ(executa(tipo_, pasta, "grava").codigo, 0) << caso;
                    EXPECT_EQ(semTemporarios(retrata(pasta)), depois_)
                        << caso << ": a nova gravação";
                }
            } else if (modo == QLatin1String("curta")) {
                EXPECT_EQ(e.codigo, 0) << caso << ": " << e.erros.toStdString();
                EXPECT_EQ(agora, depois_) << caso;
            } else {
                ASSERT_FALSE(e.morta) << caso;
                const int erro = modo == QLatin1String("EIO") ? EIO : ENOSPC;
                if (e.codigo == 0 || e.erros.contains(QStringLiteral("foi gravado, mas"))) {
                    // Only the sync of the folder failed: the new file is in place.
                    EXPECT_EQ(agora, depois_) << caso << ": a falha foi dada como sucesso";
                } else {
                    EXPECT_EQ(e.codigo, 2) << caso << ": " << e.erros.toStdString();
                    EXPECT_TRUE(e.erros.contains(QStringLiteral("Não foi possível gravar")) &&
                                e.erros.contains(nq::causaDoErro(erro)))
                        << caso << ": " << e.erros.toStdString();
                    confere(agora, false, caso);
                    confereLeitura(pasta, caso);
                }
            }
        }
    }
    std::cout << "[falhas] " << tipo_.toStdString() << ": " << pontos
              << " pontos de falha (write/fsync/rename) x 4 modos = " << casos << " casos\n";
    RecordProperty("pontos", pontos);
}

INSTANTIATE_TEST_SUITE_P(Todas, Gravacoes,
                         testing::Values("digitados", "preparacao", "copia_de_trabalho", "rcl",
                                         "divida", "gestao_fiscal", "justificativa", "corfoco_ini",
                                         "saida_do_lote"),
                         [](const auto& info) { return std::string(info.param); });

} // namespace
