// The inside wall of a steel pipe: mottled steel with grinding marks, corrosion patches and
// pits, sediment along the bottom, scratches, a long seam weld, a girth weld and a bolted joint.
// A place on the wall is s, the angle around the pipe (radians, 0..2 pi; the wall closes on
// itself), and z, the depth along it in pipe radii. The seed places the features.
#pragma once

#include <cstdint>
#include <vector>

#include "ValueNoise.h"

namespace boardsim {

class PipeWall {
public:
    struct Colour {
        double r = 0.0;
        double g = 0.0;
        double b = 0.0;
    };

    explicit PipeWall(uint32_t seed);

    // Reflectance, 0..1 per colour, at (s, z), smoothed over a picture pixel's extent on the
    // wall (footprint, in pipe radii).
    Colour at(double s, double z, double footprint) const;

private:
    struct Scratch {
        double around;
        double depth;
        double stepAround;  // direction
        double stepDepth;
        double length;
        double halfWidth;
    };

    // A weld bead of halfWidth across `across` = 0, running along `along`; alongPeriod: the
    // bead closes on itself after this length (0: it does not).
    Colour weld(Colour base, double across, double along, double halfWidth, double alongPeriod,
                double footprint) const;

    ValueNoise m_noise;
    Colour m_tint;
    double m_girthDepth = 2.0;
    double m_seamAround = 0.0;
    double m_jointDepth = 1.2;
    std::vector<double> m_boltsAround;
    double m_boltDepth = 1.3;
    double m_rustAmount = 0.5;
    double m_sedimentAround = 0.0;
    std::vector<Scratch> m_scratches;
};

}  // namespace boardsim
