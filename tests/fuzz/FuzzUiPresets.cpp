// Metering and preference presets are read into their records through their settings tables.
// Whatever a file holds, the names stay within their buffers, the weight boxes within the
// picture, and a record saved and loaded again gives back the same values.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

#include "FuzzScratch.h"
#include "MeteringTable.h"
#include "PreferenceTable.h"
#include "meteringDialog.h"
#include "preferenceDialog.h"

namespace {

bool sameDouble(double a, double b) {
    return a == b || (std::isnan(a) && std::isnan(b));
}

bool sameMetering(const MeteringRecord& a, const MeteringRecord& b) {
    bool same = std::strcmp(a.name, b.name) == 0 && a.type == b.type && a.mode == b.mode &&
                a.autoZones == b.autoZones && (a.startX & 0xFFFF) == b.startX &&
                (a.startY & 0xFFFF) == b.startY && a.size == b.size &&
                sameDouble(a.exposure, b.exposure) && a.aecModule == b.aecModule &&
                sameDouble(a.gain, b.gain) && a.agcModule == b.agcModule &&
                (a.target & 0xFFFF) == b.target && a.autoTarget == b.autoTarget &&
                (a.upperLimit & 0xFFFF) == b.upperLimit && (a.lowerLimit & 0xFFFF) == b.lowerLimit;
    // Field by field: a zone's padding bytes are not part of its value.
    for (int i = 0; i < MeteringRecord::kZones; ++i) {
        const MeteringZone& x = a.zones[i];
        const MeteringZone& y = b.zones[i];
        same = same && x.left == y.left && x.top == y.top && x.right == y.right &&
               x.bottom == y.bottom && x.weight == y.weight;
    }
    return same;
}

bool zonesInPicture(const MeteringRecord& record) {
    for (const MeteringZone& zone : record.zones) {
        if (zone.left < 0 || zone.top < 0 || zone.right > 400 || zone.bottom > 400 ||
            zone.right < zone.left || zone.bottom < zone.top ||
            zone.weight > MeteringRecord::kMaxWeight) {
            return false;
        }
    }
    return true;
}

bool samePreference(const PreferenceRecord& a, const PreferenceRecord& b) {
    return std::strcmp(a.name, b.name) == 0 && std::strcmp(a.agcSettings, b.agcSettings) == 0 &&
           std::strcmp(a.gammaSettings, b.gammaSettings) == 0 &&
           std::strcmp(a.colorSettings, b.colorSettings) == 0 &&
           std::strcmp(a.illuminationSettings, b.illuminationSettings) == 0 &&
           std::strcmp(a.sharpnessSettings, b.sharpnessSettings) == 0 &&
           a.flatFieldCorrection == b.flatFieldCorrection &&
           a.geometricCorrection == b.geometricCorrection &&
           a.motionCompensation == b.motionCompensation && a.medianFilter == b.medianFilter &&
           a.hdmiOutput == b.hdmiOutput && a.channelOutput == b.channelOutput;
}

void checkMetering(meteringDialog& dialog, const std::string& input) {
    MeteringRecord first;
    const kxui::MeteringTable firstTable(first);
    dialog.readMeteringPreference(firstTable.entries(), input);
    if (strnlen(first.name, sizeof first.name) > 255 || !zonesInPicture(first)) {
        __builtin_trap();
    }
    const std::string saved = fuzz::FuzzScratch::folder() + "/metering.txt";
    if (dialog.writeMeteringProference(saved, firstTable.entries()) != 31) {
        __builtin_trap();
    }
    MeteringRecord second;
    const kxui::MeteringTable secondTable(second);
    if (dialog.readMeteringPreference(secondTable.entries(), saved) != 31 ||
        !sameMetering(first, second)) {
        __builtin_trap();
    }
}

void checkPreference(preferenceDialog& dialog, const std::string& input) {
    PreferenceRecord first;
    dialog.readProference(kxui::PreferenceTable(first).entries(), input);
    for (const char* text :
         {first.name, first.agcSettings, first.gammaSettings, first.colorSettings,
          first.illuminationSettings, first.sharpnessSettings}) {
        if (strnlen(text, PreferenceRecord::kNameSize) > 255) {
            __builtin_trap();
        }
    }
    const std::string saved = fuzz::FuzzScratch::folder() + "/preference.txt";
    if (dialog.writeProference(saved, kxui::PreferenceTable(first).entries()) != 12) {
        __builtin_trap();
    }
    PreferenceRecord second;
    second.channelOutput = first.channelOutput == 1 ? 2 : 1;
    if (dialog.readProference(kxui::PreferenceTable(second).entries(), saved) != 12 ||
        !samePreference(first, second)) {
        __builtin_trap();
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::FuzzScratch::startQt();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static meteringDialog metering;
    static preferenceDialog preference;
    const std::string input = fuzz::FuzzScratch::write("input.txt", data, size);
    checkMetering(metering, input);
    checkPreference(preference, input);
    return 0;
}
