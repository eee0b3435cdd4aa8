#include "report/despejo.h"

#include <QStringList>

namespace nq {

namespace {

QString citado(QString t) {
    t.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    t.replace(QLatin1Char('"'), QLatin1String("\\\""));
    t.replace(QLatin1Char('\n'), QLatin1String("\\n"));
    return QLatin1Char('"') + t + QLatin1Char('"');
}

QString caixa(const Retangulo& r) {
    return QStringLiteral("(%1,%2 %3x%4)").arg(r.esquerda).arg(r.topo).arg(r.largura).arg(r.altura);
}

QString cor(const QColor& c) {
    return c.name(c.alpha() == 255 ? QColor::HexRgb : QColor::HexArgb);
}

QString caneta(const Caneta& c) {
    static const char* estilos[] = {"solida",      "tracejada",         "pontilhada",
                                    "traco-ponto", "traco-ponto-ponto", "nenhuma"};
    return QStringLiteral("caneta=%1 %2 %3")
        .arg(QString::number(c.espessura), QLatin1String(estilos[int(c.estilo)]), cor(c.cor));
}

QString fonte(const Fonte& f) {
    QString s = QStringLiteral("fonte=%1 %2").arg(citado(f.nome), QString::number(f.tamanho));
    if (f.negrito)
        s += QLatin1String(" negrito");
    if (f.italico)
        s += QLatin1String(" italico");
    if (f.sublinhado)
        s += QLatin1String(" sublinhado");
    if (f.riscado)
        s += QLatin1String(" riscado");
    if (f.condensacao != 1)
        s += QLatin1String(" condensada=") + QString::number(f.condensacao, 'f', 4);
    return s + QLatin1Char(' ') + cor(f.cor);
}

void despeja(QStringList& linhas, const ComandoTexto& c) {
    static const char* alinhamentos[] = {"esquerda", "direita", "centro", "justificado"};
    QString s =
        QStringLiteral("TEXTO caixa=%1 %2 alinhamento=%3")
            .arg(caixa(c.caixa), fonte(c.fonte), QLatin1String(alinhamentos[int(c.alinhamento)]));
    s +=
        c.transparente ? QStringLiteral(" transparente") : QStringLiteral(" fundo=") + cor(c.fundo);
    linhas << s;
    for (const TrechoDeTexto& t : c.trechos)
        linhas << QStringLiteral("  %1 @ %2,%3").arg(citado(t.texto)).arg(t.x).arg(t.linhaDeBase);
}

void despeja(QStringList& linhas, const ComandoLinha& c) {
    linhas << QStringLiteral("LINHA %1,%2 -> %3,%4 %5")
                  .arg(c.x1)
                  .arg(c.y1)
                  .arg(c.x2)
                  .arg(c.y2)
                  .arg(caneta(c.caneta));
}

void despeja(QStringList& linhas, const ComandoForma& c) {
    static const char* tipos[] = {"retangulo", "retangulo-arredondado", "elipse"};
    linhas << QStringLiteral("FORMA %1 caixa=%2 %3 preenchimento=%4 raio=%5")
                  .arg(QLatin1String(tipos[int(c.tipo)]), caixa(c.caixa), caneta(c.caneta),
                       c.preenchida ? cor(c.preenchimento) : QStringLiteral("nenhum"))
                  .arg(c.raio);
}

void despeja(QStringList& linhas, const ComandoImagem& c) {
    QString s = QStringLiteral("IMAGEM caixa=%1 %2x%3")
                    .arg(caixa(c.caixa))
                    .arg(c.imagem.width())
                    .arg(c.imagem.height());
    if (c.esticada)
        s += c.manterProporcao ? QStringLiteral(" esticada proporcional")
                               : QStringLiteral(" esticada");
    if (c.centralizada)
        s += QStringLiteral(" centralizada");
    linhas << s;
}

} // namespace

QString despejo(const Pagina& pagina) {
    const Papel& p = pagina.papel;
    QStringList linhas;
    QString cabecalho =
        QStringLiteral("PAGINA %1 relativa=%2").arg(pagina.numero).arg(pagina.numeroRelativo);
    if (pagina.primeira)
        cabecalho += QStringLiteral(" primeira");
    if (pagina.ultima)
        cabecalho += QStringLiteral(" ultima");
    linhas << cabecalho;
    linhas << QStringLiteral("PAPEL %1 codigo=%2 %3x%4 %5 margens=%6,%7,%8,%9")
                  .arg(citado(p.nome))
                  .arg(p.codigo)
                  .arg(p.largura)
                  .arg(p.altura)
                  .arg(p.orientacao == Orientacao::Retrato ? QStringLiteral("retrato")
                                                           : QStringLiteral("paisagem"))
                  .arg(p.margemSuperior)
                  .arg(p.margemInferior)
                  .arg(p.margemEsquerda)
                  .arg(p.margemDireita);
    for (const ComandoDeDesenho& c : pagina.comandos)
        std::visit([&linhas](const auto& comando) { despeja(linhas, comando); }, c);
    return linhas.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

QString despejo(const Documento& documento) {
    QString texto =
        QStringLiteral("DOCUMENTO %1 trabalho=%2 paginas=%3\n")
            .arg(citado(documento.nomeRelatorio), citado(documento.trabalho.nomeDocumento))
            .arg(documento.paginas.size());
    for (const Pagina& p : documento.paginas)
        texto += QLatin1Char('\n') + despejo(p);
    return texto;
}

} // namespace nq
