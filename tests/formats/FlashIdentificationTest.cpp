#include "kxFlashIdentification.h"

#include <gtest/gtest.h>

TEST(FlashIdentification, CapacityCodesOfBothFamilies) {
    EXPECT_EQ((FlashIdentification{0xBF, 0x25, 0x8E}.capacity()), 1u << 20);
    EXPECT_EQ((FlashIdentification{0xBF, 0x25, 0x4A}.capacity()), 4u << 20);
    EXPECT_EQ((FlashIdentification{0xBF, 0x25, 0x10}.capacity()), 1u << 16);
    EXPECT_EQ((FlashIdentification{0x20, 0x20, 0x18}.capacity()), 1u << 24);
    // Codes no family uses: the size is unknown.
    EXPECT_EQ((FlashIdentification{0x20, 0x20, 0x8E}.capacity()), 0u);
    EXPECT_EQ((FlashIdentification{0x20, 0x20, 0x0F}.capacity()), 0u);
}
