#include "UsbController.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace boardsim {

namespace {

// Copies a reply into the data stage, cut to wLength.
int reply(const SetupPacket& setup, uint8_t* data, const uint8_t* bytes, std::size_t count) {
    const std::size_t sent = std::min<std::size_t>(count, setup.length);
    if (sent > 0) {
        std::memcpy(data, bytes, sent);
    }
    return static_cast<int>(sent);
}

int replyWords(const SetupPacket& setup, uint8_t* data, uint16_t first, uint16_t second,
               std::size_t words) {
    const uint8_t bytes[] = {
        static_cast<uint8_t>(first & 0xFF),
        static_cast<uint8_t>(first >> 8),
        static_cast<uint8_t>(second & 0xFF),
        static_cast<uint8_t>(second >> 8),
    };
    return reply(setup, data, bytes, 2 * words);
}

}  // namespace

UsbController::UsbController(I2cBus& bus, DataPipe& bulkIn, uint16_t firmwareVersion)
    : m_bus(bus), m_bulkIn(bulkIn), m_firmwareVersion(firmwareVersion) {}

void UsbController::powerOn() {
    m_speed = 0;
    m_mode = kModeStop;
    m_framesProduced = 0;
    m_framesSent = 0;
}

uint16_t UsbController::acquisitionState() const {
    return m_mode == kModeStart ? kStateRunning : kStateStopped;
}

int UsbController::handleVendor(const SetupPacket& setup, uint8_t* data) {
    switch (setup.request) {
        case kRequestI2c:
            return setup.isIn() ? i2cRead(setup, data) : i2cWrite(setup, data);
        case kRequestSpeed0:
        case kRequestSpeed1:
            if (setup.isIn()) {
                return -EPIPE;
            }
            m_speed = setup.request == kRequestSpeed1 ? 1 : 0;
            return 0;
        case kRequestVersion:
            if (!setup.isIn()) {
                return -EPIPE;
            }
            return replyWords(setup, data, m_firmwareVersion, 0, 1);
        case kRequestAcquisition:
            return acquisition(setup, data);
        case kRequestFrameCounts:
            if (!setup.isIn()) {
                return -EPIPE;
            }
            return replyWords(setup, data, m_framesProduced, m_framesSent, 2);
        case kRequestRecover:
            return recover(setup, data);
        case kRequestRamLoad:
            return ramLoad(setup, data);
        default:
            return -EPIPE;
    }
}

int UsbController::acquisition(const SetupPacket& setup, uint8_t* data) {
    if (setup.isIn()) {
        return replyWords(setup, data, acquisitionState(), 0, 1);
    }
    switch (setup.value) {
        case kFifoReset:
            flushBulkIn();
            m_framesProduced = 0;
            m_framesSent = 0;
            return 0;
        case kModeStart:
        case kModeStop:
            m_mode = setup.value;
            return 0;
        default:
            return -EPIPE;
    }
}

int UsbController::recover(const SetupPacket& setup, const uint8_t* data) {
    if (setup.isIn() || setup.value != 0 || setup.index != kRecoverIndex || setup.length != 2 ||
        data[0] != 0x00 || data[1] != 0x01) {
        return -EPIPE;
    }
    flushBulkIn();
    return 2;
}

int UsbController::ramLoad(const SetupPacket& setup, uint8_t* data) {
    if (setup.index != 0) {
        return -EPIPE;
    }
    if (setup.isIn()) {
        m_ram.read(setup.value, std::span<uint8_t>(data, setup.length));
        return setup.length;
    }
    if (m_ram.write(setup.value, std::span<const uint8_t>(data, setup.length))) {
        m_firmwareVersion = m_ram.programVersion();
        m_restartPending = true;
    }
    return setup.length;
}

void UsbController::flushBulkIn() {
    m_bulkIn.clear();
    m_bulkIn.setHalted(false);
}

bool UsbController::i2cAddressRegister(uint8_t slave, uint16_t reg, bool wide) {
    if (!m_bus.start(slave, false)) {
        return false;
    }
    if (wide && !m_bus.send(static_cast<uint8_t>(reg >> 8))) {
        return false;
    }
    return m_bus.send(static_cast<uint8_t>(reg & 0xFF));
}

bool UsbController::writeI2c(uint8_t slave, uint16_t reg, bool wide, const uint8_t* data,
                             std::size_t length) {
    bool acked = i2cAddressRegister(slave, reg, wide);
    for (std::size_t i = 0; acked && i < length; ++i) {
        acked = m_bus.send(data[i]);
    }
    m_bus.stop();
    return acked;
}

int UsbController::i2cWrite(const SetupPacket& setup, const uint8_t* data) {
    const auto slave = static_cast<uint8_t>(setup.index & 0x7F);
    const bool wide = (setup.index & kWideRegister) != 0;
    return writeI2c(slave, setup.value, wide, data, setup.length) ? setup.length : -EPIPE;
}

int UsbController::i2cRead(const SetupPacket& setup, uint8_t* data) {
    const auto slave = static_cast<uint8_t>(setup.index & 0x7F);
    const bool wide = (setup.index & kWideRegister) != 0;
    const bool acked = i2cAddressRegister(slave, setup.value, wide) && m_bus.start(slave, true);
    for (uint16_t i = 0; i < setup.length; ++i) {
        data[i] = acked ? m_bus.recv() : kI2cFiller;
    }
    m_bus.stop();
    return setup.length;
}

}  // namespace boardsim
