#include "LongTextCodec.h"

#include <charconv>
#include <cstring>

#include "Utf8Cut.h"

namespace kxui {

namespace {

const char kHexDigits[] = "0123456789ABCDEF";

// The byte written as two hexadecimal digits at text; false when there are no two digits.
bool escapedByte(const char* text, const char* end, char& byte) {
    if (end - text < 2) {
        return false;
    }
    unsigned value = 0;
    const auto [next, error] = std::from_chars(text, text + 2, value, 16);
    if (error != std::errc() || next != text + 2) {
        return false;
    }
    byte = static_cast<char>(value);
    return true;
}

bool needsEscape(unsigned char c) {
    return c <= ' ' || c == '%' || c == 0x7F;
}

}  // namespace

void LongTextCodec::get(void* field, std::string value) {
    if (field == nullptr) {
        return;
    }
    std::string text;
    for (size_t i = 0; i < value.size(); ++i) {
        char c = value[i];
        if (c == '%' && escapedByte(value.data() + i + 1, value.data() + value.size(), c)) {
            i += 2;
        }
        if (c == '\0') {
            break;
        }
        text.push_back(c);
        if (text.size() > kMaxLength + 3) {
            break;  // enough to cut at a whole character
        }
    }
    text.resize(Utf8Cut::length(text.data(), text.size(), kMaxLength));
    char* buffer = static_cast<char*>(field);
    std::memcpy(buffer, text.data(), text.size());
    buffer[text.size()] = '\0';
}

std::string LongTextCodec::put(void* field) {
    if (field == nullptr) {
        return std::string();
    }
    const char* buffer = static_cast<const char*>(field);
    const std::string text(buffer, strnlen(buffer, kMaxLength));
    if (text.empty()) {
        return "%00";
    }
    std::string word;
    const size_t length = Utf8Cut::length(text.data(), text.size(), kMaxLength);
    for (size_t i = 0; i < length; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (needsEscape(c)) {
            word += '%';
            word += kHexDigits[c >> 4];
            word += kHexDigits[c & 0xF];
        } else {
            word += static_cast<char>(c);
        }
    }
    return word;
}

}  // namespace kxui
