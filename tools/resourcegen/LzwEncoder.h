// GIF's variable-width LZW compression of palette indices. Codes start one bit wider than the
// minimum code size and widen to 12 bits as the string table grows; when the table holds all
// 4096 codes a clear code starts a fresh table. The codes are packed least significant bit
// first, beginning with a clear code and ending with the end-of-information code.
#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

namespace resourcegen {

class LzwEncoder {
public:
    static constexpr int kMaxCodeWidth = 12;
    static constexpr int kTableSize = 1 << kMaxCodeWidth;

    // minimumCodeSize: 2 to 8, the bits of one palette index as the GIF file states them.
    explicit LzwEncoder(int minimumCodeSize);

    // The packed code stream of the indices; every index must be below 2^minimumCodeSize.
    std::vector<uint8_t> encode(const std::vector<uint8_t>& indices);

    // Of the last encode: the clear codes written because the table was full, and the widest
    // code written.
    int tableResets() const { return resets_; }
    int widestCode() const { return widest_; }

private:
    void startTable();
    void write(int code);
    int checkedIndex(uint8_t index) const;

    int minimum_;
    int clearCode_;
    int endCode_;
    int codeWidth_ = 0;
    int next_ = 0;
    std::unordered_map<uint32_t, int> table_;  // prefix code << 8 | index -> code
    std::vector<uint8_t> out_;
    uint32_t bits_ = 0;
    int bitCount_ = 0;
    int resets_ = 0;
    int widest_ = 0;
};

}  // namespace resourcegen
