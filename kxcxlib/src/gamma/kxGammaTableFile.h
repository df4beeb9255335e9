// A gamma table built from a text file: 1024 entries of three 10-bit output levels, each entry a
// big-endian 32-bit word (A << 20) | (B << 10) | C.
//
// Type 0 (one "%lf %d" pair a line, the integer the output level; its low 10 bits are used):
// table 4 puts the level in C only, 5 in B only, 6 in A only, any other table in all three.
// Types 1 to 3 carry 2, 3 or 4 pairs a line whose integers (limited to 0..1023) fill A, B, C as
// first/first/second, first/third/second and fourth/third/second.
#pragma once

#include <array>
#include <cstdint>

#include "kxGammaLine.h"

class GammaTableFile {
public:
    static constexpr int kEntries = GammaLine::kEntries;
    static constexpr int kBytes = kEntries * 4;
    static constexpr int kMaxLine = GammaLine::kMaxLine;
    using Table = std::array<uint8_t, kBytes>;

    // Fills table from the file and returns the lines turned into entries (at most 1024). No
    // file (null, or one that cannot be opened): the identity table, laid out for the table
    // number as a type-0 file would be, and 0.
    static int build(const char* path, int number, int type, Table& table);

    // Entry k of a table.
    static void setEntry(Table& table, int k, uint32_t a, uint32_t b, uint32_t c);
    static uint32_t entry(const Table& table, int k);

private:
    // The fields a type-0 level fills for a table number.
    static void setLevel(Table& table, int k, int number, uint32_t level);
};
