#include "chips/SensorController.h"

#include <gtest/gtest.h>

#include "chips/I2cMaster.h"

using boardsim::SensorController;
using Bytes = std::vector<uint8_t>;

namespace {

Bytes readAt(SensorController& sensor, uint16_t reg, std::size_t count) {
    return i2cmaster::read(sensor, {static_cast<uint8_t>(reg >> 8), static_cast<uint8_t>(reg)},
                           count);
}

}  // namespace

TEST(SensorController, ResetValuesRunAutomaticControlOverTheWholeField) {
    SensorController sensor;
    EXPECT_EQ(readAt(sensor, 0x3003, 1), (Bytes{0x20}));
    EXPECT_EQ(readAt(sensor, 0x3100, 1), (Bytes{0x35}));
    // Stable bands around a target of 90: in 70-110, out 50-130.
    EXPECT_EQ(readAt(sensor, 0x3510, 1), (Bytes{70}));
    EXPECT_EQ(readAt(sensor, 0x350F, 1), (Bytes{110}));
    EXPECT_EQ(readAt(sensor, 0x351E, 1), (Bytes{50}));
    EXPECT_EQ(readAt(sensor, 0x351B, 1), (Bytes{130}));
    EXPECT_EQ(readAt(sensor, 0x3601, 3), (Bytes{0x0F, 0xA0, 0x00}));
    EXPECT_EQ(readAt(sensor, 0x4000, 2), (Bytes{0x18, 0x00}));
    EXPECT_EQ(readAt(sensor, 0x4100, 1), (Bytes{0x04}));
    EXPECT_EQ(readAt(sensor, 0x4106, 6), (Bytes{0x04, 0x00, 0x04, 0x00, 0x04, 0x00}));
    EXPECT_EQ(readAt(sensor, 0x4280, 8), (Bytes{0x00, 0x00, 0x01, 0x8F, 0x00, 0x00, 0x01, 0x8F}));
    EXPECT_EQ(readAt(sensor, 0x4288, 8), (Bytes{0x10, 0x01, 0x21, 0x12, 0x21, 0x12, 0x10, 0x01}));
    EXPECT_EQ(readAt(sensor, 0x4293, 1), (Bytes{90}));
}

TEST(SensorController, AddressHighByteFirstAndDataGoesOnAtTheNextRegister) {
    SensorController sensor;
    // Window start X 300, end X 364.
    EXPECT_TRUE(i2cmaster::write(sensor, {0x42, 0x80, 0x01, 0x2C, 0x01, 0x6C}));
    EXPECT_EQ(sensor.peek(0x4280), 0x01);
    EXPECT_EQ(sensor.peek(0x4281), 0x2C);
    EXPECT_EQ(sensor.peek(0x4283), 0x6C);
    EXPECT_EQ(readAt(sensor, 0x4281, 3), (Bytes{0x2C, 0x01, 0x6C}));
    EXPECT_EQ(i2cmaster::readOn(sensor, 1), (Bytes{0x00}));  // 0x4284
}

TEST(SensorController, UnknownRegistersReadZeroKeepWritesAndAreReportedOncePerRegister) {
    SensorController sensor;
    testing::internal::CaptureStderr();
    EXPECT_EQ(readAt(sensor, 0x1234, 1), (Bytes{0x00}));
    EXPECT_TRUE(i2cmaster::write(sensor, {0x12, 0x34, 0x5A}));
    EXPECT_EQ(readAt(sensor, 0x1234, 1), (Bytes{0x5A}));
    // The address wraps from 0xFFFF to 0x0000.
    EXPECT_TRUE(i2cmaster::write(sensor, {0xFF, 0xFF, 0x01, 0x02}));
    EXPECT_EQ(readAt(sensor, 0xFFFF, 2), (Bytes{0x01, 0x02}));
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_EQ(log,
              "boardsim: sensor-controller: access to unknown register 0x1234\n"
              "boardsim: sensor-controller: access to unknown register 0xffff\n"
              "boardsim: sensor-controller: access to unknown register 0x0000\n");
    EXPECT_EQ(sensor.guestLog().count(), 7);
    sensor.reset();
    EXPECT_EQ(sensor.peek(0x1234), 0x00);
}

TEST(SensorController, SoftResetRestoresEveryRegisterAndClearsItself) {
    SensorController sensor;
    EXPECT_TRUE(i2cmaster::write(sensor, {0x30, 0x03, 0x00}));
    EXPECT_TRUE(i2cmaster::write(sensor, {0x40, 0x01, 0x01}));
    EXPECT_TRUE(i2cmaster::write(sensor, {0x30, 0x08, 0x42}));  // ISP reset: stored only
    EXPECT_EQ(readAt(sensor, 0x3003, 1), (Bytes{0x00}));
    EXPECT_EQ(readAt(sensor, 0x3008, 1), (Bytes{0x42}));
    // Soft reset, and the next byte goes on to the next register as usual.
    EXPECT_TRUE(i2cmaster::write(sensor, {0x30, 0x08, 0x82, 0x00}));
    EXPECT_EQ(readAt(sensor, 0x3008, 1), (Bytes{0x02}));
    EXPECT_EQ(readAt(sensor, 0x3003, 1), (Bytes{0x20}));
    EXPECT_EQ(readAt(sensor, 0x4001, 1), (Bytes{0x00}));
}

TEST(SensorController, AverageIntensityIsReadOnlyForTheHost) {
    SensorController sensor;
    testing::internal::CaptureStderr();
    EXPECT_TRUE(i2cmaster::write(sensor, {0x42, 0x92, 0x07, 0x08, 0x09}));
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_EQ(log,
              "boardsim: sensor-controller: access to unknown register 0x4292\n"
              "boardsim: sensor-controller: write of 0x08 to read-only register 0x4293 ignored\n"
              "boardsim: sensor-controller: access to unknown register 0x4294\n");
    EXPECT_EQ(readAt(sensor, 0x4292, 3), (Bytes{0x07, 90, 0x09}));
    // The board's picture side sets it.
    sensor.poke(SensorController::kRegAverageIntensity, 131);
    EXPECT_EQ(readAt(sensor, 0x4293, 1), (Bytes{131}));
}

TEST(SensorController, KnownRegistersAreListedInAddressOrder) {
    const SensorController::Register* previous = nullptr;
    for (const auto& reg : SensorController::registers()) {
        if (previous != nullptr) {
            EXPECT_LT(previous->address, reg.address);
        }
        EXPECT_EQ(SensorController::find(reg.address), &reg);
        previous = &reg;
    }
    EXPECT_EQ(SensorController::find(0x4290), nullptr);
}
