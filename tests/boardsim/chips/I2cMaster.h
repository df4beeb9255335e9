// Drives one I2C part as the bus master does, for tests that check the bytes on the bus.
#pragma once

#include <cstdint>
#include <vector>

#include "i2c/I2cSlave.h"

namespace i2cmaster {

using boardsim::I2cSlave;

// START, the bytes, STOP. False when the part refused a byte.
inline bool write(I2cSlave& part, const std::vector<uint8_t>& bytes) {
    part.event(I2cSlave::Event::StartSend);
    bool acked = true;
    for (const uint8_t byte : bytes) {
        acked = part.send(byte) && acked;
    }
    part.event(I2cSlave::Event::Finish);
    return acked;
}

// START, the address bytes, repeated START for reading, count bytes, STOP.
inline std::vector<uint8_t> read(I2cSlave& part, const std::vector<uint8_t>& address,
                                 std::size_t count) {
    part.event(I2cSlave::Event::StartSend);
    for (const uint8_t byte : address) {
        part.send(byte);
    }
    part.event(I2cSlave::Event::StartRecv);
    std::vector<uint8_t> bytes;
    for (std::size_t i = 0; i < count; ++i) {
        bytes.push_back(part.recv());
    }
    part.event(I2cSlave::Event::Finish);
    return bytes;
}

// A read that goes on from where the part's pointer stands.
inline std::vector<uint8_t> readOn(I2cSlave& part, std::size_t count) {
    part.event(I2cSlave::Event::StartRecv);
    std::vector<uint8_t> bytes;
    for (std::size_t i = 0; i < count; ++i) {
        bytes.push_back(part.recv());
    }
    part.event(I2cSlave::Event::Finish);
    return bytes;
}

}  // namespace i2cmaster
