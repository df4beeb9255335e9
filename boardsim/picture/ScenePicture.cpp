#include "ScenePicture.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstring>
#include <numbers>
#include <vector>

#include "BlockMeter.h"
#include "ExposureLoop.h"
#include "MedianFilter.h"
#include "MotionDampening.h"
#include "SceneTexture.h"
#include "TestPatterns.h"
#include "ValueNoise.h"

namespace boardsim {

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;
constexpr int kRowValues = ScenePicture::kWidth * 3;

// The exposure (the sensor's reset value) at which, with unity gain, the LEDs full on and white
// balance on, the centre of the scene meters about kSceneLevel.
constexpr double kReferenceExposure = 0x200;
constexpr double kSceneLevel = 120.0;
// Linear levels are kept up to here before the final clip, so noise on a clipped level still
// clips.
constexpr int kMaxLevel = 511;

// Sensor noise, in output levels at unity gain: read noise, and shot noise that grows with the
// square root of the level (variance kShotNoise per level).
constexpr double kReadNoise = 0.7;
constexpr double kShotNoise = 0.02;
// Noise is drawn from 16 equally likely values (quantiles of a normal distribution). A stream of
// noise words holds a step for each colour, in the texels' lanes; each row reads its own stretch.
constexpr int kNoiseSteps = 1 << SceneTexture::kValueShift;
constexpr int kNoiseWords = 1 << 11;
constexpr int kLookupSize = 1024 * kNoiseSteps;

// Motion of the scope tip: a slow turn with a wobble, and a drift of the bore across the view.
constexpr double kTurnPerSecond = 0.0087;  // radians: half a degree
constexpr double kWobble = 0.02;
constexpr double kWobblePeriod = 17.0;
constexpr double kDriftX = 7.0;  // pixels
constexpr double kDriftY = 6.0;
constexpr double kDriftPeriodX = 23.0;  // seconds
constexpr double kDriftPeriodY = 29.0;
static_assert(283.0 + 9.3 + 1.0 < SceneTexture::kRadius, "a drifted frame stays on the texture");

uint32_t frameKey(uint32_t seed, double seconds) {
    const auto bits = std::bit_cast<uint64_t>(seconds);
    return ValueNoise::hash(seed, static_cast<uint32_t>(bits), static_cast<uint32_t>(bits >> 32));
}

}  // namespace

struct ScenePicture::State {
    explicit State(uint32_t seed) { useTexture(seed); }

    void useTexture(uint32_t seed);
    // The noise stream and the tables, made for the first frame rendered: a picture that is
    // never rendered costs little.
    void makeTables();
    void prepareLevels(const PictureSettings& settings, int exposure, int gain);
    void prepareGamma(const PictureSettings& settings);
    std::array<double, 3> balance(const PictureSettings& settings, bool pattern) const;
    using Lookup = std::array<std::vector<uint8_t>, 3>;
    // Pixels [x0, x1) of row y of the sensor's picture through the given tables.
    void cameraSpan(int y, int x0, int x1, uint8_t* row, const Lookup& table) const;
    // Rows [y0, y1) of the sensor's picture into the frame, metered, with the FPGA's gamma or
    // not.
    void cameraRows(int y0, int y1, uint8_t* rgb, BlockMeter& meter, bool withGamma) const;
    void gammaRow(uint8_t* row) const;
    // The FPGA's stages after the source, then its gamma when the source's pixels went without.
    void fpgaFilters(const PictureSettings& settings, bool fpgaPattern, bool gammaHere,
                     uint8_t* rgb);

    std::shared_ptr<const SceneTexture> texture;
    // White balance that makes the scene grey, and the scale from texels to output levels.
    std::array<double, 3> greyBalance{1.0, 1.0, 1.0};
    double levelScale = 1.0;
    ExposureLoop loop;
    int average = 0;

    std::vector<uint64_t> noise;

    // What the tables below were made for: they are remade only when it changes.
    struct TableInputs {
        int exposure = -1;
        int gain = -1;
        double light = -1.0;
        std::array<double, 3> white{};
        bool gammaActive = false;
        std::array<uint8_t, 256> gamma{};
        bool operator==(const TableInputs&) const = default;
    };
    TableInputs tableInputs;

    // This frame: a level and a noise step to the sensor's output value; per colour, a texel's
    // value and a noise step (a lane of texel + noise) to the output before and after gamma.
    std::vector<uint8_t> noisy;
    Lookup lookup;
    Lookup lookupGamma;
    bool gammaActive = false;
    std::array<uint8_t, 256> gamma{};
    std::vector<uint8_t> fpgaBars;
    std::vector<uint8_t> fpgaGrid;
    // Where frame row 0, column 0 falls on the texture, and the steps along a row and down a
    // column (16.16 fixed point).
    int32_t originU = 0;
    int32_t originV = 0;
    int32_t stepXU = 0;
    int32_t stepXV = 0;
    int32_t stepYU = 0;
    int32_t stepYV = 0;
    // Where each row starts in the noise stream this frame.
    std::array<uint32_t, kHeight> rowNoise{};

    MedianFilter median{kWidth, kHeight};
    MotionDampening dampening{kFrameBytes};
    // The source the dampening's history was made from: the seed, and the FPGA's pattern (1 or
    // 3), the sensor's bars (-1) or the scene (0).
    uint32_t dampedSeed = 0;
    int dampedSource = 0;
};

void ScenePicture::State::useTexture(uint32_t seed) {
    texture = SceneTexture::forSeed(seed);
    tableInputs = {};
    const auto& means = texture->greyMeans();
    // What the sensor takes for grey made grey, green kept.
    greyBalance = {means[1] / std::max(means[0], 1.0), 1.0, means[1] / std::max(means[2], 1.0)};
    const auto& centre = texture->centreMeans();
    const double luma =
        (centre[0] * greyBalance[0] + 2.0 * centre[1] + centre[2] * greyBalance[2]) / 4.0;
    levelScale = kSceneLevel / std::max(luma, 1.0);
}

void ScenePicture::State::makeTables() {
    if (!noise.empty()) {
        return;
    }
    noise.resize(kNoiseWords + kWidth);
    for (size_t i = 0; i < noise.size(); ++i) {
        const uint32_t bits = ValueNoise::hash(0x5EED, static_cast<uint32_t>(i), 0);
        for (int c = 0; c < 3; ++c) {
            noise[i] |= uint64_t{(bits >> (8 * c)) & (kNoiseSteps - 1)}
                        << (c * SceneTexture::kLaneBits);
        }
    }
    noisy.resize((kMaxLevel + 1) * kNoiseSteps);
    for (int c = 0; c < 3; ++c) {
        lookup[c].resize(kLookupSize);
        lookupGamma[c].resize(kLookupSize);
    }
}

std::array<double, 3> ScenePicture::State::balance(const PictureSettings& settings,
                                                   bool pattern) const {
    if (!settings.gainControl) {
        return {1.0, 1.0, 1.0};
    }
    if (settings.manualGains) {
        const auto gain = [](int value) { return std::clamp(value, 0, 4095) / 1024.0; };
        return {gain(settings.redGain), gain(settings.greenGain), gain(settings.blueGain)};
    }
    if (settings.awb && !pattern) {
        return greyBalance;
    }
    return {1.0, 1.0, 1.0};  // the bars are grey on average already
}

void ScenePicture::State::prepareLevels(const PictureSettings& settings, int exposure, int gain) {
    // Normal quantiles at (k + 0.5) / 16, scaled to a standard deviation of 1.
    static constexpr std::array<double, kNoiseSteps / 2> kQuantiles{0.0784, 0.2372, 0.4023, 0.5791,
                                                                    0.7764, 1.0100, 1.3180, 1.8627};
    static constexpr double kQuantileSigma = 0.9611;
    const double light = std::clamp(settings.illumination, 0.0, 1.0);
    const std::array<double, 3> white = balance(settings, false);
    const TableInputs inputs{exposure, gain, light, white, gammaActive, gamma};
    if (inputs == tableInputs) {
        return;
    }
    tableInputs = inputs;

    const double analogGain = gain / 16.0;
    for (int level = 0; level <= kMaxLevel; ++level) {
        const double sigma = std::sqrt(kReadNoise * kReadNoise * analogGain * analogGain +
                                       kShotNoise * analogGain * level) /
                             kQuantileSigma;
        for (int k = 0; k < kNoiseSteps / 2; ++k) {
            const double offset = kQuantiles[k] * sigma;
            const auto clip = [](double value) {
                return static_cast<uint8_t>(std::clamp(value, 0.0, 255.0) + 0.5);
            };
            noisy[level * kNoiseSteps + kNoiseSteps / 2 + k] = clip(level + offset);
            noisy[level * kNoiseSteps + kNoiseSteps / 2 - 1 - k] = clip(level - offset);
        }
    }

    const double scale = levelScale * light * exposure / kReferenceExposure * analogGain;
    for (int c = 0; c < 3; ++c) {
        const double perTexel = scale * white[c];
        uint8_t* out = lookup[c].data();
        uint8_t* outGamma = lookupGamma[c].data();
        for (int value = 0; value < 1024; ++value) {
            const auto level =
                static_cast<int>(std::min(value * perTexel + 0.5, double{kMaxLevel}));
            std::memcpy(out + value * kNoiseSteps, noisy.data() + level * kNoiseSteps, kNoiseSteps);
            if (gammaActive) {
                for (int k = 0; k < kNoiseSteps; ++k) {
                    outGamma[value * kNoiseSteps + k] = gamma[out[value * kNoiseSteps + k]];
                }
            }
        }
    }
}

void ScenePicture::State::prepareGamma(const PictureSettings& settings) {
    gammaActive = settings.gammaOn && settings.gammaTable != nullptr;
    if (!gammaActive) {
        return;
    }
    for (int v = 0; v < 256; ++v) {
        const int input = v << 2 | v >> 6;
        gamma[v] = static_cast<uint8_t>(std::min<int>(settings.gammaTable[input], 1023) >> 2);
    }
}

void ScenePicture::State::cameraSpan(int y, int x0, int x1, uint8_t* row,
                                     const Lookup& table) const {
    const uint64_t* texels = texture->texels();
    const uint64_t* noiseWords = noise.data() + rowNoise[y];
    const uint8_t* red = table[0].data();
    const uint8_t* green = table[1].data();
    const uint8_t* blue = table[2].data();
    // Locals, so that the stores to row cannot be taken to change them.
    const int32_t stepU = stepXU;
    const int32_t stepV = stepXV;
    int32_t u = originU + stepYU * y + stepU * x0;
    int32_t v = originV + stepYV * y + stepV * x0;
    constexpr int kLane = SceneTexture::kLaneBits;
    uint8_t* out = row + x0 * 3;
    for (int x = x0; x < x1; ++x) {
        const auto texelIndex =
            static_cast<uint32_t>(v >> 16) * SceneTexture::kSize + static_cast<uint32_t>(u >> 16);
        const uint64_t lanes = texels[texelIndex] + noiseWords[x];
        u += stepU;
        v += stepV;
        out[0] = red[lanes & SceneTexture::kLaneMask];
        out[1] = green[(lanes >> kLane) & SceneTexture::kLaneMask];
        out[2] = blue[(lanes >> 2 * kLane) & SceneTexture::kLaneMask];
        out += 3;
    }
}

void ScenePicture::State::cameraRows(int y0, int y1, uint8_t* rgb, BlockMeter& meter,
                                     bool withGamma) const {
    // Bands of rows, each drawn in strips of columns: whatever the turn, the texels a strip
    // reads are still in the cache for its next row.
    constexpr int kBandRows = 16;
    constexpr int kStripColumns = 50;
    const bool gammaHere = withGamma && gammaActive;
    for (int top = y0; top < y1; top += kBandRows) {
        const int bottom = std::min(top + kBandRows, y1);
        for (int left = 0; left < kWidth; left += kStripColumns) {
            const int right = std::min(left + kStripColumns, kWidth);
            for (int y = top; y < bottom; ++y) {
                // The meter sees the sensor's values, before the FPGA's gamma.
                const bool metered = meter.covers(y);
                cameraSpan(y, left, right, rgb + y * kRowValues,
                           gammaHere && !metered ? lookupGamma : lookup);
            }
        }
        for (int y = top; y < bottom; ++y) {
            if (meter.covers(y)) {
                uint8_t* row = rgb + y * kRowValues;
                meter.addRow(y, row);
                if (gammaHere) {
                    gammaRow(row);
                }
            }
        }
    }
}

void ScenePicture::State::gammaRow(uint8_t* row) const {
    for (int i = 0; i < kRowValues; ++i) {
        row[i] = gamma[row[i]];
    }
}

void ScenePicture::State::fpgaFilters(const PictureSettings& settings, bool fpgaPattern,
                                      bool gammaHere, uint8_t* rgb) {
    if (settings.medianFilter) {
        median.apply(rgb);
    }
    const int source = fpgaPattern ? settings.fpgaSource : settings.sensorColourBars ? -1 : 0;
    if (!settings.motionCompensation || source != dampedSource || settings.seed != dampedSeed) {
        dampening.reset();
    }
    dampedSource = source;
    dampedSeed = settings.seed;
    if (settings.motionCompensation) {
        dampening.apply(rgb, settings.dampening);
    }
    if (gammaActive && gammaHere) {
        for (int i = 0; i < kFrameBytes; ++i) {
            rgb[i] = gamma[rgb[i]];
        }
    }
}

ScenePicture::ScenePicture(uint32_t seed) : m_state(std::make_unique<State>(seed)) {}

ScenePicture::~ScenePicture() = default;

void ScenePicture::render(const PictureSettings& settings, double seconds, uint8_t* rgb) {
    State& s = *m_state;
    if (settings.seed != s.texture->seed()) {
        s.useTexture(settings.seed);
    }
    s.makeTables();
    if (!std::isfinite(seconds)) {
        seconds = 0.0;
    }
    if (!settings.autoExposure) {
        s.loop.setExposure(settings.manualExposure);
    }
    if (!settings.autoGain) {
        s.loop.setGain(settings.manualGain);
    }
    s.prepareGamma(settings);
    BlockMeter meter(settings.windowX0, settings.windowY0, settings.windowX1, settings.windowY1,
                     kWidth, kHeight);
    const bool fpgaPattern = settings.fpgaSource == 1 || settings.fpgaSource == 3;
    // Gamma goes with the source's pixels unless the FPGA's filters come between.
    const bool gammaWithSource = !settings.medianFilter && !settings.motionCompensation;
    const size_t stride = kRowValues;

    if (settings.sensorColourBars) {
        // Digital bars: white balance and gamma, no light, exposure or noise.
        std::array<uint8_t, kRowValues> bars{};
        TestPatterns::sensorBarsRow(bars.data(), kWidth);
        const std::array<double, 3> white = s.balance(settings, true);
        for (int i = 0; i < kRowValues; ++i) {
            bars[i] = static_cast<uint8_t>(std::min(std::lround(bars[i] * white[i % 3]), 255L));
        }
        for (int y = meter.top(); y < meter.bottom(); ++y) {
            meter.addRow(y, bars.data());
        }
        if (!fpgaPattern) {
            if (s.gammaActive && gammaWithSource) {
                s.gammaRow(bars.data());
            }
            for (int y = 0; y < kHeight; ++y) {
                std::memcpy(rgb + y * stride, bars.data(), stride);
            }
        }
    } else {
        const int exposure = s.loop.exposure();
        const int gain = s.loop.gain();
        s.prepareLevels(settings, exposure, gain);
        const uint32_t key = frameKey(settings.seed, seconds);
        for (int y = 0; y < kHeight; ++y) {
            s.rowNoise[y] = ValueNoise::hash(key, static_cast<uint32_t>(y), 7) % kNoiseWords;
        }

        const double angle =
            kTurnPerSecond * seconds + kWobble * std::sin(kTwoPi * seconds / kWobblePeriod);
        const double phase = (settings.seed % 360) * kTwoPi / 360.0;
        const double driftX = kDriftX * std::sin(kTwoPi * seconds / kDriftPeriodX + phase);
        const double driftY = kDriftY * std::sin(kTwoPi * seconds / kDriftPeriodY + 2.0 * phase);
        const double c = std::cos(angle);
        const double sn = std::sin(angle);
        // Frame pixel centre (x + 0.5, y + 0.5) relative to the bore, turned onto the texture.
        const double x0 = 0.5 - kWidth / 2.0 - driftX;
        const double y0 = 0.5 - kHeight / 2.0 - driftY;
        const auto fixed = [](double value) {
            return static_cast<int32_t>(std::lround(value * 65536.0));
        };
        s.originU = fixed(c * x0 - sn * y0 + SceneTexture::kCentre);
        s.originV = fixed(sn * x0 + c * y0 + SceneTexture::kCentre);
        s.stepXU = fixed(c);
        s.stepXV = fixed(sn);
        s.stepYU = fixed(-sn);
        s.stepYV = fixed(c);

        // Behind an FPGA pattern only the metered rows are needed, and the pattern covers them.
        if (fpgaPattern) {
            s.cameraRows(meter.top(), meter.bottom(), rgb, meter, false);
        } else {
            s.cameraRows(0, kHeight, rgb, meter, gammaWithSource);
        }
    }

    if (fpgaPattern) {
        // The FPGA's pictures never change: drawn once, copied after.
        std::vector<uint8_t>& pattern = settings.fpgaSource == 1 ? s.fpgaBars : s.fpgaGrid;
        if (pattern.empty()) {
            pattern.resize(kFrameBytes);
            if (settings.fpgaSource == 1) {
                TestPatterns::fpgaColourBars(pattern.data(), kWidth, kHeight);
            } else {
                TestPatterns::fpgaTestPattern(pattern.data(), kWidth, kHeight);
            }
        }
        if (s.gammaActive && gammaWithSource) {
            for (int i = 0; i < kFrameBytes; ++i) {
                rgb[i] = s.gamma[pattern[i]];
            }
        } else {
            std::memcpy(rgb, pattern.data(), kFrameBytes);
        }
    }
    s.fpgaFilters(settings, fpgaPattern, !gammaWithSource, rgb);

    s.average = meter.average(settings.weights);
    if (!settings.sensorColourBars) {
        const ExposureLoop::Bands bands{settings.stableLow, settings.stableHigh, settings.outLow,
                                        settings.outHigh};
        s.loop.update(s.average, bands, settings.autoExposure, settings.autoGain);
    }
}

int ScenePicture::averageIntensity() const {
    return m_state->average;
}

int ScenePicture::currentExposure() const {
    return m_state->loop.exposure();
}

int ScenePicture::currentGain() const {
    return m_state->loop.gain();
}

}  // namespace boardsim
