// Smooth lattice noise for the scene's surfaces: values hashed at integer lattice points from a
// seed and blended with a smoothstep. The first coordinate can wrap, so a texture wrapped around
// a pipe has no seam.
#pragma once

#include <cstdint>

namespace boardsim {

class ValueNoise {
public:
    explicit ValueNoise(uint32_t seed) : m_seed(seed) {}

    // Noise in [0, 1] at (u, v) in lattice cells; u repeats every periodU cells (0: no wrap).
    double at(double u, double v, int periodU) const;

    // Octaves of noise, each twice the frequency and half the weight of the one before, summed
    // to [0, 1]. footprint is the size of one picture pixel in cells of the first octave:
    // octaves finer than a pixel fade to their mean instead of sparkling.
    double fractal(double u, double v, int periodU, int octaves, double footprint) const;

    // A well-mixed 32-bit hash of three words.
    static uint32_t hash(uint32_t a, uint32_t b, uint32_t c);
    // The hash as a number in [0, 1).
    static double unit(uint32_t a, uint32_t b, uint32_t c);

private:
    uint32_t m_seed;
};

}  // namespace boardsim
