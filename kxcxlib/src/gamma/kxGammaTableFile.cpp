#include "gamma/kxGammaTableFile.h"

#include <algorithm>
#include <string>

#include "kxGammaLine.h"
#include "kxLineReader.h"

namespace {

constexpr uint32_t kLevelMask = 0x3FF;
constexpr int kMaxLevel = 1023;

uint32_t limited(int value) {
    return static_cast<uint32_t>(std::clamp(value, 0, kMaxLevel));
}

}  // namespace

void GammaTableFile::setEntry(Table& table, int k, uint32_t a, uint32_t b, uint32_t c) {
    const uint32_t word = (a & kLevelMask) << 20 | (b & kLevelMask) << 10 | (c & kLevelMask);
    const std::size_t at = static_cast<std::size_t>(k) * 4;
    table[at] = static_cast<uint8_t>(word >> 24);
    table[at + 1] = static_cast<uint8_t>(word >> 16);
    table[at + 2] = static_cast<uint8_t>(word >> 8);
    table[at + 3] = static_cast<uint8_t>(word);
}

uint32_t GammaTableFile::entry(const Table& table, int k) {
    const std::size_t at = static_cast<std::size_t>(k) * 4;
    return static_cast<uint32_t>(table[at]) << 24 | static_cast<uint32_t>(table[at + 1]) << 16 |
           static_cast<uint32_t>(table[at + 2]) << 8 | table[at + 3];
}

void GammaTableFile::setLevel(Table& table, int k, int number, uint32_t level) {
    switch (number) {
        case 4:
            setEntry(table, k, 0, 0, level);
            break;
        case 5:
            setEntry(table, k, 0, level, 0);
            break;
        case 6:
            setEntry(table, k, level, 0, 0);
            break;
        default:
            setEntry(table, k, level, level, level);
            break;
    }
}

int GammaTableFile::build(const char* path, int number, int type, Table& table) {
    table.fill(0);
    LineReader reader(path != nullptr ? path : "", kMaxLine);
    if (path == nullptr || !reader.isOpen()) {
        for (int k = 0; k < kEntries; ++k) {
            setLevel(table, k, number, static_cast<uint32_t>(k));
        }
        return 0;
    }
    int count = 0;
    std::string line;
    const int pairs = GammaLine::pairsOf(type);
    while (reader.next(line)) {
        if (count >= kEntries) {
            continue;  // read and ignored
        }
        int level[GammaLine::kMaxPairs];
        GammaLine::read(line, pairs, level);
        if (pairs > 1) {
            const uint32_t first = limited(level[0]);
            const uint32_t second = limited(level[1]);
            const uint32_t third = limited(level[2]);
            const uint32_t fourth = limited(level[3]);
            if (type == 1) {
                setEntry(table, count, first, first, second);
            } else if (type == 2) {
                setEntry(table, count, first, third, second);
            } else {
                setEntry(table, count, fourth, third, second);
            }
        } else {
            setLevel(table, count, number, static_cast<uint32_t>(level[0]) & kLevelMask);
        }
        ++count;
    }
    return count;
}
