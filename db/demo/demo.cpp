#include "demo/demo.h"

#include "core/erro.h"
#include "demo/gravador.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace nq::demo {

namespace {

QString caminhoDoBanco(const QString& raiz, int ano) {
    return QStringLiteral("%1ARQ%2/VEXO%2.FDB").arg(raiz).arg(ano);
}

// Writes the database beside its final name and renames it when complete.
void gravaBanco(const Exercicio& exercicio, const QString& caminho, bool substituir) {
    const QFileInfo info(caminho);
    if (!QDir().mkpath(info.absolutePath()))
        throw Erro(QStringLiteral("Não é possível criar o diretório: %1").arg(info.absolutePath()));
    if (info.exists() && !substituir)
        throw Erro(QStringLiteral("O banco de dados %1 já existe. Use --substituir para recriá-lo.")
                       .arg(caminho));
    const QString temporario = caminho + QStringLiteral(".gerando");
    QFile::remove(temporario);
    try {
        gravaExercicio(exercicio, temporario);
    } catch (...) {
        QFile::remove(temporario);
        throw;
    }
    if (info.exists() && !QFile::remove(caminho))
        throw Erro(QStringLiteral("Não foi possível substituir o banco de dados %1.").arg(caminho));
    if (!QFile::rename(temporario, caminho))
        throw Erro(QStringLiteral("Não foi possível gravar o banco de dados %1.").arg(caminho));
}

void gravaIni(const QString& arquivo, int ano, const QString& raiz) {
    QSaveFile f(arquivo);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Text))
        throw Erro(QStringLiteral("Não foi possível gravar o arquivo %1.").arg(arquivo));
    const QString texto = QStringLiteral("[VEXO]\nAno=%1\nCaminho_Base_Dados=%2\nDLL=\nServidor=\n")
                              .arg(ano)
                              .arg(raiz);
    f.write(texto.toUtf8());
    if (!f.commit())
        throw Erro(QStringLiteral("Não foi possível gravar o arquivo %1.").arg(arquivo));
}

// The module's instructions, where the main window's help button looks for them
// (the shared-tables directory), so that a first start finds them.
void instalaAjuda(const QString& raiz) {
    const QString destino = raiz + QStringLiteral("TABDEF/MTCE.html");
    QFile origem(QStringLiteral(":/ajuda/MTCE.html"));
    QSaveFile f(destino);
    if (!QDir().mkpath(QFileInfo(destino).absolutePath()) || !origem.open(QIODevice::ReadOnly) ||
        !f.open(QIODevice::WriteOnly) || f.write(origem.readAll()) < 0 || !f.commit())
        throw Erro(QStringLiteral("Não foi possível gravar o arquivo %1.").arg(destino));
}

} // namespace

Demonstracao criaDemo(const OpcoesDemo& opcoes) {
    if (opcoes.destino.isEmpty())
        throw Erro(QStringLiteral("Informe o diretório de destino da demonstração."));
    if (opcoes.ano < 2003 || opcoes.ano > 2099)
        throw Erro(QStringLiteral("Exercício inválido: %1 (de 2003 a 2099).").arg(opcoes.ano));
    Demonstracao d;
    d.raiz = QDir(QDir(opcoes.destino).absoluteFilePath(QStringLiteral("VEXO_8"))).absolutePath() +
             QLatin1Char('/');
    d.bancoAtual = caminhoDoBanco(d.raiz, opcoes.ano);
    d.bancoAnterior = caminhoDoBanco(d.raiz, opcoes.ano - 1);
    d.ini = opcoes.ini.isEmpty() ? QDir(opcoes.destino).absoluteFilePath(QStringLiteral("Vexo.ini"))
                                 : QFileInfo(opcoes.ini).absoluteFilePath();
    // Refuse before spending minutes on generation.
    for (const QString& banco : {d.bancoAnterior, d.bancoAtual})
        if (QFileInfo::exists(banco) && !opcoes.substituir)
            throw Erro(
                QStringLiteral("O banco de dados %1 já existe. Use --substituir para recriá-lo.")
                    .arg(banco));
    d.exercicios = geraPar(opcoes.ano, opcoes.semente, opcoes.tamanho);
    gravaBanco(d.exercicios.anterior, d.bancoAnterior, opcoes.substituir);
    gravaBanco(d.exercicios.atual, d.bancoAtual, opcoes.substituir);
    if (!QDir().mkpath(QFileInfo(d.ini).absolutePath()))
        throw Erro(QStringLiteral("Não é possível criar o diretório: %1")
                       .arg(QFileInfo(d.ini).absolutePath()));
    gravaIni(d.ini, opcoes.ano, d.raiz);
    instalaAjuda(d.raiz);
    return d;
}

Demonstracao criaBancoDeTeste(const QString& diretorio, int ano, uint64_t semente) {
    OpcoesDemo opcoes;
    opcoes.destino = diretorio;
    opcoes.ano = ano;
    opcoes.semente = semente;
    opcoes.tamanho = Tamanho::Teste;
    return criaDemo(opcoes);
}

} // namespace nq::demo
