#include "AutoIncrementRegisters.h"

namespace boardsim {

AutoIncrementRegisters::AutoIncrementRegisters(uint8_t count, uint8_t top, GuestLog& log)
    : m_count(count), m_top(top), m_log(log) {}

void AutoIncrementRegisters::reset() {
    m_pointer = 0;
    m_increment = false;
    m_first = 0;
    m_last = 0;
    m_expectControl = false;
}

void AutoIncrementRegisters::event(I2cSlave::Event event) {
    m_expectControl = event == I2cSlave::Event::StartSend;
}

bool AutoIncrementRegisters::takeControl() {
    const bool control = m_expectControl;
    m_expectControl = false;
    return control;
}

void AutoIncrementRegisters::select(uint8_t reg) {
    m_pointer = reg;
    m_increment = false;
}

void AutoIncrementRegisters::select(uint8_t reg, uint8_t first, uint8_t last) {
    m_pointer = reg;
    m_increment = true;
    m_first = first;
    m_last = last;
}

bool AutoIncrementRegisters::valid() {
    if (m_pointer < m_count) {
        return true;
    }
    m_log.errorOnce(m_pointer, "access to reserved register " + GuestLog::hex(m_pointer, 2));
    return false;
}

void AutoIncrementRegisters::advance() {
    if (!m_increment) {
        return;
    }
    if (m_pointer == m_last) {
        m_pointer = m_first;
    } else if (m_pointer >= m_top) {
        m_pointer = 0;
    } else {
        ++m_pointer;
    }
}

}  // namespace boardsim
