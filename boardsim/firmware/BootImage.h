// The USB controller's boot image in its EEPROM (".iic" files):
//
//   0xC2  vid(16, LE)  pid(16, LE)  did(16, LE)  config(8)     header; did: firmware version
//   records: length(16, BE; bit 15 marks the last record) address(16, BE) data[length]
//
// The controller loads every record into its RAM (or, for the last record, its CPU control
// register at 0xE600, which releases the CPU). A boot image with only the last record names its
// firmware in the header alone.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace boardsim {

struct BootImage {
    static constexpr uint8_t kMarker = 0xC2;
    static constexpr uint16_t kLastRecord = 0x8000;
    static constexpr uint16_t kCpuControl = 0xE600;

    struct Record {
        uint16_t address = 0;
        std::vector<uint8_t> data;
    };

    uint16_t vendorId = 0x04B4;
    uint16_t productId = 0x8613;
    uint16_t deviceId = 0;
    uint8_t config = 0x01;
    std::vector<Record> records;  // the program; the closing CPU release is added by write

    // A boot image from EEPROM bytes; empty when they do not start with one or a record runs
    // past the end without a last record.
    static std::optional<BootImage> parse(std::span<const uint8_t> bytes);
    std::vector<uint8_t> write() const;
};

}  // namespace boardsim
