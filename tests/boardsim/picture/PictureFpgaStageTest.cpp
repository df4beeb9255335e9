// The FPGA's image functions between the source and gamma: the median filter and the motion
// dampening, on the scene and on frames made up here.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "picture/MedianFilter.h"
#include "picture/MotionDampening.h"
#include "picture/ScenePicture.h"
#include "support/PictureFrames.h"

using boardsim::MedianFilter;
using boardsim::MotionDampening;
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

TEST(PictureMedian, EachInnerValueIsTheMedianOfItsNeighbourhoodAndTheBorderStays) {
    for (const auto& [width, height] : {std::pair{7, 5}, std::pair{3, 3}, std::pair{23, 4}}) {
        Frame frame(static_cast<size_t>(width) * height * 3);
        std::mt19937 random(static_cast<unsigned>(width * height));
        for (uint8_t& value : frame) {
            value = static_cast<uint8_t>(random());
        }
        Frame filtered = frame;
        MedianFilter(width, height).apply(filtered.data());
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                for (int c = 0; c < 3; ++c) {
                    const auto at = [&](int px, int py) {
                        return frame[(py * width + px) * 3 + c];
                    };
                    uint8_t expected = at(x, y);
                    if (x > 0 && y > 0 && x < width - 1 && y < height - 1) {
                        std::vector<uint8_t> around;
                        for (int dy = -1; dy <= 1; ++dy) {
                            for (int dx = -1; dx <= 1; ++dx) {
                                around.push_back(at(x + dx, y + dy));
                            }
                        }
                        std::nth_element(around.begin(), around.begin() + 4, around.end());
                        expected = around[4];
                    }
                    ASSERT_EQ(filtered[(y * width + x) * 3 + c], expected)
                        << width << "x" << height << " at " << x << "," << y << " colour " << c;
                }
            }
        }
    }
    // A hot pixel on a flat frame is gone; frames too small for a neighbourhood stay as they are.
    Frame flat(ScenePicture::kFrameBytes, 40);
    flat[(123 * ScenePicture::kWidth + 77) * 3 + 1] = 255;
    MedianFilter(ScenePicture::kWidth, ScenePicture::kHeight).apply(flat.data());
    EXPECT_EQ(flat, Frame(ScenePicture::kFrameBytes, 40));
    Frame line{1, 2, 3, 200, 200, 200, 4, 5, 6};
    MedianFilter(3, 1).apply(line.data());
    EXPECT_EQ(line, (Frame{1, 2, 3, 200, 200, 200, 4, 5, 6}));
}

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

TEST(PictureFpgaStage, HeaviestDampeningStillFollowsASmallStep) {
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
