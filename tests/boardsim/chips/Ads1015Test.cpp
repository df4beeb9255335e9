#include <gtest/gtest.h>

#include "board/CameraBoard.h"
#include "chips/Ads1015.h"
#include "chips/I2cMaster.h"

using boardsim::Ads1015;
using boardsim::CameraBoard;
using Bytes = std::vector<uint8_t>;

TEST(Ads1015, ResetValuesReadMostSignificantByteFirst) {
    Ads1015 adc;
    EXPECT_EQ(i2cmaster::read(adc, {0x00}, 2), (Bytes{0x00, 0x00}));
    EXPECT_EQ(i2cmaster::read(adc, {0x01}, 4), (Bytes{0x85, 0x83, 0x85, 0x83}));
    EXPECT_EQ(i2cmaster::read(adc, {0x02}, 2), (Bytes{0x80, 0x00}));
    EXPECT_EQ(i2cmaster::read(adc, {0x03}, 2), (Bytes{0x7F, 0xFF}));
}

TEST(Ads1015, SingleShotConvertsOnceWhenOsIsWritten) {
    Ads1015 adc;
    adc.setInput(1, 3.3);
    // OS, AIN1 against ground, +-4.096 V, single-shot.
    EXPECT_TRUE(i2cmaster::write(adc, {0x01, 0xD3, 0x83}));
    EXPECT_EQ(i2cmaster::read(adc, {0x00}, 2), (Bytes{0x67, 0x20}));  // 1650 << 4
    adc.setInput(1, 1.0);
    EXPECT_EQ(i2cmaster::read(adc, {0x00}, 2), (Bytes{0x67, 0x20}));
    // The configuration reads back with OS 1 (idle); without OS nothing converts.
    EXPECT_EQ(i2cmaster::read(adc, {0x01}, 2), (Bytes{0xD3, 0x83}));
    EXPECT_TRUE(i2cmaster::write(adc, {0x01, 0x53, 0x83}));
    EXPECT_EQ(i2cmaster::read(adc, {0x00}, 2), (Bytes{0x67, 0x20}));
}

TEST(Ads1015, ContinuousModeFollowsTheInputAndClampsAtFullScale) {
    Ads1015 adc;
    adc.setInput(0, 1.0);
    adc.setInput(1, 1.5);
    // AIN0 - AIN1 at +-2.048 V, continuous: -0.5 V is -500 codes.
    EXPECT_TRUE(i2cmaster::write(adc, {0x01, 0x04, 0x83}));
    EXPECT_EQ(i2cmaster::read(adc, {0x00}, 2), (Bytes{0xE0, 0xC0}));
    adc.setInput(0, 5.0);
    EXPECT_EQ(i2cmaster::read(adc, {0x00}, 2), (Bytes{0x7F, 0xF0}));
    adc.setInput(0, -5.0);
    EXPECT_EQ(i2cmaster::read(adc, {0x00}, 2), (Bytes{0x80, 0x00}));
    // While converting continuously OS reads 0.
    EXPECT_EQ(i2cmaster::read(adc, {0x01}, 2), (Bytes{0x04, 0x83}));
}

TEST(Ads1015, HalfWrittenRegistersKeepTheirValue) {
    Ads1015 adc;
    EXPECT_TRUE(i2cmaster::write(adc, {0x02, 0x12}));
    EXPECT_EQ(i2cmaster::read(adc, {0x02}, 2), (Bytes{0x80, 0x00}));
    EXPECT_TRUE(i2cmaster::write(adc, {0x02, 0x12, 0x34}));
    EXPECT_EQ(i2cmaster::read(adc, {0x02}, 2), (Bytes{0x12, 0x34}));
    testing::internal::CaptureStderr();
    EXPECT_TRUE(i2cmaster::write(adc, {0x00, 0x12, 0x34}));
    EXPECT_TRUE(i2cmaster::write(adc, {0x04, 0x12, 0x34}));
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_EQ(log,
              "boardsim: ads1015: write to the read-only conversion register ignored\n"
              "boardsim: ads1015: pointer 0x04 names no register\n");
    EXPECT_EQ(i2cmaster::read(adc, {0x00}, 2), (Bytes{0x00, 0x00}));
}

TEST(Ads1015, BoardMeasuresItsUsbSupplyFromPowerOn) {
    CameraBoard board(boardsim::BoardConfig{}, 0);
    std::vector<uint8_t> reply(2);
    // 5 V through the 1:2 divider: 2.5 V, 1250 codes at +-4.096 V.
    EXPECT_EQ(board.handleControl({0xC0, 0xA9, 0x00, 0x48, 2}, reply.data()), 2);
    EXPECT_EQ(reply, (Bytes{0x4E, 0x20}));
    EXPECT_EQ(board.handleControl({0xC0, 0xA9, 0x01, 0x48, 2}, reply.data()), 2);
    EXPECT_EQ(reply, (Bytes{0x42, 0x83}));
    // The other rails, one shot each: 3.3 V, 1.8 V, 1.2 V.
    const std::pair<uint8_t, uint16_t> rails[] = {
        {0xD3, 1650 << 4}, {0xE3, 900 << 4}, {0xF3, 600 << 4}};
    for (const auto& [config, expected] : rails) {
        std::vector<uint8_t> start = {config, 0x83};
        EXPECT_EQ(board.handleControl({0x40, 0xA9, 0x01, 0x48, 2}, start.data()), 2);
        EXPECT_EQ(board.handleControl({0xC0, 0xA9, 0x00, 0x48, 2}, reply.data()), 2);
        EXPECT_EQ(reply[0] << 8 | reply[1], expected);
    }
}
