#pragma once

#include <QByteArray>
#include <bit>
#include <cstdint>
#include <cstring>

namespace nq {

// Little-endian fields, as the binary spreadsheet formats store them.
class Bytes {
public:
    QByteArray& dados() { return dados_; }
    const QByteArray& dados() const { return dados_; }
    int tamanho() const { return static_cast<int>(dados_.size()); }

    Bytes& u8(uint8_t v) {
        dados_.append(static_cast<char>(v));
        return *this;
    }
    Bytes& u16(uint16_t v) { return u8(v & 0xff).u8(v >> 8); }
    Bytes& u32(uint32_t v) { return u16(v & 0xffff).u16(v >> 16); }
    Bytes& u64(uint64_t v) { return u32(v & 0xffffffffu).u32(v >> 32); }
    Bytes& f64(double v) { return u64(std::bit_cast<uint64_t>(v)); }
    Bytes& bytes(const QByteArray& b) {
        dados_.append(b);
        return *this;
    }
    Bytes& zeros(int n) {
        dados_.append(n, '\0');
        return *this;
    }
    // Overwrites a 32-bit field already written (an offset known only later).
    void poe32(int posicao, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            dados_[posicao + i] = static_cast<char>((v >> (8 * i)) & 0xff);
    }

private:
    QByteArray dados_;
};

} // namespace nq
