#include "UsbController.h"

#include <cerrno>

namespace boardsim {

UsbController::UsbController(I2cBus& bus, uint16_t firmwareVersion)
    : m_bus(bus), m_firmwareVersion(firmwareVersion) {}

int UsbController::handleVendor(const SetupPacket& setup, uint8_t* data) {
    switch (setup.request) {
        case kRequestI2c:
            return setup.isIn() ? i2cRead(setup, data) : i2cWrite(setup, data);
        case kRequestVersion:
            if (!setup.isIn() || setup.length < 2) {
                return -EPIPE;
            }
            data[0] = static_cast<uint8_t>(m_firmwareVersion & 0xFF);
            data[1] = static_cast<uint8_t>(m_firmwareVersion >> 8);
            return 2;
        default:
            return -EPIPE;
    }
}

bool UsbController::i2cAddressRegister(const SetupPacket& setup) {
    const auto slave = static_cast<uint8_t>(setup.index & 0x7F);
    if (!m_bus.start(slave, false)) {
        return false;
    }
    if ((setup.index & kWideRegister) != 0 && !m_bus.send(static_cast<uint8_t>(setup.value >> 8))) {
        return false;
    }
    return m_bus.send(static_cast<uint8_t>(setup.value & 0xFF));
}

int UsbController::i2cWrite(const SetupPacket& setup, const uint8_t* data) {
    bool acked = i2cAddressRegister(setup);
    for (uint16_t i = 0; acked && i < setup.length; ++i) {
        acked = m_bus.send(data[i]);
    }
    m_bus.stop();
    return acked ? setup.length : -EPIPE;
}

int UsbController::i2cRead(const SetupPacket& setup, uint8_t* data) {
    const bool acked =
        i2cAddressRegister(setup) && m_bus.start(static_cast<uint8_t>(setup.index & 0x7F), true);
    if (acked) {
        for (uint16_t i = 0; i < setup.length; ++i) {
            data[i] = m_bus.recv();
        }
    }
    m_bus.stop();
    return acked ? setup.length : -EPIPE;
}

}  // namespace boardsim
