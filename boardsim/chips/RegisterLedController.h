// An LED controller whose registers the master reaches through a control byte and a register
// pointer with auto-increment (AutoIncrementRegisters): a read gives the register at the pointer,
// and every access moves the pointer on. The part supplies its register values (peek) and what a
// byte written to it does (send).
#pragma once

#include <cstdint>
#include <string>

#include "AutoIncrementRegisters.h"
#include "LedController.h"
#include "log/GuestLog.h"

namespace boardsim {

class RegisterLedController : public LedController {
public:
    void event(Event event) override;
    uint8_t recv() override;

    // The register's value as the master reads it; 0 for an address the chip does not have.
    virtual uint8_t peek(uint8_t reg) const = 0;

    const GuestLog& guestLog() const { return m_log; }

protected:
    // part: the name the guest log shows; count and top: as AutoIncrementRegisters takes them.
    RegisterLedController(std::string part, uint8_t count, uint8_t top);

    GuestLog m_log;
    AutoIncrementRegisters m_pointer;
};

}  // namespace boardsim
