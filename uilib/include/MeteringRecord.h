// The values of one exposure-metering preset: metering type and mode, the metering window, the
// weights of the 16 zones, exposure and gain with their modules, the target intensity and its
// stable range. Indexes (type, mode, size, modules) count the words of their vocabularies.
#pragma once

#include <cstdint>

#include "kxUiExport.h"

// One weight box over the 400 x 400 zone picture and the weight of its zone.
struct KXUI_API MeteringZone {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    uint8_t weight = 0;
};

struct KXUI_API MeteringRecord {
    static constexpr int kZones = 16;
    // Room for a name of 255 bytes and its NUL.
    static constexpr int kNameSize = 256;
    // Highest zone weight: the sensor keeps 4 bits per zone.
    static constexpr int kMaxWeight = 15;

    char name[kNameSize] = "Default";
    int type = 0;
    int mode = 0;
    uint8_t autoZones = 0;
    int startX = 90;
    int startY = 90;
    int size = 2;
    MeteringZone zones[kZones];
    double exposure = 0.0;
    int aecModule = 0;
    double gain = 0.0;
    int agcModule = 0;
    int target = 90;
    uint8_t autoTarget = 0;
    int upperLimit = 110;
    int lowerLimit = 60;

    // The built-in preset "Default": the values above, the boxes in a 4 x 4 grid and weight 8
    // for the six middle zones 05, 06, 09, 10, 13 and 14.
    MeteringRecord();

    // Where box i sits on the zone picture: left 42 + 100 x (i mod 4), top 50 + 100 x (i div 4),
    // 28 wide and 20 high.
    static MeteringZone boxOf(int index);
};
