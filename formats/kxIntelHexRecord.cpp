#include "kxIntelHexRecord.h"

namespace {

int hexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

bool hexByte(std::string_view text, std::size_t at, int& value) {
    if (at + 2 > text.size()) {
        return false;
    }
    const int high = hexDigit(text[at]);
    const int low = hexDigit(text[at + 1]);
    value = high << 4 | low;
    return high >= 0 && low >= 0;
}

}  // namespace

bool IntelHexRecord::parse(std::string_view line, IntelHexRecord& record) {
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
        line.remove_suffix(1);
    }
    if (line.empty() || line[0] != ':' || line.size() < 11 || (line.size() - 1) % 2 != 0) {
        return false;
    }
    std::vector<uint8_t> bytes;
    for (std::size_t at = 1; at < line.size(); at += 2) {
        int value = 0;
        if (!hexByte(line, at, value)) {
            return false;
        }
        bytes.push_back(static_cast<uint8_t>(value));
    }
    uint8_t sum = 0;
    for (const uint8_t byte : bytes) {
        sum = static_cast<uint8_t>(sum + byte);
    }
    // count, address (2), type, data, checksum
    if (sum != 0 || bytes.size() != static_cast<std::size_t>(bytes[0]) + 5) {
        return false;
    }
    record.count = bytes[0];
    record.address = bytes[1] << 8 | bytes[2];
    record.type = bytes[3];
    record.data.assign(bytes.begin() + 4, bytes.end() - 1);
    return true;
}
