// Single-register access over the board's I2C bridge (vendor request 0xA9). The bridge's request
// and slave addresses are defined here once; the loaders' transfers through the bridge use them.
#pragma once

#include <cstdint>

struct CamContext;

class RegisterAccess {
public:
    static constexpr int kRequestI2c = 0xA9;
    // The I2C address word's bit for 16-bit register addresses.
    static constexpr int kWide = 0x100;
    static constexpr int kSlaveFpga = 0x3C;
    static constexpr int kSlaveSensor = 0x35;

    // The wIndex of request 0xA9: slave in bits 0-7, kWide for 16-bit register addresses.
    static int addressWord(int slave, bool wide) { return (slave & 0xFF) | (wide ? kWide : 0); }

    // Reads one byte into *value (0 to 255; 0 when the read failed). Returns the bytes
    // transferred (1, or 0 on failure), or -3 when the transfer buffer cannot be had.
    static int read(CamContext* context, int slave, int reg, int* value, bool wide);
    // Writes value & 0xFF. Returns the bytes transferred, or -3.
    static int write(CamContext* context, int slave, int reg, int value, bool wide);

    // A read whose failure counts as 0, for read-modify-write of registers.
    static int readOrZero(CamContext* context, int slave, int reg, bool wide);
};
