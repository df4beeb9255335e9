#include <gtest/gtest.h>

#include <vector>

#include "chips/AutoIncrementRegisters.h"

using boardsim::AutoIncrementRegisters;
using boardsim::GuestLog;
using boardsim::I2cSlave;

namespace {

std::vector<int> walk(AutoIncrementRegisters& registers, int steps) {
    std::vector<int> pointers;
    for (int n = 0; n < steps; ++n) {
        pointers.push_back(registers.pointer());
        registers.advance();
    }
    return pointers;
}

}  // namespace

TEST(AutoIncrementRegisters, OnlyTheFirstByteOfAWriteIsTheControlByte) {
    GuestLog log("part");
    AutoIncrementRegisters registers(6, 5, log);
    EXPECT_FALSE(registers.takeControl());
    registers.event(I2cSlave::Event::StartSend);
    EXPECT_TRUE(registers.takeControl());
    EXPECT_FALSE(registers.takeControl());
    registers.event(I2cSlave::Event::StartSend);
    registers.event(I2cSlave::Event::StartRecv);
    EXPECT_FALSE(registers.takeControl());
}

TEST(AutoIncrementRegisters, PointerStaysWithoutAutoIncrement) {
    GuestLog log("part");
    AutoIncrementRegisters registers(6, 5, log);
    registers.select(3);
    EXPECT_EQ(walk(registers, 3), (std::vector<int>{3, 3, 3}));
}

TEST(AutoIncrementRegisters, PointerLoopsOverItsRangeAndRollsOverAfterTheTop) {
    GuestLog log("part");
    AutoIncrementRegisters registers(13, 0x0F, log);
    registers.select(0x04, 0x02, 0x05);
    EXPECT_EQ(walk(registers, 5), (std::vector<int>{4, 5, 2, 3, 4}));
    // Above the range the pointer counts to the top, rolls over to 0 and then joins the range.
    registers.select(0x0E, 0x02, 0x05);
    EXPECT_EQ(walk(registers, 8), (std::vector<int>{0x0E, 0x0F, 0, 1, 2, 3, 4, 5}));
}

TEST(AutoIncrementRegisters, AddressesBeyondTheRegistersAreReportedOnce) {
    GuestLog log("part");
    AutoIncrementRegisters registers(6, 5, log);
    registers.select(5);
    EXPECT_TRUE(registers.valid());
    testing::internal::CaptureStderr();
    registers.select(7, 0, 5);
    EXPECT_FALSE(registers.valid());
    EXPECT_FALSE(registers.valid());
    registers.advance();
    EXPECT_EQ(registers.pointer(), 0);
    EXPECT_TRUE(registers.valid());
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "boardsim: part: access to reserved register 0x07\n");
    EXPECT_EQ(log.count(), 2);
    registers.reset();
    EXPECT_EQ(walk(registers, 2), (std::vector<int>{0, 0}));
}
