// The board's I2C bus: slaves at 7-bit addresses; an address nobody holds is not acknowledged.
#pragma once

#include <cstdint>
#include <map>

#include "I2cSlave.h"

namespace boardsim {

class I2cBus {
public:
    // The slave is borrowed; it must outlive the bus or be detached.
    void attach(uint8_t address, I2cSlave* slave);
    void detach(uint8_t address);
    bool hasSlave(uint8_t address) const;

    // Start (or repeated start) addressing a slave; false when no slave acknowledges.
    bool start(uint8_t address, bool read);
    // A byte to the addressed slave; false on NACK or with no slave addressed.
    bool send(uint8_t byte);
    // A byte from the addressed slave; 0xFF (the bus pulled high) with none.
    uint8_t recv();
    // Stop condition.
    void stop();

    // Makes an attached slave ignore its address, as if absent, until cleared.
    void setNack(uint8_t address, bool nack);
    bool nacks(uint8_t address) const;

private:
    std::map<uint8_t, I2cSlave*> m_slaves;
    std::map<uint8_t, bool> m_nack;
    I2cSlave* m_current = nullptr;
};

}  // namespace boardsim
