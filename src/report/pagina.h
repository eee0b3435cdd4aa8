#pragma once

#include "report/fontes.h"

#include <QColor>
#include <QImage>
#include <QString>
#include <variant>
#include <vector>

// The generated page: what the band engine produces and every device (preview, printer,
// files) consumes. All coordinates and sizes are integers in thousandths of a millimetre,
// measured from the top-left corner of the paper (margins included).
namespace nq {

struct Retangulo {
    int esquerda = 0;
    int topo = 0;
    int largura = 0;
    int altura = 0;

    int direita() const { return esquerda + largura; }
    int base() const { return topo + altura; }
    bool operator==(const Retangulo&) const = default;
};

enum class Alinhamento { Esquerda, Direita, Centro, Justificado };

enum class EstiloCaneta { Solido, Tracejado, Pontilhado, TracoPonto, TracoPontoPonto, Nenhum };

struct Caneta {
    QColor cor = Qt::black;
    double espessura = 0; // points; 0 is the thinnest line the device draws
    EstiloCaneta estilo = EstiloCaneta::Solido;

    bool operator==(const Caneta&) const = default;
};

// One run of text, already placed: the device draws `texto` with its baseline at
// (x, linhaDeBase) and does no layout of its own (alignment, word wrap and justification
// were done when the page was generated).
struct TrechoDeTexto {
    int x = 0;
    int linhaDeBase = 0;
    QString texto;
};

// A text component, a memo or rich text as printed on this page (a stretchable text that
// continues on the next page carries here only the lines that fitted).
struct ComandoTexto {
    Retangulo caixa; // the component's box; drawing is clipped to it
    Fonte fonte;
    Alinhamento alinhamento = Alinhamento::Esquerda; // as laid out, for file devices
    bool transparente = true;
    QColor fundo = Qt::white; // painted over the box when not transparent
    std::vector<TrechoDeTexto> trechos;
    // For a data component of the detail band: the master record it printed (0-based, in
    // run order); -1 for every other text. The text-file device writes one line per record.
    int registro = -1;
};

// Double lines arrive as two commands; a line's thickness is centred on its coordinates.
struct ComandoLinha {
    int x1 = 0;
    int y1 = 0;
    int x2 = 0;
    int y2 = 0;
    Caneta caneta;
};

enum class TipoDeForma { Retangulo, RetanguloArredondado, Elipse };

struct ComandoForma {
    Retangulo caixa;
    TipoDeForma tipo = TipoDeForma::Retangulo;
    Caneta caneta;
    bool preenchida = true;
    QColor preenchimento = Qt::white;
    int raio = 0; // corner radius of a rounded rectangle
};

struct ComandoImagem {
    Retangulo caixa;
    QImage imagem;
    bool esticada = false;       // scaled to the box
    bool manterProporcao = true; // when scaled
    bool centralizada = false;   // when not scaled: centred in the box, else at its top-left
};

using ComandoDeDesenho = std::variant<ComandoTexto, ComandoLinha, ComandoForma, ComandoImagem>;

enum class Orientacao { Retrato, Paisagem };

// Paper as the layout gives it (the printer setup of the report).
struct Papel {
    QString nome = QStringLiteral("A4"); // "Carta", "A4"...
    int codigo = 9;                      // Windows paper code: 1 letter, 9 A4
    int largura = 210000;                // as printed: a landscape layout gives them turned
    int altura = 297000;
    Orientacao orientacao = Orientacao::Retrato;
    int margemSuperior = 6350;
    int margemInferior = 6350;
    int margemEsquerda = 6350;
    int margemDireita = 6350;

    bool operator==(const Papel&) const = default;
};

struct Pagina {
    Papel papel;
    int numero = 1;         // absolute, from 1
    int numeroRelativo = 1; // restarts with each section
    bool primeira = false;
    bool ultima = false;
    std::vector<ComandoDeDesenho> comandos; // in drawing order
};

// What the print job needs besides the pages (printer setup of the report).
struct TrabalhoDeImpressao {
    QString nomeDocumento = QStringLiteral("Report"); // job name in the print queue
    QString impressora = QStringLiteral("Default");   // "Default": the system's default
    QString bandeja = QStringLiteral("Default");
    int copias = 1;
    bool agrupar = false;
    QString tipoDispositivo = QStringLiteral("Screen");
    bool permiteImprimirParaArquivo = false;
    bool permiteImprimirParaArquivoMorto = false;
};

// The pages of one run of a report.
struct Documento {
    QString nomeRelatorio;
    TrabalhoDeImpressao trabalho;
    std::vector<Pagina> paginas;
};

} // namespace nq
