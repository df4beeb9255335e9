// The picture a simulated board's sensor sees: a textured inspection scene with some motion,
// lit by the board's LEDs, exposed, balanced and pattern-switched as the registers say.
// Deterministic: the same settings, seed and time give the same bytes.
#pragma once

#include <cstdint>
#include <memory>

#include "PictureSettings.h"

namespace boardsim {

class ScenePicture {
public:
    static constexpr int kWidth = 400;
    static constexpr int kHeight = 400;
    static constexpr int kFrameBytes = kWidth * kHeight * 3;

    explicit ScenePicture(uint32_t seed);
    ~ScenePicture();
    ScenePicture(const ScenePicture&) = delete;
    ScenePicture& operator=(const ScenePicture&) = delete;

    // Renders the frame at `seconds` since power-on into rgb (kFrameBytes: R, G, B per pixel,
    // rows from the top). Advances the exposure loop by one frame when it is automatic.
    void render(const PictureSettings& settings, double seconds, uint8_t* rgb);

    // The weighted average intensity of the metering window in the last frame, 0..255 (the
    // sensor reports it in 0x4293).
    int averageIntensity() const;
    // The exposure and gain the automatic loop settled on (the manual values when manual).
    int currentExposure() const;
    int currentGain() const;

private:
    struct State;
    std::unique_ptr<State> m_state;
};

}  // namespace boardsim
