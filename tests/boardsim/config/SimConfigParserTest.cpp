#include "config/SimConfigParser.h"

#include <gtest/gtest.h>

using boardsim::BoardConfig;
using boardsim::SimConfigParser;

namespace {

std::vector<BoardConfig> parseOk(const char* text) {
    std::vector<BoardConfig> boards;
    std::string error;
    EXPECT_TRUE(SimConfigParser::parse(text, boards, error)) << text << ": " << error;
    return boards;
}

std::string parseError(const char* text) {
    std::vector<BoardConfig> boards(1);
    std::string error;
    EXPECT_FALSE(SimConfigParser::parse(text, boards, error)) << text;
    EXPECT_EQ(boards.size(), 1u) << "boards must stay as they were";
    return error;
}

}  // namespace

TEST(SimConfigParser, EmptyTextGivesOneDefaultBoardThatPassesTheStartupChecks) {
    const auto boards = parseOk("  ");
    ASSERT_EQ(boards.size(), 1u);
    EXPECT_STREQ(boards[0].model->label, "RT4207-x6B6B");
    EXPECT_EQ(boards[0].fpgaMajor, 0x01);
    EXPECT_EQ(boards[0].fpgaMinor, 0x30);
    EXPECT_EQ(boards[0].mcuVersion, 0x0107);
    EXPECT_TRUE(parseOk("NONE").empty());
}

TEST(SimConfigParser, GroupsCountsAndKeys) {
    const auto boards = parseOk(
        "rt4207*2, fpga=1.20, mcu=1.05 ; MV3329-x5542,led=pca9530,flash=page,fps=0,"
        "seed=7,pipes=bulk");
    ASSERT_EQ(boards.size(), 3u);
    EXPECT_EQ(boards[1].fpgaMinor, 0x20);
    EXPECT_EQ(boards[1].mcuVersion, 0x0105);
    EXPECT_STREQ(boards[2].model->label, "MV3329-x5542");
    EXPECT_EQ(boards[2].model->variant, boardsim::Variant::Streaming);
    EXPECT_EQ(boards[2].ledChip, boardsim::LedChip::Pca9530);
    EXPECT_EQ(boards[2].flash, boardsim::FlashFamily::PageProgram);
    EXPECT_EQ(boards[2].framesPerSecond, 0);
    EXPECT_EQ(boards[2].seed, 7u);
    EXPECT_EQ(boards[2].pipes, boardsim::PipeSet::BulkOnly);
}

TEST(SimConfigParser, ErrorsNameWhatWasNotUnderstood) {
    EXPECT_EQ(parseError("XY1234"), "unknown board model 'XY1234'");
    EXPECT_EQ(parseError("RT4207*0"), "board count must be 1 to 200: 'RT4207*0'");
    EXPECT_EQ(parseError("RT4207*many"), "board count must be 1 to 200: 'RT4207*many'");
    EXPECT_EQ(parseError("RT4207,fpga"), "expected key=value, got 'fpga'");
    EXPECT_EQ(parseError("RT4207,fpga=1.2.3"), "bad value for fpga: '1.2.3'");
    EXPECT_EQ(parseError("RT4207,mcu=100.0"), "bad value for mcu: '100.0'");
    EXPECT_EQ(parseError("RT4207,colour=red"), "unknown key 'colour'");
    EXPECT_EQ(parseError("RT4207;"), "unknown board model ''");
}

TEST(SimConfigParser, FaultKeysSetTheFaultsOfPowerOn) {
    const auto boards = parseOk("RT4207, nack=62+0x3c, stall=on, timeouts=3; MV3318, timeouts=on");
    ASSERT_EQ(boards.size(), 2u);
    EXPECT_EQ(boards[0].nackAddresses, (std::vector<uint8_t>{0x62, 0x3C}));
    EXPECT_TRUE(boards[0].bulkInStalled);
    EXPECT_EQ(boards[0].controlTimeouts, 3);
    EXPECT_EQ(boards[1].controlTimeouts, -1);
    EXPECT_TRUE(boards[1].nackAddresses.empty());
    EXPECT_FALSE(boards[1].bulkInStalled);
    EXPECT_EQ(parseOk("RT4207,timeouts=off,stall=off")[0].controlTimeouts, 0);
    EXPECT_EQ(parseError("RT4207,nack=80"), "bad value for nack: '80'");
    EXPECT_EQ(parseError("RT4207,nack=62+"), "bad value for nack: '62+'");
    EXPECT_EQ(parseError("RT4207,stall=yes"), "bad value for stall: 'yes'");
    EXPECT_EQ(parseError("RT4207,timeouts=-2"), "bad value for timeouts: '-2'");
}
