#include "Pca9633Rule.h"

#include <algorithm>

namespace hv {

namespace {

constexpr int kMode1Bit7 = 0x80;

constexpr int kEveryChannelOff = 0x00;
constexpr int kEveryChannelOn = 0x55;
constexpr int kCodeMask = 0x03;
// Channel 1's code (bits 2-3): cleared for every PWM setting, 01 while the PWM channel is off.
constexpr int kChannel1Mask = 0x0C;
constexpr int kChannel1On = 0x04;

constexpr int kModeOn = 0;
constexpr int kModeOff = 1;
constexpr int kModePwm2 = 3;

int codeShift(int channel) {
    return 2 * channel;
}

}  // namespace

void Pca9633Rule::apply(int channel, int mode, int duty, bool powerAtZeroOn) {
    if (channel < 0 || channel > 3 || mode < kModeOn || mode > kModePwm2) {
        return;
    }
    duty = std::clamp(duty, 0, 100);
    if (mode == kModeOn || mode == kModeOff) {
        setAllChannels(channel, mode);
    } else {
        setPwmChannel(channel, duty, powerAtZeroOn);
    }
}

void Pca9633Rule::setAllChannels(int channel, int mode) {
    writeMode1(mode == kModeOn);
    m_bus.write(kChip, kRegLedOut, mode == kModeOn ? kEveryChannelOff : kEveryChannelOn);
    m_bus.write(kChip, kRegPwm0 + channel, 0);
}

void Pca9633Rule::setPwmChannel(int channel, int duty, bool powerAtZeroOn) {
    writeMode1(false);
    int ledOut = readOrZero(kRegLedOut);
    ledOut &= ~(kCodeMask << codeShift(channel)) & ~kChannel1Mask;
    if (duty == 0 && !powerAtZeroOn) {
        ledOut |= kChannel1On;
    } else {
        duty = std::max(duty, 1);
        ledOut |= kCodePwm << codeShift(channel);
    }
    m_bus.write(kChip, kRegLedOut, ledOut);
    const int pwm = duty == 0 ? 0 : static_cast<int>((1.0 - duty / 100.0) * 255.0);
    m_bus.write(kChip, kRegPwm0 + channel, pwm);
}

void Pca9633Rule::writeMode1(bool asleep) {
    int mode1 = readOrZero(kRegMode1) & ~(kMode1Sleep | kMode1Bit7);
    if (asleep) {
        mode1 |= kMode1Sleep;
    }
    m_bus.write(kChip, kRegMode1, mode1);
}

int Pca9633Rule::readOrZero(int reg) {
    int value = 0;
    if (!m_bus.read(kChip, reg, value)) {
        value = 0;
    }
    return value;
}

}  // namespace hv
