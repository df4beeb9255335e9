// The I2C bus of one camera board as the LED logic sees it: single register bytes of a chip,
// 8-bit register addresses.
#pragma once

namespace hv {

class LedBus {
public:
    virtual ~LedBus() = default;

    // Reads register reg of the chip at I2C id chip into value. False when the transfer failed;
    // value is then 0.
    virtual bool read(int chip, int reg, int& value) = 0;
    // Writes one byte; a failed transfer goes unnoticed.
    virtual void write(int chip, int reg, int value) = 0;
};

}  // namespace hv
