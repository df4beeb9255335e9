#include "board/FrameSchedule.h"

#include <gtest/gtest.h>

using boardsim::FrameSchedule;
using namespace std::chrono_literals;

namespace {

const FrameSchedule::TimePoint kStart = FrameSchedule::TimePoint{} + 1000s;

uint64_t bankNumber(const FrameSchedule& schedule, int bank) {
    FrameSchedule::Frame frame;
    EXPECT_TRUE(schedule.bankFrame(bank, frame));
    return frame.number;
}

}  // namespace

TEST(FrameSchedule, FramesFollowTheRateIntoTheBanksInTurn) {
    FrameSchedule schedule(200);
    schedule.powerOn(kStart);
    FrameSchedule::Frame frame;
    EXPECT_FALSE(schedule.bankFrame(0, frame));
    EXPECT_EQ(schedule.newestBank(), 0);
    EXPECT_EQ(schedule.advance(kStart + 4999us), 0u);
    EXPECT_EQ(schedule.nextFrameAt(), kStart + 5ms);
    EXPECT_EQ(schedule.advance(kStart + 5ms), 1u);
    ASSERT_TRUE(schedule.bankFrame(0, frame));
    EXPECT_EQ(frame.number, 0u);
    EXPECT_DOUBLE_EQ(frame.seconds, 0.005);
    EXPECT_EQ(schedule.advance(kStart + 20ms), 3u);
    EXPECT_EQ(schedule.produced(), 4u);
    EXPECT_EQ(schedule.newestBank(), 3);
    ASSERT_TRUE(schedule.bankFrame(3, frame));
    EXPECT_EQ(frame.number, 3u);
    EXPECT_DOUBLE_EQ(frame.seconds, 0.020);
    EXPECT_EQ(schedule.advance(kStart + 25ms), 1u);
    EXPECT_EQ(schedule.newestBank(), 0);
    EXPECT_EQ(bankNumber(schedule, 0), 4u);
    EXPECT_EQ(bankNumber(schedule, 1), 1u);
    // Going back in time produces nothing.
    EXPECT_EQ(schedule.advance(kStart + 1ms), 0u);
    EXPECT_EQ(schedule.produced(), 5u);
}

TEST(FrameSchedule, ALongGapKeepsTheLastFourFramesInTheBanks) {
    FrameSchedule schedule(30);
    schedule.powerOn(kStart);
    // Frame k is due at ceil(k / 30 s): frame 1 at 33333334 ns, frame 3 at exactly 100 ms.
    EXPECT_EQ(schedule.advance(kStart + 33333333ns), 0u);
    EXPECT_EQ(schedule.advance(kStart + 33333334ns), 1u);
    EXPECT_EQ(schedule.advance(kStart + 99999999ns), 1u);
    EXPECT_EQ(schedule.advance(kStart + 100ms), 1u);
    EXPECT_EQ(schedule.advance(kStart + 3600s), 30u * 3600 - 3);
    EXPECT_EQ(schedule.produced(), 108000u);
    EXPECT_EQ(schedule.newestBank(), static_cast<int>(107999 % 4));
    for (int bank = 0; bank < 4; ++bank) {
        const uint64_t number = bankNumber(schedule, bank);
        EXPECT_GE(number, 107996u);
        EXPECT_EQ(number % 4, static_cast<uint64_t>(bank));
    }
    FrameSchedule::Frame newest;
    ASSERT_TRUE(schedule.bankFrame(schedule.newestBank(), newest));
    EXPECT_DOUBLE_EQ(newest.seconds, 3600.0);
}

TEST(FrameSchedule, AStoppedSensorProducesNothingAndARestartBeginsANewPeriod) {
    FrameSchedule schedule(100);
    schedule.powerOn(kStart);
    EXPECT_EQ(schedule.advance(kStart + 15ms), 1u);
    // Frames due before the stop still come.
    schedule.setRunning(false, kStart + 35ms);
    EXPECT_EQ(schedule.produced(), 3u);
    EXPECT_FALSE(schedule.running());
    EXPECT_EQ(schedule.advance(kStart + 10s), 0u);
    EXPECT_EQ(schedule.nextFrameAt(), FrameSchedule::TimePoint::max());
    schedule.setRunning(true, kStart + 10s);
    EXPECT_EQ(schedule.nextFrameAt(), kStart + 10010ms);
    EXPECT_EQ(schedule.advance(kStart + 10009ms), 0u);
    EXPECT_EQ(schedule.advance(kStart + 10010ms), 1u);
    FrameSchedule::Frame frame;
    ASSERT_TRUE(schedule.bankFrame(3, frame));
    EXPECT_EQ(frame.number, 3u);
    EXPECT_DOUBLE_EQ(frame.seconds, 10.010);
    // Starting a running sensor again changes nothing.
    schedule.setRunning(true, kStart + 10015ms);
    EXPECT_EQ(schedule.advance(kStart + 10020ms), 1u);
}

TEST(FrameSchedule, UnthrottledFramesComeOnlyWhenAskedFor) {
    FrameSchedule schedule(0);
    schedule.powerOn(kStart);
    EXPECT_FALSE(schedule.throttled());
    EXPECT_EQ(schedule.advance(kStart + 1s), 0u);
    EXPECT_EQ(schedule.nextFrameAt(), FrameSchedule::TimePoint::max());
    EXPECT_TRUE(schedule.produce(kStart + 2s));
    EXPECT_TRUE(schedule.produce(kStart + 3s));
    EXPECT_EQ(schedule.produced(), 2u);
    EXPECT_EQ(schedule.newestBank(), 1);
    FrameSchedule::Frame frame;
    ASSERT_TRUE(schedule.bankFrame(1, frame));
    EXPECT_DOUBLE_EQ(frame.seconds, 3.0);
    schedule.setRunning(false, kStart + 4s);
    EXPECT_FALSE(schedule.produce(kStart + 5s));
    EXPECT_EQ(schedule.produced(), 2u);
    // A throttled schedule does not produce on demand.
    FrameSchedule throttled(30);
    throttled.powerOn(kStart);
    EXPECT_FALSE(throttled.produce(kStart));
}

TEST(FrameSchedule, PowerOnForgetsEverything) {
    FrameSchedule schedule(50);
    schedule.powerOn(kStart);
    schedule.advance(kStart + 1s);
    schedule.setRunning(false, kStart + 1s);
    schedule.powerOn(kStart + 2s);
    EXPECT_TRUE(schedule.running());
    EXPECT_EQ(schedule.produced(), 0u);
    FrameSchedule::Frame frame;
    EXPECT_FALSE(schedule.bankFrame(0, frame));
    EXPECT_FALSE(schedule.bankFrame(4, frame));
    EXPECT_FALSE(schedule.bankFrame(-1, frame));
    EXPECT_EQ(schedule.advance(kStart + 2020ms), 1u);
}
