#include "kxDailyLogName.h"

#include <gtest/gtest.h>

TEST(DailyLogName, EachFieldIsZeroFilled) {
    EXPECT_EQ(DailyLogName::of(2013, 4, 12), "kxCxLog20130412.txt");
}
