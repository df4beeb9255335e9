// The registers of one board's sensor controller (I2C 0x35, 16-bit register addresses) as the
// AWB page uses them: bytes, and single bits changed by read-modify-write.
#pragma once

#include "RegisterPort.h"

namespace hv {

class SensorRegisters {
public:
    static constexpr int kSlave = 0x35;

    // Both are borrowed for the object's life.
    SensorRegisters(RegisterPort& port, CamContext* handle) : m_port(port), m_handle(handle) {}

    // False when the transfer failed; value is then 0.
    bool read(int reg, int& value);
    // False when the transfer failed.
    bool write(int reg, int value);
    // Reads the register, sets or clears the one bit and writes the byte back, the other bits
    // as read. When the read fails nothing is written: the other bits are not known.
    void setBit(int reg, int bit, bool on);

private:
    RegisterPort& m_port;
    CamContext* m_handle;
};

}  // namespace hv
