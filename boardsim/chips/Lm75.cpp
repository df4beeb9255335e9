#include "Lm75.h"

#include <algorithm>
#include <cmath>

namespace boardsim {

Lm75::Lm75(std::function<double()> thermometer) : m_thermometer(std::move(thermometer)) {
    reset();
}

void Lm75::reset() {
    m_configuration = kResetConfiguration;
    m_hysteresis = kResetHysteresis;
    m_overtemp = kResetOvertemp;
    m_pointer = kRegTemperature;
    m_temperature = encode(m_thermometer());
}

uint16_t Lm75::encode(double celsius) {
    const double halves = std::clamp(std::floor(celsius * 2.0), -110.0, 250.0);
    return static_cast<uint16_t>(static_cast<int>(halves) * 128);
}

uint16_t* Lm75::wideRegister(uint8_t reg) {
    switch (reg) {
        case kRegTemperature:
            return &m_temperature;
        case kRegHysteresis:
            return &m_hysteresis;
        case kRegOvertemp:
            return &m_overtemp;
        default:
            return nullptr;
    }
}

void Lm75::event(Event event) {
    m_writing = event == Event::StartSend;
    m_bytesSeen = 0;
    const bool shutdown = (m_configuration & kConfigurationShutdown) != 0;
    if (event == Event::StartRecv && m_pointer == kRegTemperature && !shutdown) {
        m_temperature = encode(m_thermometer());
    }
}

bool Lm75::send(uint8_t byte) {
    const int index = m_bytesSeen++;
    if (index == 0) {
        if (byte > kRegOvertemp) {
            m_log.errorOnce(byte, "pointer " + GuestLog::hex(byte, 2) + " names no register");
        }
        m_pointer = byte;
        return true;
    }
    if (m_pointer == kRegConfiguration) {
        if (index == 1) {
            m_configuration = byte & kConfigurationWritable;
        }
        return true;
    }
    uint16_t* reg = wideRegister(m_pointer);
    if (reg == nullptr) {
        return true;  // reported with the pointer
    }
    if (m_pointer == kRegTemperature) {
        m_log.errorOnce(0x100, "write to the read-only temperature register ignored");
    } else if (index == 1) {
        *reg = static_cast<uint16_t>(byte << 8 | (*reg & 0x00FF));
    } else if (index == 2) {
        *reg = static_cast<uint16_t>((*reg & 0xFF00) | (byte & 0x80));
    }
    return true;
}

uint8_t Lm75::recv() {
    const int index = m_bytesSeen++;
    if (m_pointer == kRegConfiguration) {
        return m_configuration;
    }
    const uint16_t* reg = wideRegister(m_pointer);
    if (reg == nullptr) {
        return 0;
    }
    return static_cast<uint8_t>(index % 2 == 0 ? *reg >> 8 : *reg & 0xFF);
}

}  // namespace boardsim
