#include "EepromImages.h"

#include <cctype>
#include <cstring>

namespace boardsim {

namespace {

constexpr uint16_t kBootVendorId = 0x04B4;
constexpr uint16_t kBootProductId = 0x8613;
constexpr uint8_t kBootConfig = 0x01;  // I2C bus at 400 kHz
constexpr char kRevision = 'C';
constexpr char kLocation[] = "US";
constexpr char kDate[] = "03-14-13";

// "RT4207-x6B6B" -> 0x42, 0x07: the model number's digits as two BCD bytes.
void modelNumber(const char* label, uint8_t& high, uint8_t& low) {
    int digits[4] = {0, 0, 0, 0};
    int found = 0;
    for (const char* c = label; *c != '\0' && *c != '-' && found < 4; ++c) {
        if (std::isdigit(static_cast<unsigned char>(*c))) {
            digits[found++] = *c - '0';
        }
    }
    high = static_cast<uint8_t>(digits[0] << 4 | digits[1]);
    low = static_cast<uint8_t>(digits[2] << 4 | digits[3]);
}

}  // namespace

std::vector<uint8_t> EepromImages::manufacturingRecord(const BoardConfig& config, int number) {
    std::vector<uint8_t> record(kRecordSize);
    uint8_t high = 0;
    uint8_t low = 0;
    modelNumber(config.model->label, high, low);
    const int serial = number + 1;
    const uint8_t fields[] = {
        high,
        low,
        0x00,
        0x01,  // board ID
        static_cast<uint8_t>(kRevision),
        0x13,
        0x07,
        static_cast<uint8_t>(serial >> 8),
        static_cast<uint8_t>(serial & 0xFF),
    };
    std::memcpy(record.data(), fields, sizeof(fields));
    std::memcpy(record.data() + 0x09, kLocation, 2);
    std::memcpy(record.data() + 0x0B, kDate, 8);
    return record;
}

std::vector<uint8_t> EepromImages::bootImage(const BoardConfig& config) {
    const uint16_t device = config.mcuVersion;
    return {
        0xC2,
        static_cast<uint8_t>(kBootVendorId & 0xFF),
        static_cast<uint8_t>(kBootVendorId >> 8),
        static_cast<uint8_t>(kBootProductId & 0xFF),
        static_cast<uint8_t>(kBootProductId >> 8),
        static_cast<uint8_t>(device & 0xFF),
        static_cast<uint8_t>(device >> 8),
        kBootConfig,
        // Last record: one byte to 0xE600, CPU out of reset.
        0x80,
        0x01,
        0xE6,
        0x00,
        0x00,
    };
}

}  // namespace boardsim
