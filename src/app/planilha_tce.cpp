#include "planilha_tce.h"

#include "core/configuracao.h"
#include "core/erro.h"
#include "core/gravacao_atomica.h"
#include "core/mensagens.h"
#include "workbook/libreoffice.h"
#include "workbook/localiza_libreoffice.h"
#include "workbook/planilha.h"

#include <QDateTime>
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
// The last check: "<resultado>;<célula>;<tamanho>;<modificação em ms>;<caminho>".
const QString ChaveVerificacao = QStringLiteral("VERIFICACAO");

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
qsizetype procuraChave(const QStringList& linhas, const QString& chave, qsizetype* fimDaSecao) {
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
        if (igual > 0 && linhas[i].left(igual).trimmed().compare(chave, Qt::CaseInsensitive) == 0)
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

namespace {

QString leChave(const QString& chave) {
    const QStringList linhas = linhasDoArquivo(caminhoCorfocoIni());
    qsizetype fim;
    const qsizetype i = procuraChave(linhas, chave, &fim);
    if (i < 0)
        return {};
    return linhas[i].mid(linhas[i].indexOf(QLatin1Char('=')) + 1).trimmed();
}

void gravaChave(const QString& chave, const QString& valor) {
    const QString arquivo = caminhoCorfocoIni();
    QStringList linhas = linhasDoArquivo(arquivo);
    const QString linha = chave + QLatin1Char('=') + valor;
    qsizetype fimDaSecao;
    const qsizetype i = procuraChave(linhas, chave, &fimDaSecao);
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

// What identifies a check: the cell read and the file as it was then.
QString marcaDoArquivo(const QString& caminho, const QString& celula) {
    const QFileInfo info(caminho);
    return celula + QLatin1Char(';') + QString::number(info.size()) + QLatin1Char(';') +
           QString::number(info.lastModified().toMSecsSinceEpoch()) + QLatin1Char(';') +
           info.absoluteFilePath();
}

} // namespace

QString lePlanilhaCorfoco() {
    return leChave(Chave);
}

QString leLibreOfficeCorfoco() {
    return leChave(QLatin1String(ChaveLibreOffice));
}

void gravaPlanilhaCorfoco(const QString& caminho) {
    gravaChave(Chave, caminho);
}

std::optional<ResultadoVerificacao> verificacaoGuardada(const QString& caminho,
                                                        const QString& celula) {
    if (caminho.isEmpty() || !QFileInfo(caminho).isFile())
        return std::nullopt;
    const QString guardada = leChave(ChaveVerificacao);
    const qsizetype separador = guardada.indexOf(QLatin1Char(';'));
    if (separador < 0 || guardada.mid(separador + 1) != marcaDoArquivo(caminho, celula))
        return std::nullopt;
    const QString resultado = guardada.left(separador);
    if (resultado == QLatin1String("COMPATIVEL"))
        return ResultadoVerificacao::Compativel;
    if (resultado == QLatin1String("INCOMPATIVEL"))
        return ResultadoVerificacao::Incompativel;
    return std::nullopt;
}

void guardaVerificacao(const QString& caminho, const QString& celula, ResultadoVerificacao r) {
    if (r != ResultadoVerificacao::Compativel && r != ResultadoVerificacao::Incompativel)
        return;
    const QString resultado = r == ResultadoVerificacao::Compativel
                                  ? QStringLiteral("COMPATIVEL")
                                  : QStringLiteral("INCOMPATIVEL");
    gravaChave(ChaveVerificacao, resultado + QLatin1Char(';') + marcaDoArquivo(caminho, celula));
}

bool camaraNaVerificacao(const QString& nome) {
    const QString inicio = maiusculasAZ(nome.left(3));
    return inicio == QStringLiteral("CAM") || inicio == QStringLiteral("CÂM");
}

QString celulaDaVersao(int exercicio) {
    return exercicio <= 2005 ? QStringLiteral("A51") : QStringLiteral("A53");
}

void avisaVersaoIncorreta() {
    mensagens().mostra(QStringLiteral("A Planilha selecionada não está na versão Correta! "
                                      "Faça o download da versão atualizada no site \"%1\" !")
                           .arg(SiteTribunal),
                       QStringLiteral("Operação Cancelada."), Icone::Erro);
}

ResultadoVerificacao verificaPlanilha(const QString& caminho, int exercicio,
                                      const QString& nomeMunicipio,
                                      const FabricaDePlanilha& fabrica,
                                      const ExecutorDaVerificacao& executa) {
    if (caminho.isEmpty() || camaraNaVerificacao(nomeMunicipio) || !QFileInfo(caminho).isFile())
        return ResultadoVerificacao::NaoVerificada;

    mensagens().mostra(QStringLiteral("A planilha será aberta para verificação da versão!"));
    // The whole session, from the office's start to the workbook's close, runs where
    // `executa` runs it.
    QString versao;
    const std::function<void()> leVersao = [&] {
        const std::unique_ptr<Planilha> planilha = fabrica();
        try {
            planilha->abre(caminho);
            planilha->selecionaFolha(QStringLiteral("mod 5"));
            versao = planilha->leTexto(celulaDaVersao(exercicio));
            planilha->fecha();
        } catch (const Erro&) {
            try {
                planilha->fecha();
            } catch (const Erro&) {
                // Nothing more to tell: the failure that matters is the first.
            }
            throw;
        }
    };
    try {
        if (executa)
            executa(leVersao);
        else
            leVersao();
    } catch (const Erro& e) {
        mensagens().mostra(
            QStringLiteral("Ocorreu um Erro ao tentar abrir a Planilha selecionada!  "
                           "Faça o download da versão atualizada no site \"%1\" ! "
                           "Erro: %2")
                .arg(SiteTribunal, e.texto()),
            QStringLiteral("Operação Cancelada."), Icone::Erro);
        return ResultadoVerificacao::Falhou;
    }
    if (maiusculasAZ(versao.left(1)) != QStringLiteral("V")) {
        avisaVersaoIncorreta();
        return ResultadoVerificacao::Incompativel;
    }
    mensagens().mostra(QStringLiteral(
        "Versão da Planilha compativel para exportação dos dados. Calcule os anexos!"));
    return ResultadoVerificacao::Compativel;
}

namespace {

// A hidden office, the one corfoco.ini names if it names one.
OpcoesLibreOffice opcoesDoOfficeOculto() {
    OpcoesLibreOffice opcoes;
    opcoes.programa = leLibreOfficeCorfoco();
    return opcoes;
}

// A workbook session on a hidden office of its own, which ends with the session.
class PlanilhaNumOfficeProprio : public Planilha {
public:
    PlanilhaNumOfficeProprio()
        : office_(opcoesDoOfficeOculto()), planilha_(office_.novaPlanilha()) {}
    void abre(const QString& caminho) override { planilha_->abre(caminho); }
    void criaNova(const QStringList& folhas) override { planilha_->criaNova(folhas); }
    void selecionaFolha(const QString& nome) override { planilha_->selecionaFolha(nome); }
    ValorCelula le(const QString& endereco) override { return planilha_->le(endereco); }
    void escreveNumero(const QString& endereco, double valor) override {
        planilha_->escreveNumero(endereco, valor);
    }
    void escreveTexto(const QString& endereco, const QString& texto) override {
        planilha_->escreveTexto(endereco, texto);
    }
    void salvaComo(const QString& caminho) override { planilha_->salvaComo(caminho); }
    void mostra() override { planilha_->mostra(); }
    void fecha() override { planilha_->fecha(); }

private:
    LibreOffice office_; // declared first: it outlives the session
    std::unique_ptr<Planilha> planilha_;
};

} // namespace

std::unique_ptr<Planilha> planilhaNumOfficeProprio() {
    return std::make_unique<PlanilhaNumOfficeProprio>();
}

} // namespace nq
