// The picture a simulated board's sensor sees: a textured inspection scene with some motion,
// lit by the board's LEDs, exposed, balanced and pattern-switched as the registers say.
// Deterministic: the same settings, seed and time give the same bytes, after the same frames
// before when the exposure is automatic or motion compensation is on (its dampening blends in
// the frames rendered since it was switched on or the source last changed).
//
// The order of the stages: the scene or the sensor's colour bars, metered for the exposure loop
// and 0x4293, then the FPGA's source (1 and 3 replace the picture with the FPGA's patterns, other
// values pass it; behind a pattern the sensor goes on metering and adjusting to the scene), then
// the FPGA's median filter (MedianFilter), its motion dampening (MotionDampening) and its gamma,
// each on everything. The loop rests while the sensor shows its bars. Switching motion
// compensation off, or another source (FPGA pattern, sensor bars, scene or seed), drops the
// dampening's history: the next frame is the undampened one.
//
// The scene's texture is drawn once per seed (about a tenth of a second, on up to four threads)
// and shared by the pictures of that seed; a picture's own tables (about 120 KB) are made with
// its first frame. One picture is for one thread at a time.
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

    // Draws (or finds) the texture of `seed`; a render with another settings.seed switches.
    explicit ScenePicture(uint32_t seed);
    ~ScenePicture();
    ScenePicture(const ScenePicture&) = delete;
    ScenePicture& operator=(const ScenePicture&) = delete;

    // Renders the frame at `seconds` since power-on into rgb (kFrameBytes: R, G, B per pixel,
    // rows from the top). Advances the exposure loop by one frame when it is automatic, and the
    // dampening's history when motion compensation is on.
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
