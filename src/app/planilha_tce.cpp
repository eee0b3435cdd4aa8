#include "planilha_tce.h"

#include "core/configuracao.h"
#include "core/erro.h"
#include "core/gravacao_atomica.h"
#include "core/mensagens.h"
#include "workbook/planilha.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QStringList>

namespace nq {

namespace {

QString& caminhoRedirecionado() {
    static QString caminho;
    return caminho;
}

const QString Secao = QStringLiteral("TCE");
const QString Chave = QStringLiteral("PLANILHA");

// The file as text: UTF-8, or the Windows single-byte text older programs wrote.
QStringList linhasDoArquivo(const QString& caminho) {
    QFile arquivo(caminho);
    if (!arquivo.exists())
        return {};
    if (!arquivo.open(QIODevice::ReadOnly))
        throw Erro(QStringLiteral("Não foi possível ler o arquivo %1 (%2).")
                       .arg(caminho, arquivo.errorString()));
    const QByteArray bytes = arquivo.readAll();
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString texto = utf8.decode(bytes);
    if (utf8.hasError())
        texto = QString::fromLatin1(bytes);
    QStringList linhas = texto.split(QLatin1Char('\n'));
    for (QString& l : linhas)
        if (l.endsWith(QLatin1Char('\r')))
            l.chop(1);
    if (!linhas.isEmpty() && linhas.last().isEmpty())
        linhas.removeLast();
    return linhas;
}

// The name of the section a line opens, or a null string when it opens none.
QString secaoDaLinha(const QString& linha) {
    const QString l = linha.trimmed();
    if (!l.startsWith(QLatin1Char('[')))
        return {};
    const qsizetype fim = l.indexOf(QLatin1Char(']'));
    return fim > 0 ? l.mid(1, fim - 1).trimmed() : QString();
}

// The index of the key's line in the section, -1 when absent; `fimDaSecao`
// gets where a new key line would go (-1: the section is missing).
qsizetype procuraChave(const QStringList& linhas, qsizetype* fimDaSecao) {
    bool naSecao = false;
    *fimDaSecao = -1;
    for (qsizetype i = 0; i < linhas.size(); ++i) {
        const QString secao = secaoDaLinha(linhas[i]);
        if (!secao.isNull()) {
            naSecao = secao.compare(Secao, Qt::CaseInsensitive) == 0;
            continue;
        }
        if (!naSecao)
            continue;
        if (!linhas[i].trimmed().isEmpty())
            *fimDaSecao = i + 1;
        const qsizetype igual = linhas[i].indexOf(QLatin1Char('='));
        if (igual > 0 && linhas[i].left(igual).trimmed().compare(Chave, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

qsizetype linhaDaSecao(const QStringList& linhas) {
    for (qsizetype i = 0; i < linhas.size(); ++i)
        if (secaoDaLinha(linhas[i]).compare(Secao, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QString maiusculasAZ(QString texto) {
    for (QChar& c : texto)
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            c = QChar(c.unicode() - ('a' - 'A'));
    return texto;
}

} // namespace

QString caminhoCorfocoIni() {
    if (!caminhoRedirecionado().isEmpty())
        return caminhoRedirecionado();
    return arquivoNoDiretorio(diretorioDoExecutavel(), QStringLiteral("corfoco.ini"));
}

void defineCaminhoCorfocoIni(const QString& caminho) {
    caminhoRedirecionado() = caminho;
}

QString lePlanilhaCorfoco() {
    const QStringList linhas = linhasDoArquivo(caminhoCorfocoIni());
    qsizetype fim;
    const qsizetype i = procuraChave(linhas, &fim);
    if (i < 0)
        return {};
    return linhas[i].mid(linhas[i].indexOf(QLatin1Char('=')) + 1).trimmed();
}

void gravaPlanilhaCorfoco(const QString& caminho) {
    const QString arquivo = caminhoCorfocoIni();
    QStringList linhas = linhasDoArquivo(arquivo);
    const QString linha = Chave + QLatin1Char('=') + caminho;
    qsizetype fimDaSecao;
    const qsizetype i = procuraChave(linhas, &fimDaSecao);
    if (i >= 0) {
        linhas[i] = linha;
    } else if (const qsizetype secao = linhaDaSecao(linhas); secao >= 0) {
        linhas.insert(fimDaSecao >= 0 ? fimDaSecao : secao + 1, linha);
    } else {
        linhas << QLatin1Char('[') + Secao + QLatin1Char(']') << linha;
    }

    gravaArquivoAtomico(arquivo,
                        (linhas.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8());
}

bool camaraNaVerificacao(const QString& nome) {
    const QString inicio = maiusculasAZ(nome.left(3));
    return inicio == QStringLiteral("CAM") || inicio == QStringLiteral("CÂM");
}

QString celulaDaVersao(int exercicio) {
    return exercicio <= 2005 ? QStringLiteral("A51") : QStringLiteral("A53");
}

ResultadoVerificacao verificaPlanilha(const QString& caminho, int exercicio,
                                      const QString& nomeMunicipio,
                                      const FabricaDePlanilha& fabrica) {
    if (caminho.isEmpty() || camaraNaVerificacao(nomeMunicipio) || !QFileInfo(caminho).isFile())
        return ResultadoVerificacao::NaoVerificada;

    const QString titulo = QStringLiteral("Operação Cancelada.");
    mensagens().mostra(QStringLiteral("A planilha será aberta para verificação da versão!"));
    std::unique_ptr<Planilha> planilha;
    try {
        planilha = fabrica();
        planilha->abre(caminho);
        planilha->selecionaFolha(QStringLiteral("mod 5"));
        const QString versao = planilha->leTexto(celulaDaVersao(exercicio));
        planilha->fecha();
        if (maiusculasAZ(versao.left(1)) != QStringLiteral("V")) {
            mensagens().mostra(
                QStringLiteral("A Planilha selecionada não está na versão Correta! "
                               "Faça o download da versão atualizada no site \"%1\" !")
                    .arg(SiteTribunal),
                titulo, Icone::Erro);
            return ResultadoVerificacao::Incompativel;
        }
    } catch (const Erro& e) {
        mensagens().mostra(
            QStringLiteral("Ocorreu um Erro ao tentar abrir a Planilha selecionada!  "
                           "Faça o download da versão atualizada no site \"%1\" ! "
                           "Erro: %2")
                .arg(SiteTribunal, e.texto()),
            titulo, Icone::Erro);
        if (planilha) {
            try {
                planilha->fecha();
            } catch (const Erro&) {
                // Nothing more to tell: the failure that matters was just shown.
            }
        }
        return ResultadoVerificacao::Falhou;
    }
    mensagens().mostra(QStringLiteral(
        "Versão da Planilha compativel para exportação dos dados. Calcule os anexos!"));
    return ResultadoVerificacao::Compativel;
}

} // namespace nq
