// Intel HEX text: the MCU program files (".hex") and the configuration flash images (".mcs").
//
//   :LLAAAATT<data>CC   LL data bytes, AAAA address (big-endian), TT type, CC two's-complement
//                       checksum of every byte before it
// Types: 00 data, 01 end of file, 04 extended linear address (the data's upper 16 bits).
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace boardsim {

class IntelHex {
public:
    static constexpr uint8_t kData = 0x00;
    static constexpr uint8_t kEndOfFile = 0x01;
    static constexpr uint8_t kExtendedLinear = 0x04;

    struct Record {
        uint8_t type = kData;
        uint16_t address = 0;
        std::vector<uint8_t> data;
    };
    // A data record with its full address (extended address applied).
    struct Chunk {
        uint32_t address = 0;
        std::vector<uint8_t> data;
    };

    // One line, without its line end.
    static std::string line(const Record& record);
    // One line (a trailing carriage return is allowed); empty when it is not a record or its
    // checksum or length is wrong.
    static std::optional<Record> parseLine(std::string_view text);

    // A file holding bytes from address base on, perRecord bytes a data record (the last one
    // shorter), with an extended address record first and at every 64 KiB boundary, and the
    // end record. Lines end in "\r\n".
    static std::string write(std::span<const uint8_t> bytes, uint32_t base, std::size_t perRecord);
    // Every data record of a file in order; empty when a line is damaged or the end record is
    // missing. Blank lines are allowed.
    static std::optional<std::vector<Chunk>> parse(std::string_view text);
};

}  // namespace boardsim
