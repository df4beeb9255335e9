#include "SceneTexture.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <mutex>
#include <numbers>
#include <system_error>
#include <thread>

#include "PipeWall.h"

namespace boardsim {

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

// The view: a wall point at depth z (in pipe radii) shows at radius kFocal / z from the axis.
constexpr double kFocal = 255.0;
// Past this depth the light does not reach: the bore.
constexpr double kFarDepth = 14.0;
// 10-bit units for a white wall in the brightest light.
constexpr double kFullScale = 1600.0;
// Largest distance of a frame pixel from the frame's centre.
constexpr double kFrameCorner = 283.0;

using Rgb = PipeWall::Colour;

Rgb scaled(const Rgb& c, double k) {
    return {c.r * k, c.g * k, c.b * k};
}

double smoothstep(double e0, double e1, double x) {
    const double t = std::clamp((x - e0) / (e1 - e0), 0.0, 1.0);
    return t * t * (3.0 - 2.0 * t);
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

Sums drawRows(const PipeWall& wall, int y0, int y1, std::vector<uint64_t>& texels) {
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
                albedo = wall.at(s, z, footprint);
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
    const PipeWall wall(seed);
    // Rows in bands drawn side by side; the sums are whole numbers, so the means do not depend
    // on how the rows were shared out.
    const unsigned cores = std::thread::hardware_concurrency();
    const int bands = static_cast<int>(std::clamp(cores, 1u, 4u));
    std::vector<Sums> sums(static_cast<size_t>(bands));
    std::vector<std::thread> helpers;
    const auto drawBand = [&](int band) {
        sums[band] = drawRows(wall, kSize * band / bands, kSize * (band + 1) / bands, m_texels);
    };
    int next = 1;
    try {
        for (; next < bands; ++next) {
            helpers.emplace_back(drawBand, next);
        }
    } catch (const std::system_error&) {
        // No more threads: this one draws the rest.
    }
    for (; next < bands; ++next) {
        drawBand(next);
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
