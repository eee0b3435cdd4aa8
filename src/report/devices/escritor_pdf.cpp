#include "report/devices/escritor_pdf.h"

#include "core/erro.h"
#include "report/devices/pintor.h"
#include "report/fontes.h"

#include <QDateTime>
#include <QImage>
#include <charconv>
#include <cmath>

namespace nq {

namespace {

constexpr double MilesimosPorPonto = 25400.0 / 72.0;
// The font engine draws a font at a whole number of pixels of this resolution, and the page
// was measured so.
constexpr double ResolucaoDasFontes = 1200;
constexpr double MilesimosPorPixel = 25400.0 / ResolucaoDasFontes;
// Bézier handle of a quarter circle.
constexpr double Kappa = 0.5522847498;

// Written in place, followed by a blank: every position of every page passes here.
void numero(QByteArray& s, int v) {
    const qsizetype inicio = s.size();
    s.resize(inicio + 12);
    char* fim = std::to_chars(s.data() + inicio, s.data() + inicio + 11, v).ptr;
    *fim++ = ' ';
    s.truncate(fim - s.constData());
}

void numero(QByteArray& s, double v) {
    if (v == std::round(v) && std::abs(v) < 1e9) {
        numero(s, static_cast<int>(v));
        return;
    }
    // |v| >= 1e9 takes up to 309 digits before the point.
    const qsizetype inicio = s.size();
    s.resize(inicio + 330);
    char* fim =
        std::to_chars(s.data() + inicio, s.data() + s.size(), v, std::chars_format::fixed, 7).ptr;
    while (fim[-1] == '0')
        --fim;
    if (fim[-1] == '.')
        --fim;
    *fim++ = ' ';
    s.truncate(fim - s.constData());
}

void retangulo(QByteArray& s, const Retangulo& r) {
    numero(s, r.esquerda);
    numero(s, r.topo);
    numero(s, r.largura);
    numero(s, r.altura);
    s += "re ";
}

QByteArray cor(const QColor& c, const char* operador) {
    QByteArray s;
    numero(s, std::round(c.redF() * 1000) / 1000);
    numero(s, std::round(c.greenF() * 1000) / 1000);
    numero(s, std::round(c.blueF() * 1000) / 1000);
    return s + operador + '\n';
}

// A PDF string of raw bytes, its delimiters and line ends escaped.
void cadeia(QByteArray& s, const QByteArray& bytes) {
    // Written in place: every glyph of every page passes here.
    const qsizetype inicio = s.size();
    s.resize(inicio + 2 * bytes.size() + 2);
    char* p = s.data() + inicio;
    *p++ = '(';
    for (const char b : bytes) {
        switch (b) {
        case '(':
        case ')':
        case '\\':
            *p++ = '\\';
            *p++ = b;
            break;
        case '\r':
            *p++ = '\\';
            *p++ = 'r';
            break;
        case '\n':
            *p++ = '\\';
            *p++ = 'n';
            break;
        default:
            *p++ = b;
        }
    }
    *p++ = ')';
    s.truncate(p - s.constData());
}

QByteArray textoDoPdf(const QString& texto) {
    QByteArray r = "<FEFF";
    for (const QChar c : texto)
        r += QByteArray::number(c.unicode(), 16).rightJustified(4, '0');
    return r + '>';
}

// The dash pattern the painter gives a pen style, in units of the line's width.
std::vector<double> tracejado(EstiloCaneta e) {
    switch (e) {
    case EstiloCaneta::Tracejado:
        return {4, 2};
    case EstiloCaneta::Pontilhado:
        return {1, 2};
    case EstiloCaneta::TracoPonto:
        return {4, 2, 1, 2};
    case EstiloCaneta::TracoPontoPonto:
        return {4, 2, 1, 2, 1, 2};
    case EstiloCaneta::Solido:
    case EstiloCaneta::Nenhum:
        break;
    }
    return {};
}

} // namespace

struct EscritorPdf::Fonte {
    nq::Fonte chave;
    FontePdf pdf;
    int objeto;
    QByteArray nome; // in the page resources
};

EscritorPdf::EscritorPdf(QIODevice& saida, const QString& titulo) : saida_(saida), titulo_(titulo) {
    const QByteArray cabecalho = "%PDF-1.6\n%\xE2\xE3\xCF\xD3\n";
    if (saida_.write(cabecalho) != cabecalho.size())
        throw Erro(QStringLiteral("Não foi possível gravar o PDF: %1").arg(saida_.errorString()));
    posicao_ = cabecalho.size();
    novoObjeto(); // 1: the catalogue
    novoObjeto(); // 2: the page tree
    recursos_ = novoObjeto();
}

EscritorPdf::~EscritorPdf() = default;

int EscritorPdf::novoObjeto() {
    deslocamentos_.push_back(-1);
    return static_cast<int>(deslocamentos_.size());
}

void EscritorPdf::escreve(int objeto, const QByteArray& corpo) {
    deslocamentos_[objeto - 1] = posicao_;
    const QByteArray inicio = QByteArray::number(objeto) + " 0 obj\n";
    const QByteArray fim = "\nendobj\n";
    if (saida_.write(inicio) != inicio.size() || saida_.write(corpo) != corpo.size() ||
        saida_.write(fim) != fim.size())
        throw Erro(QStringLiteral("Não foi possível gravar o PDF: %1").arg(saida_.errorString()));
    posicao_ += inicio.size() + corpo.size() + fim.size();
}

QByteArray EscritorPdf::comprime(const QByteArray& dados) const {
    return qCompress(dados, 1).mid(4); // without Qt's length prefix: a zlib stream
}

EscritorPdf::Fonte& EscritorPdf::fonte(const nq::Fonte& f) {
    for (const auto& e : fontes_)
        if (e->chave.nome == f.nome && e->chave.negrito == f.negrito &&
            e->chave.italico == f.italico)
            return *e;
    const FonteResolvida r = MedidorDeTexto::instancia().resolvida(f);
    fontes_.push_back(std::make_unique<Fonte>(
        Fonte{f, FontePdf(r.fonte), novoObjeto(), "F" + QByteArray::number(fontes_.size())}));
    return *fontes_.back();
}

int EscritorPdf::imagem(const QImage& original) {
    // The same picture on every page (a coat of arms) is written once.
    if (const auto it = indiceDaImagem_.find(original.cacheKey()); it != indiceDaImagem_.end())
        return it->second;
    const bool alfa = original.hasAlphaChannel();
    const QImage rgb = original.convertToFormat(QImage::Format_RGB888);
    QByteArray pontos;
    pontos.reserve(rgb.width() * rgb.height() * 3);
    for (int y = 0; y < rgb.height(); ++y)
        pontos.append(reinterpret_cast<const char*>(rgb.constScanLine(y)), rgb.width() * 3);
    const QByteArray dimensoes = " /Width " + QByteArray::number(rgb.width()) + " /Height " +
                                 QByteArray::number(rgb.height()) + " /BitsPerComponent 8";
    QByteArray mascara;
    if (alfa) {
        const QImage a = original.convertToFormat(QImage::Format_Alpha8);
        QByteArray transparencia;
        for (int y = 0; y < a.height(); ++y)
            transparencia.append(reinterpret_cast<const char*>(a.constScanLine(y)), a.width());
        const QByteArray z = comprime(transparencia);
        const int objeto = novoObjeto();
        escreve(objeto, "<< /Type /XObject /Subtype /Image" + dimensoes +
                            " /ColorSpace /DeviceGray /Filter /FlateDecode /Length " +
                            QByteArray::number(z.size()) + " >>\nstream\n" + z + "\nendstream");
        mascara = " /SMask " + QByteArray::number(objeto) + " 0 R";
    }
    const QByteArray z = comprime(pontos);
    const int objeto = novoObjeto();
    escreve(objeto, "<< /Type /XObject /Subtype /Image" + dimensoes +
                        " /ColorSpace /DeviceRGB /Filter /FlateDecode" + mascara + " /Length " +
                        QByteArray::number(z.size()) + " >>\nstream\n" + z + "\nendstream");
    imagens_.push_back(objeto);
    indiceDaImagem_[original.cacheKey()] = static_cast<int>(imagens_.size()) - 1;
    return static_cast<int>(imagens_.size()) - 1;
}

EscritorPdf::Estilo& EscritorPdf::estilo(const nq::Fonte& fonte) {
    // A page draws a few fonts many times, mostly the same one in a row.
    if (ultimoEstilo_ && ultimoEstilo_->fonte == fonte)
        return *ultimoEstilo_;
    for (const auto& e : estilos_)
        if (e->fonte == fonte)
            return *(ultimoEstilo_ = e.get());
    const MedidorDeTexto& m = MedidorDeTexto::instancia();
    const FonteResolvida r = m.resolvida(fonte);
    Fonte& f = this->fonte(fonte);
    if (!f.pdf.valida())
        throw Erro(
            QStringLiteral("A fonte \"%1\" não pode ser incluída no PDF.").arg(r.fonte.family()));
    auto e = std::make_unique<Estilo>();
    e->fonte = fonte;
    e->pdf = &f;
    // The size the font engine drew the text at when the page was measured.
    const double tamanho =
        std::round(r.fonte.pointSizeF() * ResolucaoDasFontes / 72) * MilesimosPorPixel;
    e->tamanho = tamanho;
    e->acima = f.pdf.ascendente() * tamanho / 1000;
    e->abaixo = f.pdf.descendente() * tamanho / 1000;
    e->cor = cor(fonte.cor, "rg");
    // A printer font's glyphs stand exactly where the font engine placed them: its advance,
    // in whole 64ths of a pixel, differs a little from the width the PDF declares, and the
    // difference goes between the characters.
    e->inicio = "BT /" + f.nome + " 1 Tf ";
    double espaco = 0;
    if (const double avanco = m.avancoFixo(fonte); avanco > 0)
        espaco = avanco * MilesimosPorPixel / tamanho -
                 f.pdf.largura(f.pdf.glifo(QLatin1Char('0'))) / 1000;
    numero(e->inicio, espaco);
    e->inicio += "Tc\n";
    numero(e->matriz, r.escalaHorizontal * tamanho);
    e->matriz += "0 0 ";
    numero(e->matriz, -tamanho);
    estilos_.push_back(std::move(e));
    return *(ultimoEstilo_ = estilos_.back().get());
}

void EscritorPdf::texto(QByteArray& s, const ComandoTexto& c) {
    if (!c.transparente) {
        s += cor(c.fundo, "rg");
        corDoPreenchimento_.clear();
        retangulo(s, c.caixa);
        s += "f\n";
    }
    if (c.trechos.empty())
        return;
    const MedidorDeTexto& m = MedidorDeTexto::instancia();
    Estilo& e = estilo(c.fonte);
    FontePdf& pdf = e.pdf->pdf;
    // Clipped to its box, as the painter does, only where a glyph could leave it.
    bool recorta = false;
    for (const TrechoDeTexto& t : c.trechos)
        recorta = recorta || t.x < c.caixa.esquerda ||
                  t.x + m.largura(c.fonte, t.texto) > c.caixa.direita() ||
                  t.linhaDeBase - e.acima < c.caixa.topo - 1 ||
                  t.linhaDeBase + e.abaixo > c.caixa.base() + 1;
    if (recorta) {
        s += "q ";
        retangulo(s, c.caixa);
        s += "W n\n";
    }
    if (e.cor != corDoPreenchimento_) {
        s += e.cor;
        corDoPreenchimento_ = recorta ? QByteArray() : e.cor;
    }
    s += e.inicio;
    for (const TrechoDeTexto& t : c.trechos) {
        s += e.matriz;
        numero(s, t.x);
        numero(s, t.linhaDeBase);
        s += "Tm ";
        codigos_.clear();
        pdf.codigos(t.texto, codigos_);
        cadeia(s, codigos_);
        s += " Tj\n";
    }
    s += "ET\n";
    for (const bool sublinhado : {true, false}) {
        if (!(sublinhado ? c.fonte.sublinhado : c.fonte.riscado))
            continue;
        const FontePdf::Traco traco = sublinhado ? pdf.sublinhado() : pdf.riscado();
        const double espessura = std::max(traco.espessura * e.tamanho / 1000, MilesimosPorPixel);
        for (const TrechoDeTexto& t : c.trechos) {
            numero(s, t.x);
            numero(s, t.linhaDeBase - traco.posicao * e.tamanho / 1000 - espessura / 2);
            numero(s, m.largura(c.fonte, t.texto));
            numero(s, espessura);
            s += "re f\n";
        }
    }
    if (recorta)
        s += "Q\n";
}

void EscritorPdf::linha(QByteArray& s, const ComandoLinha& c) {
    if (c.caneta.estilo == EstiloCaneta::Nenhum)
        return;
    const double largura = c.caneta.espessura * MilesimosPorPonto;
    QByteArray caneta = cor(c.caneta.cor, "RG");
    numero(caneta, largura);
    caneta += "w [";
    // A line of no thickness is one device dot wide: its dashes are measured in dots.
    const double unidade = largura > 0 ? largura : MilesimosPorPixel;
    for (const double d : tracejado(c.caneta.estilo))
        numero(caneta, d * unidade);
    caneta += "] 0 d\n";
    if (caneta != caneta_) {
        s += caneta;
        caneta_ = caneta;
    }
    numero(s, c.x1);
    numero(s, c.y1);
    s += "m ";
    numero(s, c.x2);
    numero(s, c.y2);
    s += "l S\n";
}

void EscritorPdf::forma(QByteArray& s, const ComandoForma& c) {
    const bool traco = c.caneta.estilo != EstiloCaneta::Nenhum;
    if (!traco && !c.preenchida)
        return;
    if (traco) {
        const double largura = c.caneta.espessura * MilesimosPorPonto;
        QByteArray caneta = cor(c.caneta.cor, "RG");
        numero(caneta, largura);
        caneta += "w [";
        for (const double d : tracejado(c.caneta.estilo))
            numero(caneta, d * (largura > 0 ? largura : MilesimosPorPixel));
        caneta += "] 0 d\n";
        if (caneta != caneta_) {
            s += caneta;
            caneta_ = caneta;
        }
    }
    if (c.preenchida) {
        s += cor(c.preenchimento, "rg");
        corDoPreenchimento_.clear();
    }
    const double x = c.caixa.esquerda;
    const double y = c.caixa.topo;
    const double w = c.caixa.largura;
    const double h = c.caixa.altura;
    auto ponto = [&s](double px, double py) {
        numero(s, px);
        numero(s, py);
    };
    auto curva = [&](double x1, double y1, double x2, double y2, double x3, double y3) {
        ponto(x1, y1);
        ponto(x2, y2);
        ponto(x3, y3);
        s += "c ";
    };
    switch (c.tipo) {
    case TipoDeForma::Retangulo:
        retangulo(s, c.caixa);
        break;
    case TipoDeForma::RetanguloArredondado: {
        const double rx = std::min<double>(c.raio, w / 2);
        const double ry = std::min<double>(c.raio, h / 2);
        const double kx = rx * Kappa;
        const double ky = ry * Kappa;
        ponto(x + rx, y);
        s += "m ";
        ponto(x + w - rx, y);
        s += "l ";
        curva(x + w - rx + kx, y, x + w, y + ry - ky, x + w, y + ry);
        ponto(x + w, y + h - ry);
        s += "l ";
        curva(x + w, y + h - ry + ky, x + w - rx + kx, y + h, x + w - rx, y + h);
        ponto(x + rx, y + h);
        s += "l ";
        curva(x + rx - kx, y + h, x, y + h - ry + ky, x, y + h - ry);
        ponto(x, y + ry);
        s += "l ";
        curva(x, y + ry - ky, x + rx - kx, y, x + rx, y);
        s += "h ";
        break;
    }
    case TipoDeForma::Elipse: {
        const double cx = x + w / 2;
        const double cy = y + h / 2;
        const double kx = w / 2 * Kappa;
        const double ky = h / 2 * Kappa;
        ponto(x + w, cy);
        s += "m ";
        curva(x + w, cy + ky, cx + kx, y + h, cx, y + h);
        curva(cx - kx, y + h, x, cy + ky, x, cy);
        curva(x, cy - ky, cx - kx, y, cx, y);
        curva(cx + kx, y, x + w, cy - ky, x + w, cy);
        s += "h ";
        break;
    }
    }
    s += traco && c.preenchida ? "B\n" : traco ? "S\n" : "f\n";
}

void EscritorPdf::desenhaImagem(QByteArray& s, const ComandoImagem& c) {
    if (c.imagem.isNull())
        return;
    const int indice = imagem(c.imagem);
    const Retangulo area = areaDaImagem(c);
    s += "q ";
    retangulo(s, c.caixa);
    s += "W n ";
    numero(s, area.largura);
    s += "0 0 ";
    numero(s, -area.altura);
    numero(s, area.esquerda);
    numero(s, area.base());
    s += "cm /Im" + QByteArray::number(indice) + " Do Q\n";
    corDoPreenchimento_.clear();
    caneta_.clear();
}

void EscritorPdf::acrescenta(const Pagina& pagina) {
    const int largura = qRound(pagina.papel.largura / MilesimosPorPonto);
    const int altura = qRound(pagina.papel.altura / MilesimosPorPonto);
    corDoPreenchimento_.clear();
    caneta_.clear();
    QByteArray s;
    s.reserve(64 * 1024);
    // Thousandths of a millimetre from the paper's top left corner, y downwards.
    s += "0.0028346457 0 0 -0.0028346457 0 ";
    numero(s, altura);
    s += "cm 0 J 0 j 2 M\n";
    for (const ComandoDeDesenho& comando : pagina.comandos)
        std::visit(
            [&](const auto& c) {
                using T = std::decay_t<decltype(c)>;
                if constexpr (std::is_same_v<T, ComandoTexto>)
                    texto(s, c);
                else if constexpr (std::is_same_v<T, ComandoLinha>)
                    linha(s, c);
                else if constexpr (std::is_same_v<T, ComandoForma>)
                    forma(s, c);
                else
                    desenhaImagem(s, c);
            },
            comando);
    const QByteArray z = comprime(s);
    const int conteudo = novoObjeto();
    escreve(conteudo, "<< /Length " + QByteArray::number(z.size()) +
                          " /Filter /FlateDecode >>\nstream\n" + z + "\nendstream");
    const int objeto = novoObjeto();
    escreve(objeto, "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 " + QByteArray::number(largura) +
                        ' ' + QByteArray::number(altura) + "] /Resources " +
                        QByteArray::number(recursos_) + " 0 R /Contents " +
                        QByteArray::number(conteudo) + " 0 R >>");
    paginas_.push_back(objeto);
}

void EscritorPdf::termina() {
    QByteArray fontes;
    for (const auto& f : fontes_) {
        f->pdf.grava(
            f->objeto, [this] { return novoObjeto(); },
            [this](int objeto, const QByteArray& corpo) { escreve(objeto, corpo); },
            [this](const QByteArray& dados) { return comprime(dados); });
        fontes += '/' + f->nome + ' ' + QByteArray::number(f->objeto) + " 0 R ";
    }
    QByteArray imagens;
    for (std::size_t i = 0; i < imagens_.size(); ++i)
        imagens += "/Im" + QByteArray::number(static_cast<qulonglong>(i)) + ' ' +
                   QByteArray::number(imagens_[i]) + " 0 R ";
    escreve(recursos_, "<< /ProcSet [/PDF /Text /ImageB /ImageC] /Font << " + fontes +
                           ">> /XObject << " + imagens + ">> >>");
    QByteArray filhas;
    for (const int p : paginas_)
        filhas += QByteArray::number(p) + " 0 R ";
    escreve(2, "<< /Type /Pages /Kids [" + filhas + "] /Count " +
                   QByteArray::number(static_cast<qulonglong>(paginas_.size())) + " >>");
    escreve(1, "<< /Type /Catalog /Pages 2 0 R >>");
    const int info = novoObjeto();
    escreve(info,
            "<< /Title " + textoDoPdf(titulo_) + " /Creator " +
                textoDoPdf(QStringLiteral("NQ 404")) + " /Producer " +
                textoDoPdf(QStringLiteral("NQ 404")) + " /CreationDate (D:" +
                QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMddHHmmss")).toLatin1() +
                ") >>");
    QByteArray tabela = "xref\n0 " +
                        QByteArray::number(static_cast<qulonglong>(deslocamentos_.size() + 1)) +
                        "\n0000000000 65535 f \n";
    for (const qint64 d : deslocamentos_)
        tabela += QByteArray::number(d).rightJustified(10, '0') + " 00000 n \n";
    tabela += "trailer\n<< /Size " +
              QByteArray::number(static_cast<qulonglong>(deslocamentos_.size() + 1)) +
              " /Root 1 0 R /Info " + QByteArray::number(info) + " 0 R >>\nstartxref\n" +
              QByteArray::number(posicao_) + "\n%%EOF\n";
    if (saida_.write(tabela) != tabela.size())
        throw Erro(QStringLiteral("Não foi possível gravar o PDF: %1").arg(saida_.errorString()));
}

} // namespace nq
