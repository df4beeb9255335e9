#include "kxBootImageFile.h"

#include <cstdio>

#include "kxControllerProgram.h"

namespace {

constexpr std::size_t kRecordHeaderBytes = 4;

uint16_t bigEndian(std::span<const uint8_t> bytes, std::size_t at) {
    return static_cast<uint16_t>(bytes[at] << 8 | bytes[at + 1]);
}

std::string recordAt(std::size_t at) {
    return "the record at byte " + std::to_string(at);
}

}  // namespace

std::string BootImageFile::sizeFault(long bytes) {
    return bytes > kMaxBytes
               ? std::to_string(bytes) + " bytes do not fit the EEPROM's 16-bit addresses"
               : std::string();
}

std::string BootImageFile::fault(std::span<const uint8_t> bytes) {
    if (std::string tooLarge = sizeFault(static_cast<long>(bytes.size())); !tooLarge.empty()) {
        return tooLarge;
    }
    if (bytes.size() < kHeaderBytes || bytes[0] != kMarker) {
        return "it has no boot image header";
    }
    std::size_t at = kHeaderBytes;
    while (at < bytes.size()) {
        if (at + kRecordHeaderBytes > bytes.size()) {
            return recordAt(at) + " runs past the end of the file";
        }
        const uint16_t word = bigEndian(bytes, at);
        const std::size_t length = word & kLengthBits;
        const uint16_t address = bigEndian(bytes, at + 2);
        const std::size_t data = at + kRecordHeaderBytes;
        if ((word & ~(kLastRecord | kLengthBits)) != 0) {
            return recordAt(at) + " has a length beyond 1023 bytes";
        }
        if (data + length > bytes.size()) {
            return recordAt(at) + " runs past the end of the file";
        }
        if ((word & kLastRecord) != 0) {
            if (address != kCpuControl || length != 1 || bytes[data] != 0x00) {
                return "its last record does not start the controller's CPU";
            }
            const std::size_t after = bytes.size() - (data + length);
            return after == 0 ? std::string()
                              : std::to_string(after) + " bytes follow the last record";
        }
        if (address + length > ControllerProgram::kRamBytes) {
            char range[64];
            std::snprintf(range, sizeof range, "0x%04X-0x%04zX", static_cast<unsigned>(address),
                          address + length - 1);
            return recordAt(at) + " loads " + range + ", outside the controller's program RAM";
        }
        at = data + length;
    }
    return "it ends without the last record";
}
