#include "log/kxPerfCounter.h"

#include <gtest/gtest.h>

TEST(PerfCounter, ElapsedStampSplitsDaysToMicroseconds) {
    const int64_t frequency = 1000000;
    const int64_t counter = ((((2LL * 24 + 3) * 60 + 4) * 60 + 5) * 1000000) + 678901;
    EXPECT_EQ(PerfCounter::elapsedStamp(counter, frequency), "02-03:04:05.678,901");
    EXPECT_EQ(PerfCounter::elapsedStamp(5, 10), "00-00:00:00.500,000");
}
