// What a ".mcs" flash image puts into the FPGA's configuration flash, as the library programs
// it: records of 16 data bytes, either one after another from address 0 (flash makers with
// auto-address-increment word programming) or at their record addresses (page-programming
// makers). Records of other lengths are not programmed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "kxIntelHexImage.h"

class McsImage {
public:
    static constexpr int kRecordBytes = 16;

    struct Piece {
        uint32_t address = 0;
        std::vector<uint8_t> bytes;
    };

    // The flash's share of a checked image. False, with fault() "it holds no data", when no
    // record of 16 data bytes is in it.
    bool take(const IntelHexImage& image, bool sequential);
    // Reads and checks the file, then takes its share. False with fault() saying why.
    bool load(const std::string& path, bool sequential);

    // Why the image does not fit a flash of capacity bytes ("it needs 65552 bytes of flash, the
    // flash holds 65536"); empty when it fits or the capacity is unknown (0).
    std::string misfit(uint32_t capacity) const;

    const std::vector<Piece>& pieces() const { return m_pieces; }
    const std::string& fault() const { return m_fault; }
    // Data bytes programmed.
    std::size_t bytes() const;
    // One past the highest flash address programmed.
    uint64_t end() const;

private:
    std::vector<Piece> m_pieces;
    std::string m_fault;
};
