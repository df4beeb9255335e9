#include "Pca9530.h"

namespace boardsim {

// Auto-increment runs through every register, 0x00-0x05.
Pca9530::Pca9530() : RegisterLedController("pca9530", kResetValues, kRegisterCount - 1) {}

bool Pca9530::send(uint8_t byte) {
    if (m_pointer.takeControl()) {
        if ((byte & ~(kControlAutoIncrement | kControlAddressMask)) != 0) {
            m_log.error("reserved bits set in control byte " + GuestLog::hex(byte, 2));
        }
        const uint8_t reg = byte & kControlAddressMask;
        if ((byte & kControlAutoIncrement) != 0) {
            m_pointer.select(reg, 0, kRegisterCount - 1);
        } else {
            m_pointer.select(reg);
        }
        return true;
    }
    if (m_pointer.pointer() == kRegInput) {
        m_log.errorOnce(kRegInput, "write of " + GuestLog::hex(byte, 2) +
                                       " to the read-only INPUT register ignored");
    } else if (m_pointer.valid()) {
        m_registers[m_pointer.pointer()] = byte;
    }
    m_pointer.advance();
    return true;
}

uint8_t Pca9530::peek(uint8_t reg) const {
    if (reg != kRegInput) {
        return RegisterLedController::peek(reg);
    }
    // A pin is low while its driver is active; a blinking pin is read at the start of its
    // period, when it is active unless its duty is 0.
    uint8_t pins = 0;
    const std::vector<Channel> channels = outputs();
    for (std::size_t n = 0; n < channels.size(); ++n) {
        if (channels[n].duty == 0.0) {
            pins |= static_cast<uint8_t>(1u << n);
        }
    }
    return pins;
}

std::vector<LedController::Channel> Pca9530::outputs() const {
    std::vector<Channel> channels(2);
    for (int n = 0; n < 2; ++n) {
        const int code = (m_registers[kRegLs0] >> (2 * n)) & 0x3;
        if (code == kLedOff) {
            channels[n] = {Channel::State::Off, 0.0, 0.0};
        } else if (code == kLedOn) {
            channels[n] = {Channel::State::On, 1.0, 0.0};
        } else {
            const uint8_t psc = m_registers[code == kLedPwm0 ? kRegPsc0 : kRegPsc1];
            const uint8_t pwm = m_registers[code == kLedPwm0 ? kRegPwm0 : kRegPwm1];
            channels[n] = {Channel::State::Pwm, pwm / 256.0, kPrescalerClock / (psc + 1)};
        }
    }
    return channels;
}

}  // namespace boardsim
