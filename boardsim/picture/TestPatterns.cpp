#include "TestPatterns.h"

#include <cstring>

namespace boardsim {

void TestPatterns::sensorBarsRow(uint8_t* row, int width) {
    for (int x = 0; x < width; ++x) {
        const uint8_t* on = kBarColours[x * 8 / width];
        for (int c = 0; c < 3; ++c) {
            row[x * 3 + c] = on[c] ? 255 : 0;
        }
    }
}

void TestPatterns::fpgaColourBars(uint8_t* rgb, int width, int height) {
    const int rampTop = height - height / 8;
    const size_t stride = static_cast<size_t>(width) * 3;
    for (int y = 0; y < height; ++y) {
        uint8_t* row = rgb + y * stride;
        if (y > 0 && y < rampTop && (y * 8 / rampTop) == ((y - 1) * 8 / rampTop)) {
            std::memcpy(row, row - stride, stride);
            continue;
        }
        for (int x = 0; x < width; ++x) {
            uint8_t* pixel = row + x * 3;
            if (y < rampTop) {
                const uint8_t* on = kBarColours[y * 8 / rampTop];
                for (int c = 0; c < 3; ++c) {
                    pixel[c] = on[c] ? 191 : 0;
                }
            } else {
                const auto grey = static_cast<uint8_t>(x * 255 / (width - 1));
                pixel[0] = pixel[1] = pixel[2] = grey;
            }
        }
    }
}

void TestPatterns::fpgaTestPattern(uint8_t* rgb, int width, int height) {
    for (int y = 0; y < height; ++y) {
        uint8_t* row = rgb + static_cast<size_t>(y) * width * 3;
        for (int x = 0; x < width; ++x) {
            uint8_t* pixel = row + x * 3;
            const bool grid =
                x % kGridPitch == 0 || y % kGridPitch == 0 || x == width - 1 || y == height - 1;
            if (grid) {
                pixel[0] = pixel[1] = pixel[2] = 255;
                continue;
            }
            pixel[0] = static_cast<uint8_t>(x * 255 / (width - 1));
            pixel[1] = static_cast<uint8_t>(y * 255 / (height - 1));
            pixel[2] = static_cast<uint8_t>((x + y) * 255 / (width + height - 2));
        }
    }
}

}  // namespace boardsim
