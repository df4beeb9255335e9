#include "SceneTexture.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <mutex>
#include <numbers>
#include <thread>

#include "ValueNoise.h"

namespace boardsim {

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kTwoPi = 2.0 * std::numbers::pi;

// The view: a wall point at depth z (in pipe radii) shows at radius kFocal / z from the axis.
constexpr double kFocal = 255.0;
// Past this depth the light does not reach: the bore.
constexpr double kFarDepth = 14.0;
// Noise cells around the pipe (their size on the wall sets every texture's scale).
constexpr int kCellsAround = 16;
constexpr double kCellSize = kTwoPi / kCellsAround;
// 10-bit units for a white wall in the brightest light.
constexpr double kFullScale = 1600.0;
// Largest distance of a frame pixel from the frame's centre.
constexpr double kFrameCorner = 283.0;

struct Rgb {
    double r = 0.0;
    double g = 0.0;
    double b = 0.0;
};

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

struct Scratch {
    double s0, z0, ds, dz, length, half;
};

struct Bolt {
    double s, z;
};

// Where a seed puts the pipe's features.
struct WallLayout {
    explicit WallLayout(uint32_t seed) : noise(seed) {
        auto pick = [&](uint32_t index, double lo, double hi) {
            return lo + (hi - lo) * ValueNoise::unit(seed, 0xC0FFEEu, index);
        };
        girthDepth = pick(1, 1.7, 2.6);
        seamAngle = pick(2, 0.0, kTwoPi);
        jointDepth = pick(3, 1.05, 1.35);
        const int boltCount = 6 + static_cast<int>(pick(4, 0.0, 3.0));
        const double boltPhase = pick(5, 0.0, kTwoPi);
        for (int i = 0; i < boltCount; ++i) {
            bolts.push_back({boltPhase + kTwoPi * i / boltCount, jointDepth + 0.13});
        }
        rustAmount = pick(6, 0.35, 0.75);
        sedimentAngle = kPi / 2.0 + pick(7, -0.35, 0.35);  // the bottom of the pipe, roughly
        const int scratchCount = 5 + static_cast<int>(pick(8, 0.0, 5.0));
        for (int i = 0; i < scratchCount; ++i) {
            const uint32_t k = 100 + static_cast<uint32_t>(i) * 8;
            const double heading = pick(k, 0.0, kTwoPi);
            scratches.push_back({pick(k + 1, 0.0, kTwoPi), pick(k + 2, 0.9, 3.5), std::cos(heading),
                                 std::sin(heading) * 0.6, pick(k + 3, 0.25, 1.1),
                                 pick(k + 4, 0.004, 0.012)});
        }
        tint = {pick(9, 0.94, 1.04), pick(10, 0.97, 1.02), pick(11, 0.96, 1.06)};
    }

    ValueNoise noise;
    double girthDepth = 2.0;
    double seamAngle = 0.0;
    double jointDepth = 1.2;
    std::vector<Bolt> bolts;
    double rustAmount = 0.5;
    double sedimentAngle = kPi / 2.0;
    std::vector<Scratch> scratches;
    Rgb tint;
};

// Weld bead: ripples across the bead, a dark toe line along each edge, heat tint beside it.
// alongPeriod: the bead closes on itself after this length (0: it does not).
Rgb weld(Rgb base, double across, double along, double half, double alongPeriod, double footprint,
         const ValueNoise& noise) {
    const double heat = band(across, half * 2.2, footprint) - band(across, half * 1.15, footprint);
    base = mix(base, {0.62, 0.50, 0.30}, 0.45 * heat * (std::abs(across) < half * 1.7 ? 1.0 : 0.0));
    base =
        mix(base, {0.32, 0.36, 0.52}, 0.45 * heat * (std::abs(across) >= half * 1.7 ? 1.0 : 0.0));
    const double inside = band(across, half, footprint);
    if (inside <= 0.0) {
        return base;
    }
    double ripplePitch = half * 0.55;
    double grainScale = 2.0 / half;
    int grainPeriod = 0;
    if (alongPeriod > 0.0) {
        ripplePitch = alongPeriod / std::round(alongPeriod / ripplePitch);
        grainPeriod = static_cast<int>(std::lround(alongPeriod * grainScale));
        grainScale = grainPeriod / alongPeriod;
    }
    const double phase = (along + across * across / half * 1.6) / ripplePitch;
    const double rippleVisible = std::clamp(ripplePitch / footprint - 1.0, 0.0, 1.0);
    const double ripple = 0.5 + 0.5 * std::sin(kTwoPi * phase) * rippleVisible;
    const double crown = std::sqrt(std::max(0.0, 1.0 - (across / half) * (across / half)));
    const double grain = noise.at(along * grainScale, across / half * 2.0 + 91.0, grainPeriod);
    const double shade = 0.55 + 0.30 * crown + 0.14 * ripple + 0.16 * (grain - 0.5);
    const Rgb bead = scaled({0.56, 0.54, 0.51}, shade);
    const double toe = band(std::abs(across) - half, footprint * 0.6 + half * 0.12, footprint);
    return mix(mix(base, bead, inside), scaled(base, 0.3), 0.75 * toe);
}

// The wall's colour (reflectance, 0..1) at arc position s (radians around) and depth z.
Rgb wall(const WallLayout& layout, double s, double z, double footprint) {
    const ValueNoise& noise = layout.noise;
    const double u = s / kCellSize;
    const double v = z / kCellSize;
    const double cellFootprint = footprint / kCellSize;

    // Steel, mottled, with fine grinding marks along the pipe.
    const double mottle = noise.fractal(u, v, kCellsAround, 4, cellFootprint);
    const double marksVisible = std::clamp(0.02 / footprint - 1.0, 0.0, 1.0);
    const double marks = noise.at(u * 24.0, v * 0.8 + 300.0, kCellsAround * 24);
    double grey = 0.42 + 0.38 * (mottle - 0.5) + 0.06 * (marks - 0.5) * marksVisible;
    Rgb colour = scaled({1.0 * layout.tint.r, 0.98 * layout.tint.g, 0.95 * layout.tint.b}, grey);

    // Corrosion in patches, darker at their hearts, and pits.
    const double rustValue =
        noise.fractal(u * 0.75 + 40.0, v * 0.75, kCellsAround * 3 / 4, 3, cellFootprint * 0.75);
    const double rust = smoothstep(0.62 - 0.12 * layout.rustAmount, 0.74, rustValue);
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
    const double fromBottom = std::abs(aroundDistance(s, layout.sedimentAngle));
    if (fromBottom < 0.95) {
        const double sedimentNoise =
            noise.fractal(u * 1.5, v * 1.5 + 1200.0, kCellsAround * 3 / 2, 3, cellFootprint * 1.5);
        const double sediment = smoothstep(0.75, 0.35, fromBottom + 0.35 * (sedimentNoise - 0.5));
        colour =
            mix(colour, scaled({0.36, 0.30, 0.22}, 0.8 + 0.4 * sedimentNoise), sediment * 0.85);
    }

    // Scratches through the surface: bright bare metal.
    for (const Scratch& scratch : layout.scratches) {
        const double ds = aroundDistance(s, scratch.s0);
        const double dz = z - scratch.z0;
        const double along = ds * scratch.ds + dz * scratch.dz;
        if (along < 0.0 || along > scratch.length) {
            continue;
        }
        const double across = -ds * scratch.dz + dz * scratch.ds;
        const double width = std::max(scratch.half, footprint * 0.5);
        const double strength = scratch.half / width * std::sin(kPi * along / scratch.length);
        const double cover = band(across, width, footprint);
        if (cover > 0.0) {
            colour = mix(colour, {0.85, 0.85, 0.86}, 0.55 * cover * strength);
        }
    }

    // The long seam weld and the girth weld.
    colour = weld(colour, aroundDistance(s, layout.seamAngle), z, 0.07, 0.0, footprint, noise);
    colour = weld(colour, z - layout.girthDepth, s, 0.11, kTwoPi, footprint, noise);

    // A bolted joint: a dark gap line and a ring of bolt heads behind it.
    colour = mix(colour, scaled(colour, 0.4), band(z - layout.jointDepth, 0.012, footprint));
    constexpr double kBoltRadius = 0.075;
    for (const Bolt& bolt : layout.bolts) {
        const double ds = aroundDistance(s, bolt.s);
        const double dz = z - bolt.z;
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

// Light reaching the wall at depth z from the LEDs, and the lens's fall-off toward the corners.
double lighting(double r, double z) {
    const double fromLeds = std::pow(1.0 + z * z, -0.3);
    const double corner = r / 230.0;
    const double lens = 1.0 / (1.0 + corner * corner * corner * corner);
    const double bore = smoothstep(kFarDepth, kFarDepth * 0.6, z);
    return fromLeds * lens * bore;
}

// The LEDs' warm light.
constexpr Rgb kLedColour{1.0, 0.86, 0.66};

// Channel sums over the grey surfaces a frame can show and over the frame's centre.
struct Sums {
    std::array<uint64_t, 3> grey{};
    std::array<uint64_t, 3> centre{};
    uint64_t greyPixels = 0;
    uint64_t centrePixels = 0;

    void add(const Sums& other) {
        for (int c = 0; c < 3; ++c) {
            grey[c] += other.grey[c];
            centre[c] += other.centre[c];
        }
        greyPixels += other.greyPixels;
        centrePixels += other.centrePixels;
    }
};

Sums drawRows(const WallLayout& layout, int y0, int y1, std::vector<uint64_t>& texels) {
    constexpr int kSize = SceneTexture::kSize;
    constexpr double kCentre = SceneTexture::kCentre;
    constexpr int kLaneBits = SceneTexture::kLaneBits;
    Sums sums;
    for (int y = y0; y < y1; ++y) {
        const double dy = y + 0.5 - kCentre;
        for (int x = 0; x < kSize; ++x) {
            const double dx = x + 0.5 - kCentre;
            const double r = std::sqrt(dx * dx + dy * dy);
            if (r > SceneTexture::kRadius) {
                continue;
            }
            const double rWall = std::max(r, 2.0);
            const double z = kFocal / rWall;
            double s = std::atan2(dy, dx);
            if (s < 0.0) {
                s += kTwoPi;
            }
            // One pixel's extent on the wall: around the pipe and along it.
            const double footprint = std::max(1.0 / rWall, kFocal / (rWall * rWall));
            const double light = lighting(r, z);
            Rgb albedo{};
            if (light > 0.0) {
                albedo = wall(layout, s, z, footprint);
            }
            const Rgb radiance = scaled(albedo, light * kFullScale);
            const auto channel = [](double value, double led) {
                return static_cast<uint32_t>(std::clamp(std::lround(value * led), 0L, 1023L));
            };
            const std::array<uint32_t, 3> rgb{channel(radiance.r, kLedColour.r),
                                              channel(radiance.g, kLedColour.g),
                                              channel(radiance.b, kLedColour.b)};
            texels[static_cast<size_t>(y) * kSize + x] =
                (uint64_t{rgb[0]} | uint64_t{rgb[1]} << kLaneBits |
                 uint64_t{rgb[2]} << 2 * kLaneBits)
                << SceneTexture::kValueShift;
            const double brightest = std::max({albedo.r, albedo.g, albedo.b});
            const double darkest = std::min({albedo.r, albedo.g, albedo.b});
            if (r <= kFrameCorner && brightest > 0.1 && darkest > brightest * 0.85) {
                for (int c = 0; c < 3; ++c) {
                    sums.grey[c] += rgb[c];
                }
                ++sums.greyPixels;
            }
            if (std::abs(dx) < 80.0 && std::abs(dy) < 80.0) {
                for (int c = 0; c < 3; ++c) {
                    sums.centre[c] += rgb[c];
                }
                ++sums.centrePixels;
            }
        }
    }
    return sums;
}

}  // namespace

SceneTexture::SceneTexture(uint32_t seed)
    : m_seed(seed), m_texels(static_cast<size_t>(kSize) * kSize, 0) {
    const WallLayout layout(seed);
    // Rows in bands drawn side by side; the sums are whole numbers, so the means do not depend
    // on how the rows were shared out.
    const unsigned cores = std::thread::hardware_concurrency();
    const int bands = static_cast<int>(std::clamp(cores, 1u, 4u));
    std::vector<Sums> sums(static_cast<size_t>(bands));
    std::vector<std::thread> helpers;
    const auto drawBand = [&](int band) {
        sums[band] = drawRows(layout, kSize * band / bands, kSize * (band + 1) / bands, m_texels);
    };
    for (int band = 1; band < bands; ++band) {
        helpers.emplace_back(drawBand, band);
    }
    drawBand(0);
    for (std::thread& helper : helpers) {
        helper.join();
    }
    Sums total;
    for (const Sums& part : sums) {
        total.add(part);
    }
    for (int c = 0; c < 3; ++c) {
        m_greyMeans[c] =
            static_cast<double>(total.grey[c]) / std::max<uint64_t>(total.greyPixels, 1);
        m_centreMeans[c] =
            static_cast<double>(total.centre[c]) / std::max<uint64_t>(total.centrePixels, 1);
    }
}

std::shared_ptr<const SceneTexture> SceneTexture::forSeed(uint32_t seed) {
    // Boards come and go in tests with the same few seeds: the last textures stay alive.
    static std::mutex mutex;
    static std::map<uint32_t, std::weak_ptr<const SceneTexture>> cache;
    static std::array<std::shared_ptr<const SceneTexture>, 2> recent;
    const std::lock_guard lock(mutex);
    std::shared_ptr<const SceneTexture> texture = cache[seed].lock();
    if (!texture) {
        texture = std::make_shared<const SceneTexture>(seed);
        cache[seed] = texture;
        std::erase_if(cache, [](const auto& entry) { return entry.second.expired(); });
    }
    if (recent[0] != texture) {
        recent[1] = recent[0];
        recent[0] = texture;
    }
    return texture;
}

}  // namespace boardsim
