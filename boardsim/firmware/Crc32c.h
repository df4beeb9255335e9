// CRC-32C (Castagnoli, reflected, initial value 0, no final inversion), fed byte by byte: the
// configuration stream's check.
#pragma once

#include <cstdint>

namespace boardsim {

class Crc32c {
public:
    void reset() { m_value = 0; }
    void add(uint8_t byte);
    // A word as its 4 bytes, most significant first, then its register number.
    void addWrite(uint32_t word, uint32_t reg);
    uint32_t value() const { return m_value; }

private:
    uint32_t m_value = 0;
};

}  // namespace boardsim
