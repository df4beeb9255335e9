#include "Eeprom24.h"

namespace boardsim {

Eeprom24::Eeprom24(std::size_t size, int addressBytes)
    : m_memory(size, 0xFF), m_addressBytes(addressBytes) {}

void Eeprom24::event(Event event) {
    if (event == Event::StartSend) {
        m_addressBytesSeen = 0;
    }
}

bool Eeprom24::send(uint8_t byte) {
    if (m_addressBytesSeen < m_addressBytes) {
        if (m_addressBytesSeen == 0) {
            m_pointer = 0;
        }
        m_pointer = (m_pointer << 8 | byte) % m_memory.size();
        ++m_addressBytesSeen;
        return true;
    }
    m_memory[m_pointer] = byte;
    m_pointer = (m_pointer + 1) % m_memory.size();
    return true;
}

uint8_t Eeprom24::recv() {
    const uint8_t byte = m_memory[m_pointer];
    m_pointer = (m_pointer + 1) % m_memory.size();
    return byte;
}

void Eeprom24::load(std::size_t offset, const std::vector<uint8_t>& bytes) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        m_memory[(offset + i) % m_memory.size()] = bytes[i];
    }
}

}  // namespace boardsim
