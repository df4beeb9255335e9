#include "MeteringRecord.h"

namespace {

constexpr int kColumns = 4;
constexpr int kPitch = 100;
constexpr int kFirstLeft = 42;
constexpr int kFirstTop = 50;
constexpr int kBoxWidth = 28;
constexpr int kBoxHeight = 20;
constexpr uint8_t kMiddleWeight = 8;

bool weighsByDefault(int index) {
    return index == 5 || index == 6 || index == 9 || index == 10 || index == 13 || index == 14;
}

}  // namespace

MeteringRecord::MeteringRecord() {
    for (int i = 0; i < kZones; ++i) {
        zones[i] = boxOf(i);
        zones[i].weight = weighsByDefault(i) ? kMiddleWeight : 0;
    }
}

MeteringZone MeteringRecord::boxOf(int index) {
    MeteringZone zone;
    zone.left = kFirstLeft + kPitch * (index % kColumns);
    zone.top = kFirstTop + kPitch * (index / kColumns);
    zone.right = zone.left + kBoxWidth;
    zone.bottom = zone.top + kBoxHeight;
    return zone;
}
