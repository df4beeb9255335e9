#include "Utf8Cut.h"

namespace kxui {

size_t Utf8Cut::length(const char* text, size_t length, size_t limit) {
    if (length <= limit) {
        return length;
    }
    const auto bits = [text](size_t at) { return static_cast<unsigned char>(text[at]) & 0xC0; };
    // A character is at most four bytes: its first byte is at most three before the cut.
    constexpr size_t kMaxContinuations = 3;
    size_t cut = limit;
    while (cut > 0 && limit - cut < kMaxContinuations && bits(cut) == 0x80) {
        --cut;
    }
    return bits(cut) == 0xC0 ? cut : limit;
}

}  // namespace kxui
