#pragma once

#include "report/devices/fonte_pdf.h"
#include "report/pagina.h"

#include <QIODevice>
#include <map>
#include <memory>
#include <vector>

namespace nq {

// Writes report pages into a PDF as they come, each page's objects at once, so that a long
// report needs no more memory than a page. A page is drawn as its commands say, already
// laid out: a run of text is one string of glyphs drawn with the font's own advances (the
// fixed-pitch printer fonts at their pitch, condensed texts narrower), clipped to its box
// only where it could leave it; lines, shapes and images as the painter draws them. Fonts
// are embedded with the glyphs used and a text map, so the text can be copied and
// searched. Coordinates are written in thousandths of a millimetre, as the pages hold them.
class EscritorPdf {
public:
    EscritorPdf(QIODevice& saida, const QString& titulo);
    ~EscritorPdf();
    EscritorPdf(const EscritorPdf&) = delete;
    EscritorPdf& operator=(const EscritorPdf&) = delete;

    void acrescenta(const Pagina& pagina);
    // Fonts, the page tree and the file's tables; nothing may be added afterwards.
    void termina();

private:
    struct Fonte;
    // A font as the texts of a page name it (size, colour, condensation), with what its
    // runs write, worked out once.
    struct Estilo {
        nq::Fonte fonte;
        Fonte* pdf = nullptr;
        double tamanho = 0; // the size drawn, in thousandths of a millimetre
        double acima = 0;   // ascent and descent at that size
        double abaixo = 0;
        QByteArray cor;    // fill colour operator
        QByteArray inicio; // text object, font and character spacing
        QByteArray matriz; // the text matrix but for its position
    };
    Estilo& estilo(const nq::Fonte& fonte);
    int novoObjeto();
    void escreve(int objeto, const QByteArray& corpo);
    QByteArray comprime(const QByteArray& dados) const;
    Fonte& fonte(const nq::Fonte& f);
    int imagem(const QImage& imagem);

    void texto(QByteArray& s, const ComandoTexto& c);
    void linha(QByteArray& s, const ComandoLinha& c);
    void forma(QByteArray& s, const ComandoForma& c);
    void desenhaImagem(QByteArray& s, const ComandoImagem& c);

    QIODevice& saida_;
    QString titulo_;
    qint64 posicao_ = 0;
    std::vector<qint64> deslocamentos_; // of each object, by number (from 1)
    std::vector<int> paginas_;
    std::vector<std::unique_ptr<Fonte>> fontes_;
    std::vector<std::unique_ptr<Estilo>> estilos_;
    Estilo* ultimoEstilo_ = nullptr;
    QByteArray codigos_; // of the run being written
    std::vector<int> imagens_;
    std::map<qint64, int> indiceDaImagem_;
    int recursos_ = 0;
    // What the page being written last set, so that it is not set again.
    QByteArray corDoTraco_;
    QByteArray corDoPreenchimento_;
    QByteArray caneta_;
};

} // namespace nq
