// The FPGA's motion dampening (register 0x27 bit 0, coefficient in 0x21): each frame is blended
// with the history of the frames before, per colour value,
//   history = (w * history + (128 - w) * current) / 128,   out = history rounded,
// which steadies the picture against the scope's shake and the sensor's noise. The weight w is
// the coefficient, at most 127, so that the picture always follows the scene: 2 (the smallest
// coefficient the host writes) barely dampens, 128 dampens the most. The history keeps 8 bits
// below the output's, so even the heaviest dampening follows a change of one level (it would
// stand still if the history were the rounded output). The first frame after a reset passes
// unchanged and starts the history.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace boardsim {

class MotionDampening {
public:
    static constexpr int kScale = 128;
    static constexpr int kMaxWeight = kScale - 1;

    // Frames of `bytes` values.
    explicit MotionDampening(size_t bytes);

    // Blends the frame in place with the previous output and keeps the result as the next
    // frame's previous output. coefficient: register 0x21 (values beyond the weight's range are
    // held to 0..kMaxWeight).
    void apply(uint8_t* frame, int coefficient);
    // Forgets the previous output: the next frame passes unchanged.
    void reset() { m_hasPrevious = false; }

private:
    size_t m_bytes;
    bool m_hasPrevious = false;
    std::vector<uint16_t> m_history;  // values x 256; made with the first frame
};

}  // namespace boardsim
