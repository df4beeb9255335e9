#include <gtest/gtest.h>

#include <cmath>

#include "board/CameraBoard.h"
#include "chips/I2cMaster.h"
#include "chips/Lm75.h"

using boardsim::CameraBoard;
using boardsim::Lm75;
using Bytes = std::vector<uint8_t>;

TEST(Lm75, TemperaturesAreNineBitTwosComplementInHalfDegrees) {
    EXPECT_EQ(Lm75::encode(25.0), 0x1900);
    EXPECT_EQ(Lm75::encode(25.7), 0x1980);
    EXPECT_EQ(Lm75::encode(-0.5), 0xFF80);
    EXPECT_EQ(Lm75::encode(-0.2), 0xFF80);  // rounded down
    EXPECT_EQ(Lm75::encode(-25.0), 0xE700);
    EXPECT_EQ(Lm75::encode(130.0), 0x7D00);  // 125 °C at most
    EXPECT_EQ(Lm75::encode(-60.0), 0xC900);  // -55 °C at least
}

TEST(Lm75, EachReadConvertsAndALongerReadRepeatsTheRegister) {
    double celsius = 31.5;
    Lm75 sensor([&] { return celsius; });
    EXPECT_EQ(i2cmaster::read(sensor, {0x00}, 3), (Bytes{31, 0x80, 31}));
    celsius = 32.0;
    EXPECT_EQ(i2cmaster::readOn(sensor, 2), (Bytes{32, 0x00}));
    // Shut down, the register keeps the last conversion.
    EXPECT_TRUE(i2cmaster::write(sensor, {0x01, 0x01}));
    celsius = 40.0;
    EXPECT_EQ(i2cmaster::read(sensor, {0x00}, 2), (Bytes{32, 0x00}));
    EXPECT_TRUE(i2cmaster::write(sensor, {0x01, 0x00}));
    EXPECT_EQ(i2cmaster::read(sensor, {0x00}, 1), (Bytes{40}));
}

TEST(Lm75, LimitRegistersAndConfigurationKeepOnlyTheirBits) {
    Lm75 sensor([] { return 25.0; });
    EXPECT_EQ(i2cmaster::read(sensor, {0x02}, 2), (Bytes{0x4B, 0x00}));
    EXPECT_EQ(i2cmaster::read(sensor, {0x03}, 2), (Bytes{0x50, 0x00}));
    EXPECT_EQ(i2cmaster::read(sensor, {0x01}, 2), (Bytes{0x00, 0x00}));
    EXPECT_TRUE(i2cmaster::write(sensor, {0x03, 0x46, 0xFF}));
    EXPECT_EQ(i2cmaster::read(sensor, {0x03}, 2), (Bytes{0x46, 0x80}));
    EXPECT_TRUE(i2cmaster::write(sensor, {0x01, 0xFE}));
    EXPECT_EQ(i2cmaster::read(sensor, {0x01}, 1), (Bytes{0x1E}));
    testing::internal::CaptureStderr();
    EXPECT_TRUE(i2cmaster::write(sensor, {0x00, 0x12, 0x34}));
    EXPECT_EQ(i2cmaster::read(sensor, {0x07}, 1), (Bytes{0x00}));
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_EQ(log,
              "boardsim: lm75: write to the read-only temperature register ignored\n"
              "boardsim: lm75: pointer 0x07 names no register\n");
    EXPECT_EQ(i2cmaster::read(sensor, {0x00}, 2), (Bytes{25, 0x00}));
    sensor.reset();
    EXPECT_EQ(i2cmaster::read(sensor, {0x03}, 2), (Bytes{0x50, 0x00}));
}

TEST(Lm75, BoardWarmsSlowlyTowardsItsRunningTemperature) {
    using std::chrono::seconds;
    EXPECT_DOUBLE_EQ(CameraBoard::boardTemperature(seconds(0)), 24.0);
    EXPECT_NEAR(CameraBoard::boardTemperature(seconds(600)), 24.0 + 14.0 * (1 - std::exp(-1.0)),
                1e-9);
    EXPECT_NEAR(CameraBoard::boardTemperature(seconds(36000)), 38.0, 1e-6);
    double previous = 0.0;
    for (int minute = 0; minute <= 60; minute += 5) {
        const double now = CameraBoard::boardTemperature(seconds(60 * minute));
        EXPECT_GT(now, previous);
        previous = now;
    }
    // Freshly powered, the sensor on the board reads 24 °C.
    CameraBoard board(boardsim::BoardConfig{}, 0);
    std::vector<uint8_t> reply(2);
    EXPECT_EQ(board.handleControl({0xC0, 0xA9, 0x00, 0x4B, 2}, reply.data()), 2);
    EXPECT_EQ(reply, (Bytes{24, 0x00}));
    EXPECT_GE(board.temperature(), 24.0);
    EXPECT_LT(board.temperature(), 24.5);
}
