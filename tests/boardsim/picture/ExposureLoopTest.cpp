#include <gtest/gtest.h>

#include "picture/ExposureLoop.h"

using boardsim::ExposureLoop;

namespace {

constexpr ExposureLoop::Bands kBands{112, 128, 96, 144};

}  // namespace

TEST(ExposureLoop, StepsAreDampedAndBoundedPerFrame) {
    ExposureLoop loop;
    loop.setExposure(1000);
    loop.setGain(16);
    loop.update(30, kBands, true, true);  // target 120: a quarter of it, half a step is x2
    EXPECT_EQ(loop.exposure(), 2000);
    loop.update(1, kBands, true, true);  // black: no more than a doubling
    EXPECT_EQ(loop.exposure(), 4000);
    loop.update(255, kBands, true, true);  // clipped: halved
    EXPECT_EQ(loop.exposure(), 2000);
    loop.update(135, kBands, true, true);  // still above the stable band: keeps going
    EXPECT_LT(loop.exposure(), 2000);
    EXPECT_GT(loop.exposure(), 1800);
    EXPECT_TRUE(loop.adjusting());
    const int exposure = loop.exposure();
    loop.update(120, kBands, true, true);
    EXPECT_FALSE(loop.adjusting());
    EXPECT_EQ(loop.exposure(), exposure);
}

TEST(ExposureLoop, MovesOnlyTheAutomaticHalfAndAtLeastOneStep) {
    ExposureLoop loop;
    loop.setExposure(300);
    loop.setGain(40);
    loop.update(60, kBands, false, true);  // gain alone
    EXPECT_EQ(loop.exposure(), 300);
    EXPECT_EQ(loop.gain(), 57);
    loop.update(200, kBands, true, false);  // exposure alone
    EXPECT_EQ(loop.gain(), 57);
    EXPECT_LT(loop.exposure(), 300);

    // The shortest exposures still move by a line a frame, and never reach 0.
    loop.setExposure(2);
    loop.update(100, kBands, true, false);
    EXPECT_EQ(loop.exposure(), 3);
    loop.update(140, kBands, true, false);
    EXPECT_EQ(loop.exposure(), 2);
    loop.update(160, kBands, true, false);
    loop.update(160, kBands, true, false);
    EXPECT_EQ(loop.exposure(), 1);

    // With both halves manual the loop rests and forgets that it was adjusting.
    loop.update(10, kBands, true, false);
    EXPECT_TRUE(loop.adjusting());
    loop.update(10, kBands, false, false);
    EXPECT_FALSE(loop.adjusting());
    EXPECT_EQ(loop.exposure(), 2);
}
