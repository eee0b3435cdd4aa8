#pragma once

#include <QString>
#include <stdexcept>

namespace nq {

// Every error of the program carries a Portuguese text for the user.
class Erro : public std::runtime_error {
public:
    explicit Erro(const QString& texto)
        : std::runtime_error(texto.toStdString()), texto_(texto) {}
    const QString& texto() const { return texto_; }

private:
    QString texto_;
};

} // namespace nq
