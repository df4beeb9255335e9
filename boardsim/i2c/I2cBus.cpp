#include "I2cBus.h"

namespace boardsim {

void I2cBus::attach(uint8_t address, I2cSlave* slave) {
    m_slaves[address] = slave;
}

void I2cBus::detach(uint8_t address) {
    const auto it = m_slaves.find(address);
    if (it == m_slaves.end()) {
        return;
    }
    if (m_current == it->second) {
        m_current = nullptr;
    }
    m_slaves.erase(it);
}

bool I2cBus::hasSlave(uint8_t address) const {
    return m_slaves.count(address) != 0;
}

void I2cBus::setNack(uint8_t address, bool nack) {
    m_nack[address] = nack;
}

bool I2cBus::nacks(uint8_t address) const {
    const auto it = m_nack.find(address);
    return it != m_nack.end() && it->second;
}

bool I2cBus::start(uint8_t address, bool read) {
    m_current = nullptr;
    const auto it = m_slaves.find(address);
    if (it == m_slaves.end() || nacks(address)) {
        return false;
    }
    m_current = it->second;
    m_current->event(read ? I2cSlave::Event::StartRecv : I2cSlave::Event::StartSend);
    return true;
}

bool I2cBus::send(uint8_t byte) {
    return m_current != nullptr && m_current->send(byte);
}

uint8_t I2cBus::recv() {
    return m_current != nullptr ? m_current->recv() : 0xFF;
}

void I2cBus::stop() {
    if (m_current != nullptr) {
        m_current->event(I2cSlave::Event::Finish);
        m_current = nullptr;
    }
}

}  // namespace boardsim
