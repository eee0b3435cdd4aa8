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

// The fiscal-management reports of the close of bimester `b`: the bimester's,
// and the quadrimester's ending with it; only the latter adds the typed figures.
struct RgfDoFechamento {
    QString chave;
    QString periodo; // "6º bimestre"
    std::vector<ArquivoDigitado> digitados;
};

std::vector<RgfDoFechamento> rgfsDoFechamento(int b) {
    std::vector<RgfDoFechamento> r = {
        {chaveDaGestaoFiscal(false, b), QStringLiteral("%1º bimestre").arg(b), {}}};
    if (b % 2 == 0)
        r.push_back({chaveDaGestaoFiscal(true, b / 2),
                     QStringLiteral("%1º quadrimestre").arg(b / 2),
                     {ArquivoDigitado::GestaoFiscalDigitada}});
    return r;
}

// Annex 3's RCL, annex 5's net consolidated debt and annex 10's personnel
// total against the lines of each fiscal-management report that take them.
// A chamber's report uses its typed revenue, not the RCL.
void gestaoFiscal(std::vector<ConferenciaDoFechamento>& c, int b, bool camara) {
    const QString anexo10 = chaveDoAnexo10(2 * b);
    for (const RgfDoFechamento& rgf : rgfsDoFechamento(b)) {
        const auto linha = [&](const char* quadro, const char* id, const char* descricao) {
            return LadoDaConferencia{{rgf.chave, QString::fromLatin1(quadro),
                                      QString::fromLatin1(id), QStringLiteral("VALOR")},
                                     QString::fromUtf8(descricao),
                                     rgf.digitados};
        };
        if (!camara)
            c.push_back({QStringLiteral("D3_00005"),
                         QStringLiteral("Receita corrente líquida (RGF do %1)").arg(rgf.periodo),
                         {{QStringLiteral("anexo3"), QStringLiteral("cdsImp"),
                           QStringLiteral("00300"), QStringLiteral("ppVariable1")},
                          QStringLiteral("\"RECEITA CORRENTE LÍQUIDA\""),
                          {ArquivoDigitado::Anexo3}},
                         linha("cdsGe3", "00010", "\"RECEITA CORRENTE LÍQUIDA\"")});
        c.push_back({QStringLiteral("D3_00006"),
                     QStringLiteral("Dívida consolidada líquida (RGF do %1)").arg(rgf.periodo),
                     {{QStringLiteral("anexo5"), QStringLiteral("cdsEsp"), QStringLiteral("00060"),
                       QStringLiteral("BIM_ATU")},
                      QStringLiteral("\"III.  Dívida Consolidada Líquida (I - II)\""),
                      {ArquivoDigitado::Anexo5Especificacao}},
                     linha("cdsGestao", "00110", "\"Saldo Devedor\" da dívida consolidada")});
        c.push_back({QStringLiteral("Pessoal"),
                     QStringLiteral("Despesa total com pessoal (RGF do %1)").arg(rgf.periodo),
                     {{anexo10, QStringLiteral("cdsDP1"), QStringLiteral("00170"),
                       QStringLiteral("Totais")},
                      QStringLiteral("\"TOTAL\""),
                      {ArquivoDigitado::Anexo10}},
                     linha("cdsGestao", "00020", "\"DESPESAS TOTAIS COM PESSOAL\"")});
    }
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

QString chaveDoAnexo10(int mes) {
    return QStringLiteral("anexo10_%1").arg(mes, 2, 10, QLatin1Char('0'));
}

QString chaveDaGestaoFiscal(bool quadrimestral, int numero) {
    return (quadrimestral ? QStringLiteral("rgf_quad%1") : QStringLiteral("rgf_bim%1")).arg(numero);
}

std::vector<ConferenciaDoFechamento> conferenciasDoFechamento(int bimestre, bool camara) {
    std::vector<ConferenciaDoFechamento> c;
    despesaTotal(c, bimestre);
    gestaoFiscal(c, bimestre, camara);
    return c;
}

std::vector<ValorChave> valoresChaveDoFechamento(int bimestre) {
    const auto chave = [](const char* descricao, const QString& relatorio, const char* quadro,
                          const char* id, const char* coluna) {
        return ValorChave{QString::fromUtf8(descricao),
                          {relatorio, QString::fromUtf8(quadro), QString::fromUtf8(id),
                           QString::fromUtf8(coluna)},
                          std::nullopt};
    };
    // The personnel figures of the bimester's fiscal-management report, which a
    // chamber runs too.
    const QString rgf = chaveDaGestaoFiscal(false, bimestre);
    return {
        chave("Receita corrente líquida (últimos 12 meses)", QStringLiteral("anexo3"), "cdsImp",
              "00300", "ppVariable1"),
        chave("Despesa total com pessoal (últimos 12 meses)", rgf, "cdsGestao", "00020", "VALOR"),
        chave("Despesa com pessoal em % da RCL", rgf, "cdsGestao", "00020", "PORC"),
        chave("Limite prudencial da despesa com pessoal (% da RCL)", rgf, "cdsGestao", "00030",
              "PORC"),
        chave("Limite legal da despesa com pessoal (% da RCL)", rgf, "cdsGestao", "00040", "PORC"),
        chave("Dívida consolidada líquida", QStringLiteral("anexo5"), "cdsEsp", "00060", "BIM_ATU"),
        chave("Resultado primário até o bimestre", QStringLiteral("anexo5"), "cdsDes", "00120",
              "LIQ_ATE_BIM"),
        chave("Resultado nominal até o bimestre (variação da dívida fiscal líquida)",
              QStringLiteral("anexo5"), "cdsEsp", "00090", "ATE_BIM"),
        chave("Superávit/déficit orçamentário (despesa empenhada até o bimestre)",
              QStringLiteral("anexo1"), "cdsDes", "00390", "ppVariable4"),
        chave("Superávit/déficit orçamentário (despesa liquidada até o bimestre)",
              QStringLiteral("anexo1"), "cdsDes", "00390", "ppVariable5"),
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
