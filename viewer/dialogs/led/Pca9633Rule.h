// Turns an LED setting into register writes of the PCA9633 (four channels, I2C id 0x62).
//
// Modes: 0 and 1 set every channel's LEDOUT code at once (0 all 00 with the oscillator asleep,
// 1 all 01) and clear the channel's PWM register. 2 and 3 run the channel on its own PWM
// (LEDOUT code 10) with PWMc = (1 - duty / 100) x 255; channel 1's code is cleared on the way.
// A PWM channel at duty 0 is switched off (code 00) and channel 1 set to 01, unless "power at
// 0%" is on: the channel then runs at 1%. The PWM frequency is the chip's own and not set here.
#pragma once

#include "LedBus.h"

namespace hv {

class Pca9633Rule {
public:
    static constexpr int kChip = 0x62;
    static constexpr int kRegMode1 = 0x00;
    static constexpr int kRegPwm0 = 0x02;  // PWM0-PWM3: 0x02-0x05
    static constexpr int kRegLedOut = 0x08;
    // MODE1's sleep bit (oscillator off); a channel's two-bit LEDOUT codes.
    static constexpr int kMode1Sleep = 0x10;
    static constexpr int kCodeOff = 0x01;
    static constexpr int kCodePwm = 0x02;

    explicit Pca9633Rule(LedBus& bus) : m_bus(bus) {}

    // channel 0-3, mode 0-3 (anything else changes nothing), duty in percent (limited to
    // 0-100).
    void apply(int channel, int mode, int duty, bool powerAtZeroOn);

private:
    void setAllChannels(int channel, int mode);
    void setPwmChannel(int channel, int duty, bool powerAtZeroOn);
    // MODE1 with the sleep bit and bit 7 cleared, the sleep bit set again when asleep; a failed
    // read counts as 0.
    void writeMode1(bool asleep);
    int readOrZero(int reg);

    LedBus& m_bus;
};

}  // namespace hv
