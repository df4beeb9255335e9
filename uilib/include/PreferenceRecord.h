// The values of one preference preset: the names of the presets chosen for each image-processing
// area, the on/off corrections and outputs, and what the board sends on its channel.
#pragma once

#include <cstdint>

#include "kxUiExport.h"

struct KXUI_API PreferenceRecord {
    // Room for a name of 255 bytes and its NUL.
    static constexpr int kNameSize = 256;

    // The channel outputs, as the board numbers them.
    static constexpr uint8_t kImageData = 1;
    static constexpr uint8_t kPattern = 2;
    static constexpr uint8_t kColorBarMcu = 4;
    static constexpr uint8_t kColorBarX20 = 8;

    char name[kNameSize] = "";
    char agcSettings[kNameSize] = "";
    char gammaSettings[kNameSize] = "";
    char colorSettings[kNameSize] = "";
    char illuminationSettings[kNameSize] = "";
    char sharpnessSettings[kNameSize] = "";
    uint8_t flatFieldCorrection = 0;
    uint8_t geometricCorrection = 0;
    uint8_t motionCompensation = 0;
    uint8_t medianFilter = 0;
    uint8_t hdmiOutput = 0;
    uint8_t channelOutput = kImageData;
};
