#include "log/kxRecordThrottle.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

class RecordThrottleTest : public testing::Test {
protected:
    RecordThrottle::Clock::time_point now{};
    RecordThrottle throttle{1000ms, [this] { return now; }};
};

}  // namespace

TEST_F(RecordThrottleTest, RepeatsWithinTheIntervalAreHeldAndCountedIntoTheNextWritten) {
    EXPECT_EQ(throttle.admit("stall"), 0u);
    now += 400ms;
    EXPECT_EQ(throttle.admit("stall"), std::nullopt);
    now += 599ms;
    EXPECT_EQ(throttle.admit("stall"), std::nullopt);
    // Another kind has its own interval.
    EXPECT_EQ(throttle.admit("time-out"), 0u);
    now += 1ms;
    EXPECT_EQ(throttle.admit("stall"), 2u);
    EXPECT_EQ(throttle.admit("stall"), std::nullopt);
    // A failure that comes back after a quiet spell is written at once, counting nothing.
    now += 5s;
    EXPECT_EQ(throttle.admit("stall"), 1u);
    EXPECT_EQ(throttle.admit("time-out"), 0u);
}

TEST_F(RecordThrottleTest, HeldCountsAreTakenOnceAndClearForgetsEveryKind) {
    throttle.admit("b");
    throttle.admit("b");
    throttle.admit("b");
    throttle.admit("a");
    throttle.admit("a");
    throttle.admit("c");
    using Held = std::vector<std::pair<std::string, uint64_t>>;
    EXPECT_EQ(throttle.takeHeld(), (Held{{"a", 1}, {"b", 2}}));
    EXPECT_EQ(throttle.takeHeld(), Held{});
    throttle.admit("a");
    throttle.clear();
    EXPECT_EQ(throttle.takeHeld(), Held{});
    EXPECT_EQ(throttle.admit("a"), 0u);
}
