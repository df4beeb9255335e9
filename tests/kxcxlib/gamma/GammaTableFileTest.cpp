#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "TempDir.h"
#include "gamma/kxGammaTableFile.h"

namespace {

using Table = GammaTableFile::Table;

std::string writeLines(const std::string& name, int lines, const std::string& pattern) {
    std::ofstream file(name);
    for (int k = 0; k < lines; ++k) {
        std::string line = pattern;
        const auto at = line.find("K");
        if (at != std::string::npos) {
            line.replace(at, 1, std::to_string(k));
        }
        file << line << "\n";
    }
    return name;
}

uint32_t fieldA(uint32_t word) {
    return word >> 20 & 0x3FF;
}
uint32_t fieldB(uint32_t word) {
    return word >> 10 & 0x3FF;
}
uint32_t fieldC(uint32_t word) {
    return word & 0x3FF;
}

}  // namespace

TEST(GammaTableFile, TypeZeroFillsOneEntryPerLineAndCountsThem) {
    TempDir dir;
    Table table;
    // Ten lines fill entries 0-9; the rest stay 0.
    EXPECT_EQ(GammaTableFile::build(writeLines("ten.txt", 10, "0.5 K").c_str(), 0, 0, table), 10);
    EXPECT_EQ(GammaTableFile::entry(table, 9), 9u << 20 | 9u << 10 | 9u);
    EXPECT_EQ(GammaTableFile::entry(table, 10), 0u);
    // Big-endian words: entry 1 of all fields set to 1 is 00 10 04 01.
    EXPECT_EQ(table[4], 0x00);
    EXPECT_EQ(table[5], 0x10);
    EXPECT_EQ(table[6], 0x04);
    EXPECT_EQ(table[7], 0x01);
    // Lines past the 1024th are read and ignored.
    EXPECT_EQ(GammaTableFile::build(writeLines("long.txt", 1500, "1.0 K").c_str(), 0, 0, table),
              1024);
    EXPECT_EQ(fieldA(GammaTableFile::entry(table, 1023)), 1023u);
    // A line without an integer still counts, as an entry of 0.
    { std::ofstream("holes.txt") << "0.0 5\nnothing here\n0.0 7\n"; }
    EXPECT_EQ(GammaTableFile::build("holes.txt", 0, 0, table), 3);
    EXPECT_EQ(GammaTableFile::entry(table, 1), 0u);
    EXPECT_EQ(fieldC(GammaTableFile::entry(table, 2)), 7u);
}

TEST(GammaTableFile, TableNumberChoosesTheFieldAndLevelsKeepTenBits) {
    TempDir dir;
    { std::ofstream("levels.txt") << "0.0 1024\n0.0 1023\n0.0 300\n"; }
    Table table;
    EXPECT_EQ(GammaTableFile::build("levels.txt", 5, 0, table), 3);
    EXPECT_EQ(GammaTableFile::entry(table, 0), 0u);  // 1024 keeps its low 10 bits: 0
    EXPECT_EQ(GammaTableFile::entry(table, 1), 1023u << 10);
    GammaTableFile::build("levels.txt", 4, 0, table);
    EXPECT_EQ(GammaTableFile::entry(table, 2), 300u);
    GammaTableFile::build("levels.txt", 6, 0, table);
    EXPECT_EQ(GammaTableFile::entry(table, 2), 300u << 20);
    // Types 1-3 limit each level to 1023 and place the pairs by type, whatever the number.
    { std::ofstream("pairs.txt") << "0 1024 0 20 0 30 0 40\n"; }
    EXPECT_EQ(GammaTableFile::build("pairs.txt", 5, 1, table), 1);
    uint32_t word = GammaTableFile::entry(table, 0);
    EXPECT_EQ(fieldA(word), 1023u);
    EXPECT_EQ(fieldB(word), 1023u);
    EXPECT_EQ(fieldC(word), 20u);
    GammaTableFile::build("pairs.txt", 0, 2, table);
    word = GammaTableFile::entry(table, 0);
    EXPECT_EQ(fieldA(word), 1023u);
    EXPECT_EQ(fieldB(word), 30u);
    EXPECT_EQ(fieldC(word), 20u);
    GammaTableFile::build("pairs.txt", 0, 3, table);
    word = GammaTableFile::entry(table, 0);
    EXPECT_EQ(fieldA(word), 40u);
    EXPECT_EQ(fieldB(word), 30u);
    EXPECT_EQ(fieldC(word), 20u);
}

TEST(GammaTableFile, WithoutAFileTheTableIsTheIdentityAndTheCountZero) {
    TempDir dir;
    Table table;
    EXPECT_EQ(GammaTableFile::build(nullptr, 0, 0, table), 0);
    EXPECT_EQ(GammaTableFile::entry(table, 512), 512u << 20 | 512u << 10 | 512u);
    EXPECT_EQ(GammaTableFile::build("missing.txt", 5, 0, table), 0);
    EXPECT_EQ(GammaTableFile::entry(table, 7), 7u << 10);
}
