// Where to cut a UTF-8 text so that it fits a number of bytes without splitting a character.
#pragma once

#include <cstddef>

namespace kxui {

class Utf8Cut {
public:
    // The length of text (length bytes) cut to at most limit bytes: a cut inside a character
    // goes back to where it starts. Bytes that are no UTF-8 are cut where they fall.
    static size_t length(const char* text, size_t length, size_t limit);
};

}  // namespace kxui
