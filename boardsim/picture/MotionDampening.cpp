#include "MotionDampening.h"

#include <algorithm>
#include <cstring>

namespace boardsim {

namespace {

// Values are blended in blocks of this many, which the compiler turns into vector instructions.
constexpr size_t kBlock = 16;

inline uint8_t blend(uint8_t previous, uint8_t current, unsigned weight, unsigned rest) {
    return static_cast<uint8_t>((weight * previous + rest * current + MotionDampening::kScale / 2) /
                                MotionDampening::kScale);
}

void blendInto(uint8_t* __restrict frame, uint8_t* __restrict previous, size_t bytes,
               unsigned weight) {
    const unsigned rest = MotionDampening::kScale - weight;
    const size_t blocks = bytes / kBlock * kBlock;
    for (size_t start = 0; start < blocks; start += kBlock) {
        for (size_t i = start; i < start + kBlock; ++i) {
            const uint8_t out = blend(previous[i], frame[i], weight, rest);
            frame[i] = out;
            previous[i] = out;
        }
    }
    for (size_t i = blocks; i < bytes; ++i) {
        const uint8_t out = blend(previous[i], frame[i], weight, rest);
        frame[i] = out;
        previous[i] = out;
    }
}

}  // namespace

MotionDampening::MotionDampening(size_t bytes) : m_bytes(bytes) {}

void MotionDampening::apply(uint8_t* frame, int coefficient) {
    if (!m_hasPrevious) {
        m_previous.resize(m_bytes);
        std::memcpy(m_previous.data(), frame, m_bytes);
        m_hasPrevious = true;
        return;
    }
    const auto weight = static_cast<unsigned>(std::clamp(coefficient, 0, kMaxWeight));
    blendInto(frame, m_previous.data(), m_bytes, weight);
}

}  // namespace boardsim
