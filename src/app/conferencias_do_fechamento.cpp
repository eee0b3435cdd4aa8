#include "conferencias_do_fechamento.h"

#include "core/erro.h"

#include <QFileInfo>

namespace nq {

namespace {

// Annex 1's "DESPESA TOTAL (C+D)" against annex 2's "TOTAIS:", column by column.
void despesaTotal(std::vector<ConferenciaDoFechamento>& c, int b) {
    const std::vector<ArquivoDigitado> anexo1 = {ArquivoDigitado::Anexo1Despesa};
    const std::vector<ArquivoDigitado> anexo2 = {ArquivoDigitado::Anexo2};
    const auto par = [&](const QString& descricao, const QString& coluna1, const QString& coluna2) {
        c.push_back({QStringLiteral("D3_00002"),
                     descricao,
                     {{QStringLiteral("anexo1"), QStringLiteral("cdsDes"), QStringLiteral("00380"),
                       coluna1},
                      QStringLiteral("\"DESPESA TOTAL (C+D)\""),
                      anexo1},
                     {{QStringLiteral("anexo2"), QStringLiteral("cdsImp"), QStringLiteral("99999"),
                       coluna2},
                      QStringLiteral("\"TOTAIS:\""),
                      anexo2}});
    };
    par(QStringLiteral("Dotação inicial"), QStringLiteral("DOTACAO_ANUAL"),
        QStringLiteral("ppVariable1"));
    par(QStringLiteral("Dotação atualizada"), QStringLiteral("DOTACAO_ATUALIZADA"),
        QStringLiteral("ppVariable2"));
    par(QStringLiteral("Despesa empenhada no bimestre"), QStringLiteral("EMPENHADO_BIM%1").arg(b),
        QStringLiteral("ppVariable3"));
    par(QStringLiteral("Despesa liquidada no bimestre"), QStringLiteral("LIQUIDADO_BIM%1").arg(b),
        QStringLiteral("ppVariable4"));
    par(QStringLiteral("Despesa empenhada até o bimestre"), QStringLiteral("ppVariable4"),
        QStringLiteral("ppVariable5"));
    par(QStringLiteral("Despesa liquidada até o bimestre"), QStringLiteral("ppVariable5"),
        QStringLiteral("ppVariable6"));
}

QString nomesDosDigitados(const std::vector<ArquivoDigitado>& arquivos, const QString& dados,
                          const QString& ano) {
    QStringList nomes;
    for (ArquivoDigitado a : arquivos) {
        const QString caminho =
            descricao(a).porAno() ? caminhoArquivo(dados, a, ano) : caminhoArquivo(dados, a);
        nomes << caminho;
    }
    return nomes.isEmpty() ? QStringLiteral("nenhum") : nomes.join(QStringLiteral(", "));
}

QString nomeDaFigura(const LadoDaConferencia& lado, const std::map<QString, QString>& titulos) {
    const auto t = titulos.find(lado.figura.relatorio);
    const QString relatorio = t == titulos.end() ? lado.figura.relatorio : t->second;
    return QStringLiteral("%1, linha %2 (%3), coluna %4")
        .arg(relatorio, lado.descricao, lado.figura.id, lado.figura.coluna);
}

} // namespace

std::vector<ConferenciaDoFechamento> conferenciasDoFechamento(int bimestre) {
    std::vector<ConferenciaDoFechamento> c;
    despesaTotal(c, bimestre);
    return c;
}

std::vector<ValorChave> valoresChaveDoFechamento(int) {
    const auto chave = [](const char* descricao, const char* relatorio, const char* quadro,
                          const char* id, const char* coluna) {
        return ValorChave{QString::fromUtf8(descricao),
                          {QString::fromUtf8(relatorio), QString::fromUtf8(quadro),
                           QString::fromUtf8(id), QString::fromUtf8(coluna)},
                          std::nullopt};
    };
    return {
        chave("Receita corrente líquida (últimos 12 meses)", "anexo3", "cdsImp", "00300",
              "ppVariable1"),
        chave("Resultado primário até o bimestre", "anexo5", "cdsDes", "00120", "LIQ_ATE_BIM"),
        chave("Resultado nominal até o bimestre (variação da dívida fiscal líquida)", "anexo5",
              "cdsEsp", "00090", "ATE_BIM"),
        chave("Superávit/déficit orçamentário (despesa empenhada até o bimestre)", "anexo1",
              "cdsDes", "00390", "ppVariable4"),
        chave("Superávit/déficit orçamentário (despesa liquidada até o bimestre)", "anexo1",
              "cdsDes", "00390", "ppVariable5"),
    };
}

void FigurasDoFechamento::le(const QString& chave, const QString& csv) {
    figuras_[chave] = leFigurasCsv(csv);
}

std::optional<Moeda> FigurasDoFechamento::valor(const FiguraDoFechamento& f) const {
    const auto r = figuras_.find(f.relatorio);
    if (r == figuras_.end())
        return std::nullopt;
    for (const Figura& g : r->second)
        if (g.quadro == f.quadro && g.id == f.id && g.coluna == f.coluna)
            return Moeda::deTexto(g.valor);
    return std::nullopt;
}

ResultadoDaConferencia confere(const ConferenciaDoFechamento& c, const FigurasDoFechamento& f,
                               const std::map<QString, QString>& titulos, const QString& dados,
                               const QString& ano) {
    ResultadoDaConferencia r{
        c, SituacaoDaConferencia::SemDados, f.valor(c.a.figura), f.valor(c.b.figura), {}};
    const QString nomeA = nomeDaFigura(c.a, titulos);
    const QString nomeB = nomeDaFigura(c.b, titulos);
    if (!r.a || !r.b) {
        const LadoDaConferencia& falta = r.a ? c.b : c.a;
        r.mensagem = QStringLiteral("%1 %2: não conferido; %3 não foi impresso.")
                         .arg(c.codigo, c.descricao, nomeDaFigura(falta, titulos));
        return r;
    }
    if (*r.a == *r.b) {
        r.situacao = SituacaoDaConferencia::Confere;
        r.mensagem =
            QStringLiteral("%1 %2: confere (%3).").arg(c.codigo, c.descricao, moedaImpressa(*r.a));
        return r;
    }
    r.situacao = SituacaoDaConferencia::Diverge;
    r.mensagem =
        QStringLiteral("%1 %2: NÃO CONFERE. %3 = %4; %5 = %6; diferença %7. Arquivos digitados "
                       "que alimentam cada lado: %8: %9; %10: %11.")
            .arg(c.codigo, c.descricao, nomeA, moedaImpressa(*r.a), nomeB, moedaImpressa(*r.b),
                 moedaImpressa(*r.a - *r.b))
            .arg(titulos.count(c.a.figura.relatorio) ? titulos.at(c.a.figura.relatorio)
                                                     : c.a.figura.relatorio,
                 nomesDosDigitados(c.a.digitados, dados, ano),
                 titulos.count(c.b.figura.relatorio) ? titulos.at(c.b.figura.relatorio)
                                                     : c.b.figura.relatorio,
                 nomesDosDigitados(c.b.digitados, dados, ano));
    return r;
}

QString moedaImpressa(Moeda valor) {
    QString t = valor.texto(2);
    const bool negativo = t.startsWith(QLatin1Char('-'));
    if (negativo)
        t.remove(0, 1);
    const qsizetype ponto = t.indexOf(QLatin1Char('.'));
    QString inteiro = t.left(ponto);
    for (qsizetype i = inteiro.size() - 3; i > 0; i -= 3)
        inteiro.insert(i, QLatin1Char('.'));
    return (negativo ? QStringLiteral("-") : QString()) + inteiro + QLatin1Char(',') +
           t.mid(ponto + 1);
}

} // namespace nq
