#include "FlashImage.h"

#include <algorithm>

namespace boardsim {

namespace {

constexpr uint8_t kErased = 0xFF;

}  // namespace

std::vector<uint8_t> FlashImage::padded(std::span<const uint8_t> stream) {
    std::vector<uint8_t> bytes(stream.begin(), stream.end());
    bytes.resize((bytes.size() + kRecordBytes - 1) / kRecordBytes * kRecordBytes, kErased);
    return bytes;
}

std::vector<IntelHex::Chunk> FlashImage::records(std::span<const uint8_t> stream) {
    const std::vector<uint8_t> bytes = padded(stream);
    std::vector<IntelHex::Chunk> chunks;
    for (std::size_t at = 0; at < bytes.size(); at += kRecordBytes) {
        const auto first = bytes.begin() + static_cast<std::ptrdiff_t>(at);
        chunks.push_back(
            {static_cast<uint32_t>(at), std::vector<uint8_t>(first, first + kRecordBytes)});
    }
    return chunks;
}

std::vector<uint8_t> FlashImage::programmed(std::span<const IntelHex::Chunk> records,
                                            FlashFamily family) {
    std::vector<uint8_t> array;
    std::size_t next = 0;
    for (const IntelHex::Chunk& record : records) {
        if (record.data.size() != kRecordBytes) {
            continue;
        }
        const std::size_t at = family == FlashFamily::Sst ? next : record.address;
        if (array.size() < at + kRecordBytes) {
            array.resize(at + kRecordBytes, kErased);
        }
        // Programming only clears bits.
        for (std::size_t i = 0; i < kRecordBytes; ++i) {
            array[at + i] &= record.data[i];
        }
        next += kRecordBytes;
    }
    return array;
}

}  // namespace boardsim
