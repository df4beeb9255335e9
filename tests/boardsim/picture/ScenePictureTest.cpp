#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "picture/ScenePicture.h"
#include "support/PictureFrames.h"

using boardsim::PictureSettings;
using boardsim::ScenePicture;
using namespace pictureframes;

namespace {

constexpr int kWidth = ScenePicture::kWidth;
constexpr int kHeight = ScenePicture::kHeight;

const uint8_t* pixel(const Frame& frame, int x, int y) {
    return frame.data() + (static_cast<size_t>(y) * kWidth + x) * 3;
}

std::array<double, 3> channelMeans(const Frame& frame) {
    std::array<double, 3> sums{};
    for (size_t i = 0; i < frame.size(); ++i) {
        sums[i % 3] += frame[i];
    }
    for (double& sum : sums) {
        sum /= kWidth * kHeight;
    }
    return sums;
}

// Mean of (R + 2G + B) / 4 over pixels whose distance from the frame's centre is in [r0, r1).
double ringBrightness(const Frame& frame, double r0, double r1) {
    double sum = 0.0;
    int count = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const double r = std::hypot(x + 0.5 - kWidth / 2.0, y + 0.5 - kHeight / 2.0);
            if (r >= r0 && r < r1) {
                const uint8_t* p = pixel(frame, x, y);
                sum += (p[0] + 2 * p[1] + p[2]) / 4.0;
                ++count;
            }
        }
    }
    return sum / count;
}

// Runs the automatic loop for `frames` frames at 30 frames/s from `start` seconds.
void runFrames(ScenePicture& picture, const PictureSettings& settings, int frames, double start) {
    Frame frame(ScenePicture::kFrameBytes);
    for (int i = 0; i < frames; ++i) {
        picture.render(settings, start + i / 30.0, frame.data());
    }
}

}  // namespace

TEST(ScenePicture, SameInputsGiveTheSameBytesAndSeedsGiveOtherPictures) {
    ScenePicture first(1);
    ScenePicture second(1);
    const PictureSettings settings = manual();
    const Frame frame = render(first, settings, 3.25);
    EXPECT_EQ(render(second, settings, 3.25), frame);
    EXPECT_EQ(render(first, settings, 3.25), frame);

    PictureSettings other = settings;
    other.seed = 2;
    const Frame otherFrame = render(first, other, 3.25);  // the seed in the settings counts
    EXPECT_GT(meanAbsoluteDifference(frame, otherFrame), 15.0);
    ScenePicture third(2);
    EXPECT_EQ(render(third, other, 3.25), otherFrame);
}

TEST(ScenePicture, ShowsADarkBoreALitWallAndDarkerCorners) {
    ScenePicture picture(1);
    // The scope turns half a degree a second: these times show it turned every way.
    for (double seconds : {2.0, 90.0, 181.0, 270.0, 1000.0}) {
        const Frame frame = render(picture, manual(), seconds);
        const double bore = ringBrightness(frame, 0.0, 12.0);
        const double wall = ringBrightness(frame, 100.0, 160.0);
        const double corners = ringBrightness(frame, 275.0, 300.0);
        EXPECT_LT(bore, 10.0) << seconds;
        EXPECT_GT(wall, 140.0) << seconds;
        EXPECT_LT(corners, wall * 0.6) << seconds;
        EXPECT_GT(corners, 40.0) << seconds;
    }
    // Textured, not flat: the wall's pixels spread widely.
    const Frame frame = render(picture, manual(), 2.0);
    double sum = 0.0;
    double squares = 0.0;
    int count = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const double r = std::hypot(x - 200.0, y - 200.0);
            if (r > 100.0 && r < 160.0) {
                const double g = pixel(frame, x, y)[1];
                sum += g;
                squares += g * g;
                ++count;
            }
        }
    }
    const double mean = sum / count;
    EXPECT_GT(std::sqrt(squares / count - mean * mean), 15.0);
}

TEST(ScenePicture, MovesGentlyOverTime) {
    ScenePicture picture(1);
    const PictureSettings settings = manual();
    const Frame now = render(picture, settings, 5.0);
    const Frame nextFrame = render(picture, settings, 5.0 + 1.0 / 30.0);
    const Frame secondLater = render(picture, settings, 6.0);
    const Frame muchLater = render(picture, settings, 15.0);
    ScenePicture otherScene(7);
    PictureSettings other = settings;
    other.seed = 7;
    const Frame unrelated = render(otherScene, other, 5.0);

    const double frameStep = meanAbsoluteDifference(now, nextFrame);
    const double secondStep = meanAbsoluteDifference(now, secondLater);
    EXPECT_GT(frameStep, 0.5);  // noise at least
    EXPECT_GT(secondStep, frameStep);
    EXPECT_LT(secondStep, 10.0);
    EXPECT_GT(meanAbsoluteDifference(now, muchLater), secondStep * 2.0);
    EXPECT_GT(meanAbsoluteDifference(now, unrelated), secondStep * 3.0);
}

TEST(ScenePicture, BrightnessIsLightTimesExposureTimesGain) {
    ScenePicture picture(1);
    render(picture, manual(256), 5.0);
    const int reference = picture.averageIntensity();
    EXPECT_GT(reference, 40);
    EXPECT_LT(reference, 80);
    EXPECT_EQ(picture.currentExposure(), 256);
    EXPECT_EQ(picture.currentGain(), 16);

    render(picture, manual(512), 5.0);
    EXPECT_NEAR(picture.averageIntensity(), 2 * reference, 3);
    render(picture, manual(128), 5.0);
    EXPECT_NEAR(picture.averageIntensity(), reference / 2.0, 2);
    render(picture, manual(256, 32), 5.0);
    EXPECT_NEAR(picture.averageIntensity(), 2 * reference, 3);
    EXPECT_EQ(picture.currentGain(), 32);
    PictureSettings halfLight = manual(256);
    halfLight.illumination = 0.5;
    render(picture, halfLight, 5.0);
    EXPECT_NEAR(picture.averageIntensity(), reference / 2.0, 2);

    int previous = -1;
    for (int exposure : {0, 64, 300, 700, 1500, 8191}) {
        render(picture, manual(exposure), 5.0);
        EXPECT_GT(picture.averageIntensity(), previous) << exposure;
        previous = picture.averageIntensity();
    }
    EXPECT_GT(previous, 220);  // far over-exposed: clipped but for the bore
}

TEST(ScenePicture, NoLightLeavesOnlyTheNoiseFloor) {
    ScenePicture picture(1);
    PictureSettings dark = manual(8191, 127);
    dark.illumination = 0.0;
    const Frame frame = render(picture, dark, 1.0);
    const auto means = channelMeans(frame);
    int brightest = 0;
    for (uint8_t value : frame) {
        brightest = std::max<int>(brightest, value);
    }
    EXPECT_GT(brightest, 0);  // the sensor's own noise, amplified by the gain
    EXPECT_LT(brightest, 40);
    for (double mean : means) {
        EXPECT_GT(mean, 0.3);
        EXPECT_LT(mean, 5.0);
    }
    EXPECT_LE(picture.averageIntensity(), 5);

    // The automatic loop goes to its limits and the picture stays dark.
    PictureSettings automatic;
    automatic.illumination = 0.0;
    runFrames(picture, automatic, 60, 2.0);
    EXPECT_EQ(picture.currentExposure(), 8191);
    EXPECT_EQ(picture.currentGain(), 127);
    EXPECT_LE(picture.averageIntensity(), 5);
}

TEST(ScenePicture, AutomaticLoopSettlesFromDarkAndBrightStartsAndHolds) {
    struct Start {
        int exposure;
        int gain;
    };
    for (const Start start : {Start{8, 16}, Start{8191, 100}}) {
        ScenePicture picture(1);
        render(picture, manual(start.exposure, start.gain), 0.0);  // where the loop starts
        const PictureSettings automatic;
        runFrames(picture, automatic, 30, 1.0);  // a second
        EXPECT_GE(picture.averageIntensity(), automatic.stableLow) << start.exposure;
        EXPECT_LE(picture.averageIntensity(), automatic.stableHigh) << start.exposure;
        const int exposure = picture.currentExposure();
        EXPECT_EQ(picture.currentGain(), 16);  // enough light: no gain needed
        for (int i = 0; i < 30; ++i) {
            runFrames(picture, automatic, 1, 2.0 + i / 30.0);
            EXPECT_EQ(picture.currentExposure(), exposure);
            EXPECT_GE(picture.averageIntensity(), automatic.outLow);
            EXPECT_LE(picture.averageIntensity(), automatic.outHigh);
        }
    }
}

TEST(ScenePicture, LoopWaitsForTheOuterBandThenReturnsToTheStableBand) {
    ScenePicture picture(1);
    PictureSettings automatic;
    runFrames(picture, automatic, 45, 0.0);
    const int settled = picture.currentExposure();

    // A little less light: below the stable band but inside the outer band, nothing moves.
    automatic.illumination = 104.0 / picture.averageIntensity();
    runFrames(picture, automatic, 30, 2.0);
    EXPECT_LT(picture.averageIntensity(), automatic.stableLow);
    EXPECT_GE(picture.averageIntensity(), automatic.outLow);
    EXPECT_EQ(picture.currentExposure(), settled);

    // Much less: out of the outer band, the loop brings the picture back.
    automatic.illumination *= 0.7;
    runFrames(picture, automatic, 30, 3.0);
    EXPECT_GT(picture.currentExposure(), settled);
    EXPECT_GE(picture.averageIntensity(), automatic.stableLow);
    EXPECT_LE(picture.averageIntensity(), automatic.stableHigh);

    // Narrower bands on a brighter target move it on.
    automatic.stableLow = 170;
    automatic.stableHigh = 180;
    automatic.outLow = 160;
    automatic.outHigh = 190;
    runFrames(picture, automatic, 30, 4.0);
    EXPECT_GE(picture.averageIntensity(), 170);
    EXPECT_LE(picture.averageIntensity(), 180);
}

TEST(ScenePicture, GainRisesOnlyPastTheLongestExposureAndOnlyWhenAutomatic) {
    ScenePicture picture(1);
    PictureSettings dim;
    dim.illumination = 0.02;
    runFrames(picture, dim, 45, 0.0);
    EXPECT_EQ(picture.currentExposure(), 8191);
    EXPECT_GT(picture.currentGain(), 16);
    EXPECT_GE(picture.averageIntensity(), dim.stableLow);
    EXPECT_LE(picture.averageIntensity(), dim.stableHigh);

    // Manual gain: the loop has exposure alone and cannot reach the band.
    dim.autoGain = false;
    dim.manualGain = 16;
    runFrames(picture, dim, 45, 2.0);
    EXPECT_EQ(picture.currentGain(), 16);
    EXPECT_EQ(picture.currentExposure(), 8191);
    EXPECT_LT(picture.averageIntensity(), dim.outLow);

    // Back in bright light the gain comes off first, then exposure shortens.
    PictureSettings bright;
    render(picture, manual(8191, 64), 3.0);
    runFrames(picture, bright, 45, 3.0);
    EXPECT_EQ(picture.currentGain(), 16);
    EXPECT_LT(picture.currentExposure(), 1024);
}

TEST(ScenePicture, WhiteBalanceRemovesTheLedCastAndManualGainsScaleChannels) {
    ScenePicture picture(1);
    const auto ratios = [&](const PictureSettings& settings) {
        const auto means = channelMeans(render(picture, settings, 4.0));
        return std::array<double, 2>{means[0] / means[1], means[2] / means[1]};
    };
    PictureSettings balanced = manual(300);
    const auto neutral = ratios(balanced);
    PictureSettings raw = balanced;
    raw.gainControl = false;
    const auto cast = ratios(raw);
    EXPECT_GT(cast[0], 1.12);  // warm light: red up, blue down
    EXPECT_LT(cast[1], 0.8);
    EXPECT_LT(std::abs(neutral[0] - 1.0), 0.08);
    EXPECT_LT(std::abs(neutral[1] - 1.0), 0.08);
    PictureSettings awbOff = balanced;
    awbOff.awb = false;
    EXPECT_NEAR(ratios(awbOff)[0], cast[0], 0.01);

    // Manual gains override the automatic ones, channel by channel.
    PictureSettings gains = balanced;
    gains.manualGains = true;
    gains.redGain = 1024;
    gains.greenGain = 1024;
    gains.blueGain = 1024;
    const auto unity = ratios(gains);
    EXPECT_NEAR(unity[0], cast[0], 0.01);
    gains.redGain = 512;
    gains.blueGain = 2048;
    const auto shifted = ratios(gains);
    EXPECT_NEAR(shifted[0], unity[0] / 2.0, 0.03);
    EXPECT_NEAR(shifted[1], unity[1] * 2.0, 0.08);
    // Without gain control the manual gains do nothing.
    gains.gainControl = false;
    EXPECT_NEAR(ratios(gains)[0], cast[0], 0.01);
}

TEST(ScenePicture, SensorBarsGoThroughWhiteBalanceButNotExposure) {
    ScenePicture picture(1);
    PictureSettings bars = manual(0);  // no exposure at all: the bars do not care
    bars.illumination = 0.0;
    bars.sensorColourBars = true;
    const Frame frame = render(picture, bars, 1.0);
    constexpr uint8_t kExpected[8][3] = {{255, 255, 255}, {255, 255, 0}, {0, 255, 255}, {0, 255, 0},
                                         {255, 0, 255},   {255, 0, 0},   {0, 0, 255},   {0, 0, 0}};
    for (int bar = 0; bar < 8; ++bar) {
        for (int y : {0, 199, 399}) {
            for (int x : {bar * 50, bar * 50 + 49}) {
                const uint8_t* p = pixel(frame, x, y);
                EXPECT_EQ((std::array<uint8_t, 3>{p[0], p[1], p[2]}),
                          (std::array<uint8_t, 3>{kExpected[bar][0], kExpected[bar][1],
                                                  kExpected[bar][2]}))
                    << "bar " << bar << " at " << x << "," << y;
            }
        }
    }
    // The meter sees the bars: over the default window cyan, green, magenta and red.
    EXPECT_NEAR(picture.averageIntensity(), 128, 1);

    PictureSettings halfRed = bars;
    halfRed.manualGains = true;
    halfRed.redGain = 512;
    halfRed.greenGain = 1024;
    halfRed.blueGain = 1024;
    const Frame tinted = render(picture, halfRed, 1.0);
    EXPECT_EQ(pixel(tinted, 0, 0)[0], 128);
    EXPECT_EQ(pixel(tinted, 0, 0)[1], 255);
    EXPECT_EQ(pixel(tinted, 300, 0)[0], 0);  // blue bar
}

TEST(ScenePicture, FpgaSourcesReplaceEverythingAndWinOverTheSensorBars) {
    ScenePicture picture(1);
    PictureSettings settings = manual();
    settings.fpgaSource = 1;
    const Frame fpgaBars = render(picture, settings, 1.0);
    // Horizontal bands: constant along a row, changing down the frame, a grey ramp at the bottom.
    EXPECT_EQ(pixel(fpgaBars, 0, 10)[0], pixel(fpgaBars, 399, 10)[0]);
    EXPECT_EQ((std::array<uint8_t, 3>{pixel(fpgaBars, 200, 60)[0], pixel(fpgaBars, 200, 60)[1],
                                      pixel(fpgaBars, 200, 60)[2]}),
              (std::array<uint8_t, 3>{191, 191, 0}));  // yellow, second band
    EXPECT_LT(pixel(fpgaBars, 5, 395)[1], pixel(fpgaBars, 200, 395)[1]);
    EXPECT_LT(pixel(fpgaBars, 200, 395)[1], pixel(fpgaBars, 395, 395)[1]);

    // Light, exposure, white balance and the sensor's bars do not reach it.
    PictureSettings changed = settings;
    changed.illumination = 0.1;
    changed.manualExposure = 40;
    changed.manualGains = true;
    changed.redGain = 100;
    changed.sensorColourBars = true;
    EXPECT_EQ(render(picture, changed, 7.0), fpgaBars);

    settings.fpgaSource = 3;
    const Frame grid = render(picture, settings, 1.0);
    EXPECT_EQ(pixel(grid, 50, 123)[1], 255);  // grid lines every 50 pixels
    EXPECT_EQ(pixel(grid, 123, 150)[0], 255);
    EXPECT_LT(pixel(grid, 10, 123)[0], pixel(grid, 380, 123)[0]);  // red rises to the right
    EXPECT_LT(pixel(grid, 123, 10)[1], pixel(grid, 123, 380)[1]);  // green downwards
    EXPECT_NE(grid, fpgaBars);

    // Other source values show the camera.
    settings.fpgaSource = 2;
    EXPECT_EQ(render(picture, settings, 1.0), render(picture, manual(), 1.0));
}

TEST(ScenePicture, SensorKeepsMeteringTheSceneBehindTheFpgaPattern) {
    ScenePicture dark(1);
    PictureSettings settings;
    settings.illumination = 0.1;
    settings.fpgaSource = 3;
    runFrames(dark, settings, 45, 0.0);
    EXPECT_GT(dark.currentExposure(), 2000);  // the loop sees the dim scene, not the pattern
    EXPECT_GE(dark.averageIntensity(), settings.stableLow);
    EXPECT_LE(dark.averageIntensity(), settings.stableHigh);

    // Behind the sensor's own bars the loop rests, even when the bars meter far too dark.
    ScenePicture bars(1);
    settings.sensorColourBars = true;
    settings.manualGains = true;
    settings.redGain = settings.greenGain = settings.blueGain = 256;
    runFrames(bars, settings, 45, 0.0);
    EXPECT_LT(bars.averageIntensity(), settings.outLow);
    EXPECT_EQ(bars.currentExposure(), 0x200);
    EXPECT_EQ(bars.currentGain(), 16);
}

TEST(ScenePicture, GammaTableMapsEachChannelAndNullTableOrOffPassesThrough) {
    ScenePicture picture(1);
    const PictureSettings plain = manual();
    const Frame original = render(picture, plain, 2.0);
    const int metered = picture.averageIntensity();

    std::vector<uint16_t> inverting(1024);
    for (int i = 0; i < 1024; ++i) {
        inverting[i] = static_cast<uint16_t>(1023 - i);
    }
    PictureSettings inverted = plain;
    inverted.gammaOn = true;
    inverted.gammaTable = inverting.data();
    const Frame negative = render(picture, inverted, 2.0);
    for (size_t i = 0; i < original.size(); i += 997) {
        ASSERT_EQ(negative[i], 255 - original[i]) << i;
    }
    EXPECT_EQ(picture.averageIntensity(), metered);  // the sensor meters before the FPGA's gamma

    PictureSettings noTable = inverted;
    noTable.gammaTable = nullptr;
    EXPECT_EQ(render(picture, noTable, 2.0), original);
    PictureSettings off = inverted;
    off.gammaOn = false;
    EXPECT_EQ(render(picture, off, 2.0), original);

    // The full-scale value reaches the table's last entry: a table that lights only that entry
    // leaves the sensor's white bar white and every other bar black.
    std::vector<uint16_t> lastOnly(1024, 0);
    lastOnly[1023] = 1023;
    PictureSettings thresholdBars = plain;
    thresholdBars.sensorColourBars = true;
    thresholdBars.gammaOn = true;
    thresholdBars.gammaTable = lastOnly.data();
    const Frame thresholded = render(picture, thresholdBars, 2.0);
    EXPECT_EQ(pixel(thresholded, 10, 10)[1], 255);  // white
    EXPECT_EQ(pixel(thresholded, 60, 10)[1], 255);  // yellow
    EXPECT_EQ(pixel(thresholded, 60, 10)[2], 0);
    lastOnly[1023] = 1022;  // 10-bit outputs lose their two low bits
    EXPECT_EQ(pixel(render(picture, thresholdBars, 2.0), 10, 10)[0], 255);
    lastOnly[1023] = 1019;
    EXPECT_EQ(pixel(render(picture, thresholdBars, 2.0), 10, 10)[0], 254);

    // The FPGA's patterns pass through the gamma stage too.
    PictureSettings pattern = plain;
    pattern.fpgaSource = 1;
    const Frame bars = render(picture, pattern, 2.0);
    pattern.gammaOn = true;
    pattern.gammaTable = inverting.data();
    EXPECT_EQ(render(picture, pattern, 2.0)[0], 255 - bars[0]);
}

TEST(ScenePicture, MeterWindowAndBlockWeightsChooseWhatIsMeasured) {
    ScenePicture picture(1);
    PictureSettings bars;
    bars.sensorColourBars = true;
    bars.windowX0 = 0;
    bars.windowY0 = 0;
    bars.windowX1 = 400;
    bars.windowY1 = 400;
    // Blocks are 100 pixels wide: white and yellow, cyan and green, magenta and red, blue and
    // black, with brightnesses 223.1, 159.4, 95.6 and 31.9.
    const auto measure = [&](std::array<uint8_t, 16> weights) {
        bars.weights = weights;
        render(picture, bars, 0.0);
        return picture.averageIntensity();
    };
    EXPECT_EQ(measure({1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0}), 223);
    EXPECT_EQ(measure({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1}), 32);
    EXPECT_EQ(measure({15, 0, 0, 5, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}), 175);
    EXPECT_EQ(measure({0, 0, 7, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}), 96);

    // All weights 0: the plain mean of the window. Here over white and yellow only.
    bars.windowX1 = 100;
    EXPECT_EQ(measure({}), 223);
    EXPECT_EQ(measure({1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}), 255);
    // A window reaching out of the frame is cut to it; an empty one meters the whole frame.
    bars.windowX0 = 350;
    bars.windowX1 = 1000;
    EXPECT_EQ(measure({}), 0);
    bars.windowX0 = 200;
    bars.windowX1 = 200;
    EXPECT_NEAR(measure({}), 128, 1);
}

TEST(ScenePicture, MeterMeasuresTheFrameRowsOfTheWeightedBlocks) {
    ScenePicture picture(1);
    PictureSettings settings = manual(400);
    settings.windowX0 = 40;
    settings.windowY0 = 100;
    settings.windowX1 = 360;
    settings.windowY1 = 300;
    // Only the top row of blocks, then only the bottom row: two different bands of the frame.
    const auto bandBrightness = [](const Frame& frame, int y0, int y1) {
        double sum = 0.0;
        for (int y = y0; y < y1; ++y) {
            for (int x = 40; x < 360; ++x) {
                const uint8_t* p = pixel(frame, x, y);
                sum += (p[0] + 2 * p[1] + p[2]) / 4.0;
            }
        }
        return sum / ((y1 - y0) * 320);
    };
    settings.weights = {3, 3, 3, 3};
    Frame frame = render(picture, settings, 2.0);
    EXPECT_NEAR(picture.averageIntensity(), bandBrightness(frame, 100, 150), 0.51);
    settings.weights = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 9, 9, 9, 9};
    frame = render(picture, settings, 2.0);
    EXPECT_NEAR(picture.averageIntensity(), bandBrightness(frame, 250, 300), 0.51);
    settings.weights = {};
    frame = render(picture, settings, 2.0);
    EXPECT_NEAR(picture.averageIntensity(), bandBrightness(frame, 100, 300), 0.51);
}
