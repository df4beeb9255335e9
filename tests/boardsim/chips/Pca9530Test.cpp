#include <gtest/gtest.h>

#include "chips/I2cMaster.h"
#include "chips/Pca9530.h"

using boardsim::LedController;
using boardsim::Pca9530;
using Bytes = std::vector<uint8_t>;
using State = LedController::Channel::State;

TEST(Pca9530, ResetValuesReadWithAutoIncrementRollOverToInput) {
    Pca9530 chip;
    EXPECT_EQ(i2cmaster::read(chip, {0x10}, 7), (Bytes{0x03, 0x00, 0x80, 0x00, 0x80, 0x00, 0x03}));
    EXPECT_EQ(i2cmaster::read(chip, {0x02}, 2), (Bytes{0x80, 0x80}));  // no auto-increment
}

TEST(Pca9530, BlinkRatesAndLedSelectorGiveTheOutputs) {
    Pca9530 chip;
    // LED 1 on PWM1 at 2 Hz, active 75 %: LS0 bits 2-3 = 11, PSC1 = 75, PWM1 = 192.
    EXPECT_TRUE(i2cmaster::write(chip, {0x05, 0x0C}));
    EXPECT_TRUE(i2cmaster::write(chip, {0x13, 75, 192}));
    auto outputs = chip.outputs();
    ASSERT_EQ(outputs.size(), 2u);
    EXPECT_EQ(outputs[0].state, State::Off);
    EXPECT_EQ(outputs[1].state, State::Pwm);
    EXPECT_DOUBLE_EQ(outputs[1].duty, 0.75);
    EXPECT_DOUBLE_EQ(outputs[1].frequency, 2.0);
    // LED 0 on; its pin reads low.
    EXPECT_TRUE(i2cmaster::write(chip, {0x05, 0x0D}));
    EXPECT_EQ(chip.outputs()[0].state, State::On);
    EXPECT_EQ(i2cmaster::read(chip, {0x00}, 1), (Bytes{0x00}));
    // PWM0 with the slowest prescaler and duty 0: the pin stays high.
    EXPECT_TRUE(i2cmaster::write(chip, {0x11, 0xFF, 0x00}));
    EXPECT_TRUE(i2cmaster::write(chip, {0x05, 0x0E}));
    outputs = chip.outputs();
    EXPECT_DOUBLE_EQ(outputs[0].frequency, 152.0 / 256);
    EXPECT_EQ(outputs[0].duty, 0.0);
    EXPECT_EQ(i2cmaster::read(chip, {0x00}, 1), (Bytes{0x01}));
}

TEST(Pca9530, InputIsReadOnlyAndAddressesSixAndSevenDoNotExist) {
    Pca9530 chip;
    testing::internal::CaptureStderr();
    EXPECT_TRUE(i2cmaster::write(chip, {0x00, 0x00}));
    EXPECT_EQ(i2cmaster::read(chip, {0x06}, 1), (Bytes{0x00}));
    EXPECT_TRUE(i2cmaster::write(chip, {0x27, 0x01}));
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_EQ(log,
              "boardsim: pca9530: write of 0x00 to the read-only INPUT register ignored\n"
              "boardsim: pca9530: access to reserved register 0x06\n"
              "boardsim: pca9530: reserved bits set in control byte 0x27\n"
              "boardsim: pca9530: access to reserved register 0x07\n");
    EXPECT_EQ(i2cmaster::read(chip, {0x00}, 1), (Bytes{0x03}));
}
