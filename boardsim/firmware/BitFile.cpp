#include "BitFile.h"

#include <algorithm>

namespace boardsim {

namespace {

constexpr uint8_t kPreamble[] = {0x00, 0x09, 0x0F, 0xF0, 0x0F, 0xF0, 0x0F,
                                 0xF0, 0x0F, 0xF0, 0x00, 0x00, 0x01};

// Reads field key with a 16-bit length and a NUL-terminated text.
bool textField(std::span<const uint8_t> bytes, std::size_t& at, char key, std::string& text) {
    if (at + 3 > bytes.size() || bytes[at] != static_cast<uint8_t>(key)) {
        return false;
    }
    const std::size_t length = static_cast<std::size_t>(bytes[at + 1]) << 8 | bytes[at + 2];
    at += 3;
    if (length == 0 || at + length > bytes.size() || bytes[at + length - 1] != 0) {
        return false;
    }
    text.assign(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                bytes.begin() + static_cast<std::ptrdiff_t>(at + length - 1));
    at += length;
    return true;
}

void putText(std::vector<uint8_t>& out, char key, const std::string& text) {
    const std::size_t length = text.size() + 1;
    out.push_back(static_cast<uint8_t>(key));
    out.push_back(static_cast<uint8_t>(length >> 8));
    out.push_back(static_cast<uint8_t>(length & 0xFF));
    out.insert(out.end(), text.begin(), text.end());
    out.push_back(0);
}

}  // namespace

std::optional<BitFile> BitFile::parseHeader(std::span<const uint8_t> bytes) {
    if (bytes.size() < sizeof(kPreamble) ||
        !std::equal(std::begin(kPreamble), std::end(kPreamble), bytes.begin())) {
        return std::nullopt;
    }
    BitFile file;
    std::size_t at = sizeof(kPreamble);
    if (!textField(bytes, at, 'a', file.design) || !textField(bytes, at, 'b', file.part) ||
        !textField(bytes, at, 'c', file.date) || !textField(bytes, at, 'd', file.time) ||
        at + 5 > bytes.size() || bytes[at] != 'e') {
        return std::nullopt;
    }
    file.streamLength = static_cast<uint32_t>(bytes[at + 1]) << 24 | bytes[at + 2] << 16 |
                        bytes[at + 3] << 8 | bytes[at + 4];
    file.streamOffset = at + 5;
    return file;
}

std::vector<uint8_t> BitFile::write(std::span<const uint8_t> stream) const {
    std::vector<uint8_t> out(std::begin(kPreamble), std::end(kPreamble));
    putText(out, 'a', design);
    putText(out, 'b', part);
    putText(out, 'c', date);
    putText(out, 'd', time);
    const auto length = static_cast<uint32_t>(stream.size());
    out.push_back('e');
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<uint8_t>(length >> shift));
    }
    out.insert(out.end(), stream.begin(), stream.end());
    return out;
}

}  // namespace boardsim
