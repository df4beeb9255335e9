#include "RegisterLedController.h"

#include <utility>

namespace boardsim {

RegisterLedController::RegisterLedController(std::string part, uint8_t count, uint8_t top)
    : m_log(std::move(part)), m_pointer(count, top, m_log) {}

void RegisterLedController::event(Event event) {
    m_pointer.event(event);
}

uint8_t RegisterLedController::recv() {
    const uint8_t value = m_pointer.valid() ? peek(m_pointer.pointer()) : 0;
    m_pointer.advance();
    return value;
}

}  // namespace boardsim
