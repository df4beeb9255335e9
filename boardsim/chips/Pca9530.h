// NXP PCA9530: two-output I2C LED dimmer with two programmable blink rates. After the slave
// address the master writes the control register: bits 0-2 the register address, bit 4 the
// auto-increment flag (the address then runs 0x00-0x05 and rolls over to 0x00).
// Blink period of PWM n: (PSCn + 1) / 152 s; the output is active PWMn / 256 of it.
#pragma once

#include <array>
#include <cstdint>

#include "RegisterLedController.h"

namespace boardsim {

class Pca9530 : public RegisterLedController {
public:
    static constexpr uint8_t kRegInput = 0x00;  // read-only: pin levels, bit n = LEDn high
    static constexpr uint8_t kRegPsc0 = 0x01;
    static constexpr uint8_t kRegPwm0 = 0x02;
    static constexpr uint8_t kRegPsc1 = 0x03;
    static constexpr uint8_t kRegPwm1 = 0x04;
    static constexpr uint8_t kRegLs0 = 0x05;
    static constexpr uint8_t kRegisterCount = 6;

    // Datasheet power-on values, in register order (INPUT follows the pins).
    static constexpr std::array<uint8_t, kRegisterCount> kResetValues = {
        0x00, 0x00, 0x80, 0x00, 0x80, 0x00,
    };

    static constexpr uint8_t kControlAutoIncrement = 0x10;
    static constexpr uint8_t kControlAddressMask = 0x07;

    // LS0 codes, two bits per LED (LED n in bits 2n and 2n+1).
    static constexpr uint8_t kLedOff = 0;   // high impedance
    static constexpr uint8_t kLedOn = 1;    // output low
    static constexpr uint8_t kLedPwm0 = 2;  // blinks at PWM0 rate
    static constexpr uint8_t kLedPwm1 = 3;  // blinks at PWM1 rate

    static constexpr double kPrescalerClock = 152.0;

    Pca9530();

    bool send(uint8_t byte) override;
    std::vector<Channel> outputs() const override;
    // INPUT reads the pin levels.
    uint8_t peek(uint8_t reg) const override;
};

}  // namespace boardsim
