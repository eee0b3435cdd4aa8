#pragma once

#include <QByteArray>
#include <QFont>
#include <QHash>
#include <QRawFont>
#include <QString>
#include <array>
#include <functional>
#include <map>
#include <vector>

namespace nq {

// One font as a PDF embeds it (a composite font whose codes are the font's own glyph
// numbers, as a PDF reader expects of a TrueType or OpenType program): turns texts into
// glyph codes and their advances, notes the glyphs used and what text each stands for, and
// at the end writes the font with its glyph widths, the text map that lets the reader copy
// and search the text, and the font program. A TrueType program is cut down to the glyphs
// used (the others left empty, their numbers kept); an OpenType (CFF) one goes whole.
class FontePdf {
public:
    // `fonte`: the font as the device draws it (family, weight, style).
    explicit FontePdf(const QFont& fonte);

    bool valida() const { return valida_; }
    // Appends to `destino` the glyph codes of `texto`, two bytes each, as a PDF string's
    // content; notes their use.
    void codigos(const QString& texto, QByteArray& destino);
    // The glyph of a character (0 when the font has none).
    quint16 glifo(QChar c);
    // Advance of a glyph in thousandths of the font size, whole, as the PDF declares it.
    double largura(quint16 glifo) const;
    // Ascent and descent (below the baseline, positive) in thousandths of the font size.
    double ascendente() const { return ascendente_; }
    double descendente() const { return descendente_; }
    // Underline and strike-out lines: distance above the baseline of their middle (negative
    // below it) and thickness, in thousandths of the font size.
    struct Traco {
        double posicao = 0;
        double espessura = 50;
    };
    Traco sublinhado() const { return sublinhado_; }
    Traco riscado() const { return riscado_; }

    // Writes the font's objects; `objeto` is the number the pages name it by, `novoObjeto`
    // gives fresh numbers and `escreve(numero, corpo)` writes one object.
    void grava(int objeto, const std::function<int()>& novoObjeto,
               const std::function<void(int, const QByteArray&)>& escreve,
               const std::function<QByteArray(const QByteArray&)>& comprime) const;

private:
    // A table of the font program that is embedded.
    QByteArray tabela(const char* etiqueta) const;
    QByteArray programaTrueType() const;
    QByteArray programaOpenType() const;
    QByteArray mapaDeTexto() const;
    quint16 glifoDaFonte(QChar c) const;

    QRawFont bruta_;
    bool valida_ = false;
    bool cff_ = false;
    int unidadesPorEm_ = 1000;
    double ascendente_ = 800;
    double descendente_ = 200;
    Traco sublinhado_{-100, 50};
    Traco riscado_{250, 50};
    QByteArray nome_;
    std::vector<quint16> avancos_; // per glyph, in font units
    QHash<char16_t, quint16> glifos_;
    // Glyphs of the first 256 characters, looked up once (-1 not yet): the texts of a
    // report are mostly these, and every character of every page passes here.
    std::array<int, 256> latinos_;
    std::map<quint16, QString> usados_; // glyph -> the text it stood for
    std::vector<bool> notados_;         // by glyph: already in usados_
};

} // namespace nq
