// Turns an LED setting into register writes of the PCA9530 (two LEDs, I2C id 0x60).
//
// Mode m gives the LED the LS0 code m: 00, 01, 10 (blink rate PWM 0) or 11 (blink rate PWM 1);
// the other LED keeps its code. For modes 2 and 3 the blink rate's prescaler is set from the
// frequency (152 Hz / (PSC + 1), at least 0.59375 Hz) and its duty register from the duty cycle
// ((1 - duty / 100) x 256, duty limited to 1-99%).
#pragma once

#include "LedBus.h"

namespace hv {

class Pca9530Rule {
public:
    static constexpr int kChip = 0x60;
    static constexpr int kRegPsc0 = 0x01;
    static constexpr int kRegPwm0 = 0x02;
    static constexpr int kRegPsc1 = 0x03;
    static constexpr int kRegPwm1 = 0x04;
    static constexpr int kRegLs0 = 0x05;

    explicit Pca9530Rule(LedBus& bus) : m_bus(bus) {}

    // led 0-1, mode 0-3 (anything else changes nothing), frequency in Hz, duty in percent.
    // Nothing more is written when LS0 cannot be read.
    void apply(int led, int mode, double frequency, int duty);

private:
    void setBlinkRate(int mode, double frequency, int duty);

    LedBus& m_bus;
};

}  // namespace hv
