#include <gtest/gtest.h>

#include "chips/I2cMaster.h"
#include "chips/Pca9633.h"

using boardsim::LedController;
using boardsim::Pca9633;
using Bytes = std::vector<uint8_t>;
using State = LedController::Channel::State;

TEST(Pca9633, ResetValuesReadWithAutoIncrementOverAllRegisters) {
    Pca9633 chip;
    // Control 0x80: auto-increment over 0x00-0x0C, then back to MODE1. MODE1 shows the mode.
    EXPECT_EQ(i2cmaster::read(chip, {0x80}, 14), (Bytes{0x91, 0x05, 0x00, 0x00, 0x00, 0x00, 0xFF,
                                                        0x00, 0x00, 0xE2, 0xE4, 0xE8, 0xE0, 0x91}));
    EXPECT_EQ(i2cmaster::read(chip, {0x00}, 2), (Bytes{0x11, 0x11}));  // no auto-increment
}

TEST(Pca9633, AutoIncrementModesLoopOverTheirRegisterGroups) {
    Pca9633 chip;
    // 101: PWM0-PWM3 round, starting at PWM2.
    EXPECT_TRUE(i2cmaster::write(chip, {0xA4, 1, 2, 3, 4, 5}));
    EXPECT_EQ(i2cmaster::read(chip, {0x82}, 4), (Bytes{3, 4, 5, 2}));
    // 110: GRPPWM-GRPFREQ round.
    EXPECT_TRUE(i2cmaster::write(chip, {0xC6, 0x10, 0x20, 0x30}));
    EXPECT_EQ(i2cmaster::read(chip, {0x86}, 2), (Bytes{0x30, 0x20}));
    // 111: PWM0-GRPFREQ round, from GRPFREQ on to PWM0.
    EXPECT_TRUE(i2cmaster::write(chip, {0xE7, 0x17, 0x42}));
    EXPECT_EQ(i2cmaster::read(chip, {0x82}, 6), (Bytes{0x42, 4, 5, 2, 0x30, 0x17}));
    // 000: every byte to the same register.
    EXPECT_TRUE(i2cmaster::write(chip, {0x08, 0x01, 0xAA}));
    EXPECT_EQ(i2cmaster::read(chip, {0x88}, 2), (Bytes{0xAA, 0xE2}));
}

TEST(Pca9633, Mode1AutoIncrementBitsCannotBeWritten) {
    Pca9633 chip;
    EXPECT_TRUE(i2cmaster::write(chip, {0x00, 0xE1}));
    EXPECT_EQ(i2cmaster::read(chip, {0x00}, 1), (Bytes{0x01}));
    EXPECT_EQ(i2cmaster::read(chip, {0xA0}, 1), (Bytes{0xA1}));
}

TEST(Pca9633, ReservedRegistersAndModesAreReportedAndHarmless) {
    Pca9633 chip;
    testing::internal::CaptureStderr();
    EXPECT_TRUE(i2cmaster::write(chip, {0x0D, 0x55}));
    EXPECT_EQ(i2cmaster::read(chip, {0x0F}, 1), (Bytes{0x00}));
    EXPECT_TRUE(i2cmaster::write(chip, {0x22, 0x01, 0x02}));  // AI 001 is reserved
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_EQ(log,
              "boardsim: pca9633: access to reserved register 0x0d\n"
              "boardsim: pca9633: access to reserved register 0x0f\n"
              "boardsim: pca9633: reserved auto-increment mode in control byte 0x22, "
              "auto-increment off\n");
    EXPECT_EQ(chip.peek(Pca9633::kRegPwm0), 0x02);
    EXPECT_EQ(chip.peek(Pca9633::kRegPwm0 + 1), 0x00);
}

TEST(Pca9633, OutputsFollowLedOutPwmAndGroupControl) {
    Pca9633 chip;
    // Power-on: every driver off.
    for (const auto& channel : chip.outputs()) {
        EXPECT_EQ(channel.state, State::Off);
    }
    // Awake; LED0 full on, LED1 individual PWM, LED2 PWM and group dimming, LED3 off.
    EXPECT_TRUE(
        i2cmaster::write(chip, {0x80, 0x01, 0x05, 0x00, 0x40, 0xC0, 0x00, 0x80, 0x00, 0b00111001}));
    auto outputs = chip.outputs();
    ASSERT_EQ(outputs.size(), 4u);
    EXPECT_EQ(outputs[0].state, State::On);
    EXPECT_EQ(outputs[0].duty, 1.0);
    EXPECT_EQ(outputs[1].state, State::Pwm);
    EXPECT_DOUBLE_EQ(outputs[1].duty, 0.25);
    EXPECT_DOUBLE_EQ(outputs[1].frequency, 97000.0);
    EXPECT_EQ(outputs[2].state, State::Pwm);
    EXPECT_DOUBLE_EQ(outputs[2].duty, 0.75 * 0.5);
    EXPECT_DOUBLE_EQ(outputs[2].frequency, 190.0);
    EXPECT_EQ(outputs[3].state, State::Off);
    // Group blinking: GRPFREQ 23 is one blink a second.
    EXPECT_TRUE(i2cmaster::write(chip, {0x01, 0x25}));
    EXPECT_TRUE(i2cmaster::write(chip, {0x07, 23}));
    EXPECT_DOUBLE_EQ(chip.outputs()[2].frequency, 1.0);
    // Inverted outputs.
    EXPECT_TRUE(i2cmaster::write(chip, {0x01, 0x15}));
    outputs = chip.outputs();
    EXPECT_EQ(outputs[0].state, State::Off);
    EXPECT_EQ(outputs[3].state, State::On);
    EXPECT_DOUBLE_EQ(outputs[1].duty, 0.75);
    // Asleep the oscillator stops: PWM outputs go off, full on stays.
    EXPECT_TRUE(i2cmaster::write(chip, {0x00, 0x11}));
    EXPECT_TRUE(i2cmaster::write(chip, {0x01, 0x05}));
    outputs = chip.outputs();
    EXPECT_EQ(outputs[0].state, State::On);
    EXPECT_EQ(outputs[1].state, State::Off);
    EXPECT_EQ(outputs[2].state, State::Off);
    chip.reset();
    EXPECT_EQ(chip.outputs()[0].state, State::Off);
    EXPECT_EQ(chip.peek(Pca9633::kRegMode1), 0x11);
}
