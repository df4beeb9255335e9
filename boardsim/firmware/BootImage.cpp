#include "BootImage.h"

namespace boardsim {

namespace {

constexpr std::size_t kHeaderLength = 8;
constexpr uint16_t kLengthMask = 0x03FF;

uint16_t little(std::span<const uint8_t> bytes, std::size_t at) {
    return static_cast<uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

uint16_t big(std::span<const uint8_t> bytes, std::size_t at) {
    return static_cast<uint16_t>(bytes[at] << 8 | bytes[at + 1]);
}

void putBig(std::vector<uint8_t>& out, uint16_t value) {
    out.push_back(static_cast<uint8_t>(value >> 8));
    out.push_back(static_cast<uint8_t>(value & 0xFF));
}

void putLittle(std::vector<uint8_t>& out, uint16_t value) {
    out.push_back(static_cast<uint8_t>(value & 0xFF));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

}  // namespace

std::optional<BootImage> BootImage::parse(std::span<const uint8_t> bytes) {
    if (bytes.size() < kHeaderLength || bytes[0] != kMarker) {
        return std::nullopt;
    }
    BootImage image;
    image.vendorId = little(bytes, 1);
    image.productId = little(bytes, 3);
    image.deviceId = little(bytes, 5);
    image.config = bytes[7];
    std::size_t at = kHeaderLength;
    while (at + 4 <= bytes.size()) {
        const uint16_t word = big(bytes, at);
        const std::size_t length = word & kLengthMask;
        const uint16_t address = big(bytes, at + 2);
        at += 4;
        if (at + length > bytes.size()) {
            return std::nullopt;
        }
        if ((word & kLastRecord) != 0) {
            return image;
        }
        image.records.push_back(
            {address,
             std::vector<uint8_t>(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                                  bytes.begin() + static_cast<std::ptrdiff_t>(at + length))});
        at += length;
    }
    return std::nullopt;
}

std::vector<uint8_t> BootImage::write() const {
    std::vector<uint8_t> out = {kMarker};
    putLittle(out, vendorId);
    putLittle(out, productId);
    putLittle(out, deviceId);
    out.push_back(config);
    for (const Record& record : records) {
        putBig(out, static_cast<uint16_t>(record.data.size()));
        putBig(out, record.address);
        out.insert(out.end(), record.data.begin(), record.data.end());
    }
    putBig(out, kLastRecord | 1);
    putBig(out, kCpuControl);
    out.push_back(0x00);
    return out;
}

}  // namespace boardsim
