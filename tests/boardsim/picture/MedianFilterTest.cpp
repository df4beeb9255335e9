// The FPGA's median filter on frames made up here and on a flat frame of the scene's size.
#include "picture/MedianFilter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <utility>
#include <vector>

#include "picture/ScenePicture.h"
#include "support/PictureFrames.h"

using boardsim::MedianFilter;
using boardsim::ScenePicture;
using namespace pictureframes;

TEST(MedianFilter, EachInnerValueIsTheMedianOfItsNeighbourhoodAndTheBorderStays) {
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
