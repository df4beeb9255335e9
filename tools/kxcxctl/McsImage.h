// What a ".mcs" flash image puts into the flash, as the library programs it: records of 16 data
// bytes, either one after another from address 0 (flash makers with auto-address-increment word
// programming) or at their record addresses (page-programming makers).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class McsImage {
public:
    struct Piece {
        uint32_t address = 0;
        std::vector<uint8_t> bytes;
    };

    // False when the file cannot be read or holds a damaged record.
    bool load(const std::string& path, bool sequential);
    const std::vector<Piece>& pieces() const { return m_pieces; }
    std::size_t bytes() const;

private:
    std::vector<Piece> m_pieces;
};
