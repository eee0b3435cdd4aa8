#pragma once

#include "core/moeda.h"

#include <QString>
#include <cstdint>
#include <variant>

namespace nq {

// The kinds of field a table holds. A formatted memo keeps its rich text as
// text (the packet stores it as such); text fields have a width in characters.
enum class FieldKind { Text, Money, Integer, Float, FormattedMemo };

// "texto", "moeda", ... for messages.
QString nomeDoTipo(FieldKind tipo);

// One cell: null, or a value of one of the kinds. Memo text travels as QString.
class Value {
public:
    Value() = default;
    Value(const QString& texto) : dados_(texto) {}
    Value(const char* texto) : dados_(QString::fromUtf8(texto)) {}
    Value(Moeda moeda) : dados_(moeda) {}
    Value(int32_t inteiro) : dados_(inteiro) {}
    Value(double real) : dados_(real) {}

    bool isNull() const { return std::holds_alternative<std::monostate>(dados_); }

    // Readings that follow null semantics: null reads as the empty text or 0.
    // A text that is not a number throws nq::Erro.
    QString asString() const;
    Moeda asCurrency() const;
    int32_t asInteger() const;
    double asFloat() const;

    // Converts to a field's kind (text width is checked by the table, not here);
    // throws nq::Erro naming `campo` when the value does not fit the kind.
    Value convertido(FieldKind tipo, const QString& campo) const;

    const std::variant<std::monostate, QString, Moeda, int32_t, double>& dados() const {
        return dados_;
    }
    bool operator==(const Value& o) const = default;

private:
    std::variant<std::monostate, QString, Moeda, int32_t, double> dados_;
};

} // namespace nq
