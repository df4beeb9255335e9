#include "frame/kxLogSession.h"

#include <gtest/gtest.h>

TEST(LogSession, DailyFileNameIsZeroFilled) {
    EXPECT_EQ(LogSession::dailyFileName(2013, 4, 12), "kxCxLog20130412.txt");
}
