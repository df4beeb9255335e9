#include "PictureSettingsReader.h"

#include <algorithm>

#include "picture/ScenePicture.h"

namespace boardsim {

namespace {

using Sensor = SensorController;

// Manual exposure: 13 bits; manual gain: 10 bits in the registers, 0..127 used.
constexpr int kExposureMask = 0x1FFF;
constexpr int kGainMask = 0x3FF;
constexpr int kMaxManualGain = 127;
// Colour gains: 12 bits.
constexpr int kColourGainMask = 0xFFF;
// Window coordinates: 12 bits.
constexpr int kCoordinateMask = 0xFFF;

constexpr uint8_t kManualExposureBit = 0x01;
constexpr uint8_t kManualGainBit = 0x02;
constexpr uint8_t kAwbOnBit = 0x10;
constexpr uint8_t kGainControlBit = 0x08;
constexpr uint8_t kManualGainsBit = 0x08;
constexpr uint8_t kOnBit = 0x01;

int wide(const Sensor& sensor, uint16_t high) {
    return sensor.peek(high) << 8 | sensor.peek(static_cast<uint16_t>(high + 1));
}

// A window's start and end (end exclusive) on one axis of the frame, kept non-empty.
void windowAxis(const Sensor& sensor, uint16_t startHigh, uint16_t endHigh, int size, int& start,
                int& end) {
    start = std::min(wide(sensor, startHigh) & kCoordinateMask, size - 1);
    end = std::clamp(wide(sensor, endHigh) & kCoordinateMask, start + 1, size);
}

}  // namespace

PictureSettings PictureSettingsReader::read(const SensorController& sensor,
                                            const FpgaRegisterFile& fpga, double illumination,
                                            uint32_t seed) {
    PictureSettings settings;
    settings.illumination = std::clamp(illumination, 0.0, 1.0);

    const uint8_t manual = sensor.peek(Sensor::kRegAecAgcManual);
    settings.autoExposure = (manual & kManualExposureBit) == 0;
    settings.autoGain = (manual & kManualGainBit) == 0;
    settings.manualExposure = wide(sensor, Sensor::kRegExposureHigh) & kExposureMask;
    settings.manualGain = std::min(wide(sensor, Sensor::kRegGainHigh) & kGainMask, kMaxManualGain);
    settings.stableLow = sensor.peek(Sensor::kRegStableInLow);
    settings.stableHigh = sensor.peek(Sensor::kRegStableInHigh);
    settings.outLow = sensor.peek(Sensor::kRegStableOutLow);
    settings.outHigh = sensor.peek(Sensor::kRegStableOutHigh);

    windowAxis(sensor, Sensor::kRegWindowStartXHigh, Sensor::kRegWindowEndXHigh,
               ScenePicture::kWidth, settings.windowX0, settings.windowX1);
    windowAxis(sensor, Sensor::kRegWindowStartYHigh, Sensor::kRegWindowEndYHigh,
               ScenePicture::kHeight, settings.windowY0, settings.windowY1);
    for (int k = 0; k < 8; ++k) {
        const uint8_t pair = sensor.peek(static_cast<uint16_t>(Sensor::kRegWeightsFirst + k));
        settings.weights[2 * k] = pair & 0x0F;
        settings.weights[2 * k + 1] = pair >> 4;
    }

    const uint8_t isp = sensor.peek(Sensor::kRegIspControl);
    settings.awb = (isp & kAwbOnBit) != 0;
    settings.gainControl = (isp & kGainControlBit) != 0;
    settings.manualGains = (sensor.peek(Sensor::kRegAwbControl) & kManualGainsBit) != 0;
    settings.redGain = wide(sensor, Sensor::kRegRedGainHigh) & kColourGainMask;
    settings.greenGain = wide(sensor, Sensor::kRegGreenGainHigh) & kColourGainMask;
    settings.blueGain = wide(sensor, Sensor::kRegBlueGainHigh) & kColourGainMask;

    settings.sensorColourBars = (sensor.peek(Sensor::kRegColourBars) & kOnBit) != 0;
    settings.fpgaSource = fpga.peek(FpgaRegisterFile::kRegPatternSource);
    settings.medianFilter = (fpga.peek(FpgaRegisterFile::kRegMedianFilter) & kOnBit) != 0;
    settings.motionCompensation = (fpga.peek(FpgaRegisterFile::kRegMotionControl) & kOnBit) != 0;
    settings.dampening = fpga.peek(FpgaRegisterFile::kRegDampening);
    // 0x7A switches the board's HDMI output, a video output of its own beside USB: it leaves
    // the picture sent to the host as it is, and the register is only read back.
    settings.gammaOn = (fpga.peek(FpgaRegisterFile::kRegGammaEnable) & kOnBit) != 0;
    settings.gammaTable = fpga.gammaTable(fpga.peek(FpgaRegisterFile::kRegGammaSelect));
    settings.seed = seed;
    return settings;
}

}  // namespace boardsim
