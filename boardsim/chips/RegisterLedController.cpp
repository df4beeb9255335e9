#include "RegisterLedController.h"

#include <utility>

namespace boardsim {

RegisterLedController::RegisterLedController(std::string part, std::span<const uint8_t> powerOn,
                                             uint8_t top)
    : m_log(std::move(part)),
      m_pointer(static_cast<uint8_t>(powerOn.size()), top, m_log),
      m_registers(powerOn.begin(), powerOn.end()),
      m_powerOn(m_registers) {}

void RegisterLedController::reset() {
    m_registers = m_powerOn;
    m_pointer.reset();
}

uint8_t RegisterLedController::peek(uint8_t reg) const {
    return reg < m_registers.size() ? m_registers[reg] : 0;
}

void RegisterLedController::event(Event event) {
    m_pointer.event(event);
}

uint8_t RegisterLedController::recv() {
    const uint8_t value = m_pointer.valid() ? peek(m_pointer.pointer()) : 0;
    m_pointer.advance();
    return value;
}

}  // namespace boardsim
