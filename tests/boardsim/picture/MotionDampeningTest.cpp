// The FPGA's motion dampening on frames made up here.
#include "picture/MotionDampening.h"

#include <gtest/gtest.h>

#include "support/PictureFrames.h"

using boardsim::MotionDampening;
using namespace pictureframes;

TEST(MotionDampening, HeaviestDampeningStillFollowsASmallStep) {
    // A still scene one level brighter: the output moves within a few hundred frames (seconds at
    // 30 frames/s) and settles on the new level, never beyond it.
    MotionDampening dampening(3);
    Frame frame{100, 100, 100};
    dampening.apply(frame.data(), 128);
    int firstMove = -1;
    for (int i = 0; i < 1000; ++i) {
        frame = {101, 101, 101};
        dampening.apply(frame.data(), 128);
        ASSERT_LE(frame[0], 101);
        if (firstMove < 0 && frame[0] == 101) {
            firstMove = i;
        }
    }
    EXPECT_GE(firstMove, 30);
    EXPECT_LT(firstMove, 300);
    EXPECT_EQ(frame, (Frame{101, 101, 101}));
}
