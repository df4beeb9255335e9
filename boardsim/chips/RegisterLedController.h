// An LED controller whose registers the master reaches through a control byte and a register
// pointer with auto-increment (AutoIncrementRegisters): a read gives the register at the pointer,
// and every access moves the pointer on. It keeps the part's registers, which start at and reset to
// the part's power-on values; the part supplies what a byte written to it does (send) and the
// registers that read back other than stored (peek).
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "AutoIncrementRegisters.h"
#include "LedController.h"
#include "log/GuestLog.h"

namespace boardsim {

class RegisterLedController : public LedController {
public:
    void event(Event event) override;
    uint8_t recv() override;

    // The register's value as the master reads it: the stored value; 0 for an address the chip
    // does not have.
    virtual uint8_t peek(uint8_t reg) const;
    // Every register back to its power-on value, the pointer to 0.
    void reset() override;

    const GuestLog& guestLog() const { return m_log; }

protected:
    // part: the name the guest log shows; powerOn: every register's power-on value, in register
    // order; top: as AutoIncrementRegisters takes it.
    RegisterLedController(std::string part, std::span<const uint8_t> powerOn, uint8_t top);

    GuestLog m_log;
    AutoIncrementRegisters m_pointer;
    std::vector<uint8_t> m_registers;

private:
    std::vector<uint8_t> m_powerOn;
};

}  // namespace boardsim
