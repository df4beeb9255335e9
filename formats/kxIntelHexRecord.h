// One record of an Intel HEX style file (".hex" programs, ".mcs" flash images):
// ':' count(2) address(4) type(2) data(2 x count) checksum(2), hexadecimal, the checksum making
// the sum of all record bytes 0 modulo 256.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct IntelHexRecord {
    static constexpr int kData = 0x00;
    static constexpr int kEndOfFile = 0x01;
    static constexpr int kExtendedLinearAddress = 0x04;

    int count = 0;
    int address = 0;
    int type = 0;
    std::vector<uint8_t> data;

    // Parses a line that starts with ':' (a trailing line feed or carriage return is allowed).
    // False when it is malformed or its checksum does not match.
    static bool parse(std::string_view line, IntelHexRecord& record);
};
