#pragma once

#include "tables/valor.h"

#include <QHash>
#include <QString>
#include <cstdint>
#include <vector>

namespace nq {

struct FieldDef {
    QString name;
    FieldKind kind = FieldKind::Text;
    int size = 0;          // width of a text field in characters; 0: no limit
    bool required = false; // post refuses a null
    bool calculated = false;
};

// Values of one field for every row, stored by kind so that a hundred thousand
// rows stay compact and compare fast.
class Coluna {
public:
    explicit Coluna(FieldKind tipo) : tipo_(tipo) {}

    int linhas() const { return static_cast<int>(nulos_.size()); }
    bool nulo(int linha) const { return nulos_[linha] != 0; }
    Value valor(int linha) const;
    // `v` must already be of this column's kind (or null).
    void define(int linha, const Value& v);
    void acrescentaNulo();
    void reserva(int linhas);
    void limpa();

    // Ordering of two rows: null first, texts by character codes.
    int compara(int a, int b) const;
    // Ordering of a row against a value of this column's kind (not null);
    // null rows read as the empty text or zero.
    int comparaCom(int linha, const Value& v, bool ignoraCaixa = false) const;
    // Text rows (null as empty) that begin with `prefixo`.
    bool comecaCom(int linha, const QString& prefixo) const;

private:
    bool ehTexto() const { return tipo_ == FieldKind::Text || tipo_ == FieldKind::FormattedMemo; }

    FieldKind tipo_;
    std::vector<uint8_t> nulos_;
    std::vector<QString> textos_;  // text and memo
    std::vector<int64_t> numeros_; // money in ten-thousandths, integers
    std::vector<double> reais_;
};

// The fields and rows of one table: what a packet holds, what a table shows.
class Dados {
public:
    // Throws nq::Erro on a duplicate name (letter case ignored) or a bad width.
    void acrescentaCampo(const FieldDef& def);
    int campos() const { return static_cast<int>(defs_.size()); }
    const FieldDef& def(int campo) const { return defs_[campo]; }
    const std::vector<FieldDef>& definicoes() const { return defs_; }
    int indiceDoCampo(const QString& nome) const { return indices_.value(nome.toUpper(), -1); }
    const Coluna& coluna(int campo) const { return colunas_[campo]; }

    int linhas() const { return linhas_; }
    int acrescentaLinha(); // every field null; returns its number
    void reservaLinhas(int linhas);
    void limpaLinhas();
    Value valor(int linha, int campo) const { return colunas_[campo].valor(linha); }
    // Converts and checks `v` (see ajusta) and stores it.
    void define(int linha, int campo, const Value& v);

    // `v` converted to the field's kind; throws nq::Erro naming the field when
    // it does not convert or a text is wider than the field.
    static Value ajusta(const FieldDef& def, const Value& v);

private:
    std::vector<FieldDef> defs_;
    std::vector<Coluna> colunas_;
    QHash<QString, int> indices_;
    int linhas_ = 0;
};

} // namespace nq
