#include "Ads1015.h"

#include <algorithm>
#include <cmath>

namespace boardsim {

Ads1015::Ads1015() {
    reset();
}

void Ads1015::reset() {
    m_conversion = kResetConversion;
    m_config = kResetConfig;
    m_lowThreshold = kResetLowThreshold;
    m_highThreshold = kResetHighThreshold;
    m_pointer = kRegConversion;
    m_bytesSeen = 0;
}

void Ads1015::setInput(int n, double volts) {
    if (n >= 0 && n < kInputCount) {
        m_inputs[n] = volts;
    }
}

double Ads1015::fullScale(int pga) {
    static constexpr double kScales[] = {6.144, 4.096, 2.048, 1.024, 0.512, 0.256, 0.256, 0.256};
    return kScales[pga & 0x7];
}

uint16_t Ads1015::convert() const {
    const int mux = (m_config >> kConfigMuxShift) & 0x7;
    double volts = 0.0;
    switch (mux) {
        case 0:
            volts = m_inputs[0] - m_inputs[1];
            break;
        case 1:
            volts = m_inputs[0] - m_inputs[3];
            break;
        case 2:
            volts = m_inputs[1] - m_inputs[3];
            break;
        case 3:
            volts = m_inputs[2] - m_inputs[3];
            break;
        default:
            volts = m_inputs[mux - 4];
            break;
    }
    const double scale = fullScale((m_config >> kConfigPgaShift) & 0x7);
    const double code = std::clamp(std::round(volts / scale * 2048.0), -2048.0, 2047.0);
    return static_cast<uint16_t>(static_cast<int>(code) * 16);
}

void Ads1015::event(Event) {
    m_bytesSeen = 0;
}

uint16_t Ads1015::readValue() const {
    const bool continuous = (m_config & kConfigSingleShot) == 0;
    switch (m_pointer) {
        case kRegConversion:
            return continuous ? convert() : m_conversion;
        case kRegConfig:
            // OS reads 1 while no conversion runs: always in single-shot mode here, never in
            // continuous mode.
            return continuous ? static_cast<uint16_t>(m_config & ~kConfigOs)
                              : static_cast<uint16_t>(m_config | kConfigOs);
        case kRegLowThreshold:
            return m_lowThreshold;
        case kRegHighThreshold:
            return m_highThreshold;
        default:
            return 0;
    }
}

void Ads1015::writeValue(uint16_t value) {
    switch (m_pointer) {
        case kRegConversion:
            m_log.errorOnce(0x100, "write to the read-only conversion register ignored");
            break;
        case kRegConfig:
            m_config = static_cast<uint16_t>(value & ~kConfigOs);
            if ((value & kConfigOs) != 0 && (value & kConfigSingleShot) != 0) {
                m_conversion = convert();
            }
            break;
        case kRegLowThreshold:
            m_lowThreshold = value;
            break;
        case kRegHighThreshold:
            m_highThreshold = value;
            break;
        default:
            break;
    }
}

bool Ads1015::send(uint8_t byte) {
    const int index = m_bytesSeen++;
    if (index == 0) {
        if (byte > kRegHighThreshold) {
            m_log.errorOnce(byte, "pointer " + GuestLog::hex(byte, 2) + " names no register");
        }
        m_pointer = byte;
    } else if (index == 1) {
        m_pendingHigh = byte;
    } else if (index == 2) {
        // A register takes its new value when both bytes are in.
        writeValue(static_cast<uint16_t>(m_pendingHigh << 8 | byte));
    }
    return true;
}

uint8_t Ads1015::recv() {
    const uint16_t value = readValue();
    return static_cast<uint8_t>(m_bytesSeen++ % 2 == 0 ? value >> 8 : value & 0xFF);
}

}  // namespace boardsim
