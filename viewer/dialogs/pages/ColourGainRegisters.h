// One colour gain of the sensor's white balance: a 12-bit value in a register pair, bits 8-11 in
// the low nibble of the high register, bits 0-7 in the low register at the next address.
#pragma once

#include "SensorRegisters.h"

namespace hv {

class ColourGainRegisters {
public:
    static constexpr int kMax = 0x0FFF;

    // Which register a write puts first.
    enum class Order { LowFirst, HighFirst };

    explicit constexpr ColourGainRegisters(int highRegister) : m_high(highRegister) {}

    int highRegister() const { return m_high; }
    int lowRegister() const { return m_high + 1; }

    // The gain the board holds; a register that cannot be read counts as 0.
    int read(SensorRegisters& sensor) const;
    // Writes gain (its low 12 bits) in the order given; a failed write does not stop the other.
    void write(SensorRegisters& sensor, int gain, Order order) const;

    // The high register's byte (bits 8-11) and the low register's byte of a gain.
    static int highByte(int gain) { return (gain & kMax) >> 8; }
    static int lowByte(int gain) { return gain & 0xFF; }

private:
    int m_high;
};

}  // namespace hv
