#include "ProgramImage.h"

namespace boardsim {

namespace {

constexpr uint8_t kDeviceDescriptorType = 0x01;
constexpr std::size_t kBcdDevice = 12;

}  // namespace

std::array<uint8_t, ProgramImage::kDescriptorLength> ProgramImage::descriptor(uint16_t version) {
    return {
        static_cast<uint8_t>(kDescriptorLength),
        kDeviceDescriptorType,
        0x00,
        0x02,  // USB 2.0
        0xFF,
        0xFF,
        0xFF,  // vendor-specific class
        0x40,  // endpoint 0 packet size
        static_cast<uint8_t>(kVendorId & 0xFF),
        static_cast<uint8_t>(kVendorId >> 8),
        static_cast<uint8_t>(kProductId & 0xFF),
        static_cast<uint8_t>(kProductId >> 8),
        static_cast<uint8_t>(version & 0xFF),
        static_cast<uint8_t>(version >> 8),
        0x01,
        0x02,
        0x00,  // manufacturer, product, serial strings
        0x01,  // one configuration
    };
}

std::optional<uint16_t> ProgramImage::version(std::span<const uint8_t> ram) {
    if (ram.size() < kDescriptorAddress + kDescriptorLength) {
        return std::nullopt;
    }
    const uint8_t* d = ram.data() + kDescriptorAddress;
    if (d[0] != kDescriptorLength || d[1] != kDeviceDescriptorType) {
        return std::nullopt;
    }
    return static_cast<uint16_t>(d[kBcdDevice + 1] << 8 | d[kBcdDevice]);
}

}  // namespace boardsim
