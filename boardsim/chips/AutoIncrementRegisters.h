// The register pointer of an I2C part whose master writes a control byte after the slave
// address: the control byte selects a register and, when it asks for it, an auto-increment range
// that the pointer then runs through after every data byte (from the range's last register back to
// its first); outside that range it counts up to the part's top address and rolls over to 0.
// Reads and writes of an address the part does not have are reported once per address to the
// part's guest log.
#pragma once

#include <cstdint>

#include "i2c/I2cSlave.h"
#include "log/GuestLog.h"

namespace boardsim {

class AutoIncrementRegisters {
public:
    // count: the part's registers (0 to count - 1); top: the address after which an increment
    // rolls the pointer over to 0; log: the part's guest log, which outlives this pointer.
    AutoIncrementRegisters(uint8_t count, uint8_t top, GuestLog& log);
    AutoIncrementRegisters(const AutoIncrementRegisters&) = delete;
    AutoIncrementRegisters& operator=(const AutoIncrementRegisters&) = delete;

    // Pointer 0, auto-increment off, no control byte awaited.
    void reset();
    // A transfer addressed for writing begins with the control byte; any other event ends the
    // wait for it.
    void event(I2cSlave::Event event);
    // True once for the first byte after an address for writing: the byte is the control byte.
    bool takeControl();

    // Points at reg with auto-increment off.
    void select(uint8_t reg);
    // Points at reg; every access then moves the pointer on within first to last.
    void select(uint8_t reg, uint8_t first, uint8_t last);

    uint8_t pointer() const { return m_pointer; }
    // True when the pointer names a register of the part; reports the address once otherwise.
    bool valid();
    // Moves the pointer on after an access, when auto-increment is on.
    void advance();

private:
    const uint8_t m_count;
    const uint8_t m_top;
    GuestLog& m_log;
    uint8_t m_pointer = 0;
    bool m_increment = false;
    uint8_t m_first = 0;
    uint8_t m_last = 0;
    bool m_expectControl = false;
};

}  // namespace boardsim
