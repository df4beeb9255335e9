// The registers of a board's sensor controller (I2C slave 0x35, 16-bit register addresses) as the
// setup pages reach them through a device handle and a register port: single bytes, single bits
// changed by a read and a write, and quantities wider than a byte kept in a register pair, high
// byte at the lower address. Without a handle (no device chosen) nothing is sent and every access
// succeeds, reading 0.
//
// Used on the GUI thread only.
#pragma once

#include <kxCamContextHead.h>
#include "RegisterPort.h"

namespace hv {

class SensorRegisters {
public:
    static constexpr int kSlave = 0x35;

    // Both are borrowed; a null handle: no device.
    SensorRegisters(RegisterPort& port, CamContext* handle) : m_port(port), m_handle(handle) {}
    // Through the camera library.
    explicit SensorRegisters(CamContext* handle);

    // The low byte of the register into value; false when the transfer failed (value is 0).
    bool read(int reg, int& value);
    // Writes the low byte of value; false when the transfer failed.
    bool write(int reg, int value);
    // Sets or clears the bits of mask and keeps the others: a read, then a write. When the read
    // fails nothing is written: the other bits are not known.
    bool setBits(int reg, int mask, bool on);
    // A pair: high byte × 256 + low byte. False when either read failed (value is 0).
    bool readPair(int highReg, int& value);
    // Writes bits 8 and up of value, masked with highMask, to highReg, then bits 0-7 to the next
    // register; the low byte is not written when the high one failed.
    bool writePair(int highReg, int value, int highMask);

    // The platform error (errno value) of the last access that failed; 0 while none did.
    int lastError() const { return m_lastError; }

private:
    bool failed();

    RegisterPort& m_port;
    CamContext* m_handle;
    int m_lastError = 0;
};

}  // namespace hv
