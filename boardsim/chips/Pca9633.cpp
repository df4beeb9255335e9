#include "Pca9633.h"

namespace boardsim {

namespace {

constexpr uint8_t kAutoIncrementAll = 0x80;
constexpr uint8_t kAutoIncrementPwm = 0xA0;
constexpr uint8_t kAutoIncrementGroup = 0xC0;
constexpr uint8_t kAutoIncrementPwmGroup = 0xE0;

}  // namespace

Pca9633::Pca9633() : RegisterLedController("pca9633", kResetValues, kControlAddressMask) {}

void Pca9633::reset() {
    RegisterLedController::reset();
    m_autoIncrement = 0;
}

void Pca9633::control(uint8_t byte) {
    const uint8_t reg = byte & kControlAddressMask;
    m_autoIncrement = byte & kControlAutoIncrementMask;
    switch (m_autoIncrement) {
        case 0:
            m_pointer.select(reg);
            break;
        case kAutoIncrementAll:
            m_pointer.select(reg, kRegMode1, kRegAllCallAdr);
            break;
        case kAutoIncrementPwm:
            m_pointer.select(reg, kRegPwm0, kRegPwm3);
            break;
        case kAutoIncrementGroup:
            m_pointer.select(reg, kRegGrpPwm, kRegGrpFreq);
            break;
        case kAutoIncrementPwmGroup:
            m_pointer.select(reg, kRegPwm0, kRegGrpFreq);
            break;
        default:
            m_log.error("reserved auto-increment mode in control byte " + GuestLog::hex(byte, 2) +
                        ", auto-increment off");
            m_autoIncrement = 0;
            m_pointer.select(reg);
            break;
    }
}

bool Pca9633::send(uint8_t byte) {
    if (m_pointer.takeControl()) {
        control(byte);
        return true;
    }
    if (m_pointer.valid()) {
        if (m_pointer.pointer() == kRegMode1) {
            byte &= static_cast<uint8_t>(~kMode1AutoIncrementMask);
        }
        m_registers[m_pointer.pointer()] = byte;
    }
    m_pointer.advance();
    return true;
}

uint8_t Pca9633::peek(uint8_t reg) const {
    return reg == kRegMode1 ? static_cast<uint8_t>(m_registers[reg] | m_autoIncrement)
                            : RegisterLedController::peek(reg);
}

std::vector<LedController::Channel> Pca9633::outputs() const {
    const bool sleeping = (m_registers[kRegMode1] & kMode1Sleep) != 0;
    const bool blinking = (m_registers[kRegMode2] & kMode2Dmblnk) != 0;
    const bool inverted = (m_registers[kRegMode2] & kMode2Invrt) != 0;
    const double group = m_registers[kRegGrpPwm] / 256.0;
    std::vector<Channel> channels(4);
    for (int n = 0; n < 4; ++n) {
        Channel& channel = channels[n];
        const int code = (m_registers[kRegLedOut] >> (2 * n)) & 0x3;
        const double individual = m_registers[kRegPwm0 + n] / 256.0;
        if (code == kLedOn) {
            channel = {Channel::State::On, 1.0, 0.0};
        } else if (code == kLedOff || sleeping) {
            // The PWM and group controls run from the oscillator, which is off in sleep.
            channel = {Channel::State::Off, 0.0, 0.0};
        } else if (code == kLedPwm) {
            channel = {Channel::State::Pwm, individual, kPwmFrequency};
        } else {
            const double frequency =
                blinking ? 24.0 / (m_registers[kRegGrpFreq] + 1) : kGroupDimFrequency;
            channel = {Channel::State::Pwm, individual * group, frequency};
        }
        if (inverted) {
            channel.duty = 1.0 - channel.duty;
            if (channel.state != Channel::State::Pwm) {
                channel.state =
                    channel.state == Channel::State::On ? Channel::State::Off : Channel::State::On;
            }
        }
    }
    return channels;
}

}  // namespace boardsim
