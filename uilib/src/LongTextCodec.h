// The codec of the presets' names: text fields of up to 255 bytes (a 256-byte buffer). A settings
// line is read as two white-space separated words, so the value is written as one word: white
// space, control characters and '%' become "%XX" (two hexadecimal digits) and an empty text is
// written as "%00". Everything else is written as it stands, UTF-8 included.
#pragma once

#include <string>

namespace kxui {

class LongTextCodec {
public:
    // Longest text kept, in bytes.
    static constexpr size_t kMaxLength = 255;

    // Decodes value into the buffer: "%XX" gives the byte XX (a NUL ends the text), a '%' not
    // followed by two hexadecimal digits stands for itself. The text is cut to 255 bytes without
    // splitting a UTF-8 character. A null field is left alone.
    static void get(void* field, std::string value);
    // The buffer's text (at most 255 bytes of it) as one word; "" for a null field.
    static std::string put(void* field);
};

}  // namespace kxui
