// The USB controller's boot image (".iic" files), checked as the controller's boot loader will
// read it from the boot EEPROM before any of it is written there:
//
//   0xC2  vid(16, LE)  pid(16, LE)  did(16, LE)  config(8)     header
//   records: length(16, BE; bit 15 marks the last record, bits 10-14 are 0) address(16, BE)
//            data[length]
//
// Every record but the last loads into the controller's program RAM; the last writes the one
// byte 0x00 to the CPU control register at 0xE600, which starts the CPU, and ends the image.
// A boot loader that meets anything else leaves a board that does not start.
#pragma once

#include <cstdint>
#include <span>
#include <string>

class BootImageFile {
public:
    static constexpr uint8_t kMarker = 0xC2;
    static constexpr std::size_t kHeaderBytes = 8;
    static constexpr uint16_t kLastRecord = 0x8000;
    static constexpr uint16_t kLengthBits = 0x03FF;
    static constexpr uint16_t kCpuControl = 0xE600;
    // The boot EEPROM takes 16-bit offsets: a larger image would wrap round and overwrite its
    // own start.
    static constexpr long kMaxBytes = 0x10000;

    // Why the bytes are no boot image ("it has no boot image header", "the record at byte 30
    // runs past the end of the file", "2 bytes follow the last record", ...); empty when they
    // are one.
    static std::string fault(std::span<const uint8_t> bytes);
    // Why a file of this many bytes cannot be a boot image ("65537 bytes do not fit the EEPROM's
    // 16-bit addresses"); empty when its size can be.
    static std::string sizeFault(long bytes);
};
