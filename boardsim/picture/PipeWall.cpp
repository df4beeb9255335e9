#include "PipeWall.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace boardsim {

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kTwoPi = 2.0 * std::numbers::pi;

// Noise cells around the pipe (their size on the wall sets every texture's scale).
constexpr int kCellsAround = 16;
constexpr double kCellSize = kTwoPi / kCellsAround;

using Rgb = PipeWall::Colour;

Rgb mix(const Rgb& a, const Rgb& b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Rgb scaled(const Rgb& c, double k) {
    return {c.r * k, c.g * k, c.b * k};
}

double smoothstep(double e0, double e1, double x) {
    const double t = std::clamp((x - e0) / (e1 - e0), 0.0, 1.0);
    return t * t * (3.0 - 2.0 * t);
}

// Coverage of a band of half-width `half` at distance d, blurred over a pixel footprint.
double band(double d, double half, double footprint) {
    const double edge = std::max(footprint, 1e-4);
    return smoothstep(half + edge * 0.5, half - edge * 0.5, std::abs(d));
}

// Signed arc distance around the pipe, -pi..pi.
double aroundDistance(double a, double b) {
    double d = std::fmod(a - b, kTwoPi);
    if (d < -kPi) {
        d += kTwoPi;
    } else if (d >= kPi) {
        d -= kTwoPi;
    }
    return d;
}

}  // namespace

PipeWall::PipeWall(uint32_t seed) : m_noise(seed) {
    const auto pick = [seed](uint32_t index, double lo, double hi) {
        return lo + (hi - lo) * ValueNoise::unit(seed, 0xC0FFEEu, index);
    };
    m_girthDepth = pick(1, 1.7, 2.6);
    m_seamAround = pick(2, 0.0, kTwoPi);
    m_jointDepth = pick(3, 1.05, 1.35);
    m_boltDepth = m_jointDepth + 0.13;
    const int boltCount = 6 + static_cast<int>(pick(4, 0.0, 3.0));
    const double boltPhase = pick(5, 0.0, kTwoPi);
    for (int i = 0; i < boltCount; ++i) {
        m_boltsAround.push_back(boltPhase + kTwoPi * i / boltCount);
    }
    m_rustAmount = pick(6, 0.35, 0.75);
    m_sedimentAround = kPi / 2.0 + pick(7, -0.35, 0.35);  // the bottom of the pipe, roughly
    const int scratchCount = 5 + static_cast<int>(pick(8, 0.0, 5.0));
    for (int i = 0; i < scratchCount; ++i) {
        const uint32_t k = 100 + static_cast<uint32_t>(i) * 8;
        const double heading = pick(k, 0.0, kTwoPi);
        m_scratches.push_back({pick(k + 1, 0.0, kTwoPi), pick(k + 2, 0.9, 3.5), std::cos(heading),
                               std::sin(heading) * 0.6, pick(k + 3, 0.25, 1.1),
                               pick(k + 4, 0.004, 0.012)});
    }
    m_tint = {pick(9, 0.94, 1.04), pick(10, 0.97, 1.02), pick(11, 0.96, 1.06)};
}

// Ripples across the bead, a dark toe line along each edge, heat tint beside it.
PipeWall::Colour PipeWall::weld(Colour base, double across, double along, double halfWidth,
                                double alongPeriod, double footprint) const {
    const double heat =
        band(across, halfWidth * 2.2, footprint) - band(across, halfWidth * 1.15, footprint);
    base = mix(base, {0.62, 0.50, 0.30},
               0.45 * heat * (std::abs(across) < halfWidth * 1.7 ? 1.0 : 0.0));
    base = mix(base, {0.32, 0.36, 0.52},
               0.45 * heat * (std::abs(across) >= halfWidth * 1.7 ? 1.0 : 0.0));
    const double inside = band(across, halfWidth, footprint);
    if (inside <= 0.0) {
        return base;
    }
    double ripplePitch = halfWidth * 0.55;
    double grainScale = 2.0 / halfWidth;
    int grainPeriod = 0;
    if (alongPeriod > 0.0) {
        ripplePitch = alongPeriod / std::round(alongPeriod / ripplePitch);
        grainPeriod = static_cast<int>(std::lround(alongPeriod * grainScale));
        grainScale = grainPeriod / alongPeriod;
    }
    const double phase = (along + across * across / halfWidth * 1.6) / ripplePitch;
    const double rippleVisible = std::clamp(ripplePitch / footprint - 1.0, 0.0, 1.0);
    const double ripple = 0.5 + 0.5 * std::sin(kTwoPi * phase) * rippleVisible;
    const double crown =
        std::sqrt(std::max(0.0, 1.0 - (across / halfWidth) * (across / halfWidth)));
    const double grain =
        m_noise.at(along * grainScale, across / halfWidth * 2.0 + 91.0, grainPeriod);
    const double shade = 0.55 + 0.30 * crown + 0.14 * ripple + 0.16 * (grain - 0.5);
    const Rgb bead = scaled({0.56, 0.54, 0.51}, shade);
    const double toe =
        band(std::abs(across) - halfWidth, footprint * 0.6 + halfWidth * 0.12, footprint);
    return mix(mix(base, bead, inside), scaled(base, 0.3), 0.75 * toe);
}

PipeWall::Colour PipeWall::at(double s, double z, double footprint) const {
    const ValueNoise& noise = m_noise;
    const double u = s / kCellSize;
    const double v = z / kCellSize;
    const double cellFootprint = footprint / kCellSize;

    // Steel, mottled, with fine grinding marks along the pipe.
    const double mottle = noise.fractal(u, v, kCellsAround, 4, cellFootprint);
    const double marksVisible = std::clamp(0.02 / footprint - 1.0, 0.0, 1.0);
    const double marks = noise.at(u * 24.0, v * 0.8 + 300.0, kCellsAround * 24);
    double grey = 0.42 + 0.38 * (mottle - 0.5) + 0.06 * (marks - 0.5) * marksVisible;
    Rgb colour = scaled({1.0 * m_tint.r, 0.98 * m_tint.g, 0.95 * m_tint.b}, grey);

    // Corrosion in patches, darker at their hearts, and pits.
    const double rustValue =
        noise.fractal(u * 0.75 + 40.0, v * 0.75, kCellsAround * 3 / 4, 3, cellFootprint * 0.75);
    const double rust = smoothstep(0.62 - 0.12 * m_rustAmount, 0.74, rustValue);
    if (rust > 0.0) {
        const double depthOfRust = smoothstep(0.7, 0.85, rustValue);
        const Rgb rustColour = mix({0.50, 0.32, 0.19}, {0.27, 0.15, 0.08}, depthOfRust);
        const double flake =
            noise.fractal(u * 3.0, v * 3.0 + 500.0, kCellsAround * 3, 1, cellFootprint * 3.0);
        colour = mix(colour, scaled(rustColour, 0.8 + 0.4 * flake), rust * 0.8);
    }
    const double pitsVisible = std::clamp(kCellSize / 8.0 / footprint - 1.0, 0.0, 1.0);
    if (pitsVisible > 0.0) {
        const double pit = noise.at(u * 8.0, v * 8.0 + 800.0, kCellsAround * 8);
        colour = scaled(colour, 1.0 - 0.45 * smoothstep(0.90, 0.96, pit) * pitsVisible);
    }

    // Sediment along the bottom of the pipe.
    const double fromBottom = std::abs(aroundDistance(s, m_sedimentAround));
    if (fromBottom < 0.95) {
        const double sedimentNoise =
            noise.fractal(u * 1.5, v * 1.5 + 1200.0, kCellsAround * 3 / 2, 3, cellFootprint * 1.5);
        const double sediment = smoothstep(0.75, 0.35, fromBottom + 0.35 * (sedimentNoise - 0.5));
        colour =
            mix(colour, scaled({0.36, 0.30, 0.22}, 0.8 + 0.4 * sedimentNoise), sediment * 0.85);
    }

    // Scratches through the surface: bright bare metal.
    for (const Scratch& scratch : m_scratches) {
        const double ds = aroundDistance(s, scratch.around);
        const double dz = z - scratch.depth;
        const double along = ds * scratch.stepAround + dz * scratch.stepDepth;
        if (along < 0.0 || along > scratch.length) {
            continue;
        }
        const double across = -ds * scratch.stepDepth + dz * scratch.stepAround;
        const double width = std::max(scratch.halfWidth, footprint * 0.5);
        const double strength = scratch.halfWidth / width * std::sin(kPi * along / scratch.length);
        const double cover = band(across, width, footprint);
        if (cover > 0.0) {
            colour = mix(colour, {0.85, 0.85, 0.86}, 0.55 * cover * strength);
        }
    }

    // The long seam weld and the girth weld.
    colour = weld(colour, aroundDistance(s, m_seamAround), z, 0.07, 0.0, footprint);
    colour = weld(colour, z - m_girthDepth, s, 0.11, kTwoPi, footprint);

    // A bolted joint: a dark gap line and a ring of bolt heads behind it.
    colour = mix(colour, scaled(colour, 0.4), band(z - m_jointDepth, 0.012, footprint));
    constexpr double kBoltRadius = 0.075;
    for (const double boltAround : m_boltsAround) {
        const double ds = aroundDistance(s, boltAround);
        const double dz = z - m_boltDepth;
        const double d = std::sqrt(ds * ds + dz * dz);
        if (d > kBoltRadius * 2.5) {
            continue;
        }
        // Shadow cast away from the light, which comes from the camera (smaller depths).
        const double shadow =
            band(std::sqrt(ds * ds + (dz - kBoltRadius * 0.6) * (dz - kBoltRadius * 0.6)),
                 kBoltRadius * 1.05, footprint) *
            smoothstep(0.0, kBoltRadius, dz);
        colour = scaled(colour, 1.0 - 0.6 * shadow);
        const double head = band(d, kBoltRadius, footprint);
        if (head > 0.0) {
            const double dome =
                std::sqrt(std::max(0.0, 1.0 - (d / kBoltRadius) * (d / kBoltRadius)));
            const double facing = std::clamp(-dz / kBoltRadius, -1.0, 1.0);
            const double light = 0.25 + 0.35 * dome + 0.25 * facing;
            const double glint = std::pow(std::max(0.0, dome * 0.5 + facing * 0.5), 8.0);
            const Rgb metal = scaled({0.70, 0.68, 0.64}, light);
            colour = mix(colour, mix(metal, {0.95, 0.95, 0.95}, glint * 0.5), head);
        }
    }
    return colour;
}

}  // namespace boardsim
