#include "LzwEncoder.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace resourcegen {

LzwEncoder::LzwEncoder(int minimumCodeSize)
    : minimum_(minimumCodeSize), clearCode_(1 << minimumCodeSize), endCode_(clearCode_ + 1) {
    if (minimumCodeSize < 2 || minimumCodeSize > 8) {
        throw std::invalid_argument("LZW minimum code size out of range: " +
                                    std::to_string(minimumCodeSize));
    }
}

std::vector<uint8_t> LzwEncoder::encode(const std::vector<uint8_t>& indices) {
    out_.clear();
    bits_ = 0;
    bitCount_ = 0;
    resets_ = 0;
    widest_ = 0;
    startTable();
    write(clearCode_);
    if (!indices.empty()) {
        int prefix = checkedIndex(indices.front());
        for (std::size_t i = 1; i < indices.size(); ++i) {
            const int index = checkedIndex(indices[i]);
            const uint32_t key =
                (static_cast<uint32_t>(prefix) << 8) | static_cast<uint32_t>(index);
            const auto known = table_.find(key);
            if (known != table_.end()) {
                prefix = known->second;
                continue;
            }
            write(prefix);
            table_.emplace(key, next_++);
            if (next_ == kTableSize) {
                write(clearCode_);
                ++resets_;
                startTable();
            }
            prefix = index;
        }
        write(prefix);
    }
    write(endCode_);
    if (bitCount_ > 0) {
        out_.push_back(static_cast<uint8_t>(bits_ & 0xFFu));
    }
    return out_;
}

void LzwEncoder::startTable() {
    table_.clear();
    codeWidth_ = minimum_ + 1;
    next_ = endCode_ + 1;
}

void LzwEncoder::write(int code) {
    bits_ |= static_cast<uint32_t>(code) << bitCount_;
    bitCount_ += codeWidth_;
    while (bitCount_ >= 8) {
        out_.push_back(static_cast<uint8_t>(bits_ & 0xFFu));
        bits_ >>= 8;
        bitCount_ -= 8;
    }
    widest_ = std::max(widest_, codeWidth_);
    // The decoder enters each string one code later than this side does, so next_ (not yet
    // counting the entry this code is about to make) is the size of the decoder's table once it
    // has read this code; it widens its codes when that size reaches the next power of two.
    if (next_ >= (1 << codeWidth_) && codeWidth_ < kMaxCodeWidth) {
        ++codeWidth_;
    }
}

int LzwEncoder::checkedIndex(uint8_t index) const {
    if (index >= clearCode_) {
        throw std::invalid_argument("palette index " + std::to_string(index) + " needs more than " +
                                    std::to_string(minimum_) + " bits");
    }
    return index;
}

}  // namespace resourcegen
