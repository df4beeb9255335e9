#include "load/kxFpgaJtagLoader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

TEST(FpgaJtagLoader, ReversesTheBitOrderOfEveryByte) {
    std::vector<uint8_t> bytes = {0x01, 0x80, 0xAA, 0x0F, 0xC3, 0x00};
    FpgaJtagLoader::reverseBits(bytes);
    EXPECT_EQ(bytes, (std::vector<uint8_t>{0x80, 0x01, 0x55, 0xF0, 0xC3, 0x00}));
}
