// The buttons on the handle by name and by number.
#include "board/HandleButton.h"

#include <gtest/gtest.h>

TEST(HandleButton, NamesAndNumbers) {
    using boardsim::HandleButton;
    EXPECT_EQ(HandleButton::parse("light-up"), 0);
    EXPECT_EQ(HandleButton::parse("light-down"), 1);
    EXPECT_EQ(HandleButton::parse("record"), 2);
    EXPECT_EQ(HandleButton::parse("photo"), 3);
    EXPECT_EQ(HandleButton::parse("2"), 2);
    EXPECT_EQ(HandleButton::parse("4"), -1);
    EXPECT_EQ(HandleButton::parse("Photo"), -1);
    EXPECT_EQ(HandleButton::parse(""), -1);
    EXPECT_EQ(HandleButton::names(0), "none");
    EXPECT_EQ(HandleButton::names(0x0A), "light-down,photo");
}
