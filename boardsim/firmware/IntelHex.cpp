#include "IntelHex.h"

#include <algorithm>
#include <utility>

#include "kxIntelHexRecord.h"

namespace boardsim {

namespace {

void putByte(std::string& out, uint8_t byte) {
    static const char kDigits[] = "0123456789ABCDEF";
    out.push_back(kDigits[byte >> 4]);
    out.push_back(kDigits[byte & 0x0F]);
}

}  // namespace

std::string IntelHex::line(const Record& record) {
    std::vector<uint8_t> bytes = {static_cast<uint8_t>(record.data.size()),
                                  static_cast<uint8_t>(record.address >> 8),
                                  static_cast<uint8_t>(record.address & 0xFF), record.type};
    bytes.insert(bytes.end(), record.data.begin(), record.data.end());
    uint8_t sum = 0;
    for (const uint8_t byte : bytes) {
        sum = static_cast<uint8_t>(sum + byte);
    }
    bytes.push_back(static_cast<uint8_t>(-sum));
    std::string out = ":";
    for (const uint8_t byte : bytes) {
        putByte(out, byte);
    }
    return out;
}

std::optional<IntelHex::Record> IntelHex::parseLine(std::string_view text) {
    // The same record rules as the library's loaders (shape, count, checksum).
    IntelHexRecord parsed;
    if (!IntelHexRecord::parse(text, parsed)) {
        return std::nullopt;
    }
    return Record{static_cast<uint8_t>(parsed.type), static_cast<uint16_t>(parsed.address),
                  std::move(parsed.data)};
}

std::string IntelHex::write(std::span<const uint8_t> bytes, uint32_t base, std::size_t perRecord) {
    std::string out;
    std::optional<uint32_t> upper;
    for (std::size_t at = 0; at < bytes.size(); at += perRecord) {
        const uint32_t address = base + static_cast<uint32_t>(at);
        if (upper != address >> 16) {
            upper = address >> 16;
            out +=
                line({kExtendedLinear,
                      0,
                      {static_cast<uint8_t>(*upper >> 8), static_cast<uint8_t>(*upper & 0xFF)}}) +
                "\r\n";
        }
        const std::size_t count = std::min(perRecord, bytes.size() - at);
        out +=
            line({kData, static_cast<uint16_t>(address & 0xFFFF),
                  std::vector<uint8_t>(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                                       bytes.begin() + static_cast<std::ptrdiff_t>(at + count))}) +
            "\r\n";
    }
    out += line({kEndOfFile, 0, {}}) + "\r\n";
    return out;
}

std::optional<std::vector<IntelHex::Chunk>> IntelHex::parse(std::string_view text) {
    std::vector<Chunk> chunks;
    uint32_t upper = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view raw = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (raw.empty() || raw == "\r") {
            continue;
        }
        const auto record = parseLine(raw);
        if (!record) {
            return std::nullopt;
        }
        switch (record->type) {
            case kData:
                chunks.push_back({upper << 16 | record->address, record->data});
                break;
            case kEndOfFile:
                return chunks;
            case kExtendedLinear:
                if (record->data.size() != 2) {
                    return std::nullopt;
                }
                upper = static_cast<uint32_t>(record->data[0] << 8 | record->data[1]);
                break;
            default:
                break;
        }
    }
    return std::nullopt;
}

}  // namespace boardsim
