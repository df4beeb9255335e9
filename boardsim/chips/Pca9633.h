// NXP PCA9633: four-channel I2C LED driver with individual 8-bit PWM (97 kHz) and a group
// dimmer (190 Hz) or blinker. After the slave address the master writes the control register:
// bits 0-3 the register address, bits 5-7 the auto-increment mode (AI2:AI0):
//   000 none; 100 all registers 0x00-0x0C then 0x00; 101 PWM0-PWM3 (0x02-0x05) round;
//   110 GRPPWM-GRPFREQ (0x06-0x07) round; 111 PWM0-GRPFREQ (0x02-0x07) round.
// MODE1 bits 5-7 read back the auto-increment mode and cannot be written.
#pragma once

#include <array>
#include <cstdint>

#include "RegisterLedController.h"

namespace boardsim {

class Pca9633 : public RegisterLedController {
public:
    static constexpr uint8_t kRegMode1 = 0x00;
    static constexpr uint8_t kRegMode2 = 0x01;
    static constexpr uint8_t kRegPwm0 = 0x02;  // PWM0-PWM3: 0x02-0x05
    static constexpr uint8_t kRegPwm3 = 0x05;
    static constexpr uint8_t kRegGrpPwm = 0x06;
    static constexpr uint8_t kRegGrpFreq = 0x07;
    static constexpr uint8_t kRegLedOut = 0x08;
    static constexpr uint8_t kRegSubAdr1 = 0x09;
    static constexpr uint8_t kRegSubAdr2 = 0x0A;
    static constexpr uint8_t kRegSubAdr3 = 0x0B;
    static constexpr uint8_t kRegAllCallAdr = 0x0C;
    static constexpr uint8_t kRegisterCount = 13;

    // Datasheet power-on values, in register order.
    static constexpr std::array<uint8_t, kRegisterCount> kResetValues = {
        0x11,                    // MODE1: SLEEP (oscillator off), ALLCALL
        0x05,                    // MODE2: OUTDRV totem pole, OUTNE 01
        0x00, 0x00, 0x00, 0x00,  // PWM0-PWM3
        0xFF,                    // GRPPWM
        0x00,                    // GRPFREQ
        0x00,                    // LEDOUT: every driver off
        0xE2, 0xE4, 0xE8,        // SUBADR1-3
        0xE0,                    // ALLCALLADR
    };

    static constexpr uint8_t kMode1Sleep = 0x10;
    static constexpr uint8_t kMode1AutoIncrementMask = 0xE0;
    static constexpr uint8_t kMode2Dmblnk = 0x20;  // group control blinks instead of dimming
    static constexpr uint8_t kMode2Invrt = 0x10;   // output logic inverted
    static constexpr uint8_t kControlAddressMask = 0x0F;
    static constexpr uint8_t kControlAutoIncrementMask = 0xE0;

    // LEDOUT codes, two bits per channel (channel n in bits 2n and 2n+1).
    static constexpr uint8_t kLedOff = 0;
    static constexpr uint8_t kLedOn = 1;
    static constexpr uint8_t kLedPwm = 2;
    static constexpr uint8_t kLedPwmGroup = 3;

    static constexpr double kPwmFrequency = 97000.0;
    static constexpr double kGroupDimFrequency = 190.0;

    Pca9633();

    bool send(uint8_t byte) override;
    void reset() override;
    std::vector<Channel> outputs() const override;
    // MODE1 reads back the auto-increment mode.
    uint8_t peek(uint8_t reg) const override;

private:
    uint8_t m_autoIncrement = 0;  // AI2:AI0 in bits 5-7, as in the control register

    // The pointer's control byte: register and auto-increment mode.
    void control(uint8_t byte);
};

}  // namespace boardsim
