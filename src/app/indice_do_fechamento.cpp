#include "indice_do_fechamento.h"

#include "core/gravacao_atomica.h"
#include "fechamento.h"

#include <QFileInfo>

namespace nq {

namespace {

QString h(const QString& texto) {
    return texto.toHtmlEscaped();
}

QString situacao(SituacaoDoRelatorio s) {
    switch (s) {
    case SituacaoDoRelatorio::Gravado:
        return QStringLiteral("gravado");
    case SituacaoDoRelatorio::Falhou:
        return QStringLiteral("falhou");
    case SituacaoDoRelatorio::NaoRodou:
        break;
    }
    return QStringLiteral("não executado");
}

QString situacao(SituacaoDaConferencia s) {
    switch (s) {
    case SituacaoDaConferencia::Confere:
        return QStringLiteral("confere");
    case SituacaoDaConferencia::Diverge:
        return QStringLiteral("NÃO CONFERE");
    case SituacaoDaConferencia::SemDados:
        break;
    }
    return QStringLiteral("não conferido");
}

QString valorOuTraco(const std::optional<Moeda>& v) {
    return v ? moedaImpressa(*v) : QStringLiteral("—");
}

const char* const Estilo =
    "body{font-family:sans-serif;margin:1.5em;color:#222}"
    "h1{font-size:1.3em;color:#006060}h2{font-size:1.1em;color:#006060;margin-top:1.5em}"
    "table{border-collapse:collapse}td,th{border:1px solid #999;padding:.25em .6em;"
    "text-align:left;vertical-align:top}td.n{text-align:right;white-space:nowrap}"
    ".ok{color:#060}.erro{color:#a00;font-weight:bold}";

} // namespace

QString indiceDoFechamento(const ResumoDoFechamento& r) {
    QString p;
    p +=
        QStringLiteral("<!DOCTYPE html>\n<html lang=\"pt-BR\">\n<head>\n<meta charset=\"utf-8\"/>\n"
                       "<title>Fechamento do %1º bimestre de %2 - %3</title>\n<style>%4</style>\n"
                       "</head>\n<body>\n")
            .arg(r.bimestre)
            .arg(h(r.exercicio), h(r.entidade), QString::fromLatin1(Estilo));
    p += QStringLiteral("<h1>Fechamento do Bimestre</h1>\n<p>Entidade: <b>%1</b><br/>\n"
                        "Período: <b>%2º bimestre de %3</b></p>\n")
             .arg(h(r.entidade))
             .arg(r.bimestre)
             .arg(h(r.exercicio));
    if (r.cancelado)
        p += QStringLiteral("<p class=\"erro\">O fechamento foi cancelado.</p>\n");
    if (!r.falhaDoFechamento.isEmpty())
        p += QStringLiteral("<p class=\"erro\">%1</p>\n").arg(h(r.falhaDoFechamento));

    p += QStringLiteral("<h2>Relatórios</h2>\n<table id=\"relatorios\">\n<tr><th>Relatório</th>"
                        "<th>Situação</th><th>Segundos</th><th>Arquivos</th></tr>\n");
    for (const ResultadoDoRelatorio& x : r.relatorios) {
        const bool ok = x.situacao == SituacaoDoRelatorio::Gravado;
        const QString arquivos =
            ok ? QStringLiteral("<a href=\"%1.pdf\">PDF</a> <a href=\"%1.csv\">CSV</a>")
                     .arg(h(x.relatorio.chave))
               : h(x.motivo);
        p += QStringLiteral("<tr><td>%1</td><td class=\"%2\">%3</td><td class=\"n\">%4</td>"
                            "<td>%5</td></tr>\n")
                 .arg(h(x.relatorio.titulo), ok ? QStringLiteral("ok") : QStringLiteral("erro"),
                      situacao(x.situacao), QString::number(x.segundos, 'f', 1), arquivos);
    }
    p += QStringLiteral("</table>\n");
    if (!r.planilha.isEmpty())
        p += QStringLiteral("<p>Planilha do TCE preenchida: %1</p>\n")
                 .arg(h(QFileInfo(r.planilha).absoluteFilePath()));

    p += QStringLiteral("<h2>Valores principais</h2>\n<table id=\"valores\">\n");
    for (const ValorChave& v : r.valoresChave)
        p += QStringLiteral("<tr><td>%1</td><td class=\"n\" data-relatorio=\"%2\" "
                            "data-quadro=\"%3\" data-id=\"%4\" data-coluna=\"%5\">%6</td></tr>\n")
                 .arg(h(v.descricao), h(v.figura.relatorio), h(v.figura.quadro), h(v.figura.id),
                      h(v.figura.coluna), valorOuTraco(v.valor));
    p += QStringLiteral("</table>\n");

    p += QStringLiteral("<h2>Conferências entre relatórios</h2>\n<table id=\"conferencias\">\n"
                        "<tr><th>Código</th><th>Valor</th><th>Resultado</th><th>Detalhe</th>"
                        "</tr>\n");
    for (const ResultadoDaConferencia& c : r.conferencias) {
        const bool ok = c.situacao == SituacaoDaConferencia::Confere;
        p += QStringLiteral("<tr><td>%1</td><td>%2</td><td class=\"%3\">%4</td><td>%5</td>"
                            "</tr>\n")
                 .arg(h(c.conferencia.codigo), h(c.conferencia.descricao),
                      ok ? QStringLiteral("ok") : QStringLiteral("erro"), situacao(c.situacao),
                      h(c.mensagem));
    }
    p += QStringLiteral("</table>\n</body>\n</html>\n");
    return p;
}

void gravaIndiceDoFechamento(const QString& arquivo, const ResumoDoFechamento& resumo) {
    gravaArquivoAtomico(arquivo, indiceDoFechamento(resumo).toUtf8());
}

} // namespace nq
