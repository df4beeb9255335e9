// A ".bit" file: a header of named fields, then the configuration stream (BitstreamFormat.h).
//
//   00 09  0F F0 0F F0 0F F0 0F F0 00  00 01      fixed preamble
//   'a' len(16) design name, NUL-terminated       (lengths big-endian, counting the NUL)
//   'b' len(16) part name, NUL-terminated
//   'c' len(16) date "YYYY/MM/DD", NUL-terminated
//   'd' len(16) time "HH:MM:SS", NUL-terminated
//   'e' len(32) configuration stream of len bytes
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace boardsim {

struct BitFile {
    std::string design;
    std::string part;
    std::string date;
    std::string time;
    // The length the 'e' field declares and where the stream starts in the file.
    uint32_t streamLength = 0;
    std::size_t streamOffset = 0;

    // The header of a file's first bytes (the stream itself need not be there yet); empty when
    // they do not start with a complete header.
    static std::optional<BitFile> parseHeader(std::span<const uint8_t> bytes);
    // A whole file: this header (the length from the stream) and the stream.
    std::vector<uint8_t> write(std::span<const uint8_t> stream) const;
};

}  // namespace boardsim
