#include "ValueNoise.h"

#include <algorithm>
#include <cmath>

namespace boardsim {

namespace {

double smooth(double t) {
    return t * t * (3.0 - 2.0 * t);
}

}  // namespace

uint32_t ValueNoise::hash(uint32_t a, uint32_t b, uint32_t c) {
    uint32_t h =
        a * 0x9E3779B1u ^ (b + 0x7F4A7C15u) * 0x85EBCA77u ^ (c + 0x165667B1u) * 0xC2B2AE3Du;
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return h;
}

double ValueNoise::unit(uint32_t a, uint32_t b, uint32_t c) {
    return static_cast<double>(hash(a, b, c) >> 8) / static_cast<double>(1u << 24);
}

double ValueNoise::at(double u, double v, int periodU) const {
    const double fu = std::floor(u);
    const double fv = std::floor(v);
    auto iu0 = static_cast<int64_t>(fu);
    auto iu1 = iu0 + 1;
    if (periodU > 0) {
        iu0 %= periodU;
        if (iu0 < 0) {
            iu0 += periodU;
        }
        iu1 = iu0 + 1 == periodU ? 0 : iu0 + 1;
    }
    const auto u0 = static_cast<uint32_t>(iu0);
    const auto u1 = static_cast<uint32_t>(iu1);
    const auto v0 = static_cast<uint32_t>(static_cast<int64_t>(fv));
    const uint32_t v1 = v0 + 1;
    const double tu = smooth(u - fu);
    const double tv = smooth(v - fv);
    const double a = unit(m_seed, u0, v0);
    const double b = unit(m_seed, u1, v0);
    const double c = unit(m_seed, u0, v1);
    const double d = unit(m_seed, u1, v1);
    const double top = a + (b - a) * tu;
    const double bottom = c + (d - c) * tu;
    return top + (bottom - top) * tv;
}

double ValueNoise::fractal(double u, double v, int periodU, int octaves, double footprint) const {
    double sum = 0.0;
    double total = 0.0;
    double weight = 1.0;
    double scale = 1.0;
    for (int octave = 0; octave < octaves; ++octave) {
        // Full contrast while a cell of this octave spans two pixels or more, none below one.
        const double cellPixels = 1.0 / (footprint * scale);
        const double keep = std::clamp(cellPixels - 1.0, 0.0, 1.0);
        const double value = keep > 0.0 ? at(u * scale, v * scale + octave * 17.0,
                                             periodU > 0 ? periodU << octave : 0)
                                        : 0.5;
        sum += weight * (0.5 + (value - 0.5) * keep);
        total += weight;
        weight *= 0.5;
        scale *= 2.0;
    }
    return sum / total;
}

}  // namespace boardsim
