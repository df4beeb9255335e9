#include "Crc32c.h"

namespace boardsim {

namespace {

constexpr uint32_t kPolynomial = 0x82F63B78;

}  // namespace

void Crc32c::add(uint8_t byte) {
    m_value ^= byte;
    for (int bit = 0; bit < 8; ++bit) {
        m_value = (m_value & 1) != 0 ? (m_value >> 1) ^ kPolynomial : m_value >> 1;
    }
}

void Crc32c::addWrite(uint32_t word, uint32_t reg) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        add(static_cast<uint8_t>(word >> shift));
    }
    add(static_cast<uint8_t>(reg));
}

}  // namespace boardsim
