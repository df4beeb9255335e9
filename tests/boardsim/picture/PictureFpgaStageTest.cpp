// The FPGA's image functions between the source and gamma, the median filter and the motion
// dampening, on the scene's pictures.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "picture/ScenePicture.h"
#include "support/PictureFrames.h"

using boardsim::PictureSettings;
using boardsim::ScenePicture;
using namespace pictureframes;

namespace {

uint64_t fnv1a(const Frame& frame) {
    uint64_t hash = 0xCBF29CE484222325ull;
    for (uint8_t byte : frame) {
        hash = (hash ^ byte) * 0x100000001B3ull;
    }
    return hash;
}

// The mean change between consecutive frames at 30 frames/s, after a few frames to settle.
double frameToFrameChange(const PictureSettings& settings) {
    ScenePicture picture(settings.seed);
    Frame before;
    double change = 0.0;
    for (int i = 0; i < 16; ++i) {
        Frame frame = render(picture, settings, 4.0 + i / 30.0);
        if (i >= 8) {
            change += meanAbsoluteDifference(before, frame) / 8.0;
        }
        before = std::move(frame);
    }
    return change;
}

}  // namespace

TEST(PictureFpgaStage, FunctionsOffLeaveThePictureAsItWas) {
    // The unfiltered pictures as hashes of their bytes (they change only when the scene is
    // redrawn on purpose); the dampening coefficient alone changes nothing.
    PictureSettings settings = manual();
    settings.dampening = 128;
    ScenePicture picture(1);
    EXPECT_EQ(fnv1a(render(picture, settings, 3.25)), 0x8c7152c9500affd0ull);
    PictureSettings automatic;
    automatic.seed = 3;
    ScenePicture loop(3);
    Frame frame;
    for (int i = 0; i < 20; ++i) {
        frame = render(loop, automatic, 2.0 + i / 30.0);
    }
    EXPECT_EQ(fnv1a(frame), 0xa1c99041763cd9afull);
}

TEST(PictureFpgaStage, MedianAndDampeningSteadyTheSensorNoise) {
    // The lit scene barely moves from frame to frame: what changes is mostly noise.
    const PictureSettings off = manual();
    PictureSettings median = off;
    median.medianFilter = true;
    const double raw = frameToFrameChange(off);
    EXPECT_LT(frameToFrameChange(median), raw * 0.7);
    std::vector<double> damped;
    for (int coefficient : {2, 64, 128}) {
        PictureSettings settings = off;
        settings.motionCompensation = true;
        settings.dampening = coefficient;
        damped.push_back(frameToFrameChange(settings));
    }
    EXPECT_LE(damped[0], raw);
    EXPECT_LT(damped[1], damped[0] * 0.7);
    EXPECT_LT(damped[2], damped[1] * 0.5);
}

TEST(PictureFpgaStage, DampeningHistoryEndsWithTheSwitchAndWithTheSource) {
    PictureSettings on = manual();
    on.motionCompensation = true;
    on.dampening = 128;
    ScenePicture picture(1);
    ScenePicture fresh(1);
    for (int i = 0; i < 5; ++i) {
        render(picture, on, 2.0 + i / 30.0);
    }
    EXPECT_GT(meanAbsoluteDifference(render(picture, on, 10.0), render(fresh, manual(), 10.0)),
              1.0);
    // Off gives the raw frame, and on again starts from the raw frame.
    EXPECT_EQ(render(picture, manual(), 10.1), render(fresh, manual(), 10.1));
    EXPECT_EQ(render(picture, on, 10.2), render(fresh, manual(), 10.2));
    // The FPGA's bars after the scene, and the scene after them, are not blended; gamma (here
    // inverting) still comes last.
    std::vector<uint16_t> inverse(1024);
    for (int i = 0; i < 1024; ++i) {
        inverse[i] = static_cast<uint16_t>(1023 - i);
    }
    PictureSettings bars = on;
    PictureSettings rawBars = manual();
    for (PictureSettings* settings : {&bars, &rawBars}) {
        settings->fpgaSource = 1;
        settings->gammaOn = true;
        settings->gammaTable = inverse.data();
    }
    EXPECT_EQ(render(picture, bars, 10.3), render(fresh, rawBars, 10.3));
    EXPECT_EQ(render(picture, on, 10.4), render(fresh, manual(), 10.4));
}
