// Frames of the simulated board's picture for the picture tests: rendering one, manual settings
// and how far two frames lie apart.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "picture/ScenePicture.h"

namespace pictureframes {

using Frame = std::vector<uint8_t>;

inline Frame render(boardsim::ScenePicture& picture, const boardsim::PictureSettings& settings,
                    double seconds) {
    Frame frame(boardsim::ScenePicture::kFrameBytes);
    picture.render(settings, seconds, frame.data());
    return frame;
}

// Manual exposure and gain (16 is unity), so that no loop changes the picture.
inline boardsim::PictureSettings manual(int exposure = 0x200, int gain = 16) {
    boardsim::PictureSettings settings;
    settings.autoExposure = false;
    settings.autoGain = false;
    settings.manualExposure = exposure;
    settings.manualGain = gain;
    return settings;
}

// The mean absolute difference of two frames of the same size, value by value.
inline double meanAbsoluteDifference(const Frame& a, const Frame& b) {
    double sum = 0.0;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
        sum += std::abs(a[i] - b[i]);
    }
    return a.empty() ? 0.0 : sum / static_cast<double>(a.size());
}

}  // namespace pictureframes
