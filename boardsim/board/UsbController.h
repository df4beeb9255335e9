// The board's USB microcontroller: it answers the vendor requests and bridges them to the I2C bus.
#pragma once

#include <cstdint>

#include "i2c/I2cBus.h"
#include "usb/SetupPacket.h"

namespace boardsim {

class UsbController {
public:
    // Vendor requests.
    static constexpr uint8_t kRequestI2c = 0xA9;
    static constexpr uint8_t kRequestVersion = 0xB0;
    // wIndex bit of request 0xA9: the register address is 16 bits wide.
    static constexpr uint16_t kWideRegister = 0x100;

    UsbController(I2cBus& bus, uint16_t firmwareVersion);

    // A vendor request; the bytes transferred or a negative errno (-EPIPE: stalled).
    int handleVendor(const SetupPacket& setup, uint8_t* data);

    uint16_t firmwareVersion() const { return m_firmwareVersion; }

private:
    int i2cWrite(const SetupPacket& setup, const uint8_t* data);
    int i2cRead(const SetupPacket& setup, uint8_t* data);
    // Start, slave address and register address: the common head of both directions.
    bool i2cAddressRegister(const SetupPacket& setup);

    I2cBus& m_bus;
    uint16_t m_firmwareVersion;
};

}  // namespace boardsim
