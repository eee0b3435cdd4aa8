#include "workbook/localiza_libreoffice.h"

#include "core/erro.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <vector>

namespace nq {

namespace {

bool executavel(const QString& caminho) {
    const QFileInfo info(caminho);
    return info.isFile() && info.isExecutable();
}

// The soffice.bin that `caminho` leads to: the file itself, the launcher beside it
// (through links: /usr/bin/soffice leads into the installation), or a directory.
QString programaEm(const QString& caminho) {
    const QFileInfo info(caminho);
    if (!info.exists())
        return {};
    const QFileInfo real(info.canonicalFilePath());
    QStringList candidatos;
    if (real.isDir())
        candidatos << real.filePath() + QStringLiteral("/program/soffice.bin")
                   << real.filePath() + QStringLiteral("/soffice.bin");
    else if (real.fileName() == QLatin1String("soffice.bin"))
        candidatos << real.filePath();
    else
        candidatos << real.absolutePath() + QStringLiteral("/soffice.bin");
    for (const QString& c : candidatos)
        if (executavel(c))
            return c;
    return {};
}

// The numbers in a directory's name: "libreoffice24.2" is {24, 2}.
std::vector<int> versao(const QString& nome) {
    static const QRegularExpression numero(QStringLiteral("[0-9]+"));
    std::vector<int> v;
    for (auto it = numero.globalMatch(nome); it.hasNext();)
        v.push_back(it.next().captured().toInt());
    return v;
}

// The directories an installation entry stands for, newest version first.
QStringList expande(const QString& instalacao) {
    if (!instalacao.endsWith(QLatin1Char('*')))
        return {instalacao};
    const QFileInfo padrao(instalacao);
    const QDir pai = padrao.absoluteDir();
    QStringList nomes = pai.entryList({padrao.fileName()}, QDir::Dirs | QDir::NoDotAndDotDot);
    std::sort(nomes.begin(), nomes.end(),
              [](const QString& a, const QString& b) { return versao(a) > versao(b); });
    QStringList dirs;
    for (const QString& n : nomes)
        dirs << pai.filePath(n);
    return dirs;
}

QStringList lancadoresEm(const QString& dir) {
    QStringList nomes = QDir(dir).entryList({QStringLiteral("libreoffice*")},
                                            QDir::Files | QDir::System | QDir::NoDotAndDotDot);
    nomes.removeIf([](const QString& n) {
        return n != QLatin1String("libreoffice") && !n.mid(11).front().isDigit();
    });
    nomes.prepend(QStringLiteral("soffice"));
    return nomes;
}

} // namespace

LugaresDoLibreOffice LugaresDoLibreOffice::doSistema() {
    LugaresDoLibreOffice l;
    l.path = qEnvironmentVariable("PATH").split(QLatin1Char(':'), Qt::SkipEmptyParts);
    l.instalacoes = {QStringLiteral("/usr/lib/libreoffice"),
                     QStringLiteral("/usr/lib64/libreoffice"), QStringLiteral("/opt/libreoffice*")};
    return l;
}

QString localizaLibreOffice(const QString& indicado, const LugaresDoLibreOffice& onde) {
    if (!indicado.trimmed().isEmpty()) {
        const QString programa = programaEm(indicado.trimmed());
        if (programa.isEmpty())
            throw Erro(QStringLiteral("O LibreOffice indicado na configuração (chave %1 da seção "
                                      "[TCE] do corfoco.ini) não foi encontrado: %2.")
                           .arg(QLatin1String(ChaveLibreOffice), indicado));
        return programa;
    }
    for (const QString& dir : onde.path)
        for (const QString& nome : lancadoresEm(dir))
            if (const QString p = programaEm(QDir(dir).filePath(nome)); !p.isEmpty())
                return p;
    for (const QString& instalacao : onde.instalacoes)
        for (const QString& dir : expande(instalacao))
            if (const QString p = programaEm(dir); !p.isEmpty())
                return p;
    throw Erro(QStringLiteral("O LibreOffice não foi encontrado. Procurado: soffice e libreoffice "
                              "no PATH (%1) e as instalações em %2. Instale o LibreOffice Calc "
                              "ou indique o programa na chave %3 da seção [TCE] do corfoco.ini.")
                   .arg(onde.path.join(QLatin1Char(':')),
                        onde.instalacoes.join(QStringLiteral(", ")),
                        QLatin1String(ChaveLibreOffice)));
}

bool libreOfficeInstalado(const QString& indicado) {
    try {
        localizaLibreOffice(indicado);
        return true;
    } catch (const Erro&) {
        return false;
    }
}

} // namespace nq
