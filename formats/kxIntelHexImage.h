// An Intel HEX style file (".hex" programs, ".mcs" flash images) read whole, as the loaders read
// it (lines of at most 1023 characters, a longer line continuing as the next), and checked
// before any of it is sent: every record sound, an end-of-file record closing the image and
// nothing after it. What the image holds (data, addresses) the target's loader judges.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "kxIntelHexRecord.h"

class IntelHexImage {
public:
    static constexpr int kLineBuffer = 1024;
    // A larger file is no image for any target of the board (a full 16 MiB flash takes about
    // 46 MiB of records).
    static constexpr long kMaxFileBytes = 64L << 20;

    struct Line {
        long characters = 0;  // as read, line feed included
        bool isRecord = false;
        IntelHexRecord record;
        // The address the record's own address is added to: an extended linear address record
        // (type 04) gives bits 16-31, an extended segment address record (type 02) 16 times
        // its value.
        uint32_t base = 0;

        uint32_t address() const { return base + static_cast<uint32_t>(record.address); }
    };

    // Reads and checks the file. False with fault() saying why: "it is no readable file",
    // "line 3 is damaged", "it holds no Intel HEX records", "it has no end-of-file record",
    // "line 9 follows the end-of-file record", ...
    bool read(const char* path);

    const std::vector<Line>& lines() const { return m_lines; }
    long characters() const { return m_characters; }
    const std::string& fault() const { return m_fault; }

private:
    bool refuse(std::string fault);

    std::vector<Line> m_lines;
    long m_characters = 0;
    std::string m_fault;
};
