#include "configuracao.h"

#include "erro.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStringDecoder>
#include <QStringTokenizer>

namespace nq {

namespace {

QString& caminhoRedirecionado() {
    static QString c;
    return c;
}

// Windows-1252 differs from Latin-1 only in 0x80..0x9F.
constexpr char16_t Cp1252Alto[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// The family writes the file in Windows-1252; an edited copy may be UTF-8.
QString decodifica(QByteArray bytes) {
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString texto = utf8.decode(bytes);
    if (!utf8.hasError())
        return texto;
    texto.clear();
    texto.reserve(bytes.size());
    for (char c : std::as_const(bytes)) {
        const auto b = static_cast<unsigned char>(c);
        texto.append(b >= 0x80 && b < 0xA0 ? QChar(Cp1252Alto[b - 0x80]) : QChar(b));
    }
    return texto;
}

// Values may be quoted, as Windows' own reader allows.
QString semAspas(QString v) {
    v = v.trimmed();
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        return v.mid(1, v.size() - 2);
    return v;
}

// Section VEXO keyed by upper-case key; the first occurrence of a key wins.
QHash<QString, QString> secaoVexo() {
    const QString caminho = caminhoVexoIni();
    QFile arquivo(caminho);
    if (!arquivo.exists())
        throw Erro(QStringLiteral("Arquivo de configuração não encontrado: %1").arg(caminho));
    if (!arquivo.open(QIODevice::ReadOnly))
        throw Erro(QStringLiteral("Não foi possível ler o arquivo de configuração: %1 (%2)")
                       .arg(caminho, arquivo.errorString()));
    const QString texto = decodifica(arquivo.readAll());

    QHash<QString, QString> valores;
    bool naSecao = false;
    for (QStringView linha : QStringTokenizer(texto, u'\n')) {
        linha = linha.trimmed();
        if (linha.isEmpty() || linha.front() == ';' || linha.front() == '#')
            continue;
        if (linha.front() == '[') {
            const auto fim = linha.indexOf(u']');
            naSecao = fim > 0 &&
                      linha.mid(1, fim - 1).trimmed().compare(u"VEXO", Qt::CaseInsensitive) == 0;
            continue;
        }
        const auto igual = linha.indexOf(u'=');
        if (!naSecao || igual <= 0)
            continue;
        const QString chave = linha.left(igual).trimmed().toString().toUpper();
        if (!valores.contains(chave))
            valores.insert(chave, semAspas(linha.mid(igual + 1).toString()));
    }
    return valores;
}

QString valor(const QHash<QString, QString>& secao, const QString& chave, const QString& padrao) {
    return secao.value(chave.toUpper(), padrao);
}

int comoAno(const QString& texto) {
    bool ok = false;
    const int ano = texto.trimmed().toInt(&ok);
    if (!ok)
        throw Erro(QStringLiteral("O ano do exercício (chave Ano do Vexo.ini) não é um número "
                                  "inteiro: \"%1\".")
                       .arg(texto));
    return ano;
}

// The keys as CaminhoDiretorio reads them, defaults applied.
struct Vexo {
    QString ano, servidor, servidorTabdef, soServidor, base, dirServidor, baseTabdef;

    explicit Vexo(const QHash<QString, QString>& s)
        : ano(valor(s, "Ano", {})), servidor(valor(s, "Servidor", {})),
          servidorTabdef(valor(s, "ServidorTABDEF", servidor)),
          soServidor(valor(s, "SO_Servidor", "WINDOWS")), base(valor(s, "Caminho_Base_Dados", {})),
          dirServidor(valor(s, "Diretorio_Servidor", {})),
          baseTabdef(valor(s, "Caminho_Base_Dados_TABDEF", {})) {
        if (baseTabdef.isEmpty())
            baseTabdef = raizVexo(base);
        if (servidorTabdef.isEmpty())
            servidorTabdef = servidor;
    }
    bool modoServidor() const { return !servidor.isEmpty(); }
    // Workstation paths follow the configured directory's own style.
    QChar separadorLocal() const {
        const QString& dir = modoServidor() ? dirServidor : base;
        return dir.endsWith('/') ? QChar('/') : QChar('\\');
    }
    // Server-side paths follow the server's system; only exactly "LINUX" means "/".
    QChar separadorServidor() const { return soServidor == "LINUX" ? QChar('/') : QChar('\\'); }
};

// "DA", "DA2", "BA3": the year `ano` minus the number after the two letters (1 when none).
QString anoAnterior(const QString& codigo, const QString& ano) {
    const QString resto = codigo.mid(2);
    int k = 1;
    if (!resto.isEmpty()) {
        bool ok = false;
        k = resto.toInt(&ok);
        if (!ok)
            throw Erro(
                QStringLiteral("Código de diretório inválido: \"%1\" (o ano anterior deve ser "
                               "um número).")
                    .arg(codigo));
    }
    return QString::number(comoAno(ano) - k);
}

QString comSeparador(const QString& caminho, QChar sep) {
    return caminho.endsWith(sep) ? caminho : caminho + sep;
}

// A Windows-style path cannot be created on this system, so it is reported as any
// other directory that cannot be created.
void garanteDiretorio(const QString& caminho, QChar sep) {
    if (sep != '/' || !QDir().mkpath(caminho))
        throw Erro(QStringLiteral("Não é possível criar o diretório: %1").arg(caminho));
}

struct Resolucao {
    QString caminho;
    QString criar; // directory to create first, or empty
};

Resolucao resolveLocal(const Vexo& v, const QString& codigo) {
    const QChar s = v.separadorLocal();
    const QString ano = v.base + "ARQ" + v.ano + s;
    auto sub = [&](const char* nome) {
        const QString c = ano + nome + s;
        return Resolucao{c, c};
    };
    if (codigo == "B" || codigo == "D" || codigo == "BK")
        return {ano, {}};
    if (codigo.startsWith("BA") || codigo.startsWith("DA"))
        return {v.base + "ARQ" + anoAnterior(codigo, v.ano) + s, {}};
    if (codigo == "AP")
        return {v.base, {}};
    if (codigo == "BKAD" || codigo == "BKAB")
        return sub("BCK");
    if (codigo == "TPB" || codigo == "TPD")
        return sub("TEMP");
    if (codigo == "DE")
        return sub("EXPORTA");
    if (codigo == "DI")
        return sub("IMPORTA");
    if (codigo == "RTM") {
        const QString c = v.base + "RTM" + s;
        return {c, c};
    }
    if (codigo == "EXE")
        return {comSeparador(raizVexo(v.base), s), {}};
    return {comSeparador(raizVexo(v.base), s) + "TABDEF" + s, {}};
}

Resolucao resolveServidor(const Vexo& v, const QString& codigo) {
    const QChar s = v.separadorLocal();
    const QChar ss = v.separadorServidor();
    const QString noServidor = v.servidor + ":" + v.base;
    const QString local = v.dirServidor + "ARQ" + v.ano + s;
    const QString remoto = v.base + "ARQ" + v.ano + ss;
    auto sub = [&](const char* nome) {
        const QString c = local + nome + s;
        return Resolucao{c, c};
    };
    auto subRemoto = [&](const char* nome) {
        return Resolucao{remoto + nome + ss, local + nome + s};
    };
    if (codigo == "D")
        return {local, {}};
    if (codigo == "B")
        return {noServidor + "ARQ" + v.ano + ss, {}};
    if (codigo.startsWith("DA"))
        return {v.dirServidor + "ARQ" + anoAnterior(codigo, v.ano) + s, {}};
    if (codigo.startsWith("BA"))
        return {noServidor + "ARQ" + anoAnterior(codigo, v.ano) + ss, {}};
    if (codigo == "TD")
        return {comSeparador(raizVexo(v.dirServidor), s) + "TABDEF" + s, {}};
    if (codigo == "TB") {
        const bool temSep = v.baseTabdef.endsWith('\\') || v.baseTabdef.endsWith('/');
        return {v.servidorTabdef + ":" + v.baseTabdef + (temSep ? QString() : QString(ss)) +
                    "TABDEF" + ss,
                {}};
    }
    if (codigo == "BK")
        return {remoto, {}};
    if (codigo == "BKAD")
        return sub("BCK");
    if (codigo == "BKAB")
        return subRemoto("BCK");
    if (codigo == "AP")
        return {v.dirServidor, {}};
    if (codigo == "TPD")
        return sub("TEMP");
    if (codigo == "TPB")
        return subRemoto("TEMP");
    if (codigo == "DE")
        return sub("EXPORTA");
    if (codigo == "DI")
        return sub("IMPORTA");
    if (codigo == "RTM") {
        const QString c = v.dirServidor + "RTM" + s;
        return {c, c};
    }
    if (codigo == "EXE")
        return {comSeparador(raizVexo(v.dirServidor), s), {}};
    return {};
}

} // namespace

QString caminhoVexoIni() {
    if (!caminhoRedirecionado().isEmpty())
        return caminhoRedirecionado();
    return arquivoNoDiretorio(diretorioDoExecutavel(), QStringLiteral("Vexo.ini"));
}

void defineCaminhoVexoIni(const QString& caminho) {
    caminhoRedirecionado() = caminho;
}

QString leVexoIni(const QString& chave, const QString& padrao) {
    return valor(secaoVexo(), chave, padrao);
}

int anoVexoIni() {
    return comoAno(leVexoIni(QStringLiteral("Ano")));
}

QString CaminhoDiretorio(const QString& codigo) {
    const Vexo v(secaoVexo());
    const QString c = codigo.toUpper();
    const Resolucao r = v.modoServidor() ? resolveServidor(v, c) : resolveLocal(v, c);
    if (!r.criar.isEmpty())
        garanteDiretorio(r.criar, v.separadorLocal());
    return r.caminho;
}

QString raizVexo(const QString& caminho) {
    static const QString marca = QStringLiteral("VEXO_8");
    const auto i = caminho.indexOf(marca, 0, Qt::CaseInsensitive);
    if (i < 0)
        return caminho;
    return caminho.left(i) + marca;
}

QString diretorioDoExecutavel() {
    QString dir;
    if (QCoreApplication::instance())
        dir = QCoreApplication::applicationDirPath();
    else
        dir = QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget()).path();
    return comSeparador(dir, '/');
}

QString arquivoNoDiretorio(const QString& dir, const QString& nome) {
    const QString base = dir.isEmpty() || dir.endsWith('/') || dir.endsWith('\\') ? dir : dir + '/';
    if (QFileInfo::exists(base + nome))
        return base + nome;
    const QStringList entradas =
        QDir(dir.isEmpty() ? QStringLiteral(".") : dir)
            .entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
    for (const QString& e : entradas)
        if (e.compare(nome, Qt::CaseInsensitive) == 0)
            return base + e;
    return base + nome;
}

} // namespace nq
