// A serial EEPROM of the 24xx family: the first one or two bytes of a write set the memory
// pointer (high byte first), later bytes are stored; reads go on from the pointer. The pointer
// wraps at the end of the memory. Fresh memory reads 0xFF.
#pragma once

#include <cstdint>
#include <vector>

#include "i2c/I2cSlave.h"

namespace boardsim {

class Eeprom24 : public I2cSlave {
public:
    // size in bytes (a power of two); addressBytes 1 (8-bit) or 2 (16-bit).
    Eeprom24(std::size_t size, int addressBytes);

    void event(Event event) override;
    bool send(uint8_t byte) override;
    uint8_t recv() override;

    const std::vector<uint8_t>& contents() const { return m_memory; }
    void load(std::size_t offset, const std::vector<uint8_t>& bytes);

private:
    std::vector<uint8_t> m_memory;
    int m_addressBytes;
    int m_addressBytesSeen = 0;
    std::size_t m_pointer = 0;
};

}  // namespace boardsim
