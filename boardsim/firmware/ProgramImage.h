// How a program for the board's USB controller carries its firmware version: the program's USB
// device descriptor sits at a fixed RAM address, kDescriptorAddress, and its bcdDevice field is
// the version (high byte major, low byte minor, as request 0xB0 reports it). A program without
// a device descriptor there carries no version.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

namespace boardsim {

struct ProgramImage {
    static constexpr uint16_t kDescriptorAddress = 0x3E00;
    static constexpr std::size_t kDescriptorLength = 18;
    static constexpr uint16_t kVendorId = 0x04B4;
    static constexpr uint16_t kProductId = 0x8613;

    // The device descriptor naming a version.
    static std::array<uint8_t, kDescriptorLength> descriptor(uint16_t version);
    // The version a program's RAM image carries (ram from address 0), if it carries one.
    static std::optional<uint16_t> version(std::span<const uint8_t> ram);
};

}  // namespace boardsim
