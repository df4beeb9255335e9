#include "ZoneWeightCodec.h"

#include <array>
#include <charconv>
#include <cstdio>

namespace kxui {

namespace {

constexpr int kPictureSide = 400;
constexpr size_t kNumbers = 6;

// The field's zone; null for a null field or a box outside the record.
MeteringZone* zoneOf(void* field) {
    const auto* binding = static_cast<const ZoneWeightCodec::Field*>(field);
    if (binding == nullptr || binding->zones == nullptr || binding->box < 0 ||
        binding->box >= MeteringRecord::kZones) {
        return nullptr;
    }
    return &binding->zones[binding->box];
}

// Reads exactly six comma-separated decimal numbers.
bool readNumbers(const std::string& value, std::array<int, kNumbers>& numbers) {
    const char* at = value.data();
    const char* const end = value.data() + value.size();
    for (size_t i = 0; i < kNumbers; ++i) {
        if (i > 0) {
            if (at == end || *at != ',') {
                return false;
            }
            ++at;
        }
        const auto [next, error] = std::from_chars(at, end, numbers[i]);
        if (error != std::errc() || next == at) {
            return false;
        }
        at = next;
    }
    return at == end;
}

bool within(int value, int low, int high) {
    return value >= low && value <= high;
}

}  // namespace

void ZoneWeightCodec::get(void* field, std::string value) {
    MeteringZone* zone = zoneOf(field);
    std::array<int, kNumbers> n{};
    if (zone == nullptr || !readNumbers(value, n)) {
        return;
    }
    const auto [box, left, top, width, height, weight] = n;
    if (box != static_cast<const Field*>(field)->box || !within(left, 0, kPictureSide) ||
        !within(top, 0, kPictureSide) || !within(width, 0, kPictureSide - left) ||
        !within(height, 0, kPictureSide - top) || !within(weight, 0, MeteringRecord::kMaxWeight)) {
        return;
    }
    zone->left = left;
    zone->top = top;
    zone->right = left + width;
    zone->bottom = top + height;
    zone->weight = static_cast<uint8_t>(weight);
}

std::string ZoneWeightCodec::put(void* field) {
    const MeteringZone* zone = zoneOf(field);
    if (zone == nullptr) {
        return std::string();
    }
    char text[96];
    std::snprintf(text, sizeof text, "%02d,%d,%d,%d,%d,%d", static_cast<const Field*>(field)->box,
                  zone->left, zone->top, zone->right - zone->left, zone->bottom - zone->top,
                  zone->weight);
    return text;
}

}  // namespace kxui
