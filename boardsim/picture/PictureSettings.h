// What the board's registers ask of the picture: the light, the sensor's exposure, gain and
// white balance, test patterns and the FPGA's median filter, motion dampening and gamma stage. The
// streaming side of the board gathers it from the register models before each frame.
#pragma once

#include <array>
#include <cstdint>

namespace boardsim {

struct PictureSettings {
    // Light on the scene from the LED controller, 0 (dark) to 1 (fully lit).
    double illumination = 1.0;

    // Exposure and gain: automatic (the sensor's AEC/AGC loop) or the manual values.
    bool autoExposure = true;
    int manualExposure = 0x200;  // 0..8191 (sensor 0x3601/0x3602)
    bool autoGain = true;
    int manualGain = 0x10;  // 0..127 (sensor 0x3608/0x3609), 16 is unity
    // The loop pulls the metering window's weighted average into [stableLow, stableHigh]
    // (0x3510/0x350F) and lets it drift up to [outLow, outHigh] (0x351E/0x351B) before reacting.
    int stableLow = 112;
    int stableHigh = 128;
    int outLow = 96;
    int outHigh = 144;
    // Metering window in frame pixels (end exclusive), and the weights of its 4 x 4 blocks, 0..15
    // (block 2k in the low nibble of 0x4288 + k).
    int windowX0 = 120;
    int windowY0 = 120;
    int windowX1 = 280;
    int windowY1 = 280;
    std::array<uint8_t, 16> weights{1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};

    // White balance: AWB on (0x4000 bit 4) balances the scene to grey; manual gains (0x4100 bit 3
    // with gain control 0x4000 bit 3) apply redGain/greenGain/blueGain, 0..4095, 1024 = unity.
    bool awb = true;
    bool gainControl = true;
    bool manualGains = false;
    int redGain = 1200;
    int greenGain = 1200;
    int blueGain = 1200;

    // Test patterns: the sensor's colour bars (0x4001 = 1), the FPGA's source (0x1A: 0 camera,
    // 1 colour bars, 3 patterns). The FPGA's source wins over the sensor's.
    bool sensorColourBars = false;
    int fpgaSource = 0;

    // The FPGA's median filter (0x20 bit 0) and motion compensation (0x27 bit 0), which dampens
    // the picture with the coefficient of 0x21 (2..128 as the host writes it, 128 the most; see
    // MotionDampening).
    bool medianFilter = false;
    bool motionCompensation = false;
    int dampening = 0x40;

    // The FPGA's gamma stage (0x2B on, 0x2C table 0..6 of the uploaded slots). table points at
    // 1024 entries mapping a 10-bit input to a 10-bit output, or is null (no table uploaded: the
    // stage passes the picture unchanged).
    bool gammaOn = false;
    const uint16_t* gammaTable = nullptr;

    // Picture seed (BoardConfig::seed): the same seed and time give the same picture.
    uint32_t seed = 1;
};

}  // namespace boardsim
