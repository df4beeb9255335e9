#include "MotionDampening.h"

#include <algorithm>

namespace boardsim {

namespace {

// Values are blended in blocks of this many, which the compiler turns into vector instructions.
constexpr size_t kBlock = 16;
// The history's fraction bits below an output value.
constexpr unsigned kFraction = 8;

inline uint8_t blend(uint16_t& history, uint8_t current, unsigned weight, unsigned rest) {
    history = static_cast<uint16_t>(
        (weight * history + rest * (unsigned{current} << kFraction) + MotionDampening::kScale / 2) /
        MotionDampening::kScale);
    return static_cast<uint8_t>((history + (1u << (kFraction - 1))) >> kFraction);
}

void blendInto(uint8_t* __restrict frame, uint16_t* __restrict history, size_t bytes,
               unsigned weight) {
    const unsigned rest = MotionDampening::kScale - weight;
    const size_t blocks = bytes / kBlock * kBlock;
    for (size_t start = 0; start < blocks; start += kBlock) {
        for (size_t i = start; i < start + kBlock; ++i) {
            frame[i] = blend(history[i], frame[i], weight, rest);
        }
    }
    for (size_t i = blocks; i < bytes; ++i) {
        frame[i] = blend(history[i], frame[i], weight, rest);
    }
}

}  // namespace

MotionDampening::MotionDampening(size_t bytes) : m_bytes(bytes) {}

void MotionDampening::apply(uint8_t* frame, int coefficient) {
    if (!m_hasPrevious) {
        m_history.resize(m_bytes);
        for (size_t i = 0; i < m_bytes; ++i) {
            m_history[i] = static_cast<uint16_t>(frame[i] << kFraction);
        }
        m_hasPrevious = true;
        return;
    }
    const auto weight = static_cast<unsigned>(std::clamp(coefficient, 0, kMaxWeight));
    blendInto(frame, m_history.data(), m_bytes, weight);
}

}  // namespace boardsim
