#include "report/devices/html.h"

#include "report/devices/textos.h"

#include <QBuffer>
#include <cmath>
#include <numbers>

namespace nq {

namespace {

QString mm(int milesimos) {
    return QString::number(milesimos / 1000.0, 'f', 3) + QStringLiteral("mm");
}

QString pontos(double pt) {
    return QString::number(pt, 'f', 2) + QStringLiteral("pt");
}

QString estiloDaBorda(const Caneta& c) {
    const QString tipo = c.estilo == EstiloCaneta::Pontilhado ? QStringLiteral("dotted")
                         : c.estilo == EstiloCaneta::Solido   ? QStringLiteral("solid")
                         : c.estilo == EstiloCaneta::Nenhum   ? QStringLiteral("none")
                                                              : QStringLiteral("dashed");
    return QStringLiteral("%1 %2 %3").arg(pontos(std::max(c.espessura, 0.25)), tipo, c.cor.name());
}

QString familia(const Fonte& f) {
    if (passoDaFonteDeImpressora(f.nome) > 0)
        return QStringLiteral("'DejaVu Sans Mono',monospace");
    return QStringLiteral("'%1',sans-serif").arg(QString(f.nome).remove(QLatin1Char('\'')));
}

const char* Estilos =
    "body{background:#808080;margin:0;padding:8px}"
    ".pagina{position:relative;overflow:hidden;background:#fff;margin:0 auto 8px auto;"
    "page-break-after:always}"
    ".t{position:absolute;white-space:pre;line-height:1}"
    ".g{position:absolute;box-sizing:border-box}";

} // namespace

void DispositivoHtml::iniciaTrabalho(const TrabalhoDeImpressao& trabalho) {
    dados_.clear();
    xml_ = std::make_unique<QXmlStreamWriter>(&dados_);
    if (xhtml_) {
        xml_->writeStartDocument();
        xml_->writeDTD(QStringLiteral("<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Strict//EN\" "
                                      "\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-strict.dtd\">"));
        xml_->writeStartElement(QStringLiteral("html"));
        xml_->writeDefaultNamespace(QStringLiteral("http://www.w3.org/1999/xhtml"));
    } else {
        xml_->writeDTD(QStringLiteral("<!DOCTYPE html>"));
        xml_->writeStartElement(QStringLiteral("html"));
    }
    xml_->writeStartElement(QStringLiteral("head"));
    xml_->writeEmptyElement(QStringLiteral("meta"));
    xml_->writeAttribute(QStringLiteral("http-equiv"), QStringLiteral("Content-Type"));
    xml_->writeAttribute(QStringLiteral("content"),
                         xhtml_ ? QStringLiteral("application/xhtml+xml; charset=UTF-8")
                                : QStringLiteral("text/html; charset=UTF-8"));
    xml_->writeTextElement(QStringLiteral("title"), trabalho.nomeDocumento);
    xml_->writeStartElement(QStringLiteral("style"));
    xml_->writeAttribute(QStringLiteral("type"), QStringLiteral("text/css"));
    xml_->writeCharacters(QString::fromLatin1(Estilos));
    xml_->writeEndElement();
    xml_->writeEndElement(); // head
    xml_->writeStartElement(QStringLiteral("body"));
}

void DispositivoHtml::bloco(const QString& classe, const QString& estilo, const QString& conteudo) {
    xml_->writeStartElement(QStringLiteral("div"));
    xml_->writeAttribute(QStringLiteral("class"), classe);
    xml_->writeAttribute(QStringLiteral("style"), estilo);
    xml_->writeCharacters(conteudo); // never <div/>, which HTML would leave open
    xml_->writeEndElement();
}

void DispositivoHtml::recebePagina(const Pagina& pagina) {
    xml_->writeStartElement(QStringLiteral("div"));
    xml_->writeAttribute(QStringLiteral("class"), QStringLiteral("pagina"));
    xml_->writeAttribute(QStringLiteral("style"),
                         QStringLiteral("width:%1;height:%2")
                             .arg(mm(pagina.papel.largura), mm(pagina.papel.altura)));
    xml_->writeCharacters(QString());
    for (const ComandoDeDesenho& comando : pagina.comandos) {
        std::visit(
            [&](const auto& c) {
                using T = std::decay_t<decltype(c)>;
                if constexpr (std::is_same_v<T, ComandoTexto>)
                    texto(c, pagina.papel);
                else if constexpr (std::is_same_v<T, ComandoLinha>)
                    linha(c);
                else if constexpr (std::is_same_v<T, ComandoForma>)
                    forma(c);
                else
                    imagem(c);
            },
            comando);
    }
    xml_->writeEndElement();
}

void DispositivoHtml::texto(const ComandoTexto& c, const Papel& papel) {
    const MedidorDeTexto& medidor = MedidorDeTexto::instancia();
    const FonteResolvida resolvida = resolveFonte(c.fonte);
    const int ascendente = medidor.ascendente(c.fonte);
    QString fonte = QStringLiteral("font-family:%1;font-size:%2;color:%3")
                        .arg(familia(c.fonte), pontos(c.fonte.tamanho), c.fonte.cor.name());
    if (c.fonte.negrito)
        fonte += QStringLiteral(";font-weight:bold");
    if (c.fonte.italico)
        fonte += QStringLiteral(";font-style:italic");
    if (c.fonte.sublinhado || c.fonte.riscado)
        fonte += QStringLiteral(";text-decoration:%1")
                     .arg(c.fonte.sublinhado ? QStringLiteral("underline")
                                             : QStringLiteral("line-through"));
    if (!c.transparente)
        bloco(QStringLiteral("g"),
              QStringLiteral("left:%1;top:%2;width:%3;height:%4;background:%5")
                  .arg(mm(c.caixa.esquerda), mm(c.caixa.topo), mm(c.caixa.largura),
                       mm(c.caixa.altura), c.fundo.name()));
    for (const TrechoDeTexto& t : c.trechos) {
        if (t.texto.isEmpty())
            continue;
        // A right-aligned text keeps its right end where it was laid out, whatever font
        // the browser finds; the others keep their left end.
        QString posicao;
        QString origem = QStringLiteral("left");
        if (c.alinhamento == Alinhamento::Direita) {
            const int direita = papel.largura - (t.x + medidor.largura(c.fonte, t.texto));
            posicao = QStringLiteral("right:%1").arg(mm(direita));
            origem = QStringLiteral("right");
        } else {
            posicao = QStringLiteral("left:%1").arg(mm(t.x));
        }
        QString estilo =
            QStringLiteral("%1;top:%2;%3").arg(posicao, mm(t.linhaDeBase - ascendente), fonte);
        if (std::abs(resolvida.escalaHorizontal - 1) > 0.001)
            estilo += QStringLiteral(";transform:scaleX(%1);transform-origin:%2 top")
                          .arg(QString::number(resolvida.escalaHorizontal, 'f', 4), origem);
        bloco(QStringLiteral("t"), estilo, t.texto);
    }
}

void DispositivoHtml::linha(const ComandoLinha& c) {
    if (c.caneta.estilo == EstiloCaneta::Nenhum)
        return;
    const double dx = c.x2 - c.x1;
    const double dy = c.y2 - c.y1;
    const int comprimento = static_cast<int>(std::lround(std::hypot(dx, dy)));
    const double angulo = std::atan2(dy, dx) * 180 / std::numbers::pi;
    QString estilo = QStringLiteral("left:%1;top:%2;width:%3;height:0;border-top:%4")
                         .arg(mm(c.x1), mm(c.y1), mm(comprimento), estiloDaBorda(c.caneta));
    if (std::abs(angulo) > 0.01)
        estilo += QStringLiteral(";transform:rotate(%1deg);transform-origin:0 0")
                      .arg(QString::number(angulo, 'f', 3));
    bloco(QStringLiteral("g"), estilo);
}

void DispositivoHtml::forma(const ComandoForma& c) {
    QString estilo = QStringLiteral("left:%1;top:%2;width:%3;height:%4;border:%5")
                         .arg(mm(c.caixa.esquerda), mm(c.caixa.topo), mm(c.caixa.largura),
                              mm(c.caixa.altura), estiloDaBorda(c.caneta));
    if (c.preenchida)
        estilo += QStringLiteral(";background:%1").arg(c.preenchimento.name());
    if (c.tipo == TipoDeForma::Elipse)
        estilo += QStringLiteral(";border-radius:50%");
    else if (c.tipo == TipoDeForma::RetanguloArredondado)
        estilo += QStringLiteral(";border-radius:%1").arg(mm(c.raio));
    bloco(QStringLiteral("g"), estilo);
}

void DispositivoHtml::imagem(const ComandoImagem& c) {
    if (c.imagem.isNull())
        return;
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    c.imagem.save(&buffer, "PNG");
    xml_->writeEmptyElement(QStringLiteral("img"));
    xml_->writeAttribute(QStringLiteral("class"), QStringLiteral("g"));
    xml_->writeAttribute(QStringLiteral("alt"), QString());
    QString estilo =
        QStringLiteral("left:%1;top:%2;width:%3;height:%4")
            .arg(mm(c.caixa.esquerda), mm(c.caixa.topo), mm(c.caixa.largura), mm(c.caixa.altura));
    estilo += c.esticada ? (c.manterProporcao ? QStringLiteral(";object-fit:contain")
                                              : QStringLiteral(";object-fit:fill"))
                         : QStringLiteral(";object-fit:none;object-position:%1")
                               .arg(c.centralizada ? QStringLiteral("center")
                                                   : QStringLiteral("left top"));
    xml_->writeAttribute(QStringLiteral("style"), estilo);
    xml_->writeAttribute(QStringLiteral("src"), QStringLiteral("data:image/png;base64,") +
                                                    QString::fromLatin1(png.toBase64()));
}

void DispositivoHtml::terminaTrabalho() {
    xml_->writeEndElement(); // body
    xml_->writeEndElement(); // html
    xml_->writeEndDocument();
    xml_.reset();
    gravaArquivo(arquivo(), dados_);
    dados_.clear();
}

} // namespace nq
