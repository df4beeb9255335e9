#include "usb/kxGuid.h"

#include <gtest/gtest.h>

TEST(Guid, TextAndWindowsByteLayout) {
    const auto guid = kx::Guid::parse("{07039751-9D61-46F3-98BD-B4B79AD56B6B}");
    ASSERT_TRUE(guid);
    const std::array<uint8_t, 16> expected = {0x51, 0x97, 0x03, 0x07, 0x61, 0x9D, 0xF3, 0x46,
                                              0x98, 0xBD, 0xB4, 0xB7, 0x9A, 0xD5, 0x6B, 0x6B};
    EXPECT_EQ(guid->bytes(), expected);
    EXPECT_EQ(guid->toString(), "{07039751-9D61-46F3-98BD-B4B79AD56B6B}");
    EXPECT_EQ(kx::Guid::parse("07039751-9d61-46f3-98bd-b4b79ad56b6b"), guid);
}

TEST(Guid, MalformedTextIsRefused) {
    for (const char* text :
         {"", "{07039751-9D61-46F3-98BD-B4B79AD56B6B", "{07039751-9D61-46F3-98BD-B4B79AD56B6G}",
          "07039751+9D61-46F3-98BD-B4B79AD56B6B", "{07039751-9D61-46F3-98BD-B4B79AD56B6B}x"}) {
        EXPECT_FALSE(kx::Guid::parse(text)) << text;
    }
}
